// Directories, drives, attributes and deletion: the kernel calls that work
// on names rather than on open handles.
#include "platform/api/kernel32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_files.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"
#include "platform/machine/paths.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr DWORD ErrorDirectory = 267; // "The directory name is invalid."
constexpr const char* WindowsDirectory = "C:\\WINDOWS";

// Normalises and resolves `path`; on failure sets the last error.
bool Resolve(LPCSTR path, WindowsPath& full, std::filesystem::path& hostPath) {
    DWORD error = 0;
    if (path == nullptr) {
        SetKernelError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!NormaliseWindowsPath(path, false, full, error) || !HostPathOf(full, hostPath, error)) {
        SetKernelError(error);
        return false;
    }
    return true;
}

// Copies `text` into a caller's buffer the way the Get...Directory calls do:
// the length without the terminating zero when it fits, else the size needed
// including it (and nothing copied).
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
    const auto length = static_cast<DWORD>(text.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return length;
}

// True when `folder` is the current directory or one of its ancestors.
bool HoldsCurrentDirectory(const WindowsPath& folder) {
    const std::string current = FoldAnsiCase(CurrentDirectoryPath());
    const std::string candidate = FoldAnsiCase(folder.Text());
    return current == candidate || current.starts_with(candidate + "\\");
}

} // namespace

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    EnsureMachineStarted();
    return CopyOut(WindowsDirectory, buffer, size);
}

UINT GetDriveTypeA(LPCSTR rootPathName) {
    EnsureMachineStarted();
    std::string root = rootPathName == nullptr ? CurrentDirectoryPath().substr(0, 3) : rootPathName;
    const bool isRoot =
        (root.size() == 2 || (root.size() == 3 && (root[2] == '\\' || root[2] == '/'))) &&
        root[1] == ':';
    if (!isRoot) {
        return DRIVE_NO_ROOT_DIR;
    }
    std::filesystem::path host;
    return HostRootOfDrive(root[0], host) ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    EnsureMachineStarted();
    return CopyOut(CurrentDirectoryPath(), buffer, size);
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
    EnsureMachineStarted();
    WindowsPath full;
    std::filesystem::path hostPath;
    if (!Resolve(pathName, full, hostPath)) {
        return FALSE;
    }
    struct stat status {};
    if (stat(hostPath.c_str(), &status) != 0) {
        SetKernelError(MissingEntryError(hostPath));
        return FALSE;
    }
    if (!S_ISDIR(status.st_mode)) {
        SetKernelError(ErrorDirectory);
        return FALSE;
    }
    SetCurrentDirectoryPath(full.Text());
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES /*securityAttributes*/) {
    EnsureMachineStarted();
    WindowsPath full;
    std::filesystem::path hostPath;
    if (!Resolve(pathName, full, hostPath)) {
        return FALSE;
    }
    if (full.IsRoot()) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    struct stat status {};
    if (lstat(hostPath.c_str(), &status) == 0) {
        SetKernelError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (MissingEntryError(hostPath) == ERROR_PATH_NOT_FOUND) {
        SetKernelError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (mkdir(hostPath.c_str(), 0777) != 0) {
        SetKernelErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
    EnsureMachineStarted();
    WindowsPath full;
    std::filesystem::path hostPath;
    if (!Resolve(pathName, full, hostPath)) {
        return FALSE;
    }
    struct stat status {};
    if (lstat(hostPath.c_str(), &status) != 0) {
        SetKernelError(MissingEntryError(hostPath));
        return FALSE;
    }
    if (!S_ISDIR(status.st_mode)) {
        SetKernelError(ErrorDirectory);
        return FALSE;
    }
    if (full.IsRoot() || HoldsCurrentDirectory(full)) {
        SetKernelError(full.IsRoot() ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (rmdir(hostPath.c_str()) != 0) {
        SetKernelErrorFromErrno(errno == EEXIST ? ENOTEMPTY : errno);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
    EnsureMachineStarted();
    WindowsPath full;
    std::filesystem::path hostPath;
    if (!Resolve(fileName, full, hostPath)) {
        return FALSE;
    }
    struct stat status {};
    if (lstat(hostPath.c_str(), &status) != 0) {
        SetKernelError(MissingEntryError(hostPath));
        return FALSE;
    }
    if (S_ISDIR(status.st_mode)) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (full.EndsWithSeparator) {
        SetKernelError(ERROR_INVALID_NAME);
        return FALSE;
    }
    if (!S_ISLNK(status.st_mode) && (status.st_mode & S_IWUSR) == 0) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (IsFileOpenWithoutDeleteSharing(hostPath)) {
        SetKernelError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (unlink(hostPath.c_str()) != 0) {
        SetKernelErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
    EnsureMachineStarted();
    WindowsPath full;
    std::filesystem::path hostPath;
    if (!Resolve(fileName, full, hostPath)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat status {};
    if (stat(hostPath.c_str(), &status) != 0) {
        SetKernelError(MissingEntryError(hostPath));
        return INVALID_FILE_ATTRIBUTES;
    }
    const bool isDirectory = S_ISDIR(status.st_mode);
    if (!isDirectory && full.EndsWithSeparator) {
        SetKernelError(ERROR_INVALID_NAME);
        return INVALID_FILE_ATTRIBUTES;
    }
    return FileAttributesFromHost(status);
}
