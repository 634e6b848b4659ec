// The machine's user: the front end chosen at start, with the scripted user
// acting in front of it when there is a script.
#include "platform/machine/frontend/front_end.h"
#include "platform/machine/frontend/script_steps.h"
#include "platform/machine/frontend/sdl_window.h"
#include "platform/machine/input_source.h"
#include "platform/machine/machine.h"
#include "platform/machine/scripted_user.h"

#include <cstdio>
#include <cstdlib>

namespace {

FrontEndKind RunningFrontEnd = FrontEndKind::Headless;

bool MachineInput(bool mayBlock) {
    if (ScriptedUserActive()) {
        // The window stays alive and keeps showing the screen while the
        // script acts; the script decides whether input can still come.
        PollFrontEnd(false);
        return RunScriptedUser(mayBlock);
    }
    return PollFrontEnd(mayBlock);
}

bool EnvironmentNames(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

} // namespace

FrontEndKind CurrentFrontEnd() {
    return RunningFrontEnd;
}

bool HostDisplayAvailable() {
    if (!EnvironmentNames("DISPLAY") && !EnvironmentNames("WAYLAND_DISPLAY")) {
        return false;
    }
    return StartSdlVideo();
}

void OpenFrontEnd(const MachineConfig& config) {
    const bool window =
        config.FrontEnd == "window" || (config.FrontEnd == "auto" && HostDisplayAvailable());
    if (!window) {
        CloseSdlWindow();
        RunningFrontEnd = FrontEndKind::Headless;
        return;
    }
    std::string reason;
    if (!OpenSdlWindow(config.ScreenWidth, config.ScreenHeight, reason)) {
        std::fprintf(stderr, "The machine's window cannot be opened: %s\n", reason.c_str());
        if (config.FrontEnd == "window") {
            std::exit(2);
        }
        RunningFrontEnd = FrontEndKind::Headless;
        return;
    }
    RunningFrontEnd = FrontEndKind::Window;
    PresentSdlWindow();
}

bool PollFrontEnd(bool mayBlock) {
    if (RunningFrontEnd == FrontEndKind::Headless) {
        return false;
    }
    PresentSdlWindow();
    PumpSdlWindow(mayBlock);
    PresentSdlWindow();
    return true;
}

void PresentFrontEnd() {
    if (RunningFrontEnd == FrontEndKind::Window) {
        PresentSdlWindow();
    }
}

bool ReadFrontEndPixels(Surface& shown) {
    return RunningFrontEnd == FrontEndKind::Window && ReadSdlWindowPixels(shown);
}

void InstallMachineInput() {
    SetInputSource(MachineInput);
}

void ResetInputSource() {
    const MachineConfig& config = CurrentMachineConfig();
    ResetScriptedUser();
    OpenFrontEnd(config);
    InstallMachineInput();
    if (!config.UserScript.empty()) {
        BeginScript();
        LoadScriptFile(config.UserScript);
    }
}
