// The build-time settings of this product's installer. Everything that names
// the product or shapes its package is here; only VolumeFileName changes at
// run time (the gathering stage advances its extension disk by disk).
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>

struct InstallerSettings {
    COLORREF BackdropTopColor;
    COLORREF BackdropBottomColor;
    COLORREF TitleColor;
    int32_t VolumeCount;
    std::string ProductName;
    std::string MainProgramFile;
    std::string VolumeFileName;
    std::string CombinedArchiveFile;
    std::string NoticeText;
    std::string BackdropTitle;
    std::string ExitQuestion;
    std::string TerminatedMessage;
    std::string WrongDiskMessage;
    std::string SuccessPrefix;
};

// The one process-wide record, initialised with this product's values.
extern InstallerSettings Settings;

// The values the program starts with; tests use it to put Settings back.
InstallerSettings DefaultInstallerSettings();
