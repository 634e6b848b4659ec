// The product's shortcut: where it goes, what it is called, what it points
// to, and what happens when it cannot be made. Every link written is read
// back by lnkinfo.
#include "app/install_state.h"
#include "app/installer_settings.h"
#include "platform/machine/paths.h"
#include "platform/machine/shell/shell_history.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/reg_ini_file.h"
#include "platform/win32.h"
#include "shell/shortcut.h"
#include "tests/shell/link_files.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const char* const ExplorerKey = "Software\\microsoft\\windows\\currentversion\\explorer";

fs::path HostPath(const std::string& windowsPath) {
    fs::path host;
    DWORD error = 0;
    EXPECT_TRUE(ResolveWindowsPath(windowsPath, host, error)) << windowsPath;
    return host;
}

std::string ShellFolderValue(const char* name) {
    TRegIniFile registry(ExplorerKey);
    return registry.ReadString("Shell Folders", name, "");
}

void SetShellFolderValue(const char* name, const std::string& value) {
    TRegIniFile registry(ExplorerKey);
    registry.WriteString("Shell Folders", name, value);
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    return files;
}

class ShortcutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settings = DefaultInstallerSettings();
        ResetInstallState();
        DestinationDir = "C:\\Program Files\\Rembrix";
        GroupName = "Rembrix";
        StartWithSystem = false;
        ProgramsFolder = ShellFolderValue("programs");
        StartupFolder = ShellFolderValue("startup");
        ASSERT_FALSE(ProgramsFolder.empty());
        ASSERT_FALSE(StartupFolder.empty());
    }
    void TearDown() override { Settings = DefaultInstallerSettings(); }

    // Checks a written link with lnkinfo and the header's show command.
    void ExpectLink(const fs::path& link, const std::string& target, const std::string& directory) {
        ASSERT_TRUE(fs::is_regular_file(link)) << link;
        EXPECT_EQ(HeaderShowCommand(ReadHostFile(link)), static_cast<uint32_t>(SW_SHOWNORMAL));
        if (!LnkinfoAvailable()) {
            GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
        }
        auto fields = RunLnkinfo(link);
        ASSERT_FALSE(fields.empty()) << "lnkinfo could not read " << link;
        EXPECT_EQ(fields["Local path"], target);
        EXPECT_EQ(fields["Working directory"], directory);
    }

    TestMachine Machine;
    std::string ProgramsFolder;
    std::string StartupFolder;
};

TEST_F(ShortcutTest, GoesIntoStartupOrProgramsByTheCheckBox) {
    const fs::path startup = HostPath(StartupFolder);
    const fs::path programs = HostPath(ProgramsFolder);
    for (bool startWithSystem : {true, false}) {
        SCOPED_TRACE(startWithSystem ? "start with system" : "programs");
        ASSERT_TRUE(FilesIn(startup).empty());
        ASSERT_TRUE(FilesIn(programs).empty());
        StartWithSystem = startWithSystem;
        CreateProductShortcut();

        auto startupFiles = FilesIn(startup);
        auto programFiles = FilesIn(programs);
        ASSERT_EQ(startupFiles.size(), startWithSystem ? 1u : 0u);
        ASSERT_EQ(programFiles.size(), startWithSystem ? 0u : 1u);
        const fs::path link = startWithSystem ? startupFiles[0] : programFiles[0];
        EXPECT_EQ(link.filename(), "Rembrix.LNK");
        ExpectLink(link, "C:\\Program Files\\Rembrix\\Rembrix.Exe", "C:\\Program Files\\Rembrix");
        fs::remove(link);
    }
}

TEST_F(ShortcutTest, TargetAndWorkingDirectoryFollowTheDestination) {
    struct Case {
        const char* Destination;
        const char* Target;
        const char* WorkingDirectory;
    };
    const Case cases[] = {
        {"C:\\APPS\\REMBRIX", "C:\\APPS\\REMBRIX\\Rembrix.Exe", "C:\\APPS\\REMBRIX"},
        {"C:\\APPS\\REMBRIX\\", "C:\\APPS\\REMBRIX\\Rembrix.Exe", "C:\\APPS\\REMBRIX\\"},
        {"C:\\", "C:\\Rembrix.Exe", "C:\\"},
        {"C:", "C:\\Rembrix.Exe", "C:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Destination);
        DestinationDir = c.Destination;
        CreateProductShortcut();
        ExpectLink(HostPath(ProgramsFolder) / "Rembrix.LNK", c.Target, c.WorkingDirectory);
        fs::remove(HostPath(ProgramsFolder) / "Rembrix.LNK");
    }
}

TEST_F(ShortcutTest, TargetFieldsDescribeAnExistingMainProgram) {
    const fs::path program = HostPath("C:\\Program Files\\Rembrix\\Rembrix.Exe");
    fs::create_directories(program.parent_path());
    std::ofstream(program, std::ios::binary) << std::string(1234, 'x');
    CreateProductShortcut();
    const auto bytes = ReadHostFile(HostPath(ProgramsFolder) / "Rembrix.LNK");
    ASSERT_GE(bytes.size(), 0x4Cu);
    const uint32_t size = bytes[0x34] | (bytes[0x35] << 8) | (bytes[0x36] << 16) |
                          (static_cast<uint32_t>(bytes[0x37]) << 24);
    EXPECT_EQ(size, 1234u);
    EXPECT_EQ(bytes[0x18] & FILE_ATTRIBUTE_DIRECTORY, 0);
}

TEST_F(ShortcutTest, EmptyNameGivesDotLnk) {
    GroupName = "";
    CreateProductShortcut();
    auto files = FilesIn(HostPath(ProgramsFolder));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename(), ".LNK");
    ExpectLink(files[0], "C:\\Program Files\\Rembrix\\Rembrix.Exe", "C:\\Program Files\\Rembrix");
}

// The link path travels in 255 wide characters with its terminating zero.
TEST_F(ShortcutTest, LinkPathOfMoreThan254CharactersWritesNothing) {
    SetShellFolderValue("programs", "C:\\LINKS");
    fs::create_directories(HostPath("C:\\LINKS"));
    const size_t fixed = std::string("C:\\LINKS\\").size() + std::string(".LNK").size();
    for (size_t length : {size_t{254}, size_t{255}, size_t{300}}) {
        SCOPED_TRACE(length);
        GroupName = std::string(length - fixed, 'N');
        CreateProductShortcut();
        auto files = FilesIn(HostPath("C:\\LINKS"));
        if (length <= 254) {
            ASSERT_EQ(files.size(), 1u);
            EXPECT_EQ(files[0].filename().string(), GroupName + ".LNK");
            fs::remove(files[0]);
        } else {
            EXPECT_TRUE(files.empty());
        }
    }
    // Nothing went anywhere else either, such as under the empty name's
    // current directory.
    EXPECT_TRUE(FilesIn(HostPath("C:\\")).empty());
}

TEST_F(ShortcutTest, NameWithBackslashesNeedsItsFoldersToExist) {
    GroupName = "Mellowick\\Rembrix";
    CreateProductShortcut();
    EXPECT_FALSE(fs::exists(HostPath(ProgramsFolder) / "Mellowick"));
    EXPECT_TRUE(FilesIn(HostPath(ProgramsFolder)).empty());

    fs::create_directories(HostPath(ProgramsFolder) / "Mellowick");
    CreateProductShortcut();
    ExpectLink(HostPath(ProgramsFolder) / "Mellowick" / "Rembrix.LNK",
               "C:\\Program Files\\Rembrix\\Rembrix.Exe", "C:\\Program Files\\Rembrix");
}

TEST_F(ShortcutTest, MissingShellFolderPutsTheLinkInTheCurrentDirectory) {
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER,
                                (std::string(ExplorerKey) + "\\Shell Folders").c_str(), 0,
                                KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteValueA(key, "programs"), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    ASSERT_TRUE(CreateDirectoryA("C:\\WORK", nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\WORK"));
    CreateProductShortcut();
    ExpectLink(HostPath("C:\\WORK\\Rembrix.LNK"), "C:\\Program Files\\Rembrix\\Rembrix.Exe",
               "C:\\Program Files\\Rembrix");
}

// A value of the wrong type is an error of the registry class, which ends
// the installation like every such error.
TEST_F(ShortcutTest, ShellFolderOfTheWrongTypeRaises) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER,
                              (std::string(ExplorerKey) + "\\Shell Folders").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 7;
    ASSERT_EQ(RegSetValueExA(key, "programs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                             sizeof number),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_THROW(CreateProductShortcut(), ERegistryException);
    EXPECT_EQ(LiveShellLinkObjects(), 0);
}

TEST_F(ShortcutTest, WithoutAUsableShellLinkObjectNoShortcutIsWritten) {
    for (ShellLinkFault fault :
         {ShellLinkFault::ClassNotRegistered, ShellLinkFault::NoPersistFile}) {
        SetShellLinkFault(fault);
        CreateProductShortcut();
        EXPECT_TRUE(FilesIn(HostPath(ProgramsFolder)).empty());
    }
    SetShellLinkFault(ShellLinkFault::None);
    CreateProductShortcut();
    EXPECT_EQ(FilesIn(HostPath(ProgramsFolder)).size(), 1u);
    EXPECT_EQ(LiveShellLinkObjects(), 0);
}

TEST_F(ShortcutTest, InitialisesComOnce) {
    EXPECT_EQ(ComInitializeDepth(), 0);
    CreateProductShortcut();
    EXPECT_EQ(ComInitializeDepth(), 1);
    // The objects are let go; COM stays initialised until the process ends.
    EXPECT_EQ(LiveShellLinkObjects(), 0);
}

} // namespace
