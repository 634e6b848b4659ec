// A small memory bitmap selected into a memory device context, for pixel
// tests, with a way to show its pixels as a picture of characters.
#pragma once

#include "platform/win32.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>

class Canvas {
  public:
    Canvas(int width, int height, COLORREF background) : Width(width), Height(height) {
        Dc = CreateCompatibleDC(nullptr);
        Bitmap = CreateCompatibleBitmap(Dc, width, height);
        DefaultBitmap = SelectObject(Dc, Bitmap);
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(Dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(Dc, DefaultBitmap);
        DeleteDC(Dc);
        DeleteObject(Bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // One line per row, one character per pixel: the legend's character for
    // its colour, '?' for a colour not in the legend.
    std::string Picture(const std::map<COLORREF, char>& legend) const {
        std::string picture;
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                auto found = legend.find(GetPixel(Dc, x, y));
                picture += found == legend.end() ? '?' : found->second;
            }
            picture += '\n';
        }
        return picture;
    }

    // The smallest rectangle holding every pixel not of `background`; empty
    // (all zero) when there is none.
    RECT Changed(COLORREF background) const {
        RECT box{Width, Height, 0, 0};
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                if (GetPixel(Dc, x, y) != background) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
            }
        }
        return box.right == 0 ? RECT{0, 0, 0, 0} : box;
    }

    int Count(COLORREF color) const {
        int count = 0;
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                count += GetPixel(Dc, x, y) == color ? 1 : 0;
            }
        }
        return count;
    }

    const int Width;
    const int Height;
    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;

  private:
    HGDIOBJ DefaultBitmap = nullptr;
};

// Joins picture rows written one per string into Canvas::Picture's form.
inline std::string Rows(std::initializer_list<const char*> rows) {
    std::string picture;
    for (const char* row : rows) {
        picture += row;
        picture += '\n';
    }
    return picture;
}
