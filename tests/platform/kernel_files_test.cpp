#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sys/stat.h>

namespace {

void WriteHostFile(const std::filesystem::path& path, const std::string& contents) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

TEST(KernelFiles, CreationDispositionsFollowTheDocumentedRules) {
    TestMachine machine;
    WriteHostFile(machine.DriveC() / "old.txt", "old contents");
    struct Case {
        const char* Path;
        DWORD Disposition;
        bool Succeeds;
        DWORD Error; // the last error afterwards
    };
    const Case cases[] = {
        {"C:\\OLD.TXT", CREATE_NEW, false, ERROR_FILE_EXISTS},
        {"C:\\new1.txt", CREATE_NEW, true, ERROR_SUCCESS},
        {"C:\\missing.txt", OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND},
        {"C:\\no folder\\x.txt", OPEN_EXISTING, false, ERROR_PATH_NOT_FOUND},
        {"C:\\no folder\\x.txt", CREATE_ALWAYS, false, ERROR_PATH_NOT_FOUND},
        {"C:\\new2.txt", OPEN_ALWAYS, true, ERROR_SUCCESS},
        {"C:\\old.txt", OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS},
        {"C:\\WINDOWS", OPEN_EXISTING, false, ERROR_ACCESS_DENIED},
        {"C:\\old.txt\\", OPEN_EXISTING, false, ERROR_INVALID_NAME},
        {"Q:\\x.txt", CREATE_ALWAYS, false, ERROR_PATH_NOT_FOUND},
        {"C:\\Old.Txt", CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS},
    };
    for (const Case& c : cases) {
        const HANDLE handle = Open(c.Path, GENERIC_READ | GENERIC_WRITE, 0, c.Disposition);
        EXPECT_EQ(handle != INVALID_HANDLE_VALUE, c.Succeeds) << c.Path;
        EXPECT_EQ(GetLastError(), c.Error) << c.Path;
        if (handle != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(handle));
        }
    }
    // CREATE_ALWAYS emptied the existing file, under its own spelling.
    EXPECT_EQ(ReadHostFile(machine.DriveC() / "old.txt"), "");
    EXPECT_FALSE(std::filesystem::exists(machine.DriveC() / "Old.Txt"));
}

TEST(KernelFiles, AccessRightsAreHonoured) {
    TestMachine machine;
    WriteHostFile(machine.DriveC() / "data.bin", "0123456789");
    char buffer[16] = {};
    DWORD count = 99;

    const HANDLE reader = Open("C:\\data.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(SetEndOfFile(reader));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(ReadFile(reader, buffer, 4, &count, nullptr));
    EXPECT_EQ(std::string(buffer, count), "0123");
    EXPECT_TRUE(CloseHandle(reader));

    const HANDLE writer = Open("C:\\data.bin", GENERIC_WRITE, 0, OPEN_EXISTING);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReadFile(writer, buffer, 4, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(SetFilePointer(writer, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_TRUE(WriteFile(writer, "ab", 2, &count, nullptr));
    EXPECT_EQ(count, 2u);
    EXPECT_TRUE(SetEndOfFile(writer));
    EXPECT_EQ(GetFileSize(writer, nullptr), 6u);
    EXPECT_EQ(SetFilePointer(writer, -10, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), 131u); // ERROR_NEGATIVE_SEEK
    EXPECT_EQ(SetFilePointer(writer, -1, nullptr, FILE_END), 5u);
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_EQ(ReadHostFile(machine.DriveC() / "data.bin"), "0123ab");

    EXPECT_FALSE(CloseHandle(writer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReadFile(writer, buffer, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(KernelFiles, AReadOnlyFileRefusesWritingReplacingAndDeleting) {
    TestMachine machine;
    const auto path = machine.DriveC() / "locked.txt";
    WriteHostFile(path, "keep");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    EXPECT_EQ(GetFileAttributesA("C:\\LOCKED.TXT"),
              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    for (const DWORD disposition : {DWORD{OPEN_EXISTING}, DWORD{CREATE_ALWAYS}}) {
        EXPECT_EQ(Open("C:\\locked.txt", GENERIC_WRITE, 0, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_FALSE(DeleteFileA("C:\\locked.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const HANDLE reader = Open("C:\\locked.txt", GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_EQ(ReadHostFile(path), "keep");
}

TEST(KernelFiles, SharingBetweenTheProcesssHandlesIsEnforced) {
    TestMachine machine;
    WriteHostFile(machine.DriveC() / "shared.bin", "x");
    const HANDLE exclusive = Open("C:\\shared.bin", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open("C:\\SHARED.BIN", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileA("C:\\shared.bin"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(exclusive);

    const HANDLE first =
        Open("C:\\shared.bin", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    const HANDLE second =
        Open("C:\\shared.bin", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    EXPECT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    // A third that shares nothing conflicts with both.
    EXPECT_EQ(Open("C:\\shared.bin", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    CloseHandle(first);
    CloseHandle(second);
    EXPECT_TRUE(DeleteFileA("C:\\shared.bin"));
    EXPECT_FALSE(DeleteFileA("C:\\shared.bin"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(KernelFiles, RestartingTheMachineClosesEveryHandle) {
    TestMachine machine;
    const HANDLE handle = Open("C:\\a.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    StartMachine(machine.Config);
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(handle, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(DeleteFileA("C:\\a.txt"));
}

TEST(KernelDirectories, CreateRemoveAndAttributes) {
    TestMachine machine;
    EXPECT_TRUE(CreateDirectoryA("C:\\Program Files\\Rembrix", nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(machine.DriveC() / "Program Files" / "Rembrix"));
    EXPECT_FALSE(CreateDirectoryA("c:\\program files\\REMBRIX", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("C:\\One\\Two", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(std::filesystem::exists(machine.DriveC() / "One"));
    EXPECT_FALSE(CreateDirectoryA("Q:\\New", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_EQ(GetFileAttributesA("C:\\PROGRAM FILES\\rembrix\\"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA("C:\\"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA("C:\\nothing"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("C:\\nothing\\at all"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    WriteHostFile(machine.DriveC() / "Program Files" / "Rembrix" / "f.txt", "x");
    EXPECT_FALSE(RemoveDirectoryA("C:\\Program Files\\Rembrix"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(DeleteFileA("C:\\Program Files\\Rembrix"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(DeleteFileA("C:\\Program Files\\Rembrix\\F.TXT"));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Program Files\\Rembrix"));
    EXPECT_FALSE(RemoveDirectoryA("C:\\Program Files\\Rembrix"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_TRUE(RemoveDirectoryA("C:\\Program Files\\Rembrix"));
    EXPECT_FALSE(std::filesystem::exists(machine.DriveC() / "Program Files" / "Rembrix"));
}

TEST(KernelDirectories, DrivesAndTheWindowsDirectory) {
    TestMachine machine;
    struct Case {
        const char* Root;
        UINT Expected;
    };
    const Case cases[] = {
        {"C:\\", DRIVE_FIXED},       {"c:", DRIVE_FIXED},
        {"Z:\\", DRIVE_FIXED},       {"Q:\\", DRIVE_NO_ROOT_DIR},
        {"A:\\", DRIVE_NO_ROOT_DIR}, {"C:\\WINDOWS", DRIVE_NO_ROOT_DIR},
        {"1:\\", DRIVE_NO_ROOT_DIR}, {nullptr, DRIVE_FIXED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetDriveTypeA(c.Root), c.Expected) << (c.Root ? c.Root : "(null)");
    }
    char directory[256] = {};
    EXPECT_EQ(GetWindowsDirectoryA(directory, sizeof directory), 10u);
    EXPECT_STREQ(directory, "C:\\WINDOWS");
    char small[10] = {};
    EXPECT_EQ(GetWindowsDirectoryA(small, sizeof small), 11u);
    EXPECT_EQ(GetFileAttributesA(directory), FILE_ATTRIBUTE_DIRECTORY);
}

TEST(KernelSearch, FindsEntriesByWildcardAndByName) {
    TestMachine machine;
    const auto folder = machine.DriveC() / "Stuff";
    WriteHostFile(folder / "one.txt", "1");
    WriteHostFile(folder / "Two.TXT", "22");
    WriteHostFile(folder / "three.dat", "333");
    WriteHostFile(folder / "README", "");
    std::filesystem::create_directories(folder / "Sub");

    auto Names = [](const char* pattern) {
        std::set<std::string> names;
        WIN32_FIND_DATAA data{};
        const HANDLE search = FindFirstFileA(pattern, &data);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            names.insert(data.cFileName);
        } while (FindNextFileA(search, &data));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(search));
        return names;
    };
    EXPECT_EQ(Names("C:\\stuff\\*.txt"), (std::set<std::string>{"Two.TXT", "one.txt"}));
    EXPECT_EQ(Names("C:\\stuff\\t??e*"), (std::set<std::string>{"three.dat"}));
    EXPECT_EQ(Names("C:\\stuff\\*.*"), (std::set<std::string>{".", "..", "README", "Sub", "Two.TXT",
                                                              "one.txt", "three.dat"}));
    EXPECT_EQ(Names("C:\\stuff\\readme.*"), (std::set<std::string>{"README"}));
    EXPECT_EQ(Names("C:\\stuff\\*.none"), std::set<std::string>{});
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Names("C:\\nowhere\\*"), std::set<std::string>{});
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // A name without wildcards finds that one entry, spelled as on the disk.
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA("c:\\STUFF\\sub", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "Sub");
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(FindNextFileA(search, &data));
    FindClose(search);
    search = FindFirstFileA("C:\\Stuff\\three.dat", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 3u);
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    FindClose(search);
    EXPECT_FALSE(FindClose(search));
    for (const char* refused : {"C:\\", "C:\\Stuff\\"}) {
        EXPECT_EQ(FindFirstFileA(refused, &data), INVALID_HANDLE_VALUE) << refused;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << refused;
    }
}

TEST(KernelMessages, SystemTextsCarryTheHostsReason) {
    TestMachine machine;
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, ERROR_ACCESS_DENIED, 0, text, sizeof text, nullptr);
    EXPECT_EQ(std::string(text, length), "Access is denied.\r\n");
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, text, 5,
                             nullptr),
              0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 99999, 0, text, sizeof text, nullptr),
        0u);
}
