#include "platform/machine/fault_injection.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/reg_ini_file.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// The .reg file read the way another tool would: the header line, then
// sections mapping each key to its value lines exactly as written.
struct ExportedRegistry {
    std::string Header;
    std::map<std::string, std::vector<std::string>> Sections;
};

ExportedRegistry ReadExport(const std::filesystem::path& file) {
    ExportedRegistry exported;
    std::istringstream stream(ReadHostFile(file));
    std::string line;
    std::string section;
    std::string pending;
    while (std::getline(stream, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "a line without CR LF: " << line;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (exported.Header.empty()) {
            exported.Header = line;
        } else if (line.starts_with("[")) {
            section = line.substr(1, line.size() - 2);
            exported.Sections[section];
        } else if (!line.empty()) {
            // A hex list continues on the next line after ",\".
            if (line.ends_with("\\")) {
                pending += line.substr(0, line.size() - 1);
                continue;
            }
            const auto start = pending.empty() ? 0 : line.find_first_not_of(' ');
            exported.Sections[section].push_back(pending + line.substr(start));
            pending.clear();
        }
    }
    return exported;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

LONG SetValue(HKEY root, const char* path, const char* name, DWORD type,
              const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    LONG result =
        RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    result = RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return result;
}

std::vector<BYTE> QueryValue(HKEY root, const char* path, const char* name, DWORD& type) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    DWORD size = 0;
    RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    return data;
}

std::vector<BYTE> Text(const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

int RunInChild(const std::function<void()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(30);
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

TEST(Registry, AFreshMachineHasTheValuesTheInstallerReads) {
    TestMachine machine;
    TRegIniFile programFiles("Software\\Mellowick");
    programFiles.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(programFiles.OpenKey("software\\microsoft\\windows", false));
    EXPECT_EQ(programFiles.ReadString("CurrentVersion", "ProgramFilesDir", "?"),
              "C:\\Program Files");

    TRegIniFile shell("Software\\microsoft\\windows\\currentversion\\explorer");
    EXPECT_EQ(shell.ReadString("Shell Folders", "programs", ""),
              "C:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_EQ(shell.ReadString("Shell Folders", "startup", ""),
              "C:\\WINDOWS\\Start Menu\\Programs\\StartUp");
    // They name folders that exist.
    EXPECT_EQ(GetFileAttributesA(shell.ReadString("Shell Folders", "startup", "").c_str()),
              FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Registry, ValuesSurviveARestartAndCompareWithoutCase) {
    TestMachine machine;
    {
        TRegIniFile registry("Software\\Mellowick");
        registry.WriteString("Rembrix", "RegDir", "C:\\Program Files\\Rembrix");
        registry.WriteString("Rembrix", "Quote", "say \"caf\xE9\"\\");
    }
    const std::vector<BYTE> binary = {0x00, 0x01, 0xFE, 0xFF};
    std::vector<BYTE> longBinary(100);
    for (std::size_t index = 0; index < longBinary.size(); ++index) {
        longBinary[index] = static_cast<BYTE>(index * 7);
    }
    const std::vector<BYTE> dword = {10, 0, 0, 0};
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Types", "Binary", REG_BINARY, binary),
              ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Types", "Long", REG_BINARY, longBinary),
              ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Types", "Number", REG_DWORD, dword),
              ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Types", "Expand", REG_EXPAND_SZ,
                       Text("%WINDIR%\\x")),
              ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Types", nullptr, REG_SZ, Text("default")),
              ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Types", "Lines", REG_SZ, Text("a\r\nb")),
              ERROR_SUCCESS);

    StartMachine(machine.Config);

    TRegIniFile registry("SOFTWARE\\mellowick");
    EXPECT_EQ(registry.ReadString("REMBRIX", "regdir", ""), "C:\\Program Files\\Rembrix");
    EXPECT_EQ(registry.ReadString("Rembrix", "Quote", ""), "say \"caf\xE9\"\\");
    struct Case {
        const char* Name;
        DWORD Type;
        std::vector<BYTE> Data;
    };
    const Case cases[] = {
        {"binary", REG_BINARY, binary},     {"LONG", REG_BINARY, longBinary},
        {"Number", REG_DWORD, dword},       {"Expand", REG_EXPAND_SZ, Text("%WINDIR%\\x")},
        {nullptr, REG_SZ, Text("default")}, {"Lines", REG_SZ, Text("a\r\nb")},
    };
    for (const Case& c : cases) {
        DWORD type = 0;
        EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, "software\\TYPES", c.Name, type), c.Data)
            << (c.Name ? c.Name : "@");
        EXPECT_EQ(type, c.Type) << (c.Name ? c.Name : "@");
    }
}

TEST(Registry, TheFileIsARegistryEditorExport) {
    TestMachine machine;
    {
        TRegIniFile registry("Software\\Mellowick");
        registry.WriteString("Rembrix", "RegDir", "C:\\Program Files\\Rembrix");
    }
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Mellowick\\Rembrix", "Count", REG_DWORD,
                       {10, 0, 0, 0}),
              ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Mellowick\\Rembrix", "Path", REG_EXPAND_SZ,
                       Text("%A%")),
              ERROR_SUCCESS);
    ASSERT_EQ(
        SetValue(HKEY_CURRENT_USER, "Software\\Mellowick\\Rembrix", nullptr, REG_BINARY, {1, 0xAB}),
        ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Mellowick\\Rembrix", "Name", REG_SZ,
                       Text("caf\xE9")),
              ERROR_SUCCESS);

    const ExportedRegistry exported = ReadExport(machine.Folder() / "registry.reg");
    EXPECT_EQ(exported.Header, "Windows Registry Editor Version 5.00");
    ASSERT_EQ(exported.Sections.count("HKEY_CURRENT_USER\\Software\\Mellowick\\Rembrix"), 1u);
    const auto& lines = exported.Sections.at("HKEY_CURRENT_USER\\Software\\Mellowick\\Rembrix");
    EXPECT_TRUE(Contains(lines, "\"RegDir\"=\"C:\\\\Program Files\\\\Rembrix\""));
    EXPECT_TRUE(Contains(lines, "\"Count\"=dword:0000000a"));
    EXPECT_TRUE(Contains(lines, "\"Path\"=hex(2):25,00,41,00,25,00,00,00"));
    EXPECT_TRUE(Contains(lines, "@=hex:01,ab"));
    EXPECT_TRUE(Contains(lines, "\"Name\"=\"caf\xC3\xA9\"")); // UTF-8 in the file
    EXPECT_EQ(lines.size(), 5u);
    // Every parent key has its own section.
    EXPECT_EQ(exported.Sections.count("HKEY_CURRENT_USER\\Software\\Mellowick"), 1u);
    EXPECT_TRUE(Contains(
        exported.Sections.at("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
        "\"ProgramFilesDir\"=\"C:\\\\Program Files\""));
}

TEST(Registry, ASaveInterruptedAnywhereLeavesThePreviousRegistryWhole) {
    TestMachine machine;
    {
        TRegIniFile registry("Software\\Mellowick");
        registry.WriteString("Rembrix", "RegDir", "C:\\Before");
    }
    const std::string before = ReadHostFile(machine.Folder() / "registry.reg");
    for (const int64_t crashPoint : {int64_t{0}, int64_t{40}, int64_t{-1}}) {
        const int exitCode = RunInChild([&] {
            CrashNextRegistrySave(crashPoint);
            TRegIniFile registry("Software\\Mellowick");
            registry.WriteString("Rembrix", "RegDir", "C:\\After");
        });
        EXPECT_EQ(exitCode, RegistryCrashExitCode) << crashPoint;
        EXPECT_EQ(ReadHostFile(machine.Folder() / "registry.reg"), before) << crashPoint;
        StartMachine(machine.Config);
        TRegIniFile registry("Software\\Mellowick");
        EXPECT_EQ(registry.ReadString("Rembrix", "RegDir", ""), "C:\\Before") << crashPoint;
    }
    // The next save goes through over the leftover temporary file.
    TRegIniFile registry("Software\\Mellowick");
    registry.WriteString("Rembrix", "RegDir", "C:\\After");
    StartMachine(machine.Config);
    EXPECT_EQ(TRegIniFile("Software\\Mellowick").ReadString("Rembrix", "RegDir", ""), "C:\\After");
}

TEST(Registry, AFailedSaveIsReportedAndUndone) {
    TestMachine machine;
    // A folder where the temporary file must go makes the save fail.
    std::filesystem::create_directories(machine.Folder() / "registry.reg.tmp");
    EXPECT_NE(SetValue(HKEY_CURRENT_USER, "Software\\Mellowick", "x", REG_SZ, Text("y")),
              ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_TRUE(QueryValue(HKEY_CURRENT_USER, "Software\\Mellowick", "x", type).empty());
    TRegIniFile registry("Software\\Other");
    EXPECT_THROW(registry.WriteString("Section", "x", "y"), ERegistryException);
    std::filesystem::remove(machine.Folder() / "registry.reg.tmp");
    registry.WriteString("Section", "x", "y");
    EXPECT_EQ(registry.ReadString("Section", "x", ""), "y");
}

TEST(Registry, ReadStringGivesTheDefaultOrRaisesForANonString) {
    TestMachine machine;
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Mellowick\\Rembrix", "RegDir", REG_DWORD,
                       {1, 0, 0, 0}),
              ERROR_SUCCESS);
    ASSERT_EQ(
        SetValue(HKEY_CURRENT_USER, "Software\\Mellowick\\Rembrix", "Empty", REG_SZ, Text("")),
        ERROR_SUCCESS);
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\Mellowick\\Rembrix", "Expand", REG_EXPAND_SZ,
                       Text("%TEMP%")),
              ERROR_SUCCESS);
    TRegIniFile registry("Software\\Mellowick");
    EXPECT_THROW(registry.ReadString("Rembrix", "RegDir", "default"), ERegistryException);
    EXPECT_EQ(registry.ReadString("Rembrix", "Missing", "default"), "default");
    EXPECT_EQ(registry.ReadString("No Section", "RegDir", "default"), "default");
    EXPECT_EQ(registry.ReadString("Rembrix", "Empty", "default"), "");
    EXPECT_EQ(registry.ReadString("Rembrix", "Expand", ""), "%TEMP%");

    // Opening a missing key without creating it fails and keeps the open key.
    EXPECT_FALSE(registry.OpenKey("Nowhere", false));
    EXPECT_EQ(registry.ReadString("Rembrix", "Empty", "default"), "");
    HKEY probe = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Mellowick\\Nowhere", 0, KEY_READ, &probe),
              ERROR_FILE_NOT_FOUND);
}

TEST(Registry, AReadOnlyLocalMachineRefusesWrites) {
    MachineConfig config;
    config.FrontEnd = "headless";
    config.ReadOnlyLocalMachine = true;
    TestMachine machine(config);
    // Created under HKEY_CURRENT_USER, as the uninstall entry's registry object does.
    TRegIniFile registry("Software\\microsoft\\windows\\currentversion\\uninstall");
    const std::string before = ReadHostFile(machine.Folder() / "registry.reg");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(registry.OpenKey("Software\\microsoft\\windows\\currentversion\\uninstall", true));
    EXPECT_THROW(registry.WriteString("Rembrix", "DisplayName", "Rembrix"), ERegistryException);
    EXPECT_FALSE(registry.OpenKey("Software\\Mellowick", true));

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, Text("D:\\").data(), 4),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(key, "ProgramFilesDir"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(key, "Uninstall"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(ReadHostFile(machine.Folder() / "registry.reg"), before);

    // Reading it and writing the user's own keys still work.
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey("software\\microsoft\\windows", false));
    EXPECT_EQ(registry.ReadString("CurrentVersion", "ProgramFilesDir", ""), "C:\\Program Files");
    TRegIniFile user("Software\\Mellowick");
    user.WriteString("Rembrix", "RegDir", "C:\\X");
    EXPECT_EQ(user.ReadString("Rembrix", "RegDir", ""), "C:\\X");
}

TEST(Registry, KeyAccessRightsAndDeletion) {
    TestMachine machine;
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\A\\B", "v", REG_SZ, Text("1")), ERROR_SUCCESS);
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, KEY_READ, &readOnly),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(readOnly, "w", 0, REG_SZ, Text("2").data(), 2), ERROR_ACCESS_DENIED);
    HKEY created = nullptr;
    EXPECT_EQ(
        RegCreateKeyExA(readOnly, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
        ERROR_ACCESS_DENIED);
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(readOnly, "b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A"), ERROR_ACCESS_DENIED); // has a subkey
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A\\B"), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(created, "v", nullptr, &type, nullptr, &size), 1018); // key deleted
    EXPECT_EQ(RegCloseKey(created), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(created), ERROR_INVALID_HANDLE);
    RegCloseKey(readOnly);

    // A buffer too small for a value gives ERROR_MORE_DATA and the size needed.
    ASSERT_EQ(SetValue(HKEY_CURRENT_USER, "Software\\A", "long", REG_SZ, Text("123456")),
              ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE small[3] = {};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "LONG", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);
    RegCloseKey(key);
}

TEST(Registry, AnUnreadableFileIsKeptAsideAndAFreshRegistryStarts) {
    TestMachine machine;
    std::ofstream(machine.Folder() / "registry.reg", std::ios::binary) << "not a registry\r\n";
    testing::internal::CaptureStderr();
    StartMachine(machine.Config);
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find("line 1"), std::string::npos) << warning;
    EXPECT_EQ(ReadHostFile(machine.Folder() / "registry.reg.unreadable"), "not a registry\r\n");
    EXPECT_EQ(TRegIniFile("Software\\microsoft\\windows\\currentversion\\explorer")
                  .ReadString("Shell Folders", "Programs", ""),
              "C:\\WINDOWS\\Start Menu\\Programs");
}
