// Small rectangle arithmetic for the window manager. Rectangles are
// half-open: they cover left..right-1 and top..bottom-1.
#pragma once

#include "platform/api/win32_types.h"

#include <algorithm>

inline bool RectIsEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

inline RECT IntersectRects(const RECT& first, const RECT& second) {
    RECT result{std::max(first.left, second.left), std::max(first.top, second.top),
                std::min(first.right, second.right), std::min(first.bottom, second.bottom)};
    if (RectIsEmpty(result)) {
        return RECT{0, 0, 0, 0};
    }
    return result;
}

// The bounding rectangle of both; an empty one counts as nothing.
inline RECT UnionRects(const RECT& first, const RECT& second) {
    if (RectIsEmpty(first)) {
        return second;
    }
    if (RectIsEmpty(second)) {
        return first;
    }
    return RECT{std::min(first.left, second.left), std::min(first.top, second.top),
                std::max(first.right, second.right), std::max(first.bottom, second.bottom)};
}

inline RECT OffsetRectBy(const RECT& rect, LONG dx, LONG dy) {
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

inline bool RectContains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

inline bool PointInRect(const RECT& rect, LONG x, LONG y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

inline bool RectsEqual(const RECT& first, const RECT& second) {
    return first.left == second.left && first.top == second.top && first.right == second.right &&
           first.bottom == second.bottom;
}
