// The package format, shared by the installer (which reads packages) and the
// packer in tools/ (which writes them). Everything both sides must agree on
// lives here: the setup trailer's layout, the volume naming rule, the limits.
//
// A package is the setup program plus one to four volume files:
//
//   setup program file (S bytes)
//   +----------------------------+-------------------------------+---+------+
//   | executable image           | entry 0 | entry 1 | ... | N-1 | N | Size |
//   +----------------------------+-------------------------------+---+------+
//                                ^ S - 5 - 28*N                  ^S-5 ^S-4
//
//   entry (28 bytes)
//   +---+---------------------+--------+--------+
//   | L | name (19 bytes)     | Offset | Size   |
//   +---+---------------------+--------+--------+
//    0   1                     20       24
//
//   N: unsigned 8-bit entry count. Size (UnpackedSize), Offset and Size:
//   signed 32-bit little-endian. L: name length; only the first L name bytes
//   count, the rest is ignored and need not be zero.
//
//   Rembrix.001 | Rembrix.002 | ... : consecutive slices of one LZHUF stream,
//   cut anywhere, no headers. Decoded, the stream is the bundle: the main
//   program followed by every entry's bytes at [Offset, Offset + Size).
//
// Nothing marks the trailer's start; it is found from the end of the file.
#pragma once

#include "app/install_state.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t TrailerEntrySize = 28;
// Length byte plus name bytes, read as one field.
constexpr int32_t TrailerNameFieldSize = 20;
constexpr int32_t MaxEntryNameLength = 19;
// The entry count byte and the 4-byte unpacked size.
constexpr int32_t TrailerTailSize = 5;
constexpr int32_t MaxEntryCount = 255;
constexpr int32_t MaxVolumeCount = 4;

// Length in bytes of a trailer with `entryCount` entries: 28 * N + 5.
constexpr int64_t TrailerSize(int32_t entryCount) {
    return int64_t{TrailerEntrySize} * entryCount + TrailerTailSize;
}

// The name of volume `volumeNumber` (1 to 4) of a package whose first volume
// is `firstVolumeName`: volume 1 is that name, volume k the same name with its
// extension (from the name part's last dot on, appended when there is none)
// replaced by ".00k".
std::string VolumeName(const std::string& firstVolumeName, int volumeNumber);

// Little-endian signed 32-bit values, as every number of the trailer is stored.
int32_t DecodeInt32(const uint8_t* bytes);
void EncodeInt32(int32_t value, uint8_t* bytes);

// The name held by a 20-byte name field (length byte, then 19 bytes). A
// length byte above 19, which no sound package holds, yields the 19 bytes the
// field has: a name never extends past its field.
std::string DecodeEntryName(const uint8_t* field);

// The 28 bytes of one entry. Requires a name of at most 19 bytes; the unused
// name bytes are written as zeros.
void EncodeTrailerEntry(const FileEntry& entry, uint8_t* bytes);

// A trailer held in memory, decoded field by field.
struct ParsedTrailer {
    int32_t UnpackedSize = 0;
    std::vector<FileEntry> Entries;
    // The stored length byte of each entry (Entries[i].Name is cut to 19).
    std::vector<uint8_t> NameLengths;
};

enum class TrailerParseResult {
    Parsed,
    // Fewer than 5 bytes: no entry count and size to read.
    TooShortForTail,
    // The entry count claims more bytes than there are.
    TooShortForEntries,
};

// Decodes the trailer at the end of `fileEnd` (the last `length` bytes of a
// setup file, or the whole file), exactly as the installer's reader takes it:
// the fields as stored, no plausibility tested. Fills `trailer` only when the
// result is Parsed.
TrailerParseResult ParseSetupTrailer(const uint8_t* fileEnd, size_t length, ParsedTrailer& trailer);

// The whole trailer for `entries` and `unpackedSize`, ready to be appended to
// a setup program. Requires at most 255 entries with names of at most 19 bytes.
std::vector<uint8_t> EncodeSetupTrailer(const std::vector<FileEntry>& entries,
                                        int32_t unpackedSize);

// True for a name that a package may carry: 1 to 19 bytes, no path
// separators, drive colons, wildcards, quotes, pipes or control characters,
// not "." or "..", and not ending in a dot or a space (which Windows drops).
bool IsPlainFileName(const std::string& name);

// The rules a sound package keeps that the installer relies on without
// testing: at least one entry, every name plain (IsPlainFileName, with a
// stored length of 1 to 19), every Offset and Size non-negative and every
// entry inside the bundle. Returns one line per broken rule; empty when sound.
std::vector<std::string> FindTrailerProblems(const ParsedTrailer& trailer);
