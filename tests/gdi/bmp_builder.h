// Builds .bmp files in memory for bitmap tests.
#pragma once

#include <cstdint>
#include <vector>

struct BmpRecipe {
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

inline std::vector<uint8_t> BuildBmp(const BmpRecipe& recipe) {
    const size_t headerSize = recipe.CoreHeader ? 12 : 40;
    const size_t entrySize = recipe.CoreHeader ? 3 : 4;
    const size_t stride = ((static_cast<size_t>(recipe.Width) * recipe.BitsPerPixel + 31) / 32) * 4;
    const size_t pixelOffset = 14 + headerSize + recipe.Palette.size() * entrySize;
    std::vector<uint8_t> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    PutDword(bytes, static_cast<uint32_t>(pixelOffset + stride * recipe.Height));
    PutDword(bytes, 0);
    PutDword(bytes, static_cast<uint32_t>(pixelOffset));
    PutDword(bytes, static_cast<uint32_t>(headerSize));
    if (recipe.CoreHeader) {
        PutWord(bytes, static_cast<uint32_t>(recipe.Width));
        PutWord(bytes, static_cast<uint32_t>(recipe.Height));
        PutWord(bytes, 1);
        PutWord(bytes, static_cast<uint32_t>(recipe.BitsPerPixel));
    } else {
        PutDword(bytes, static_cast<uint32_t>(recipe.Width));
        PutDword(bytes, static_cast<uint32_t>(recipe.TopDown ? -recipe.Height : recipe.Height));
        PutWord(bytes, 1);
        PutWord(bytes, static_cast<uint32_t>(recipe.BitsPerPixel));
        PutDword(bytes, 0); // BI_RGB
        PutDword(bytes, static_cast<uint32_t>(stride * recipe.Height));
        PutDword(bytes, 3780);
        PutDword(bytes, 3780);
        PutDword(bytes, static_cast<uint32_t>(recipe.Palette.size()));
        PutDword(bytes, 0);
    }
    for (uint32_t color : recipe.Palette) {
        bytes.push_back(static_cast<uint8_t>(color));
        bytes.push_back(static_cast<uint8_t>(color >> 8));
        bytes.push_back(static_cast<uint8_t>(color >> 16));
        if (!recipe.CoreHeader) {
            bytes.push_back(0);
        }
    }
    for (int fileRow = 0; fileRow < recipe.Height; ++fileRow) {
        const auto& row = recipe.Rows[recipe.TopDown ? fileRow : recipe.Height - 1 - fileRow];
        std::vector<uint8_t> packed(stride, 0);
        for (int x = 0; x < recipe.Width; ++x) {
            const uint32_t value = row[x];
            switch (recipe.BitsPerPixel) {
            case 1:
            case 4:
            case 8: {
                const size_t bit = static_cast<size_t>(x) * recipe.BitsPerPixel;
                const int shift = 8 - recipe.BitsPerPixel - static_cast<int>(bit % 8);
                packed[bit / 8] = static_cast<uint8_t>(packed[bit / 8] | (value << shift));
                break;
            }
            case 24:
            case 32: {
                const size_t at = static_cast<size_t>(x) * (recipe.BitsPerPixel / 8);
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
