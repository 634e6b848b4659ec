// Windows paths of the machine and the host paths behind them.
//
// Drive C: is the machine folder's drive_c, drive Z: is the host's root, and
// every other letter has no volume. Paths are Windows-1252 text with either
// separator; relative paths start from the process's current directory.
// Each component is found on the host without regard to case: an exact
// match first, then the first (in name order) of the folder's entries that
// equals it without regard to case; a component that matches nothing keeps
// its own spelling, so it names a file or folder still to be created.
#pragma once

#include "platform/api/win32_types.h"

#include <filesystem>
#include <string>
#include <vector>

// A full, normalised Windows path: a drive and the components below its root.
struct WindowsPath {
    char Drive = 'C'; // upper case
    std::vector<std::string> Components;
    // The path as written ended with a separator (it names a directory).
    bool EndsWithSeparator = false;

    // "C:\", "C:\WINDOWS\HELP"
    std::string Text() const;
    bool IsRoot() const { return Components.empty(); }
};

// Normalises `path`: separators, the current directory for relative and
// drive-relative paths, "." and ".." components, and the trailing dots and
// spaces Windows drops. Fails (false, `error` set) with ERROR_INVALID_NAME for
// a name Windows refuses (characters < > : " | ? * and controls; wildcards
// are allowed in the last component only when `allowWildcards`),
// ERROR_PATH_NOT_FOUND for a network path or an empty one, and
// ERROR_FILENAME_EXCED_RANGE for a full path of MAX_PATH characters or more.
bool NormaliseWindowsPath(const std::string& path, bool allowWildcards, WindowsPath& full,
                          DWORD& error);

// The host folder of a drive's root; false for a letter without a volume.
bool HostRootOfDrive(char letter, std::filesystem::path& root);

// The host entry of one more component below `folder` (see the lookup rule
// above). `ansiName` is Windows-1252.
std::filesystem::path LookUpComponent(const std::filesystem::path& folder,
                                      const std::string& ansiName);

// The host path of a full Windows path; false with ERROR_PATH_NOT_FOUND when
// its drive has no volume.
bool HostPathOf(const WindowsPath& path, std::filesystem::path& hostPath, DWORD& error);

// NormaliseWindowsPath followed by HostPathOf.
bool ResolveWindowsPath(const std::string& path, std::filesystem::path& hostPath, DWORD& error);

// What a missing host entry means to Windows: ERROR_FILE_NOT_FOUND when its
// folder exists, ERROR_PATH_NOT_FOUND when the folder is missing too.
DWORD MissingEntryError(const std::filesystem::path& hostPath);

// The Windows path of a host path: C:\... inside drive C:'s folder, Z:\...
// for anything else. Names are converted to Windows-1252.
std::string WindowsPathFromHostPath(const std::filesystem::path& hostPath);
