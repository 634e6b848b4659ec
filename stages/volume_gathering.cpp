#include "stages/volume_gathering.h"

#include "app/dialog_helpers.h"
#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/join_path.h"
#include "package/setup_trailer.h"
#include "platform/runtime/file_names.h"
#include "stages/file_table_check.h"
#include "stages/progress_dialog.h"
#include "stages/stage_failure.h"

#include <string>

bool ArchiveWrittenByThisRun = false;

namespace {

constexpr int32_t BlockSize = 2048;
constexpr int MaxVolumes = 4;

// Local to one run of the work.
BlockFile CombinedArchive;
int32_t CopiedTotal = 0;
uint8_t Block[BlockSize];

std::string VolumeExtension(int volumeNumber) {
    return ".00" + std::to_string(volumeNumber);
}

} // namespace

INT_PTR GatheringDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return HandleProgressDialogMessage(dialog, message, wParam, GatherVolumes);
}

void GatherVolumes(HWND dialog) {
    const uint8_t savedMode = FileOpenMode;
    FileOpenMode = 0;
    ReadSetupTrailer();

    if (const FileEntry* unsafe = FindUnsafeEntry(FileTable)) {
        RecordStageFailure(StageFailure::UnsafeFileName, unsafe->Name);
        ReportStageFailure(dialog);
    } else {
        BlockFile volume;
        OpenBlockFile(volume, JoinPath(SourceDir, Settings.VolumeFileName));
        FileOpenMode = 1;
        CreateBlockFile(CombinedArchive, JoinPath(DestinationDir, Settings.CombinedArchiveFile));
        ArchiveWrittenByThisRun = true;

        CopiedTotal = 0;
        CopyVolume(volume, MeterRule::Always);
        for (int number = 2; number <= MaxVolumes && Settings.VolumeCount >= number && KeepGoing;
             ++number) {
            AwaitVolume(dialog, number);
            if (KeepGoing) {
                FileOpenMode = 0;
                OpenBlockFile(volume, JoinPath(SourceDir, Settings.VolumeFileName));
                CopyVolume(volume, MeterRule::OnChangeUpTo100);
            }
        }
        CloseBlockFile(CombinedArchive);
    }

    CloseMeter(dialog);
    EndDialog(dialog, KeepGoing ? 1 : 0);
    FileOpenMode = savedMode;
}

void CopyVolume(BlockFile& volume, MeterRule rule) {
    while (!AtEndOfBlockFile(volume) && KeepGoing) {
        const int32_t count = ReadBlockFile(volume, Block, BlockSize);
        WriteBlockFile(CombinedArchive, Block, count);
        CopiedTotal += count;
        DrawMeter(CopiedTotal, ExpectedVolumeBytes, rule);
        DrainMessages();
    }
    CloseBlockFile(volume);
}

void AwaitVolume(HWND dialog, int volumeNumber) {
    const std::string prompt = "Please Insert Disk number " + std::to_string(volumeNumber);
    Settings.VolumeFileName = ChangeFileExt(Settings.VolumeFileName, VolumeExtension(volumeNumber));
    const std::string path = JoinPath(SourceDir, Settings.VolumeFileName);

    while (!FileExists(path) && KeepGoing) {
        const int answer =
            MessageBoxA(dialog, prompt.c_str(), Settings.ProductName.c_str(), MB_OKCANCEL);
        if (answer == IDOK) {
            if (!FileExists(path)) {
                MessageBoxA(dialog, Settings.WrongDiskMessage.c_str(), "", MB_OK);
            }
        } else if (!FileExists(path)) {
            KeepGoing = 0;
        }
    }
}

void ResetGatheringState() {
    ArchiveWrittenByThisRun = false;
    CombinedArchive = BlockFile{};
    CopiedTotal = 0;
}
