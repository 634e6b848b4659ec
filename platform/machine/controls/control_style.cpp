#include "platform/machine/controls/control_style.h"

namespace {

void FillSpan(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    const RECT span{left, top, right, bottom};
    FillSolid(dc, span, color);
}

// Paints a two-pixel edge: the outer and inner lines of the top and left
// sides, then those of the bottom and right sides, which take the corners.
void DrawTwoPixelEdge(HDC dc, const RECT& area, COLORREF outerTopLeft, COLORREF outerBottomRight,
                      COLORREF innerTopLeft, COLORREF innerBottomRight) {
    const LONG l = area.left, t = area.top, r = area.right, b = area.bottom;
    if (r - l < 2 || b - t < 2) {
        return;
    }
    FillSpan(dc, l, t, r - 1, t + 1, outerTopLeft);
    FillSpan(dc, l, t, l + 1, b - 1, outerTopLeft);
    FillSpan(dc, l, b - 1, r, b, outerBottomRight);
    FillSpan(dc, r - 1, t, r, b, outerBottomRight);
    if (r - l < 4 || b - t < 4) {
        return;
    }
    FillSpan(dc, l + 1, t + 1, r - 2, t + 2, innerTopLeft);
    FillSpan(dc, l + 1, t + 1, l + 2, b - 2, innerTopLeft);
    FillSpan(dc, l + 1, b - 2, r - 1, b - 1, innerBottomRight);
    FillSpan(dc, r - 2, t + 1, r - 1, b - 1, innerBottomRight);
}

// The classic tick, seven pixels square, one row per string.
constexpr const char* TickRows[] = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};
constexpr int TickSize = 7;

void DrawTick(HDC dc, int x, int y, COLORREF color) {
    for (int row = 0; row < TickSize; ++row) {
        for (int column = 0; column < TickSize; ++column) {
            if (TickRows[row][column] == '#') {
                SetPixel(dc, x + column, y + row, color);
            }
        }
    }
}

void DrawArrowRows(HDC dc, int x, int y, bool pointsUp, COLORREF color) {
    for (int row = 0; row < 4; ++row) {
        const int halfWidth = pointsUp ? row : 3 - row;
        FillSpan(dc, x + 3 - halfWidth, y + row, x + 4 + halfWidth, y + row + 1, color);
    }
}

} // namespace

RECT InsetRectangle(const RECT& area, int amount) {
    return RECT{area.left + amount, area.top + amount, area.right - amount, area.bottom - amount};
}

bool RectangleIsEmpty(const RECT& area) {
    return area.right <= area.left || area.bottom <= area.top;
}

void FillSolid(HDC dc, const RECT& area, COLORREF color) {
    if (RectangleIsEmpty(area)) {
        return;
    }
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void DrawOutline(HDC dc, const RECT& area, COLORREF color) {
    const LONG l = area.left, t = area.top, r = area.right, b = area.bottom;
    if (r <= l || b <= t) {
        return;
    }
    FillSpan(dc, l, t, r, t + 1, color);
    FillSpan(dc, l, b - 1, r, b, color);
    FillSpan(dc, l, t, l + 1, b, color);
    FillSpan(dc, r - 1, t, r, b, color);
}

void DrawRaisedEdge(HDC dc, const RECT& area) {
    DrawTwoPixelEdge(dc, area, HighlightColor, DarkShadowColor, FaceColor, ShadowColor);
}

void DrawSunkenEdge(HDC dc, const RECT& area) {
    DrawTwoPixelEdge(dc, area, ShadowColor, HighlightColor, DarkShadowColor, FaceColor);
}

void DrawPushButtonFace(HDC dc, const RECT& area, PushButtonLook look) {
    switch (look) {
    case PushButtonLook::Normal:
        FillSolid(dc, area, FaceColor);
        DrawRaisedEdge(dc, area);
        break;
    case PushButtonLook::Default: {
        DrawOutline(dc, area, FrameColor);
        const RECT inner = InsetRectangle(area, 1);
        FillSolid(dc, inner, FaceColor);
        DrawRaisedEdge(dc, inner);
        break;
    }
    case PushButtonLook::Pressed: {
        DrawOutline(dc, area, FrameColor);
        const RECT inner = InsetRectangle(area, 1);
        DrawOutline(dc, inner, ShadowColor);
        FillSolid(dc, InsetRectangle(area, 2), FaceColor);
        break;
    }
    }
}

void DrawFocusRectangle(HDC dc, const RECT& area) {
    const LONG l = area.left, t = area.top, r = area.right, b = area.bottom;
    if (r <= l || b <= t) {
        return;
    }
    // Every other pixel, counted once around the outline, so the dots keep
    // their rhythm at the corners.
    int step = 0;
    auto dot = [&](LONG x, LONG y) {
        if (step++ % 2 == 0) {
            SetPixel(dc, x, y, FrameColor);
        }
    };
    for (LONG x = l; x < r; ++x) {
        dot(x, t);
    }
    for (LONG y = t + 1; y < b; ++y) {
        dot(r - 1, y);
    }
    for (LONG x = r - 2; x >= l; --x) {
        dot(x, b - 1);
    }
    for (LONG y = b - 2; y > t; --y) {
        dot(l, y);
    }
}

void DrawCheckBoxSquare(HDC dc, const RECT& box, bool checked, bool pressed, bool enabled) {
    DrawSunkenEdge(dc, box);
    const RECT inside = InsetRectangle(box, 2);
    FillSolid(dc, inside, (pressed || !enabled) ? FaceColor : WindowBackgroundColor);
    if (checked) {
        DrawTick(dc, inside.left + 1, inside.top + 1, enabled ? TextColor : DisabledTextColor);
    }
}

void DrawControlText(HDC dc, int x, int y, std::string_view text, bool enabled) {
    if (text.empty()) {
        return;
    }
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(text.size());
    COLORREF previousColor;
    if (enabled) {
        previousColor = SetTextColor(dc, TextColor);
        TextOutA(dc, x, y, text.data(), length);
    } else {
        previousColor = SetTextColor(dc, HighlightColor);
        TextOutA(dc, x + 1, y + 1, text.data(), length);
        SetTextColor(dc, DisabledTextColor);
        TextOutA(dc, x, y, text.data(), length);
    }
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
}

void DrawTextOnBackground(HDC dc, int x, int y, std::string_view text, COLORREF color,
                          COLORREF background) {
    if (text.empty()) {
        return;
    }
    const int previousMode = SetBkMode(dc, OPAQUE);
    const COLORREF previousBackground = SetBkColor(dc, background);
    const COLORREF previousColor = SetTextColor(dc, color);
    TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
    SetTextColor(dc, previousColor);
    SetBkColor(dc, previousBackground);
    SetBkMode(dc, previousMode);
}

void DrawArrowGlyph(HDC dc, const RECT& area, bool pointsUp, bool enabled) {
    const int x = area.left + (area.right - area.left - 7) / 2;
    const int y = area.top + (area.bottom - area.top - 4) / 2;
    if (enabled) {
        DrawArrowRows(dc, x, y, pointsUp, TextColor);
    } else {
        DrawArrowRows(dc, x + 1, y + 1, pointsUp, HighlightColor);
        DrawArrowRows(dc, x, y, pointsUp, DisabledTextColor);
    }
}

void DrawScrollTrack(HDC dc, const RECT& area) {
    FillSolid(dc, area, FaceColor);
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left + ((area.left + y) % 2 != 0 ? 1 : 0); x < area.right; x += 2) {
            SetPixel(dc, x, y, HighlightColor);
        }
    }
}

void DrawVerticalScrollBar(HDC dc, const ScrollBarLayout& layout) {
    DrawPushButtonFace(dc, layout.UpArrow, PushButtonLook::Normal);
    DrawArrowGlyph(dc, layout.UpArrow, true, layout.HasThumb);
    DrawPushButtonFace(dc, layout.DownArrow, PushButtonLook::Normal);
    DrawArrowGlyph(dc, layout.DownArrow, false, layout.HasThumb);
    DrawScrollTrack(dc, layout.Track);
    if (layout.HasThumb) {
        DrawPushButtonFace(dc, layout.Thumb, PushButtonLook::Normal);
    }
}
