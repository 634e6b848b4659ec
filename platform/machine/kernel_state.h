// The kernel's process state inside the machine: the last error with the
// host's reason behind it, the current directory, and the kernel handles
// (open files and file searches). Reset by ResetKernelState.
#pragma once

#include "platform/api/win32_types.h"

#include <filesystem>
#include <string>

// Sets the thread's last error and forgets any host reason.
void SetKernelError(DWORD errorCode);
// Sets the last error that best matches a host errno and keeps the host's
// own text (strerror) as the reason FormatMessageA adds for it.
void SetKernelErrorFromErrno(int hostErrno);
DWORD WindowsErrorFromErrno(int hostErrno);
// The host's reason for `errorCode` when it is the current last error and
// came from a host call; empty otherwise.
std::string HostReasonFor(DWORD errorCode);

// The process's current directory as a full Windows path ("C:\" at start).
const std::string& CurrentDirectoryPath();
void SetCurrentDirectoryPath(const std::string& fullWindowsPath);

// A fresh, never reused kernel handle value: not null, not
// INVALID_HANDLE_VALUE, and distinct from every other handle the kernel gave.
HANDLE NewKernelHandle();

// Closes every open file and search (defined with the files and searches).
void CloseAllKernelFiles();
void CloseAllFileSearches();
// Forgets every injected file fault (defined with fault injection).
void ClearFileFaults();
