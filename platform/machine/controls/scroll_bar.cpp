#include "platform/machine/controls/scroll_bar.h"

#include "platform/machine/controls/control_drawing.h"

#include <algorithm>

ScrollBarLayout LayOutScrollBar(const RECT& bar, int position, int maximumPosition, int pageSize) {
    ScrollBarLayout layout;
    layout.Bar = bar;
    const int height = bar.bottom - bar.top;
    const int arrowHeight = std::min(ScrollBarWidth, std::max(0, height / 2));
    layout.UpArrow = RECT{bar.left, bar.top, bar.right, bar.top + arrowHeight};
    layout.DownArrow = RECT{bar.left, bar.bottom - arrowHeight, bar.right, bar.bottom};
    layout.Track = RECT{bar.left, layout.UpArrow.bottom, bar.right, layout.DownArrow.top};
    layout.MaximumPosition = std::max(0, maximumPosition);

    const int trackLength = layout.Track.bottom - layout.Track.top;
    if (maximumPosition <= 0 || trackLength < MinimumThumbLength) {
        return layout;
    }
    const int visible = std::max(1, pageSize);
    const long long total = static_cast<long long>(maximumPosition) + visible;
    const int proportional =
        static_cast<int>(trackLength * static_cast<long long>(visible) / total);
    const int thumbLength = std::clamp(proportional, MinimumThumbLength, trackLength);
    const int clamped = std::clamp(position, 0, maximumPosition);
    const int travel = trackLength - thumbLength;
    const int offset = static_cast<int>(static_cast<long long>(travel) * clamped / maximumPosition);
    layout.Thumb = RECT{bar.left, layout.Track.top + offset, bar.right,
                        layout.Track.top + offset + thumbLength};
    layout.HasThumb = true;
    return layout;
}

ScrollBarPart HitTestScrollBar(const ScrollBarLayout& layout, int x, int y) {
    if (!PointInRectangle(layout.Bar, x, y)) {
        return ScrollBarPart::None;
    }
    if (PointInRectangle(layout.UpArrow, x, y)) {
        return ScrollBarPart::UpArrow;
    }
    if (PointInRectangle(layout.DownArrow, x, y)) {
        return ScrollBarPart::DownArrow;
    }
    if (!layout.HasThumb) {
        return ScrollBarPart::None;
    }
    if (PointInRectangle(layout.Thumb, x, y)) {
        return ScrollBarPart::Thumb;
    }
    return y < layout.Thumb.top ? ScrollBarPart::PageUp : ScrollBarPart::PageDown;
}

int PositionForThumbTop(const ScrollBarLayout& layout, int thumbTop) {
    if (!layout.HasThumb) {
        return 0;
    }
    const int travel =
        (layout.Track.bottom - layout.Track.top) - (layout.Thumb.bottom - layout.Thumb.top);
    if (travel <= 0) {
        return 0;
    }
    const int offset = std::clamp(thumbTop - static_cast<int>(layout.Track.top), 0, travel);
    const long long scaled = static_cast<long long>(offset) * layout.MaximumPosition;
    return static_cast<int>((scaled + travel / 2) / travel);
}
