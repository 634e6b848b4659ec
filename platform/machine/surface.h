// A block of pixels: the surface of a top-level window, a memory bitmap, or
// the composed screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Pixels are 0x00RRGGBB, rows top to bottom.
struct Surface {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;

    void Resize(int width, int height, uint32_t fill = 0) {
        Width = width;
        Height = height;
        Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    }
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// COLORREF (0x00BBGGRR) to surface pixel (0x00RRGGBB) and back.
inline uint32_t PixelFromColorref(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
inline uint32_t ColorrefFromPixel(uint32_t pixel) {
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}
