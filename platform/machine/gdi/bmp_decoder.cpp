#include "platform/machine/gdi/bmp_decoder.h"

#include <bit>
#include <vector>

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t CoreHeaderSize = 12;
constexpr size_t InfoHeaderSize = 40;
constexpr uint32_t CompressionNone = 0;  // BI_RGB
constexpr uint32_t CompressionMasks = 3; // BI_BITFIELDS
// Bitmaps larger than this are refused rather than allocated.
constexpr long long LargestSide = 32768;
constexpr long long LargestPixelCount = 1LL << 26;

uint16_t ReadWord(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t ReadDword(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

struct Header {
    long long Width = 0;
    long long Height = 0; // negative: rows top to bottom
    int BitsPerPixel = 0;
    uint32_t Compression = CompressionNone;
    uint32_t ColorsUsed = 0;
    size_t PaletteOffset = 0;
    size_t PaletteEntrySize = 4;
    uint32_t Masks[3] = {0, 0, 0}; // red, green, blue
};

// A channel out of a masked pixel value, scaled to 0..255.
uint32_t Channel(uint32_t value, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const uint32_t raw = (value & mask) >> shift;
    const uint32_t maximum = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return static_cast<uint32_t>((static_cast<uint64_t>(raw) * 255 + maximum / 2) / maximum);
}

bool ReadHeader(std::span<const uint8_t> bytes, Header& header, std::string& problem) {
    if (bytes.size() < FileHeaderSize + CoreHeaderSize) {
        problem = "file too short for its headers";
        return false;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        problem = "no BM signature";
        return false;
    }
    const uint32_t headerSize = ReadDword(bytes, FileHeaderSize);
    if (headerSize == CoreHeaderSize) {
        header.Width = ReadWord(bytes, FileHeaderSize + 4);
        header.Height = ReadWord(bytes, FileHeaderSize + 6);
        if (ReadWord(bytes, FileHeaderSize + 8) != 1) {
            problem = "plane count is not 1";
            return false;
        }
        header.BitsPerPixel = ReadWord(bytes, FileHeaderSize + 10);
        header.PaletteOffset = FileHeaderSize + CoreHeaderSize;
        header.PaletteEntrySize = 3;
        return true;
    }
    if (headerSize < InfoHeaderSize || headerSize > bytes.size() - FileHeaderSize) {
        problem = "unknown or truncated info header";
        return false;
    }
    header.Width = static_cast<int32_t>(ReadDword(bytes, FileHeaderSize + 4));
    header.Height = static_cast<int32_t>(ReadDword(bytes, FileHeaderSize + 8));
    if (ReadWord(bytes, FileHeaderSize + 12) != 1) {
        problem = "plane count is not 1";
        return false;
    }
    header.BitsPerPixel = ReadWord(bytes, FileHeaderSize + 14);
    header.Compression = ReadDword(bytes, FileHeaderSize + 16);
    header.ColorsUsed = ReadDword(bytes, FileHeaderSize + 32);
    header.PaletteOffset = FileHeaderSize + headerSize;
    if (header.Compression == CompressionMasks) {
        // The masks follow a plain info header; longer headers hold them.
        size_t masksAt = FileHeaderSize + InfoHeaderSize;
        if (headerSize == InfoHeaderSize) {
            header.PaletteOffset += 12;
        }
        if (masksAt + 12 > bytes.size()) {
            problem = "bit-field masks missing";
            return false;
        }
        for (int index = 0; index < 3; ++index) {
            header.Masks[index] = ReadDword(bytes, masksAt + 4 * static_cast<size_t>(index));
        }
    }
    return true;
}

bool CheckFormat(Header& header, std::string& problem) {
    const int bits = header.BitsPerPixel;
    const bool paletted = bits == 1 || bits == 4 || bits == 8;
    if (header.Compression == CompressionNone) {
        if (!paletted && bits != 16 && bits != 24 && bits != 32) {
            problem = "unsupported bits per pixel " + std::to_string(bits);
            return false;
        }
        if (bits == 16) {
            header.Masks[0] = 0x7C00;
            header.Masks[1] = 0x03E0;
            header.Masks[2] = 0x001F;
        } else if (bits == 32) {
            header.Masks[0] = 0x00FF0000;
            header.Masks[1] = 0x0000FF00;
            header.Masks[2] = 0x000000FF;
        }
    } else if (header.Compression == CompressionMasks) {
        if (bits != 16 && bits != 32) {
            problem = "bit-field masks need 16 or 32 bits per pixel";
            return false;
        }
    } else {
        problem = "unsupported compression " + std::to_string(header.Compression);
        return false;
    }
    const long long height = header.Height < 0 ? -header.Height : header.Height;
    if (header.Width <= 0 || height == 0 || header.Width > LargestSide || height > LargestSide ||
        header.Width * height > LargestPixelCount) {
        problem =
            "unusable size " + std::to_string(header.Width) + " x " + std::to_string(header.Height);
        return false;
    }
    return true;
}

bool ReadPalette(std::span<const uint8_t> bytes, const Header& header,
                 std::vector<uint32_t>& palette, std::string& problem) {
    if (header.BitsPerPixel > 8) {
        return true;
    }
    const uint32_t largest = 1u << header.BitsPerPixel;
    uint32_t count = header.ColorsUsed == 0 ? largest : header.ColorsUsed;
    if (count > largest) {
        count = largest;
    }
    const size_t end = header.PaletteOffset + count * header.PaletteEntrySize;
    if (end > bytes.size()) {
        problem = "palette runs past the end of the file";
        return false;
    }
    for (uint32_t index = 0; index < count; ++index) {
        const size_t at = header.PaletteOffset + index * header.PaletteEntrySize;
        // Entries are blue, green, red (and a reserved byte).
        palette.push_back((static_cast<uint32_t>(bytes[at + 2]) << 16) |
                          (static_cast<uint32_t>(bytes[at + 1]) << 8) | bytes[at]);
    }
    return true;
}

uint32_t PixelAt(const uint8_t* row, long long column, const Header& header,
                 const std::vector<uint32_t>& palette) {
    switch (header.BitsPerPixel) {
    case 1:
    case 4:
    case 8: {
        const int bits = header.BitsPerPixel;
        const long long bitOffset = column * bits;
        const uint8_t byte = row[bitOffset / 8];
        const int shift = 8 - bits - static_cast<int>(bitOffset % 8);
        const uint32_t index = (byte >> shift) & ((1u << bits) - 1);
        return index < palette.size() ? palette[index] : 0;
    }
    case 24: {
        const uint8_t* pixel = row + column * 3;
        return (static_cast<uint32_t>(pixel[2]) << 16) | (static_cast<uint32_t>(pixel[1]) << 8) |
               pixel[0];
    }
    default: {
        const uint8_t* pixel = row + column * (header.BitsPerPixel / 8);
        uint32_t value = pixel[0] | (static_cast<uint32_t>(pixel[1]) << 8);
        if (header.BitsPerPixel == 32) {
            value |=
                (static_cast<uint32_t>(pixel[2]) << 16) | (static_cast<uint32_t>(pixel[3]) << 24);
        }
        return (Channel(value, header.Masks[0]) << 16) | (Channel(value, header.Masks[1]) << 8) |
               Channel(value, header.Masks[2]);
    }
    }
}

} // namespace

bool DecodeBmp(std::span<const uint8_t> bytes, Surface& image, std::string& problem) {
    image = Surface{};
    Header header;
    if (!ReadHeader(bytes, header, problem) || !CheckFormat(header, problem)) {
        return false;
    }
    std::vector<uint32_t> palette;
    if (!ReadPalette(bytes, header, palette, problem)) {
        return false;
    }
    const size_t pixelOffset = ReadDword(bytes, 10);
    const bool topDown = header.Height < 0;
    const long long height = topDown ? -header.Height : header.Height;
    const long long stride = ((header.Width * header.BitsPerPixel + 31) / 32) * 4;
    const long long lastRowBytes = (header.Width * header.BitsPerPixel + 7) / 8;
    // The last row may stop without its padding.
    const long long needed = stride * (height - 1) + lastRowBytes;
    if (pixelOffset > bytes.size() || static_cast<long long>(bytes.size() - pixelOffset) < needed) {
        problem = "pixel data runs past the end of the file";
        return false;
    }
    Surface decoded;
    decoded.Resize(static_cast<int>(header.Width), static_cast<int>(height));
    for (long long fileRow = 0; fileRow < height; ++fileRow) {
        const uint8_t* row = bytes.data() + pixelOffset + fileRow * stride;
        const long long y = topDown ? fileRow : height - 1 - fileRow;
        for (long long x = 0; x < header.Width; ++x) {
            decoded.At(static_cast<int>(x), static_cast<int>(y)) = PixelAt(row, x, header, palette);
        }
    }
    image = std::move(decoded);
    return true;
}
