#include "tests/support/test_machine.h"

#include <atomic>
#include <string>
#include <unistd.h>

std::filesystem::path MakeTemporaryFolder(const char* purpose) {
    static std::atomic<int> counter{0};
    const auto folder = std::filesystem::temp_directory_path() /
                        ("rembrix-" + std::string(purpose) + "-" + std::to_string(getpid()) + "-" +
                         std::to_string(counter++));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

namespace {

MachineConfig HeadlessConfig(int screenWidth, int screenHeight) {
    MachineConfig config;
    config.Folder = MakeTemporaryFolder("machine");
    config.ScreenWidth = screenWidth;
    config.ScreenHeight = screenHeight;
    config.FrontEnd = "headless";
    return config;
}

} // namespace

TestMachine::TestMachine(int screenWidth, int screenHeight)
    : TestMachine(HeadlessConfig(screenWidth, screenHeight)) {}

TestMachine::TestMachine(const MachineConfig& config) : Config(config) {
    if (Config.Folder.empty()) {
        Config.Folder = MakeTemporaryFolder("machine");
    }
    ScratchFolder = MakeTemporaryFolder("scratch");
    StartMachine(Config);
}

TestMachine::~TestMachine() {
    std::error_code ignored;
    std::filesystem::remove_all(Config.Folder, ignored);
    std::filesystem::remove_all(ScratchFolder, ignored);
}

std::filesystem::path TestMachine::DriveC() const {
    return Config.Folder / "drive_c";
}
