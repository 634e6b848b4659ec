// The machine's settings from its environment variables. Only the machine
// reads them; the installer never does.
#include "platform/machine/machine.h"

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::filesystem::path HomeFolder() {
    const std::string home = EnvironmentValue("HOME");
    if (!home.empty()) {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return std::filesystem::current_path();
}

// "1024x768" into width and height; false (and nothing changed) for anything
// else, so a mistyped setting cannot give a zero-sized screen.
bool ParseScreenSize(const std::string& text, int& width, int& height) {
    const auto separator = text.find_first_of("xX");
    if (separator == std::string::npos) {
        return false;
    }
    try {
        std::size_t widthEnd = 0;
        std::size_t heightEnd = 0;
        const std::string widthText = text.substr(0, separator);
        const std::string heightText = text.substr(separator + 1);
        const int parsedWidth = std::stoi(widthText, &widthEnd);
        const int parsedHeight = std::stoi(heightText, &heightEnd);
        if (widthEnd != widthText.size() || heightEnd != heightText.size() || parsedWidth < 64 ||
            parsedHeight < 64 || parsedWidth > 16384 || parsedHeight > 16384) {
            return false;
        }
        width = parsedWidth;
        height = parsedHeight;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool IsTrue(const std::string& text) {
    return text == "1" || text == "true" || text == "yes" || text == "on";
}

} // namespace

MachineConfig MachineConfigFromEnvironment() {
    MachineConfig config;

    const std::string folder = EnvironmentValue("REMBRIX_MACHINE");
    config.Folder =
        folder.empty() ? HomeFolder() / ".rembrix-machine" : std::filesystem::path(folder);

    const std::string screen = EnvironmentValue("REMBRIX_SCREEN");
    if (!screen.empty() && !ParseScreenSize(screen, config.ScreenWidth, config.ScreenHeight)) {
        std::fprintf(stderr,
                     "REMBRIX_SCREEN=%s is not WIDTHxHEIGHT (64 to 16384 each); using %dx%d\n",
                     screen.c_str(), config.ScreenWidth, config.ScreenHeight);
    }

    config.ReadOnlyLocalMachine = IsTrue(EnvironmentValue("REMBRIX_HKLM_READONLY"));

    const std::string frontEnd = EnvironmentValue("REMBRIX_FRONT_END");
    if (frontEnd == "headless" || frontEnd == "window" || frontEnd == "auto") {
        config.FrontEnd = frontEnd;
    } else if (!frontEnd.empty()) {
        std::fprintf(stderr, "REMBRIX_FRONT_END=%s is not headless, window or auto; using auto\n",
                     frontEnd.c_str());
    }

    config.UserScript = EnvironmentValue("REMBRIX_SCRIPT");
    config.ScreenshotFolder = EnvironmentValue("REMBRIX_SCREENSHOTS");
    config.RunningProgram = EnvironmentValue("REMBRIX_RUNNING_PROGRAM");
    return config;
}
