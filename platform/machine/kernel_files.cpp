// CreateFileA and the calls on open file handles, over host file
// descriptors. Access rights, the read-only attribute and sharing between the
// process's own handles are honoured as Windows documents them.
#include "platform/machine/kernel_files.h"

#include "platform/api/kernel32.h"
#include "platform/machine/fault_injection.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"
#include "platform/machine/paths.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr DWORD FileShareDelete = 0x00000004u;
constexpr DWORD ErrorNegativeSeek = 131;

struct OpenFile {
    int Descriptor = -1;
    bool CanRead = false;
    bool CanWrite = false;
    DWORD ShareMode = 0;
    dev_t Device = 0;
    ino_t Inode = 0;
    std::string WindowsPath; // full and normalised, for injected faults
};

std::map<HANDLE, OpenFile> OpenFiles;

OpenFile* FindOpenFile(HANDLE handle) {
    const auto found = OpenFiles.find(handle);
    if (found == OpenFiles.end()) {
        SetKernelError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &found->second;
}

// A new open with this access and sharing is allowed only when every open
// handle on the same file shares what the new one wants and the new one shares
// what every open handle has.
bool SharingAllows(const struct stat& file, bool wantsRead, bool wantsWrite, DWORD shareMode) {
    for (const auto& [handle, open] : OpenFiles) {
        if (open.Device != file.st_dev || open.Inode != file.st_ino) {
            continue;
        }
        if ((wantsRead && !(open.ShareMode & FILE_SHARE_READ)) ||
            (wantsWrite && !(open.ShareMode & FILE_SHARE_WRITE)) ||
            (open.CanRead && !(shareMode & FILE_SHARE_READ)) ||
            (open.CanWrite && !(shareMode & FILE_SHARE_WRITE))) {
            return false;
        }
    }
    return true;
}

bool IsReadOnlyOnHost(const struct stat& file) {
    return (file.st_mode & S_IWUSR) == 0;
}

} // namespace

DWORD FileAttributesFromHost(const struct stat& status) {
    DWORD attributes = S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((status.st_mode & S_IWUSR) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes;
}

bool IsFileOpenWithoutDeleteSharing(const std::filesystem::path& hostPath) {
    struct stat file {};
    if (stat(hostPath.c_str(), &file) != 0) {
        return false;
    }
    for (const auto& [handle, open] : OpenFiles) {
        if (open.Device == file.st_dev && open.Inode == file.st_ino &&
            !(open.ShareMode & FileShareDelete)) {
            return true;
        }
    }
    return false;
}

void CloseAllKernelFiles() {
    for (const auto& [handle, open] : OpenFiles) {
        close(open.Descriptor);
    }
    OpenFiles.clear();
}

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES /*securityAttributes*/, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE /*templateFile*/) {
    EnsureMachineStarted();
    if (fileName == nullptr || creationDisposition < CREATE_NEW ||
        creationDisposition > TRUNCATE_EXISTING) {
        SetKernelError(fileName == nullptr ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    WindowsPath full;
    std::filesystem::path hostPath;
    DWORD error = 0;
    if (!NormaliseWindowsPath(fileName, false, full, error) || !HostPathOf(full, hostPath, error)) {
        SetKernelError(error);
        return INVALID_HANDLE_VALUE;
    }
    const bool wantsRead = (desiredAccess & GENERIC_READ) != 0;
    const bool wantsWrite = (desiredAccess & GENERIC_WRITE) != 0;
    const bool truncates =
        creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING;
    if (creationDisposition == TRUNCATE_EXISTING && !wantsWrite) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }

    struct stat existing {};
    const bool exists = stat(hostPath.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (full.EndsWithSeparator) {
        SetKernelError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    if (!exists &&
        (creationDisposition == OPEN_EXISTING || creationDisposition == TRUNCATE_EXISTING)) {
        SetKernelError(MissingEntryError(hostPath));
        return INVALID_HANDLE_VALUE;
    }
    if (exists && creationDisposition == CREATE_NEW) {
        SetKernelError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    if (exists && IsReadOnlyOnHost(existing) && (wantsWrite || truncates)) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (exists && !SharingAllows(existing, wantsRead, wantsWrite || truncates, shareMode)) {
        SetKernelError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    if (!exists && MissingEntryError(hostPath) == ERROR_PATH_NOT_FOUND) {
        SetKernelError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }

    int flags = O_CLOEXEC;
    if (wantsRead && wantsWrite) {
        flags |= O_RDWR;
    } else if (wantsWrite) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    if (creationDisposition == CREATE_NEW) {
        flags |= O_CREAT | O_EXCL;
    } else if (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS) {
        flags |= O_CREAT;
    }
    const mode_t newFileMode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    const int descriptor = open(hostPath.c_str(), flags, newFileMode);
    if (descriptor < 0) {
        SetKernelErrorFromErrno(errno);
        return INVALID_HANDLE_VALUE;
    }
    if (truncates && ftruncate(descriptor, 0) != 0) {
        const int truncateError = errno;
        close(descriptor);
        SetKernelErrorFromErrno(truncateError);
        return INVALID_HANDLE_VALUE;
    }
    struct stat opened {};
    fstat(descriptor, &opened);

    OpenFile file;
    file.Descriptor = descriptor;
    file.CanRead = wantsRead;
    file.CanWrite = wantsWrite;
    file.ShareMode = shareMode;
    file.Device = opened.st_dev;
    file.Inode = opened.st_ino;
    file.WindowsPath = full.Text();
    const HANDLE handle = NewKernelHandle();
    OpenFiles.emplace(handle, file);
    const bool reportsExisting =
        exists && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
    SetKernelError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              void* /*overlapped*/) {
    EnsureMachineStarted();
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) {
        return FALSE;
    }
    if (!open->CanRead) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (buffer == nullptr && bytesToRead > 0) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD faultError = ERROR_SUCCESS;
    const DWORD allowed = ReadableBytesUnderFaults(open->WindowsPath, bytesToRead, faultError);
    DWORD done = 0;
    while (done < allowed) {
        const ssize_t count =
            read(open->Descriptor, static_cast<char*>(buffer) + done, allowed - done);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            SetKernelErrorFromErrno(errno);
            if (bytesRead != nullptr) {
                *bytesRead = done;
            }
            return FALSE;
        }
        if (count == 0) {
            break;
        }
        done += static_cast<DWORD>(count);
    }
    CountReadBytes(open->WindowsPath, done);
    if (bytesRead != nullptr) {
        *bytesRead = done;
    }
    // The injected fault strikes only when the read would have gone past it.
    if (faultError != ERROR_SUCCESS && done == allowed) {
        SetKernelError(faultError);
        return FALSE;
    }
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               void* /*overlapped*/) {
    EnsureMachineStarted();
    if (bytesWritten != nullptr) {
        *bytesWritten = 0;
    }
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) {
        return FALSE;
    }
    if (!open->CanWrite) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (buffer == nullptr && bytesToWrite > 0) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD faultError = ERROR_SUCCESS;
    const DWORD allowed = WritableBytesUnderFaults(open->WindowsPath, bytesToWrite, faultError);
    DWORD done = 0;
    while (done < allowed) {
        const ssize_t count =
            write(open->Descriptor, static_cast<const char*>(buffer) + done, allowed - done);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int writeError = errno;
            CountWrittenBytes(open->WindowsPath, done);
            if (bytesWritten != nullptr) {
                *bytesWritten = done;
            }
            SetKernelErrorFromErrno(writeError);
            return FALSE;
        }
        done += static_cast<DWORD>(count);
    }
    CountWrittenBytes(open->WindowsPath, done);
    if (bytesWritten != nullptr) {
        *bytesWritten = done;
    }
    if (faultError != ERROR_SUCCESS) {
        SetKernelError(faultError);
        return FALSE;
    }
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, LONG* distanceToMoveHigh, DWORD moveMethod) {
    EnsureMachineStarted();
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) {
        return INVALID_SET_FILE_POINTER;
    }
    int64_t distance = distanceToMove;
    if (distanceToMoveHigh != nullptr) {
        distance = static_cast<int64_t>(
            (static_cast<uint64_t>(static_cast<uint32_t>(*distanceToMoveHigh)) << 32) |
            static_cast<uint32_t>(distanceToMove));
    }
    int64_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = lseek(open->Descriptor, 0, SEEK_CUR);
    } else if (moveMethod == FILE_END) {
        struct stat status {};
        fstat(open->Descriptor, &status);
        base = status.st_size;
    } else if (moveMethod != FILE_BEGIN) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    const int64_t target = base + distance;
    if (target < 0) {
        SetKernelError(ErrorNegativeSeek);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(open->Descriptor, static_cast<off_t>(target), SEEK_SET) < 0) {
        SetKernelErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceToMoveHigh != nullptr) {
        *distanceToMoveHigh = static_cast<LONG>(target >> 32);
    }
    SetKernelError(ERROR_SUCCESS);
    return static_cast<DWORD>(target & 0xFFFFFFFF);
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    EnsureMachineStarted();
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) {
        return INVALID_FILE_SIZE;
    }
    struct stat status {};
    if (fstat(open->Descriptor, &status) != 0) {
        SetKernelErrorFromErrno(errno);
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<uint64_t>(status.st_size);
    if (fileSizeHigh != nullptr) {
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    SetKernelError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFF);
}

BOOL SetEndOfFile(HANDLE file) {
    EnsureMachineStarted();
    OpenFile* open = FindOpenFile(file);
    if (open == nullptr) {
        return FALSE;
    }
    if (!open->CanWrite) {
        SetKernelError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const off_t position = lseek(open->Descriptor, 0, SEEK_CUR);
    if (position < 0 || ftruncate(open->Descriptor, position) != 0) {
        SetKernelErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE object) {
    EnsureMachineStarted();
    const auto found = OpenFiles.find(object);
    if (found == OpenFiles.end()) {
        SetKernelError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const int result = close(found->second.Descriptor);
    const int closeError = errno;
    OpenFiles.erase(found);
    if (result != 0) {
        SetKernelErrorFromErrno(closeError);
        return FALSE;
    }
    return TRUE;
}
