#include "app/installer_settings.h"

InstallerSettings DefaultInstallerSettings() {
    InstallerSettings settings;
    settings.BackdropTopColor = 0x00FF0000;    // pure blue
    settings.BackdropBottomColor = 0x00000000; // black
    settings.TitleColor = 0x0000FFFF;          // yellow
    settings.VolumeCount = 2;
    settings.ProductName = "Rembrix";
    settings.MainProgramFile = "Rembrix.Exe";
    settings.VolumeFileName = "Rembrix.001";
    settings.CombinedArchiveFile = "Rembrix._ZV";
    settings.NoticeText = "(c) 1997 Mellowick Software";
    settings.BackdropTitle = "Rembrix Installation";
    settings.ExitQuestion = "Do you really want to terminate the Setup program?";
    settings.TerminatedMessage = "The Installation process has been terminated.";
    settings.WrongDiskMessage =
        "This is not the appropriate disk.\r\nPlease insert the correct disk and Press Enter";
    settings.SuccessPrefix = "Rembrix has been successfully installed.\r\n\r\nDo you wish to run ";
    return settings;
}

InstallerSettings Settings = DefaultInstallerSettings();
