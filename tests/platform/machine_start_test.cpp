#include "platform/machine/machine.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// Sets environment variables for one test and restores them afterwards.
class ScopedEnvironment {
  public:
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        Saved.push_back({name, old != nullptr, old != nullptr ? old : ""});
        if (value == nullptr) {
            unsetenv(name);
        } else {
            setenv(name, value, 1);
        }
    }
    ~ScopedEnvironment() {
        for (auto it = Saved.rbegin(); it != Saved.rend(); ++it) {
            if (it->Existed) {
                setenv(it->Name.c_str(), it->Value.c_str(), 1);
            } else {
                unsetenv(it->Name.c_str());
            }
        }
    }

  private:
    struct Entry {
        std::string Name;
        bool Existed;
        std::string Value;
    };
    std::vector<Entry> Saved;
};

} // namespace

TEST(MachineConfig, SettingsComeFromTheEnvironment) {
    ScopedEnvironment environment;
    environment.Set("HOME", "/home/someone");
    for (const char* name :
         {"REMBRIX_MACHINE", "REMBRIX_SCREEN", "REMBRIX_HKLM_READONLY", "REMBRIX_FRONT_END",
          "REMBRIX_SCRIPT", "REMBRIX_SCREENSHOTS", "REMBRIX_RUNNING_PROGRAM"}) {
        environment.Set(name, nullptr);
    }
    MachineConfig defaults = MachineConfigFromEnvironment();
    EXPECT_EQ(defaults.Folder, "/home/someone/.rembrix-machine");
    EXPECT_EQ(defaults.ScreenWidth, 1024);
    EXPECT_EQ(defaults.ScreenHeight, 768);
    EXPECT_FALSE(defaults.ReadOnlyLocalMachine);
    EXPECT_EQ(defaults.FrontEnd, "auto");
    EXPECT_TRUE(defaults.UserScript.empty());
    EXPECT_TRUE(defaults.RunningProgram.empty());

    environment.Set("REMBRIX_MACHINE", "/tmp/m");
    environment.Set("REMBRIX_SCREEN", "640x480");
    environment.Set("REMBRIX_HKLM_READONLY", "1");
    environment.Set("REMBRIX_FRONT_END", "headless");
    environment.Set("REMBRIX_SCRIPT", "/tmp/s.txt");
    environment.Set("REMBRIX_SCREENSHOTS", "/tmp/shots");
    environment.Set("REMBRIX_RUNNING_PROGRAM", "/tmp/setup.exe");
    const MachineConfig config = MachineConfigFromEnvironment();
    EXPECT_EQ(config.Folder, "/tmp/m");
    EXPECT_EQ(config.ScreenWidth, 640);
    EXPECT_EQ(config.ScreenHeight, 480);
    EXPECT_TRUE(config.ReadOnlyLocalMachine);
    EXPECT_EQ(config.FrontEnd, "headless");
    EXPECT_EQ(config.UserScript, "/tmp/s.txt");
    EXPECT_EQ(config.ScreenshotFolder, "/tmp/shots");
    EXPECT_EQ(config.RunningProgram, "/tmp/setup.exe");

    // Settings that make no sense keep their defaults, with a warning.
    for (const char* screen : {"640", "0x0", "axb", "640x480x2", "-640x480"}) {
        environment.Set("REMBRIX_SCREEN", screen);
        environment.Set("REMBRIX_FRONT_END", "projector");
        testing::internal::CaptureStderr();
        const MachineConfig odd = MachineConfigFromEnvironment();
        EXPECT_NE(testing::internal::GetCapturedStderr(), "") << screen;
        EXPECT_EQ(odd.ScreenWidth, 1024) << screen;
        EXPECT_EQ(odd.ScreenHeight, 768) << screen;
        EXPECT_EQ(odd.FrontEnd, "auto");
    }
}

TEST(MachineStart, AFreshMachineHasTheFoldersOfAFreshWindows) {
    TestMachine machine;
    for (const char* folder :
         {"WINDOWS", "WINDOWS/HELP", "Program Files", "WINDOWS/Start Menu/Programs",
          "WINDOWS/Start Menu/Programs/StartUp"}) {
        EXPECT_TRUE(std::filesystem::is_directory(machine.DriveC() / folder)) << folder;
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(machine.Folder() / "registry.reg"));
    EXPECT_EQ(GetFileAttributesA("C:\\Windows\\Help"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(CurrentMachineConfig().Folder, machine.Folder());
}

TEST(MachineStart, ARestartKeepsTheDiskAndResetsTheProcess) {
    TestMachine machine;
    // A folder the user removed stays removed: only a new drive C: is filled.
    std::filesystem::remove(machine.DriveC() / "WINDOWS" / "HELP");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\WINDOWS"));
    EnsureMachineStarted(); // already started: nothing changes
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STREQ(current, "C:\\WINDOWS");

    StartMachine(machine.Config);
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STREQ(current, "C:\\");
    EXPECT_FALSE(std::filesystem::exists(machine.DriveC() / "WINDOWS" / "HELP"));
    EXPECT_TRUE(std::filesystem::is_directory(machine.DriveC() / "Program Files"));
}
