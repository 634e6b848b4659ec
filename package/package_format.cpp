#include "package/package_format.h"

#include "platform/runtime/file_names.h"

#include <cstring>

std::string VolumeName(const std::string& firstVolumeName, int volumeNumber) {
    if (volumeNumber <= 1) {
        return firstVolumeName;
    }
    return ChangeFileExt(firstVolumeName, ".00" + std::to_string(volumeNumber));
}

int32_t DecodeInt32(const uint8_t* bytes) {
    const uint32_t value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                           uint32_t{bytes[3]} << 24;
    return static_cast<int32_t>(value);
}

void EncodeInt32(int32_t value, uint8_t* bytes) {
    const auto bits = static_cast<uint32_t>(value);
    for (int index = 0; index < 4; ++index) {
        bytes[index] = static_cast<uint8_t>(bits >> (8 * index));
    }
}

std::string DecodeEntryName(const uint8_t* field) {
    const size_t length = field[0] > MaxEntryNameLength ? MaxEntryNameLength : field[0];
    return std::string(reinterpret_cast<const char*>(field + 1), length);
}

void EncodeTrailerEntry(const FileEntry& entry, uint8_t* bytes) {
    std::memset(bytes, 0, TrailerEntrySize);
    const size_t length =
        entry.Name.size() > MaxEntryNameLength ? MaxEntryNameLength : entry.Name.size();
    bytes[0] = static_cast<uint8_t>(length);
    std::memcpy(bytes + 1, entry.Name.data(), length);
    EncodeInt32(entry.Offset, bytes + TrailerNameFieldSize);
    EncodeInt32(entry.Size, bytes + TrailerNameFieldSize + 4);
}

TrailerParseResult ParseSetupTrailer(const uint8_t* fileEnd, size_t length,
                                     ParsedTrailer& trailer) {
    if (length < static_cast<size_t>(TrailerTailSize)) {
        return TrailerParseResult::TooShortForTail;
    }
    const uint8_t* tail = fileEnd + length - TrailerTailSize;
    const int32_t entryCount = tail[0];
    if (static_cast<int64_t>(length) < TrailerSize(entryCount)) {
        return TrailerParseResult::TooShortForEntries;
    }
    trailer.UnpackedSize = DecodeInt32(tail + 1);
    trailer.Entries.clear();
    trailer.NameLengths.clear();
    const uint8_t* entry = fileEnd + length - TrailerSize(entryCount);
    for (int32_t index = 0; index < entryCount; ++index, entry += TrailerEntrySize) {
        FileEntry decoded;
        decoded.Name = DecodeEntryName(entry);
        decoded.Offset = DecodeInt32(entry + TrailerNameFieldSize);
        decoded.Size = DecodeInt32(entry + TrailerNameFieldSize + 4);
        trailer.Entries.push_back(decoded);
        trailer.NameLengths.push_back(entry[0]);
    }
    return TrailerParseResult::Parsed;
}

std::vector<uint8_t> EncodeSetupTrailer(const std::vector<FileEntry>& entries,
                                        int32_t unpackedSize) {
    std::vector<uint8_t> bytes(
        static_cast<size_t>(TrailerSize(static_cast<int32_t>(entries.size()))));
    uint8_t* entry = bytes.data();
    for (const FileEntry& file : entries) {
        EncodeTrailerEntry(file, entry);
        entry += TrailerEntrySize;
    }
    entry[0] = static_cast<uint8_t>(entries.size());
    EncodeInt32(unpackedSize, entry + 1);
    return bytes;
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > static_cast<size_t>(MaxEntryNameLength)) {
        return false;
    }
    if (name == "." || name == ".." || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    for (const char character : name) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7F || std::strchr("\\/:*?\"<>|", character) != nullptr) {
            return false;
        }
    }
    return true;
}

namespace {

// The name with every byte outside printable ASCII written as \xNN, so that
// a damaged name cannot upset the terminal that shows it.
std::string Printable(const std::string& name) {
    static const char digits[] = "0123456789ABCDEF";
    std::string printable;
    for (const char character : name) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            printable += character;
        } else {
            printable += "\\x";
            printable += digits[byte >> 4];
            printable += digits[byte & 15];
        }
    }
    return printable;
}

} // namespace

std::vector<std::string> FindTrailerProblems(const ParsedTrailer& trailer) {
    std::vector<std::string> problems;
    if (trailer.Entries.empty()) {
        problems.push_back(
            "the table has no entries, so nothing marks where the main program ends");
    }
    if (trailer.UnpackedSize < 0) {
        problems.push_back("the unpacked size " + std::to_string(trailer.UnpackedSize) +
                           " is negative");
    }
    for (size_t index = 0; index < trailer.Entries.size(); ++index) {
        const FileEntry& entry = trailer.Entries[index];
        const std::string which = "entry " + std::to_string(index);
        const uint8_t storedLength = index < trailer.NameLengths.size()
                                         ? trailer.NameLengths[index]
                                         : static_cast<uint8_t>(entry.Name.size());
        if (storedLength == 0 || storedLength > MaxEntryNameLength) {
            problems.push_back(which + ": name length " + std::to_string(storedLength) +
                               " is outside 1 to 19");
        } else if (!IsPlainFileName(entry.Name)) {
            problems.push_back(which + ": \"" + Printable(entry.Name) +
                               "\" is not a plain file name");
        }
        if (entry.Offset < 0 || entry.Size < 0) {
            problems.push_back(which + ": negative offset or size");
        } else if (int64_t{entry.Offset} + entry.Size > trailer.UnpackedSize) {
            problems.push_back(which + ": bytes " + std::to_string(entry.Offset) + " to " +
                               std::to_string(int64_t{entry.Offset} + entry.Size) +
                               " lie past the unpacked size " +
                               std::to_string(trailer.UnpackedSize));
        }
    }
    return problems;
}
