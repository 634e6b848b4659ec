// Rectangles, fills, lines and single pixels.
#include "platform/api/gdi32.h"
#include "platform/api/user32.h"
#include "platform/machine/gdi/draw_target.h"
#include "platform/machine/gdi/raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// PS_INSIDEFRAME: a wide pen's band lies inside the rectangle instead of
// being centred on its outline.
constexpr int InsideFramePenStyle = 6;
// Lines whose points lie farther out than this (the coordinate range
// Windows NT documents for GDI) are not drawn; it keeps the stepping
// arithmetic within 64 bits.
constexpr long long CoordinateLimit = 1LL << 27;

LONG Clamp(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

RECT MakeRect(long long left, long long top, long long right, long long bottom) {
    return RECT{Clamp(left), Clamp(top), Clamp(right), Clamp(bottom)};
}

void FillInContext(const DrawTarget& target, const RECT& rect, COLORREF color) {
    FillArea(*target.Area.Target, ClipToTarget(target.Area, rect), PixelFromColorref(color));
}

// Divides rounding toward minus infinity.
long long FloorDivide(long long numerator, long long denominator) {
    long long quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) {
        --quotient;
    }
    return quotient;
}

// Draws the line from (x0, y0) towards (x1, y1), the end point left out, one
// pixel per step along the longer axis. Only the steps that can reach the
// clip are visited, so far-away end points cost nothing.
void DrawLine(const DrawTarget& target, long long x0, long long y0, long long x1, long long y1,
              const PenObject& pen) {
    const long long dx = x1 - x0;
    const long long dy = y1 - y0;
    const bool alongX = std::llabs(dx) >= std::llabs(dy);
    const long long steps = alongX ? std::llabs(dx) : std::llabs(dy);
    if (steps == 0) {
        return;
    }
    const long long major0 = alongX ? x0 : y0;
    const long long minor0 = alongX ? y0 : x0;
    const long long majorDirection = (alongX ? dx : dy) > 0 ? 1 : -1;
    const long long minorDelta = alongX ? dy : dx;
    const RECT& clip = target.Area.Clip;
    const long long origin = alongX ? target.Area.OriginX : target.Area.OriginY;
    const long long clipLow = (alongX ? clip.left : clip.top) - origin - pen.Width;
    const long long clipHigh = (alongX ? clip.right : clip.bottom) - origin + pen.Width;
    // The steps whose major coordinate falls within the (widened) clip.
    long long first = 0;
    long long last = steps - 1;
    if (majorDirection > 0) {
        first = std::max(first, clipLow - major0);
        last = std::min(last, clipHigh - major0);
    } else {
        first = std::max(first, major0 - clipHigh);
        last = std::min(last, major0 - clipLow);
    }
    const long long before = (pen.Width - 1) / 2;
    const long long after = pen.Width / 2;
    for (long long step = first; step <= last; ++step) {
        const long long major = major0 + step * majorDirection;
        const long long minor = minor0 + FloorDivide(2 * step * minorDelta + steps, 2 * steps);
        const long long x = alongX ? major : minor;
        const long long y = alongX ? minor : major;
        FillInContext(target, MakeRect(x - before, y - before, x + after + 1, y + after + 1),
                      pen.Color);
    }
}

} // namespace

// Covers x in [left, right - 1] and y in [top, bottom - 1]: the pen draws
// the outer border of that area and the brush fills what lies inside. With
// a null pen the filled area is one pixel narrower and shorter, as Windows
// documents.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context) {
        return FALSE;
    }
    DrawTarget target;
    if (!LocateDrawTarget(*context, target)) {
        return FALSE;
    }
    if (right <= left || bottom <= top) {
        return TRUE;
    }
    const PenObject* pen = FindGdiObjectOf<PenObject>(context->Pen);
    const BrushObject* brush = FindGdiObjectOf<BrushObject>(context->Brush);
    if (!pen || pen->Style == PS_NULL) {
        if (brush && !brush->Hollow) {
            FillInContext(target, MakeRect(left, top, right - 1LL, bottom - 1LL), brush->Color);
        }
        FinishDrawing(target);
        return TRUE;
    }
    const long long width = pen->Width;
    const long long grow = pen->Style == InsideFramePenStyle ? 0 : (width - 1) / 2;
    const long long outerLeft = left - grow;
    const long long outerTop = top - grow;
    const long long outerRight = right + grow;
    const long long outerBottom = bottom + grow;
    if (brush && !brush->Hollow) {
        FillInContext(
            target,
            MakeRect(outerLeft + width, outerTop + width, outerRight - width, outerBottom - width),
            brush->Color);
    }
    FillInContext(target, MakeRect(outerLeft, outerTop, outerRight, outerTop + width), pen->Color);
    FillInContext(target, MakeRect(outerLeft, outerBottom - width, outerRight, outerBottom),
                  pen->Color);
    FillInContext(target, MakeRect(outerLeft, outerTop, outerLeft + width, outerBottom),
                  pen->Color);
    FillInContext(target, MakeRect(outerRight - width, outerTop, outerRight, outerBottom),
                  pen->Color);
    FinishDrawing(target);
    return TRUE;
}

// Fills left..right-1 by top..bottom-1 with the brush, the pen not used.
int FillRect(HDC dc, const RECT* rect, HBRUSH brushHandle) {
    DeviceContext* context = FindDeviceContext(dc);
    const BrushObject* brush = FindGdiObjectOf<BrushObject>(brushHandle);
    if (!context || !rect || !brush) {
        return 0;
    }
    DrawTarget target;
    if (!LocateDrawTarget(*context, target)) {
        return 0;
    }
    if (!brush->Hollow) {
        FillInContext(target, *rect, brush->Color);
        FinishDrawing(target);
    }
    return 1;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context) {
        return FALSE;
    }
    if (previous) {
        *previous = context->Position;
    }
    context->Position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context) {
        return FALSE;
    }
    DrawTarget target;
    if (!LocateDrawTarget(*context, target)) {
        return FALSE;
    }
    const POINT start = context->Position;
    context->Position = POINT{x, y};
    for (const long long coordinate : {start.x, start.y, x, y}) {
        if (std::llabs(coordinate) > CoordinateLimit) {
            return FALSE;
        }
    }
    const PenObject* pen = FindGdiObjectOf<PenObject>(context->Pen);
    if (pen && pen->Style != PS_NULL) {
        DrawLine(target, start.x, start.y, x, y, *pen);
        FinishDrawing(target);
    }
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    DeviceContext* context = FindDeviceContext(dc);
    DrawTarget target;
    if (!context || !LocateDrawTarget(*context, target)) {
        return CLR_INVALID;
    }
    const RECT pixel = ClipToTarget(target.Area, MakeRect(x, y, x + 1LL, y + 1LL));
    if (IsEmptyArea(pixel)) {
        return CLR_INVALID;
    }
    target.Area.Target->At(pixel.left, pixel.top) = PixelFromColorref(color);
    FinishDrawing(target);
    return color & 0x00FFFFFFu;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DeviceContext* context = FindDeviceContext(dc);
    DrawTarget target;
    if (!context || !LocateDrawTarget(*context, target)) {
        return CLR_INVALID;
    }
    const RECT pixel = ClipToTarget(target.Area, MakeRect(x, y, x + 1LL, y + 1LL));
    if (IsEmptyArea(pixel)) {
        return CLR_INVALID;
    }
    return ColorrefFromPixel(target.Area.Target->At(pixel.left, pixel.top));
}
