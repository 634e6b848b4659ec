// The file layer over the Win32 file calls alone, so that a native build can
// use it unchanged.
#include "platform/runtime/file_layer.h"

#include "platform/runtime/errors.h"

#include <map>

uint8_t FileOpenMode = 2;

namespace {

// The system's text for an error code, without its line end; a plain number
// when the system has no text for it.
std::string ReasonFor(DWORD errorCode) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, errorCode, 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() &&
           (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(errorCode) : reason;
}

[[noreturn]] void RaiseLastError(const char* operation, const std::string& path) {
    const DWORD errorCode = GetLastError();
    throw EInOutError(operation, path, ReasonFor(errorCode));
}

[[noreturn]] void Raise(const char* operation, const std::string& path, const std::string& reason) {
    throw EInOutError(operation, path, reason);
}

void RequireOpen(const BlockFile& file, const char* operation) {
    if (file.Handle == INVALID_HANDLE_VALUE || file.Handle == nullptr) {
        Raise(operation, file.Path, "the file is not open");
    }
}

void RequireCount(const BlockFile& file, int32_t count, const char* operation) {
    if (count < 0) {
        Raise(operation, file.Path, "a negative byte count was asked for");
    }
}

void OpenWith(BlockFile& file, const std::string& path, DWORD access, DWORD disposition,
              const char* operation) {
    if (file.Handle != INVALID_HANDLE_VALUE && file.Handle != nullptr) {
        CloseHandle(file.Handle);
    }
    file.Handle = INVALID_HANDLE_VALUE;
    file.Path = path;
    const HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        RaiseLastError(operation, path);
    }
    file.Handle = handle;
}

int64_t CurrentPosition(BlockFile& file, const char* operation) {
    LONG high = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD low = SetFilePointer(file.Handle, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) {
        RaiseLastError(operation, file.Path);
    }
    return (static_cast<int64_t>(high) << 32) | low;
}

int64_t FileLength(BlockFile& file, const char* operation) {
    DWORD high = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD low = GetFileSize(file.Handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
        RaiseLastError(operation, file.Path);
    }
    return (static_cast<int64_t>(high) << 32) | low;
}

// Handles of the handle operations: positive numbers standing for the
// system's handles.
std::map<int32_t, HANDLE> HandleFiles;
int32_t NextHandleNumber = 1;

int32_t RememberHandle(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        return -1;
    }
    const int32_t number = NextHandleNumber++;
    HandleFiles[number] = handle;
    return number;
}

HANDLE SystemHandle(int32_t number) {
    const auto found = HandleFiles.find(number);
    return found == HandleFiles.end() ? INVALID_HANDLE_VALUE : found->second;
}

} // namespace

void OpenBlockFile(BlockFile& file, const std::string& path) {
    DWORD access = 0;
    switch (FileOpenMode) {
    case 0:
        access = GENERIC_READ;
        break;
    case 1:
        access = GENERIC_WRITE;
        break;
    case 2:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        file.Path = path;
        Raise("Open", path,
              "the file access mode " + std::to_string(FileOpenMode) + " is not 0, 1 or 2");
    }
    OpenWith(file, path, access, OPEN_EXISTING, "Open");
}

void CreateBlockFile(BlockFile& file, const std::string& path) {
    OpenWith(file, path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, "Create");
}

int32_t BlockFileSize(BlockFile& file) {
    RequireOpen(file, "Size");
    const int64_t length = FileLength(file, "Size");
    if (length > INT32_MAX) {
        Raise("Size", file.Path, "the file is larger than 2 GB");
    }
    return static_cast<int32_t>(length);
}

void SeekBlockFile(BlockFile& file, int32_t position) {
    RequireOpen(file, "Seek");
    SetLastError(ERROR_SUCCESS);
    if (SetFilePointer(file.Handle, position, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != ERROR_SUCCESS) {
        RaiseLastError("Seek", file.Path);
    }
}

int32_t ReadBlockFile(BlockFile& file, void* buffer, int32_t count) {
    RequireOpen(file, "Read");
    RequireCount(file, count, "Read");
    DWORD read = 0;
    if (!ReadFile(file.Handle, buffer, static_cast<DWORD>(count), &read, nullptr)) {
        RaiseLastError("Read", file.Path);
    }
    return static_cast<int32_t>(read);
}

void ReadExactBlockFile(BlockFile& file, void* buffer, int32_t count) {
    const int32_t read = ReadBlockFile(file, buffer, count);
    if (read != count) {
        Raise("Read", file.Path,
              "the file ends after " + std::to_string(read) + " of " + std::to_string(count) +
                  " bytes");
    }
}

void WriteBlockFile(BlockFile& file, const void* buffer, int32_t count) {
    RequireOpen(file, "Write");
    RequireCount(file, count, "Write");
    DWORD written = 0;
    if (!WriteFile(file.Handle, buffer, static_cast<DWORD>(count), &written, nullptr)) {
        RaiseLastError("Write", file.Path);
    }
    if (written != static_cast<DWORD>(count)) {
        Raise("Write", file.Path, ReasonFor(ERROR_DISK_FULL));
    }
}

bool AtEndOfBlockFile(BlockFile& file) {
    RequireOpen(file, "End-of-file test");
    return CurrentPosition(file, "End-of-file test") >= FileLength(file, "End-of-file test");
}

void TruncateBlockFile(BlockFile& file) {
    RequireOpen(file, "Truncate");
    if (!SetEndOfFile(file.Handle)) {
        RaiseLastError("Truncate", file.Path);
    }
}

void CloseBlockFile(BlockFile& file) {
    RequireOpen(file, "Close");
    const HANDLE handle = file.Handle;
    file.Handle = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) {
        RaiseLastError("Close", file.Path);
    }
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int32_t CreateHandleFile(const std::string& path) {
    return RememberHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

int32_t OpenHandleFileForWriting(const std::string& path) {
    return RememberHandle(CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

int32_t OpenHandleFileForReading(const std::string& path) {
    return RememberHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

int32_t ReadHandleFile(int32_t handle, void* buffer, int32_t count) {
    const HANDLE system = SystemHandle(handle);
    DWORD read = 0;
    if (system == INVALID_HANDLE_VALUE || count < 0 ||
        !ReadFile(system, buffer, static_cast<DWORD>(count), &read, nullptr)) {
        return -1;
    }
    return static_cast<int32_t>(read);
}

int32_t WriteHandleFile(int32_t handle, const void* buffer, int32_t count) {
    const HANDLE system = SystemHandle(handle);
    DWORD written = 0;
    if (system == INVALID_HANDLE_VALUE || count < 0 ||
        !WriteFile(system, buffer, static_cast<DWORD>(count), &written, nullptr)) {
        return -1;
    }
    return static_cast<int32_t>(written);
}

void CloseHandleFile(int32_t handle) {
    const auto found = HandleFiles.find(handle);
    if (found != HandleFiles.end()) {
        CloseHandle(found->second);
        HandleFiles.erase(found);
    }
}
