// The machine's open files, shared between the file calls and the calls that
// work on names (deleting an open file, attributes of an entry).
#pragma once

#include "platform/api/win32_types.h"

#include <filesystem>
#include <sys/stat.h>

// True when a handle of this process has the host file open and did not
// allow others to delete it; such a file cannot be deleted.
bool IsFileOpenWithoutDeleteSharing(const std::filesystem::path& hostPath);

// The Windows attributes of a host entry: directory, or archive for a file;
// read-only when the owner may not write it.
DWORD FileAttributesFromHost(const struct stat& status);
