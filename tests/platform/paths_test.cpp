#include "platform/machine/kernel_state.h"
#include "platform/machine/paths.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

// The host path the machine gives a Windows path, or the Windows error.
struct Resolution {
    bool Resolved = false;
    std::filesystem::path Host;
    DWORD Error = 0;
};

Resolution Resolve(const std::string& windowsPath) {
    Resolution result;
    result.Resolved = ResolveWindowsPath(windowsPath, result.Host, result.Error);
    return result;
}

// Scratch's Windows path on drive Z:, e.g. "Z:\tmp\rembrix-scratch-1-2".
std::string OnDriveZ(const std::filesystem::path& hostPath) {
    std::string text = "Z:" + hostPath.string();
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    return text;
}

} // namespace

TEST(Paths, WindowsPathsMapOntoTheHostAsWindowsWould) {
    TestMachine machine;
    const auto driveC = machine.DriveC();
    std::filesystem::create_directories(driveC / "R\xC3\xA9sum\xC3\xA9"); // "Résumé" in UTF-8
    std::filesystem::create_directories(driveC / "Data");
    std::filesystem::create_directories(driveC / "DATA");

    struct Case {
        std::string WindowsPath;
        std::filesystem::path ExpectedHost; // empty when the call must fail
        DWORD ExpectedError = 0;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Rembrix", driveC / "Program Files" / "Rembrix"},
        {"c:\\windows\\help\\x.hlp", driveC / "WINDOWS" / "HELP" / "x.hlp"},
        {"C:/WINDOWS/Help/", driveC / "WINDOWS" / "HELP"},
        {"C:\\WINDOWS\\\\HELP\\.\\..\\HELP", driveC / "WINDOWS" / "HELP"},
        {"C:\\..\\..\\WINDOWS", driveC / "WINDOWS"},
        {"C:\\WINDOWS\\name.", driveC / "WINDOWS" / "name"},
        {"C:\\WINDOWS\\name. . ", driveC / "WINDOWS" / "name"},
        {"C:\\caf\xE9.txt", driveC / "caf\xC3\xA9.txt"},
        {"C:\\r\xC9SUM\xC9\\new", driveC / "R\xC3\xA9sum\xC3\xA9" / "new"},
        {"C:\\Data", driveC / "Data"},
        {"C:\\DATA", driveC / "DATA"},
        {"C:\\data", driveC / "DATA"}, // the first match in name order
        {OnDriveZ(machine.Scratch()) + "\\disk1\\Rembrix.001",
         machine.Scratch() / "disk1" / "Rembrix.001"},
        {"z:\\", "/"},
        {"Q:\\Rembrix", "", ERROR_PATH_NOT_FOUND},
        {"\\\\server\\share\\x", "", ERROR_PATH_NOT_FOUND},
        {"", "", ERROR_PATH_NOT_FOUND},
        {"C:\\a<b", "", ERROR_INVALID_NAME},
        {"C:\\a*b", "", ERROR_INVALID_NAME},
        {"C:\\x:y", "", ERROR_INVALID_NAME},
        {"1:\\x", "", ERROR_INVALID_NAME},
        {"C:\\" + std::string(300, 'a'), "", ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        const Resolution result = Resolve(c.WindowsPath);
        if (c.ExpectedHost.empty()) {
            EXPECT_FALSE(result.Resolved) << c.WindowsPath;
            EXPECT_EQ(result.Error, c.ExpectedError) << c.WindowsPath;
        } else {
            EXPECT_TRUE(result.Resolved) << c.WindowsPath;
            EXPECT_EQ(result.Host, c.ExpectedHost) << c.WindowsPath;
        }
    }
}

TEST(Paths, RelativePathsStartFromTheCurrentDirectory) {
    TestMachine machine;
    const auto driveC = machine.DriveC();
    char current[MAX_PATH] = {};
    ASSERT_EQ(GetCurrentDirectoryA(MAX_PATH, current), 3u);
    EXPECT_STREQ(current, "C:\\");
    EXPECT_EQ(Resolve("windows\\help").Host, driveC / "WINDOWS" / "HELP");

    ASSERT_TRUE(SetCurrentDirectoryA("c:\\windows"));
    struct Case {
        const char* WindowsPath;
        std::filesystem::path ExpectedHost;
    };
    const Case cases[] = {
        {"HELP\\x.hlp", driveC / "WINDOWS" / "HELP" / "x.hlp"},
        {".\\HELP\\..\\HELP", driveC / "WINDOWS" / "HELP"},
        {"..\\Program Files", driveC / "Program Files"},
        {"\\Program Files", driveC / "Program Files"},
        {"C:HELP", driveC / "WINDOWS" / "HELP"},
        {"Z:tmp", "/tmp"}, // another drive: its root
    };
    for (const Case& c : cases) {
        const Resolution result = Resolve(c.WindowsPath);
        EXPECT_TRUE(result.Resolved) << c.WindowsPath;
        EXPECT_EQ(result.Host, c.ExpectedHost) << c.WindowsPath;
    }
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\WINDOWS\\Missing"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    char small[4] = {};
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), 11u); // "c:\windows" and its zero
}

TEST(Paths, HostPathsHaveWindowsPaths) {
    TestMachine machine;
    EXPECT_EQ(WindowsPathFromHostPath(machine.DriveC() / "WINDOWS" / "caf\xC3\xA9.txt"),
              "C:\\WINDOWS\\caf\xE9.txt");
    EXPECT_EQ(WindowsPathFromHostPath(machine.DriveC()), "C:\\");
    EXPECT_EQ(WindowsPathFromHostPath("/usr/bin/tool"), "Z:\\usr\\bin\\tool");
    EXPECT_EQ(WindowsPathFromHostPath("/"), "Z:\\");
    // A name the code page cannot spell gets question marks.
    EXPECT_EQ(WindowsPathFromHostPath("/tmp/\xE2\x82\xAC\xE2\x98\x83"), "Z:\\tmp\\\x80?");
}

TEST(Paths, TheRunningProgramIsReportedAsAWindowsPath) {
    MachineConfig config;
    config.FrontEnd = "headless";
    const auto scratch = MakeTemporaryFolder("program");
    config.RunningProgram = scratch / "SETUP.EXE";
    TestMachine machine(config);
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::string(path), OnDriveZ(scratch) + "\\SETUP.EXE");
    EXPECT_EQ(length, std::string(path).size());
    EXPECT_EQ(GetModuleHandleA("setup.exe"), GetModuleHandleA(nullptr));
    EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);

    char small[5] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_STREQ(small, "Z:\\t");

    machine.Config.RunningProgram = machine.DriveC() / "Setup" / "setup.exe";
    StartMachine(machine.Config);
    ASSERT_GT(GetModuleFileNameA(GetModuleHandleA(nullptr), path, MAX_PATH), 0u);
    EXPECT_STREQ(path, "C:\\Setup\\setup.exe");
    std::filesystem::remove_all(scratch);
}
