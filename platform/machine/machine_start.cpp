// Starting the machine: the machine folder with a fresh Windows' tree on
// first use, then a reset of every part's process state.
#include "platform/machine/machine.h"

#include <system_error>

namespace {

MachineConfig CurrentConfig;
bool MachineStarted = false;

// The folders a fresh Windows has and the installer relies on. Created only
// when drive C: itself is new, so that a test or a user may remove one of
// them (the help folder, say) and keep it removed across restarts.
void CreateFreshDriveC(const std::filesystem::path& driveC) {
    static const char* const freshFolders[] = {
        "WINDOWS",
        "WINDOWS/HELP",
        "Program Files",
        "WINDOWS/Start Menu/Programs",
        "WINDOWS/Start Menu/Programs/StartUp",
    };
    for (const char* folder : freshFolders) {
        std::filesystem::create_directories(driveC / folder);
    }
}

} // namespace

void StartMachine(const MachineConfig& config) {
    CurrentConfig = config;
    if (CurrentConfig.Folder.empty()) {
        CurrentConfig.Folder = MachineConfigFromEnvironment().Folder;
    }
    CurrentConfig.Folder = std::filesystem::absolute(CurrentConfig.Folder).lexically_normal();
    // Marked started before the resets so that a part which calls the API
    // while resetting does not start the machine a second time.
    MachineStarted = true;

    const std::filesystem::path driveC = CurrentConfig.Folder / "drive_c";
    if (!std::filesystem::is_directory(driveC)) {
        std::filesystem::create_directories(CurrentConfig.Folder);
        CreateFreshDriveC(driveC);
    }

    ResetKernelState();
    ResetRegistry();
    ResetResources();
    ResetGdi();
    ResetWindowManager();
    ResetInputSource();
    ResetShell();
}

void EnsureMachineStarted() {
    if (!MachineStarted) {
        StartMachine(MachineConfigFromEnvironment());
    }
}

const MachineConfig& CurrentMachineConfig() {
    EnsureMachineStarted();
    return CurrentConfig;
}
