#include "platform/machine/user/non_client_style.h"

#include "platform/api/gdi32.h"
#include "platform/api/user32.h"

namespace {

void HorizontalLine(HDC dc, LONG left, LONG right, LONG y, COLORREF color) {
    FillSolidRect(dc, RECT{left, y, right, y + 1}, color);
}

void VerticalLine(HDC dc, LONG x, LONG top, LONG bottom, COLORREF color) {
    FillSolidRect(dc, RECT{x, top, x + 1, bottom}, color);
}

// One ring of a bevel: `topLeft` on the top and left edges, `bottomRight`
// on the right and bottom edges (which take the corners they share).
void BevelRing(HDC dc, const RECT& ring, COLORREF topLeft, COLORREF bottomRight) {
    HorizontalLine(dc, ring.left, ring.right - 1, ring.top, topLeft);
    VerticalLine(dc, ring.left, ring.top, ring.bottom - 1, topLeft);
    VerticalLine(dc, ring.right - 1, ring.top, ring.bottom, bottomRight);
    HorizontalLine(dc, ring.left, ring.right, ring.bottom - 1, bottomRight);
}

RECT Shrink(const RECT& rect, LONG by) {
    return RECT{rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

// The close glyph: two crossing diagonals, two pixels wide, in an 8 x 7
// cell.
void CloseGlyph(HDC dc, LONG left, LONG top, COLORREF color) {
    constexpr LONG rows = 7;
    for (LONG row = 0; row < rows; ++row) {
        const LONG falling = left + row;
        const LONG rising = left + (rows - 1) - row;
        FillSolidRect(dc, RECT{falling, top + row, falling + 2, top + row + 1}, color);
        FillSolidRect(dc, RECT{rising, top + row, rising + 2, top + row + 1}, color);
    }
}

} // namespace

void FillSolidRect(HDC dc, const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void DrawDialogFrame(HDC dc, const RECT& outer) {
    BevelRing(dc, outer, ClassicFace, ClassicDarkShadow);
    BevelRing(dc, Shrink(outer, 1), ClassicHighlight, ClassicShadow);
    BevelRing(dc, Shrink(outer, 2), ClassicFace, ClassicFace);
}

void DrawThinBorder(HDC dc, const RECT& outer) {
    BevelRing(dc, outer, ClassicDarkShadow, ClassicDarkShadow);
}

void DrawCaptionBar(HDC dc, const RECT& bar, bool active) {
    FillSolidRect(dc, bar, active ? ClassicActiveCaption : ClassicInactiveCaption);
}

void DrawCaptionText(HDC dc, const RECT& area, const std::string& text, HFONT font, bool active) {
    if (text.empty()) {
        return;
    }
    const HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const LONG height = area.bottom - area.top;
    const LONG y = area.top + (height - metrics.tmHeight) / 2;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, active ? ClassicActiveCaptionText : ClassicInactiveCaptionText);
    TextOutA(dc, area.left + 2, y, text.c_str(), static_cast<int>(text.size()));
    if (previousFont) {
        SelectObject(dc, previousFont);
    }
}

void DrawCaptionSeparator(HDC dc, const RECT& line) {
    FillSolidRect(dc, line, ClassicFace);
}

void DrawCloseBox(HDC dc, const RECT& box, bool enabled) {
    FillSolidRect(dc, box, ClassicFace);
    BevelRing(dc, box, ClassicHighlight, ClassicDarkShadow);
    BevelRing(dc, Shrink(box, 1), ClassicFace, ClassicShadow);
    const LONG glyphLeft = box.left + (box.right - box.left - 8) / 2;
    const LONG glyphTop = box.top + (box.bottom - box.top - 7) / 2;
    if (enabled) {
        CloseGlyph(dc, glyphLeft, glyphTop, ClassicDarkShadow);
    } else {
        CloseGlyph(dc, glyphLeft + 1, glyphTop + 1, ClassicHighlight);
        CloseGlyph(dc, glyphLeft, glyphTop, ClassicShadow);
    }
}
