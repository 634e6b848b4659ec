// Bitmaps made for a device context, and copying pixels between contexts.
#include "platform/api/gdi32.h"
#include "platform/machine/gdi/bitmap_import.h"
#include "platform/machine/gdi/bmp_decoder.h"
#include "platform/machine/gdi/draw_target.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Larger bitmaps are refused rather than allocated.
constexpr long long LargestSide = 32768;
constexpr long long LargestPixelCount = 1LL << 26;

} // namespace

// Every bitmap of this machine is a 32-bit colour bitmap: one made for a
// memory context that still holds its 1 x 1 default bitmap is colour too,
// where Windows would make it monochrome. Zero width or height gives the
// 1 x 1 default bitmap, as Windows documents. New pixels are black.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!FindDeviceContext(dc) || width < 0 || height < 0) {
        return nullptr;
    }
    if (width == 0 || height == 0) {
        return static_cast<HBITMAP>(DefaultMemoryBitmap());
    }
    if (width > LargestSide || height > LargestSide ||
        static_cast<long long>(width) * height > LargestPixelCount) {
        return nullptr;
    }
    BitmapObject bitmap;
    bitmap.Pixels.Resize(width, height, 0);
    return static_cast<HBITMAP>(AddGdiObject(std::move(bitmap)));
}

// Copies the pixels that lie both in the source's and in the destination's
// clip; the rest of the destination stays as it was. Only SRCCOPY is done.
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rasterOperation) {
    DeviceContext* targetContext = FindDeviceContext(destination);
    DeviceContext* sourceContext = FindDeviceContext(source);
    if (!targetContext || !sourceContext || rasterOperation != SRCCOPY) {
        return FALSE;
    }
    DrawTarget target;
    DrawTarget from;
    if (!LocateDrawTarget(*targetContext, target) || !LocateDrawTarget(*sourceContext, from)) {
        return FALSE;
    }
    if (width <= 0 || height <= 0) {
        return TRUE;
    }
    // Both rectangles in their surfaces' coordinates, then the offsets
    // 0..width-1 and 0..height-1 that land inside both clips.
    const long long targetLeft = static_cast<long long>(x) + target.Area.OriginX;
    const long long targetTop = static_cast<long long>(y) + target.Area.OriginY;
    const long long sourceLeft = static_cast<long long>(sourceX) + from.Area.OriginX;
    const long long sourceTop = static_cast<long long>(sourceY) + from.Area.OriginY;
    const RECT& targetClip = target.Area.Clip;
    const RECT& sourceClip = from.Area.Clip;
    const long long firstColumn =
        std::max({0LL, targetClip.left - targetLeft, sourceClip.left - sourceLeft});
    const long long endColumn =
        std::min({static_cast<long long>(width), targetClip.right - targetLeft,
                  sourceClip.right - sourceLeft});
    const long long firstRow =
        std::max({0LL, targetClip.top - targetTop, sourceClip.top - sourceTop});
    const long long endRow =
        std::min({static_cast<long long>(height), targetClip.bottom - targetTop,
                  sourceClip.bottom - sourceTop});
    if (firstColumn >= endColumn || firstRow >= endRow) {
        return TRUE;
    }
    // Rows are copied through a buffer, so source and destination may be
    // the same surface and overlap.
    const auto columns = static_cast<size_t>(endColumn - firstColumn);
    const auto rows = static_cast<size_t>(endRow - firstRow);
    std::vector<uint32_t> buffer(columns * rows);
    for (size_t row = 0; row < rows; ++row) {
        const uint32_t* start =
            &from.Area.Target->At(static_cast<int>(sourceLeft + firstColumn),
                                  static_cast<int>(sourceTop + firstRow) + static_cast<int>(row));
        std::copy(start, start + columns, buffer.begin() + static_cast<ptrdiff_t>(row * columns));
    }
    for (size_t row = 0; row < rows; ++row) {
        uint32_t* start =
            &target.Area.Target->At(static_cast<int>(targetLeft + firstColumn),
                                    static_cast<int>(targetTop + firstRow) + static_cast<int>(row));
        const auto begin = buffer.begin() + static_cast<ptrdiff_t>(row * columns);
        std::copy(begin, begin + static_cast<ptrdiff_t>(columns), start);
    }
    FinishDrawing(target);
    return TRUE;
}

HBITMAP CreateBitmapFromBmp(std::span<const uint8_t> bytes) {
    BitmapObject bitmap;
    std::string problem;
    if (!DecodeBmp(bytes, bitmap.Pixels, problem)) {
        return nullptr;
    }
    return static_cast<HBITMAP>(AddGdiObject(std::move(bitmap)));
}

const Surface* BitmapPixels(HBITMAP handle) {
    const BitmapObject* bitmap = FindGdiObjectOf<BitmapObject>(handle);
    return bitmap ? &bitmap->Pixels : nullptr;
}
