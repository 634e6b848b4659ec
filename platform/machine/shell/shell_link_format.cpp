#include "platform/machine/shell/shell_link_format.h"

#include "platform/api/kernel32.h"

namespace {

// {00021401-0000-0000-C000-000000000046} as its bytes appear in the file.
constexpr uint8_t ShellLinkClassBytes[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr uint32_t LinkInfoHeaderSize = 0x1C;
constexpr uint32_t VolumeIdHeaderSize = 0x10;
constexpr uint32_t VolumeIdAndLocalBasePath = 0x1;

class ByteWriter {
  public:
    void Put16(uint32_t value) {
        Bytes.push_back(static_cast<uint8_t>(value));
        Bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    void Put32(uint32_t value) {
        Put16(value & 0xFFFF);
        Put16(value >> 16);
    }
    void PutTime(const FILETIME& time) {
        Put32(time.dwLowDateTime);
        Put32(time.dwHighDateTime);
    }
    void PutBytes(const uint8_t* data, size_t count) {
        Bytes.insert(Bytes.end(), data, data + count);
    }
    void PutTerminatedText(const std::string& text) {
        PutBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        Bytes.push_back(0);
    }
    std::vector<uint8_t> Bytes;
};

class ByteReader {
  public:
    explicit ByteReader(const std::vector<uint8_t>& bytes) : Bytes(bytes) {}
    bool Has(size_t count) const {
        return Position <= Bytes.size() && count <= Bytes.size() - Position;
    }
    uint32_t Get16() {
        const uint32_t value = Bytes[Position] | (static_cast<uint32_t>(Bytes[Position + 1]) << 8);
        Position += 2;
        return value;
    }
    uint32_t Get32() {
        const uint32_t low = Get16();
        return low | (Get16() << 16);
    }
    FILETIME GetTime() {
        FILETIME time;
        time.dwLowDateTime = Get32();
        time.dwHighDateTime = Get32();
        return time;
    }
    const std::vector<uint8_t>& Bytes;
    size_t Position = 0;
};

std::u16string WideFromAnsi(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    std::u16string wide(text.size(), u'\0');
    const int count = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                          wide.data(), static_cast<int>(wide.size()));
    wide.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return wide;
}

std::string AnsiFromWide(const std::u16string& wide) {
    if (wide.empty()) {
        return {};
    }
    std::string text(wide.size() * 2, '\0');
    const int count =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                            static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return text;
}

// A StringData entry holds at most 65535 characters; longer texts are cut.
void PutCountedText(ByteWriter& writer, const std::string& text) {
    std::u16string wide = WideFromAnsi(text);
    if (wide.size() > 0xFFFF) {
        wide.resize(0xFFFF);
    }
    writer.Put16(static_cast<uint32_t>(wide.size()));
    for (char16_t unit : wide) {
        writer.Put16(unit);
    }
}

void PutLinkInfo(ByteWriter& writer, const ShellLinkData& link) {
    const uint32_t volumeIdSize = VolumeIdHeaderSize + 1; // empty label and its zero
    const uint32_t localBasePathOffset = LinkInfoHeaderSize + volumeIdSize;
    const uint32_t commonPathSuffixOffset =
        localBasePathOffset + static_cast<uint32_t>(link.TargetPath.size()) + 1;
    const uint32_t linkInfoSize = commonPathSuffixOffset + 1;

    writer.Put32(linkInfoSize);
    writer.Put32(LinkInfoHeaderSize);
    writer.Put32(VolumeIdAndLocalBasePath);
    writer.Put32(LinkInfoHeaderSize); // VolumeID follows the header at once
    writer.Put32(localBasePathOffset);
    writer.Put32(0); // no CommonNetworkRelativeLink
    writer.Put32(commonPathSuffixOffset);

    writer.Put32(volumeIdSize);
    writer.Put32(link.DriveType);
    writer.Put32(link.DriveSerialNumber);
    writer.Put32(VolumeIdHeaderSize); // label right after the VolumeID header
    writer.PutTerminatedText("");

    writer.PutTerminatedText(link.TargetPath);
    writer.PutTerminatedText("");
}

std::optional<std::string> ReadTerminatedText(const std::vector<uint8_t>& bytes, size_t start,
                                              size_t end) {
    std::string text;
    for (size_t at = start; at < end; ++at) {
        if (bytes[at] == 0) {
            return text;
        }
        text.push_back(static_cast<char>(bytes[at]));
    }
    return std::nullopt;
}

// Reads the local base path of a LinkInfo that starts at the reader's
// position, and moves past the whole structure.
bool ReadLinkInfo(ByteReader& reader, ShellLinkData& link) {
    const size_t start = reader.Position;
    if (!reader.Has(LinkInfoHeaderSize)) {
        return false;
    }
    const uint32_t size = reader.Get32();
    const uint32_t headerSize = reader.Get32();
    const uint32_t flags = reader.Get32();
    const uint32_t volumeIdOffset = reader.Get32();
    const uint32_t localBasePathOffset = reader.Get32();
    reader.Get32(); // CommonNetworkRelativeLinkOffset
    const uint32_t commonPathSuffixOffset = reader.Get32();
    if (size < headerSize || headerSize < LinkInfoHeaderSize ||
        start + size > reader.Bytes.size()) {
        return false;
    }
    const size_t end = start + size;
    if ((flags & VolumeIdAndLocalBasePath) != 0) {
        if (volumeIdOffset + 8 > size || localBasePathOffset >= size) {
            return false;
        }
        const size_t volume = start + volumeIdOffset + 4;
        link.DriveType = reader.Bytes[volume] | (reader.Bytes[volume + 1] << 8) |
                         (reader.Bytes[volume + 2] << 16) |
                         (static_cast<uint32_t>(reader.Bytes[volume + 3]) << 24);
        auto base = ReadTerminatedText(reader.Bytes, start + localBasePathOffset, end);
        if (!base) {
            return false;
        }
        std::string suffix;
        if (commonPathSuffixOffset != 0 && commonPathSuffixOffset < size) {
            auto read = ReadTerminatedText(reader.Bytes, start + commonPathSuffixOffset, end);
            if (!read) {
                return false;
            }
            suffix = *read;
        }
        link.TargetPath = *base + suffix;
    }
    reader.Position = end;
    return true;
}

std::optional<std::string> ReadCountedText(ByteReader& reader, bool unicode) {
    if (!reader.Has(2)) {
        return std::nullopt;
    }
    const uint32_t count = reader.Get16();
    if (!reader.Has(unicode ? count * 2u : count)) {
        return std::nullopt;
    }
    if (!unicode) {
        std::string text(reader.Bytes.begin() + static_cast<std::ptrdiff_t>(reader.Position),
                         reader.Bytes.begin() +
                             static_cast<std::ptrdiff_t>(reader.Position + count));
        reader.Position += count;
        return text;
    }
    std::u16string wide;
    for (uint32_t index = 0; index < count; ++index) {
        wide.push_back(static_cast<char16_t>(reader.Get16()));
    }
    return AnsiFromWide(wide);
}

} // namespace

bool IsFullLocalPath(const std::string& path) {
    if (path.size() < 3) {
        return false;
    }
    const char letter = path[0];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && path[1] == ':' && path[2] == '\\';
}

std::vector<uint8_t> EncodeShellLink(const ShellLinkData& link) {
    const bool local = IsFullLocalPath(link.TargetPath);
    uint32_t flags = LinkIsUnicode;
    flags |= local ? LinkHasLinkInfo : 0;
    flags |= link.Description.empty() ? 0 : LinkHasName;
    flags |= (!local && !link.TargetPath.empty()) ? LinkHasRelativePath : 0;
    flags |= link.WorkingDirectory.empty() ? 0 : LinkHasWorkingDir;
    flags |= link.Arguments.empty() ? 0 : LinkHasArguments;
    flags |= link.IconLocation.empty() ? 0 : LinkHasIconLocation;

    ByteWriter writer;
    writer.Put32(ShellLinkHeaderSize);
    writer.PutBytes(ShellLinkClassBytes, sizeof ShellLinkClassBytes);
    writer.Put32(flags);
    writer.Put32(link.TargetAttributes);
    writer.PutTime(link.CreationTime);
    writer.PutTime(link.AccessTime);
    writer.PutTime(link.WriteTime);
    writer.Put32(link.TargetSize);
    writer.Put32(static_cast<uint32_t>(link.IconIndex));
    writer.Put32(link.ShowCommand);
    writer.Put16(link.HotKey);
    writer.Put16(0);
    writer.Put32(0);
    writer.Put32(0);

    if (local) {
        PutLinkInfo(writer, link);
    }
    if (flags & LinkHasName) {
        PutCountedText(writer, link.Description);
    }
    if (flags & LinkHasRelativePath) {
        PutCountedText(writer, link.TargetPath);
    }
    if (flags & LinkHasWorkingDir) {
        PutCountedText(writer, link.WorkingDirectory);
    }
    if (flags & LinkHasArguments) {
        PutCountedText(writer, link.Arguments);
    }
    if (flags & LinkHasIconLocation) {
        PutCountedText(writer, link.IconLocation);
    }
    writer.Put32(0); // the terminal block of ExtraData
    return writer.Bytes;
}

std::optional<ShellLinkData> DecodeShellLink(const std::vector<uint8_t>& bytes) {
    ByteReader reader(bytes);
    if (!reader.Has(ShellLinkHeaderSize) || reader.Get32() != ShellLinkHeaderSize) {
        return std::nullopt;
    }
    for (uint8_t expected : ShellLinkClassBytes) {
        if (bytes[reader.Position++] != expected) {
            return std::nullopt;
        }
    }
    ShellLinkData link;
    const uint32_t flags = reader.Get32();
    link.TargetAttributes = reader.Get32();
    link.CreationTime = reader.GetTime();
    link.AccessTime = reader.GetTime();
    link.WriteTime = reader.GetTime();
    link.TargetSize = reader.Get32();
    link.IconIndex = static_cast<int32_t>(reader.Get32());
    link.ShowCommand = reader.Get32();
    link.HotKey = static_cast<uint16_t>(reader.Get16());
    reader.Position = ShellLinkHeaderSize;

    if (flags & LinkHasTargetIdList) {
        if (!reader.Has(2)) {
            return std::nullopt;
        }
        const uint32_t listSize = reader.Get16();
        if (!reader.Has(listSize)) {
            return std::nullopt;
        }
        reader.Position += listSize;
    }
    if ((flags & LinkHasLinkInfo) && !ReadLinkInfo(reader, link)) {
        return std::nullopt;
    }
    const bool unicode = (flags & LinkIsUnicode) != 0;
    const std::pair<uint32_t, std::string*> strings[] = {
        {LinkHasName, &link.Description},
        {LinkHasRelativePath, nullptr},
        {LinkHasWorkingDir, &link.WorkingDirectory},
        {LinkHasArguments, &link.Arguments},
        {LinkHasIconLocation, &link.IconLocation},
    };
    for (const auto& [flag, target] : strings) {
        if ((flags & flag) == 0) {
            continue;
        }
        auto text = ReadCountedText(reader, unicode);
        if (!text) {
            return std::nullopt;
        }
        if (target != nullptr) {
            *target = *text;
        } else if (link.TargetPath.empty()) {
            link.TargetPath = *text;
        }
    }
    return link;
}
