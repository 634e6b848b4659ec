// The Shell Link (.LNK) binary file format, as the shell link object writes
// and reads it. Little-endian throughout.
//
//   ShellLinkHeader   0x4C bytes: size, CLSID 00021401-0000-0000-C000-
//                     000000000046, LinkFlags, target attributes, creation/
//                     access/write times, target size, icon index, show
//                     command, hot key, reserved zeros
//   LinkInfo          when the target is a full local path "X:\...":
//                     header (0x1C), VolumeID (drive type, serial, empty
//                     label), LocalBasePath (ANSI), CommonPathSuffix ("")
//   StringData        each a 16-bit character count and UTF-16 characters,
//                     no terminator, in this order when present: NAME_STRING
//                     (description), RELATIVE_PATH, WORKING_DIR,
//                     COMMAND_LINE_ARGUMENTS, ICON_LOCATION
//   ExtraData         only the terminal block (four zero bytes)
//
// A target that is not a full local path is kept as RELATIVE_PATH instead of
// LinkInfo. No LinkTargetIDList is written; one in a file that is read is
// skipped.
#pragma once

#include "platform/api/win32_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// LinkFlags bits.
constexpr uint32_t LinkHasTargetIdList = 0x00000001;
constexpr uint32_t LinkHasLinkInfo = 0x00000002;
constexpr uint32_t LinkHasName = 0x00000004;
constexpr uint32_t LinkHasRelativePath = 0x00000008;
constexpr uint32_t LinkHasWorkingDir = 0x00000010;
constexpr uint32_t LinkHasArguments = 0x00000020;
constexpr uint32_t LinkHasIconLocation = 0x00000040;
constexpr uint32_t LinkIsUnicode = 0x00000080;

constexpr uint32_t ShellLinkHeaderSize = 0x4C;

// What a link says. Texts are Windows-1252, as the ANSI interface gives them.
struct ShellLinkData {
    std::string TargetPath;       // full local path, or a relative one
    std::string WorkingDirectory; // empty: none
    std::string Arguments;
    std::string Description;
    std::string IconLocation;
    int32_t IconIndex = 0;
    uint32_t ShowCommand = 1; // SW_SHOWNORMAL
    uint16_t HotKey = 0;
    // What was known of the target when its path was set.
    uint32_t TargetAttributes = 0;
    FILETIME CreationTime{0, 0};
    FILETIME AccessTime{0, 0};
    FILETIME WriteTime{0, 0};
    uint32_t TargetSize = 0;
    // The target's volume, for LinkInfo.
    uint32_t DriveType = 3; // DRIVE_FIXED
    uint32_t DriveSerialNumber = 0;
};

// True when `path` is a full local path: a drive letter, ":" and "\".
bool IsFullLocalPath(const std::string& path);

// The bytes of a link file for `link`.
std::vector<uint8_t> EncodeShellLink(const ShellLinkData& link);

// The link that `bytes` hold; nothing when they are not a link file this
// reader understands (wrong header size or class, a structure that runs past
// the end).
std::optional<ShellLinkData> DecodeShellLink(const std::vector<uint8_t>& bytes);
