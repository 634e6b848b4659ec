// FormatMessageA for the system's error texts, with the host's own reason
// added when the error came from a host call.
#include "platform/api/kernel32.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"

#include <cstring>
#include <string>

namespace {

constexpr DWORD ErrorMessageNotFound = 317;

const char* SystemMessage(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND:
        return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
        return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED:
        return "Access is denied.";
    case ERROR_INVALID_HANDLE:
        return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "Not enough memory resources are available to process this command.";
    case ERROR_INVALID_DRIVE:
        return "The system cannot find the drive specified.";
    case ERROR_NO_MORE_FILES:
        return "There are no more files.";
    case ERROR_WRITE_FAULT:
        return "The system cannot write to the specified device.";
    case ERROR_READ_FAULT:
        return "The system cannot read from the specified device.";
    case ERROR_SHARING_VIOLATION:
        return "The process cannot access the file because it is being used by another process.";
    case ERROR_HANDLE_DISK_FULL:
        return "The disk is full.";
    case ERROR_FILE_EXISTS:
        return "The file exists.";
    case ERROR_INVALID_PARAMETER:
        return "The parameter is incorrect.";
    case ERROR_DISK_FULL:
        return "There is not enough space on the disk.";
    case ERROR_INSUFFICIENT_BUFFER:
        return "The data area passed to a system call is too small.";
    case ERROR_INVALID_NAME:
        return "The filename, directory name, or volume label syntax is incorrect.";
    case 126:
        return "The specified module could not be found.";
    case 131:
        return "An attempt was made to move the file pointer before the beginning of the file.";
    case ERROR_DIR_NOT_EMPTY:
        return "The directory is not empty.";
    case ERROR_ALREADY_EXISTS:
        return "Cannot create a file when that file already exists.";
    case ERROR_FILENAME_EXCED_RANGE:
        return "The filename or extension is too long.";
    case ERROR_MORE_DATA:
        return "More data is available.";
    case 267:
        return "The directory name is invalid.";
    case 1018:
        return "Illegal operation attempted on a registry key that has been marked for deletion.";
    case ERROR_RESOURCE_DATA_NOT_FOUND:
        return "The specified image file did not contain a resource section.";
    case ERROR_RESOURCE_TYPE_NOT_FOUND:
        return "The specified resource type cannot be found in the image file.";
    case ERROR_RESOURCE_NAME_NOT_FOUND:
        return "The specified resource name cannot be found in the image file.";
    default:
        return nullptr;
    }
}

} // namespace

DWORD FormatMessageA(DWORD flags, LPCVOID /*source*/, DWORD messageId, DWORD /*languageId*/,
                     LPSTR buffer, DWORD size, void* /*arguments*/) {
    EnsureMachineStarted();
    const std::string hostReason = HostReasonFor(messageId);
    if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || buffer == nullptr) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char* message = SystemMessage(messageId);
    if (message == nullptr) {
        SetKernelError(ErrorMessageNotFound);
        return 0;
    }
    std::string text = message;
    if (!hostReason.empty()) {
        text += " (" + hostReason + ")";
    }
    text += "\r\n";
    if (text.size() + 1 > size) {
        SetKernelError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}
