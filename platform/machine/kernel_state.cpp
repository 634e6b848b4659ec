#include "platform/machine/kernel_state.h"

#include "platform/api/kernel32.h"
#include "platform/machine/machine.h"

#include <cerrno>
#include <cstring>

namespace {

DWORD LastError = ERROR_SUCCESS;
// The host's reason behind LastError, while LastError is the one it explains.
DWORD HostReasonCode = ERROR_SUCCESS;
std::string HostReason;
std::string CurrentDirectory = "C:\\";
uintptr_t NextHandleValue = 0x100;

} // namespace

void SetKernelError(DWORD errorCode) {
    LastError = errorCode;
    HostReason.clear();
}

DWORD WindowsErrorFromErrno(int hostErrno) {
    switch (hostErrno) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_WRITE_FAULT;
    }
}

void SetKernelErrorFromErrno(int hostErrno) {
    LastError = WindowsErrorFromErrno(hostErrno);
    HostReasonCode = LastError;
    HostReason = std::strerror(hostErrno);
}

std::string HostReasonFor(DWORD errorCode) {
    if (HostReason.empty() || errorCode != LastError || errorCode != HostReasonCode) {
        return std::string();
    }
    return HostReason;
}

const std::string& CurrentDirectoryPath() {
    return CurrentDirectory;
}

void SetCurrentDirectoryPath(const std::string& fullWindowsPath) {
    CurrentDirectory = fullWindowsPath;
}

HANDLE NewKernelHandle() {
    NextHandleValue += 4;
    return reinterpret_cast<HANDLE>(NextHandleValue);
}

void ResetKernelState() {
    CloseAllKernelFiles();
    CloseAllFileSearches();
    ClearFileFaults();
    LastError = ERROR_SUCCESS;
    HostReason.clear();
    CurrentDirectory = "C:\\";
}

DWORD GetLastError() {
    EnsureMachineStarted();
    return LastError;
}

void SetLastError(DWORD errorCode) {
    EnsureMachineStarted();
    SetKernelError(errorCode);
}
