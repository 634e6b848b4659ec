// ShellExecuteA: what it starts, with which working directory and
// parameters, what it answers, and what it records.
#include "platform/machine/paths.h"
#include "platform/machine/shell/shell_history.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

fs::path HostPath(const std::string& windowsPath) {
    fs::path host;
    DWORD error = 0;
    EXPECT_TRUE(ResolveWindowsPath(windowsPath, host, error)) << windowsPath;
    return host;
}

std::string ReadWhenThere(const fs::path& file) {
    // The program runs detached; give it a moment to write its answer.
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (fs::exists(file)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::ifstream input(file);
            return {std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return "(nothing written)";
}

// A program as the installer would have written it: a script under a
// Windows program name, without the host's execute permission.
void WriteScript(const std::string& windowsPath, const std::string& body) {
    std::ofstream(HostPath(windowsPath)) << "#!/bin/sh\n" << body;
}

class ShellExecuteTest : public ::testing::Test {
  protected:
    TestMachine Machine;
    HWND Owner = reinterpret_cast<HWND>(0x1234);
};

TEST_F(ShellExecuteTest, StartsTheProgramInTheWorkingDirectoryWithItsParameters) {
    ASSERT_TRUE(CreateDirectoryA("C:\\APP", nullptr));
    ASSERT_TRUE(CreateDirectoryA("C:\\WORK", nullptr));
    WriteScript("C:\\APP\\Tool.Exe",
                "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > answer.tmp\n"
                "mv answer.tmp answer.txt\n");
    HINSTANCE result = ShellExecuteA(Owner, nullptr, "C:\\APP\\Tool.Exe", "one \"two words\"",
                                     "C:\\WORK", SW_SHOW);
    EXPECT_GT(reinterpret_cast<intptr_t>(result), 32);
    EXPECT_EQ(ReadWhenThere(HostPath("C:\\WORK\\answer.txt")),
              HostPath("C:\\WORK").string() + "\n[one]\n[two words]\n");

    ASSERT_EQ(ShellExecuteHistory().size(), 1u);
    const ShellExecuteRequest& request = ShellExecuteHistory()[0];
    EXPECT_EQ(request.Owner, Owner);
    EXPECT_FALSE(request.Verb.has_value());
    EXPECT_EQ(request.File, "C:\\APP\\Tool.Exe");
    EXPECT_EQ(request.Parameters, "one \"two words\"");
    EXPECT_EQ(request.Directory, "C:\\WORK");
    EXPECT_EQ(request.ShowCommand, SW_SHOW);
    EXPECT_EQ(request.Result, reinterpret_cast<intptr_t>(result));
    EXPECT_EQ(fs::path(request.HostProgram), HostPath("C:\\APP\\Tool.Exe"));
}

TEST_F(ShellExecuteTest, RelativeFileIsFoundInTheWorkingDirectory) {
    ASSERT_TRUE(CreateDirectoryA("C:\\APP", nullptr));
    WriteScript("C:\\APP\\Tool.Exe", "echo started > started.txt\n");
    HINSTANCE result = ShellExecuteA(nullptr, "open", "tool.exe", nullptr, "C:\\APP", SW_SHOW);
    EXPECT_GT(reinterpret_cast<intptr_t>(result), 32);
    EXPECT_EQ(ReadWhenThere(HostPath("C:\\APP\\started.txt")), "started\n");
}

// A host executable under a Windows program name runs even though the file,
// written like any installed file, lacks the host's execute permission.
TEST_F(ShellExecuteTest, HostExecutableUnderAProgramNameRuns) {
    ASSERT_TRUE(CreateDirectoryA("C:\\APP", nullptr));
    const fs::path program = HostPath("C:\\APP\\Shell.Exe");
    fs::copy_file("/bin/sh", program);
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_write);
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, "C:\\APP\\Shell.Exe",
                                     "-c \"echo ran > ran.txt\"", "C:\\APP", SW_SHOW);
    EXPECT_GT(reinterpret_cast<intptr_t>(result), 32);
    EXPECT_EQ(ReadWhenThere(HostPath("C:\\APP\\ran.txt")), "ran\n");
}

TEST_F(ShellExecuteTest, FailuresAnswer32OrLessAndAreRecorded) {
    ASSERT_TRUE(CreateDirectoryA("C:\\APP", nullptr));
    WriteScript("C:\\APP\\Tool.Exe", "exit 0\n");
    std::ofstream(HostPath("C:\\APP\\Readme.txt")) << "words";
    std::ofstream(HostPath("C:\\APP\\Broken.Exe")) << "MZ not for this host";
    struct Case {
        const char* Verb;
        const char* File;
        const char* Directory;
        intptr_t Expected;
    };
    const Case cases[] = {
        {nullptr, "C:\\APP\\Missing.Exe", "C:\\APP", 2},  // ERROR_FILE_NOT_FOUND
        {nullptr, "C:\\NOWHERE\\Tool.Exe", nullptr, 3},   // ERROR_PATH_NOT_FOUND
        {nullptr, "C:\\APP\\Tool.Exe", "C:\\NOWHERE", 3}, // missing working directory
        {nullptr, "C:\\APP\\Readme.txt", nullptr, 31},    // SE_ERR_NOASSOC
        {"print", "C:\\APP\\Tool.Exe", nullptr, 31},      // no such verb here
        {nullptr, "C:\\APP", nullptr, 31},                // a folder
        {nullptr, "C:\\APP\\Broken.Exe", nullptr, 11},    // ERROR_BAD_FORMAT
        {nullptr, "", nullptr, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        HINSTANCE result = ShellExecuteA(nullptr, c.Verb, c.File, nullptr, c.Directory, SW_SHOW);
        EXPECT_EQ(reinterpret_cast<intptr_t>(result), c.Expected);
        EXPECT_EQ(ShellExecuteHistory().back().Result, c.Expected);
        EXPECT_TRUE(ShellExecuteHistory().back().HostProgram.empty());
    }
    EXPECT_EQ(ShellExecuteHistory().size(), std::size(cases));
}

TEST_F(ShellExecuteTest, MachineRestartForgetsTheHistoryAndComState) {
    ShellExecuteA(nullptr, nullptr, "C:\\Missing.Exe", nullptr, nullptr, SW_SHOW);
    CoInitialize(nullptr);
    SetShellLinkFault(ShellLinkFault::ClassNotRegistered);
    StartMachine(Machine.Config);
    EXPECT_TRUE(ShellExecuteHistory().empty());
    EXPECT_EQ(ComInitializeDepth(), 0);
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<LPVOID*>(&link)),
              S_OK);
    link->Release();
    CoUninitialize();
}

} // namespace
