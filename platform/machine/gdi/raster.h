// Pixel operations on a surface, with rectangles already clipped to it.
// Internal to platform/machine/gdi.
#pragma once

#include "platform/api/win32_types.h"
#include "platform/machine/surface.h"

#include <cstdint>

// Fills every pixel of `area` (surface coordinates, inside the surface;
// right and bottom excluded) with `pixel` (0x00RRGGBB).
void FillArea(Surface& surface, const RECT& area, uint32_t pixel);

// Mixes `pixel` into the surface pixel at x, y by `coverage` (0 keeps the
// surface, 255 replaces it). Rounds to nearest, so the result is the same
// on every machine.
void BlendPixel(Surface& surface, int x, int y, uint32_t pixel, uint8_t coverage);

// True when the rectangle holds no pixel.
inline bool IsEmptyArea(const RECT& area) {
    return area.left >= area.right || area.top >= area.bottom;
}
