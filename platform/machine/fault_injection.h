// Faults that tests inject under the real code: a write that fails, a disk
// that fills up, a read that fails, a crash in the middle of a registry save.
//
// A file fault names the file by its Windows path; the path is normalised and
// compared without regard to case, so any spelling of the same path works,
// and the file need not exist yet. A fault applies to every handle on that
// file, open now or opened later, until ClearFileFaults or the next
// StartMachine. Faults act in ReadFile and WriteFile, so the checked file
// layer and the handle functions both meet them.
#pragma once

#include "platform/api/win32_types.h"

#include <cstdint>
#include <string>

// Every later WriteFile to the file fails with ERROR_WRITE_FAULT and writes
// nothing.
void FailWritesTo(const std::string& windowsPath);

// The disk is full once `bytes` more bytes have been written to the file:
// the write that crosses the limit stores what still fits, reports that
// count, and fails with ERROR_DISK_FULL; every later write fails the same way
// and stores nothing.
void FillDiskAfter(const std::string& windowsPath, int64_t bytes);

// Every ReadFile from the file fails with ERROR_READ_FAULT once `afterBytes`
// more bytes have been read from it (0: the next read fails). The read that
// crosses the limit delivers what remains below it and fails.
void FailReadsFrom(const std::string& windowsPath, int64_t afterBytes = 0);

// Removes every file fault.
void ClearFileFaults();

// The next registry save ends the process at once (std::_Exit with
// RegistryCrashExitCode, nothing flushed or cleaned up) after `afterBytes`
// bytes of the new registry text have reached its temporary file; a negative
// value ends it after the whole temporary file was written and flushed, just
// before it would replace the registry file. Meant for a child process.
void CrashNextRegistrySave(int64_t afterBytes);
constexpr int RegistryCrashExitCode = 86;

// For the machine's own use.
// The number of bytes of a `requested` write that may reach the file
// (`requested` when no fault applies); sets `error` when the write must fail.
DWORD WritableBytesUnderFaults(const std::string& fullWindowsPath, DWORD requested, DWORD& error);
DWORD ReadableBytesUnderFaults(const std::string& fullWindowsPath, DWORD requested, DWORD& error);
// Counts bytes that did reach or leave the file, against the limits above.
void CountWrittenBytes(const std::string& fullWindowsPath, DWORD bytes);
void CountReadBytes(const std::string& fullWindowsPath, DWORD bytes);
// The armed registry crash point: -2 when none is armed. Reading it disarms it.
int64_t TakeRegistryCrashPoint();
