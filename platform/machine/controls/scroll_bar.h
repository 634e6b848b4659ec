// Geometry of a vertical scroll bar drawn inside a control: where its arrows,
// track and thumb lie for a scroll position, which part a point falls on, and
// which position a dragged thumb stands for.
#pragma once

#include "platform/win32.h"

// Width of a vertical scroll bar and height of its arrow buttons, as the
// system metric SM_CXVSCROLL gives them.
inline constexpr int ScrollBarWidth = 16;
// The thumb never gets shorter than this, so it stays easy to grab.
inline constexpr int MinimumThumbLength = 8;

struct ScrollBarLayout {
    RECT Bar{0, 0, 0, 0};
    RECT UpArrow{0, 0, 0, 0};
    RECT DownArrow{0, 0, 0, 0};
    RECT Track{0, 0, 0, 0};  // between the arrows
    RECT Thumb{0, 0, 0, 0};  // inside the track; empty when HasThumb is false
    bool HasThumb = false;   // false when there is nothing to scroll
    int MaximumPosition = 0; // positions run from 0 to this
};

enum class ScrollBarPart { None, UpArrow, DownArrow, PageUp, PageDown, Thumb };

// Lays out the bar `bar` for a scroll position in [0, maximumPosition] with
// `pageSize` positions visible at once. A maximum of 0 or less means nothing
// can scroll: the bar shows no thumb. A bar too short for two full arrows
// splits its height between them.
ScrollBarLayout LayOutScrollBar(const RECT& bar, int position, int maximumPosition, int pageSize);

// The part of the bar under (x, y); None outside the bar.
ScrollBarPart HitTestScrollBar(const ScrollBarLayout& layout, int x, int y);

// The scroll position for a thumb whose top edge is dragged to `thumbTop`,
// rounded to the nearest position and kept in [0, MaximumPosition].
int PositionForThumbTop(const ScrollBarLayout& layout, int thumbTop);
