// Builds .bmp files in memory for bitmap tests.
#pragma once

#include <cstdint>
#include <vector>

struct BmpSpec {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 4;
    bool TopDown = false;
    bool CoreHeader = false;       // 12-byte BITMAPCOREHEADER
    std::vector<uint32_t> Palette; // 0x00RRGGBB, for 1, 4 and 8 bits
    // Rows top to bottom: palette indices for 1, 4 and 8 bits, 0x00RRGGBB
    // for 24 and 32 bits.
    std::vector<std::vector<uint32_t>> Rows;
};

inline void PutWord(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void PutDword(std::vector<uint8_t>& bytes, uint32_t value) {
    PutWord(bytes, value & 0xFFFF);
    PutWord(bytes, value >> 16);
}

inline std::vector<uint8_t> BuildBmp(const BmpSpec& spec) {
    const size_t headerSize = spec.CoreHeader ? 12 : 40;
    const size_t entrySize = spec.CoreHeader ? 3 : 4;
    const size_t stride = ((static_cast<size_t>(spec.Width) * spec.BitsPerPixel + 31) / 32) * 4;
    const size_t pixelOffset = 14 + headerSize + spec.Palette.size() * entrySize;
    std::vector<uint8_t> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    PutDword(bytes, static_cast<uint32_t>(pixelOffset + stride * spec.Height));
    PutDword(bytes, 0);
    PutDword(bytes, static_cast<uint32_t>(pixelOffset));
    PutDword(bytes, static_cast<uint32_t>(headerSize));
    if (spec.CoreHeader) {
        PutWord(bytes, static_cast<uint32_t>(spec.Width));
        PutWord(bytes, static_cast<uint32_t>(spec.Height));
        PutWord(bytes, 1);
        PutWord(bytes, static_cast<uint32_t>(spec.BitsPerPixel));
    } else {
        PutDword(bytes, static_cast<uint32_t>(spec.Width));
        PutDword(bytes, static_cast<uint32_t>(spec.TopDown ? -spec.Height : spec.Height));
        PutWord(bytes, 1);
        PutWord(bytes, static_cast<uint32_t>(spec.BitsPerPixel));
        PutDword(bytes, 0); // BI_RGB
        PutDword(bytes, static_cast<uint32_t>(stride * spec.Height));
        PutDword(bytes, 3780);
        PutDword(bytes, 3780);
        PutDword(bytes, static_cast<uint32_t>(spec.Palette.size()));
        PutDword(bytes, 0);
    }
    for (uint32_t color : spec.Palette) {
        bytes.push_back(static_cast<uint8_t>(color));
        bytes.push_back(static_cast<uint8_t>(color >> 8));
        bytes.push_back(static_cast<uint8_t>(color >> 16));
        if (!spec.CoreHeader) {
            bytes.push_back(0);
        }
    }
    for (int fileRow = 0; fileRow < spec.Height; ++fileRow) {
        const auto& row = spec.Rows[spec.TopDown ? fileRow : spec.Height - 1 - fileRow];
        std::vector<uint8_t> packed(stride, 0);
        for (int x = 0; x < spec.Width; ++x) {
            const uint32_t value = row[x];
            switch (spec.BitsPerPixel) {
            case 1:
            case 4:
            case 8: {
                const size_t bit = static_cast<size_t>(x) * spec.BitsPerPixel;
                const int shift = 8 - spec.BitsPerPixel - static_cast<int>(bit % 8);
                packed[bit / 8] = static_cast<uint8_t>(packed[bit / 8] | (value << shift));
                break;
            }
            case 24:
            case 32: {
                const size_t at = static_cast<size_t>(x) * (spec.BitsPerPixel / 8);
                packed[at] = static_cast<uint8_t>(value);
                packed[at + 1] = static_cast<uint8_t>(value >> 8);
                packed[at + 2] = static_cast<uint8_t>(value >> 16);
                break;
            }
            }
        }
        bytes.insert(bytes.end(), packed.begin(), packed.end());
    }
    return bytes;
}
