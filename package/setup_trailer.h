// Reading the setup trailer: the table of packed files at the end of the
// running setup program's own file (layout in package_format.h).
#pragma once

// Reads the trailer of the running program's own file, as the system reports
// its path, and replaces FileTable and UnpackedSize with what it holds.
//
// Goes through the checked file layer, opening the file read-only (it sets
// FileOpenMode to 0 for the open and puts the caller's value back), in this
// order: the length S; the 4 bytes of UnpackedSize at S - 4; the entry count N
// at S - 5; then from S - 5 - 28 * N each entry as 20 bytes (length and name),
// 4 bytes (Offset) and 4 bytes (Size), appended in order; then the close.
//
// Raises EInOutError, uncaught by design, when the file cannot be opened, is
// shorter than the trailer it claims, or ends before the last entry; the file
// is closed again first. Nothing read is tested for plausibility: N, the
// sizes, offsets and names are taken as stored. When the error comes after
// the table was emptied, FileTable holds the entries read before it.
void ReadSetupTrailer();
