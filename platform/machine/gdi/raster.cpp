#include "platform/machine/gdi/raster.h"

#include <algorithm>

void FillArea(Surface& surface, const RECT& area, uint32_t pixel) {
    if (IsEmptyArea(area)) {
        return;
    }
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = &surface.At(area.left, y);
        std::fill(row, row + (area.right - area.left), pixel);
    }
}

void BlendPixel(Surface& surface, int x, int y, uint32_t pixel, uint8_t coverage) {
    if (coverage == 0) {
        return;
    }
    uint32_t& target = surface.At(x, y);
    if (coverage == 255) {
        target = pixel;
        return;
    }
    uint32_t blended = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t source = (pixel >> shift) & 0xFF;
        const uint32_t destination = (target >> shift) & 0xFF;
        const uint32_t mixed = (source * coverage + destination * (255u - coverage) + 127u) / 255u;
        blended |= mixed << shift;
    }
    target = blended;
}
