// The first dialog of an installation ("MAIN"): proposes an installation
// directory, checks the user's entry, creates the directory one level deep
// when it is missing, and leaves the choice in DestinationDir.
#pragma once

#include "platform/win32.h"

#include <string>

// The proposal shown in the edit box. Its initial value is never shown: the
// dialog's start replaces it from the registry, or from the program-files
// directory joined with the product's folder name.
extern std::string DefaultDestination;

// The dialog procedure. Returns 0 for every message, WM_INITDIALOG included
// (it sets the focus itself). Ends the dialog with 1 when an entry has been
// accepted, with 0 when the user gave up.
INT_PTR DestinationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Makes sure that `path` is an existing directory: true when it already is
// (nothing is touched), or when after an attempt to create it (one level
// only) it can be made the process's current directory; on that success
// DestinationDir becomes `path`. Failures are silent.
bool MakeDestinationDir(const std::string& path);

// True when `path` names an existing directory. A path with a wildcard is
// judged by its directory part; a path of at most three characters by its
// drive letter alone (DriveExists); one trailing backslash is ignored.
bool DirExists(const std::string& path);

// True when `letter`, upper-cased, is "A" to "Z" and GetDriveTypeA gives a
// type above 0 for its root. A letter with no volume behind it
// (DRIVE_NO_ROOT_DIR) counts as a drive.
bool DriveExists(char letter);

// True when `text` holds "*" or "?".
bool HasWildcard(const std::string& text);
