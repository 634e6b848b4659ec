// File placement, the last step of the unpacking stage: copies every product
// file out of the bundle to its target and cuts the bundle back to the main
// program. Shows no progress and drains no messages; Cancel has no effect.
//
// Targets, by the name's extension compared in upper case:
//   ".LIB", ".DTP"  kept when a file of that name is already in DestinationDir,
//                   otherwise written there;
//   ".HLP"          WindowsDir\Help\<name>, or DestinationDir when that fails;
//   anything else   DestinationDir\<name>, replacing a file of that name.
// Deliberately so: the kept ".LIB" and ".DTP" files hold the user's own data
// from an earlier installation.
#pragma once

#include <string>

// Called by the unpacking stage with the bundle complete and closed and
// KeepGoing 1. Writes the entries of FileTable in table order, cuts the bundle
// at the first entry's Offset and empties FileTable. A table with no entries
// keeps the whole bundle (its first UnpackedSize bytes) as the main program.
// A target that cannot be created even in DestinationDir is skipped silently.
// When the bundle ends before an entry's bytes, the copy stops there: the
// short file is removed, the bundle is left uncut and a BundleShort stage
// failure is recorded (KeepGoing 0). Any other failed file operation raises
// EInOutError. Leaves FileOpenMode at 1 or 2; the stage restores it.
void PlaceFiles();

// The path that entry `name` is first written to, by the table above.
std::string PlacementTarget(const std::string& name);

// True for an entry that is skipped because DestinationDir already holds a
// file of that name and its extension is ".LIB" or ".DTP".
bool KeepsExistingFile(const std::string& name);
