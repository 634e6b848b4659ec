// The file layer of the program's block input and output, over the Win32
// file calls.
//
// Checked operations: every call is checked, and any failure raises
// EInOutError (operation, the file's Windows path, the host's reason), which
// nothing in the installer catches. Handle operations: the plain calls used
// while unpacking, which raise nothing and answer -1 on failure.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>

// Access with which OpenBlockFile opens an existing file: 0 read-only,
// 1 write-only, 2 read and write. Starts at 2. Creating a file ignores it.
extern uint8_t FileOpenMode;

// An open file of 1-byte records.
struct BlockFile {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    std::string Path; // the Windows path, for error reports
};

// Opens an existing file with the access that FileOpenMode selects.
void OpenBlockFile(BlockFile& file, const std::string& path);
// Creates the file, or empties an existing one, for reading and writing.
void CreateBlockFile(BlockFile& file, const std::string& path);
// The file's length in bytes.
int32_t BlockFileSize(BlockFile& file);
// Moves the position to `position` bytes from the start.
void SeekBlockFile(BlockFile& file, int32_t position);
// Reads up to `count` bytes; returns how many were read (0 at the end).
int32_t ReadBlockFile(BlockFile& file, void* buffer, int32_t count);
// Reads exactly `count` bytes; a short read is a failure.
void ReadExactBlockFile(BlockFile& file, void* buffer, int32_t count);
// Writes exactly `count` bytes; a short write (a full disk) is a failure.
void WriteBlockFile(BlockFile& file, const void* buffer, int32_t count);
// True when the position is at or past the end of the file.
bool AtEndOfBlockFile(BlockFile& file);
// Cuts the file at the current position.
void TruncateBlockFile(BlockFile& file);
// Closes the file; the BlockFile can then be opened again.
void CloseBlockFile(BlockFile& file);

// True when `path` names an existing file (a directory does not count).
bool FileExists(const std::string& path);

// Handle operations. Handles are positive; -1 means failure.
// Create: read and write access, no sharing, replaces an existing file.
int32_t CreateHandleFile(const std::string& path);
// Open an existing file for writing, shared for reading and writing.
int32_t OpenHandleFileForWriting(const std::string& path);
// Open an existing file for reading, not shared.
int32_t OpenHandleFileForReading(const std::string& path);
// Reads up to `count` bytes: the count read, 0 at the end, -1 on failure.
int32_t ReadHandleFile(int32_t handle, void* buffer, int32_t count);
// Writes `count` bytes: the count written, or -1 on failure.
int32_t WriteHandleFile(int32_t handle, const void* buffer, int32_t count);
void CloseHandleFile(int32_t handle);
