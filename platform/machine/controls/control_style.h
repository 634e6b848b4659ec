// The look of the standard controls in the classic 3D scheme: faces, edges,
// the check box square, the focus rectangle and text. These functions only
// paint; what a control is (pressed, checked, focused) is decided by the
// control's behaviour and handed in. Every rectangle is in the client
// coordinates of the device context and, as in GDI, excludes its right and
// bottom edges.
#pragma once

#include "platform/machine/controls/scroll_bar.h"
#include "platform/win32.h"

#include <string_view>

inline constexpr COLORREF FaceColor = RGB(192, 192, 192);
inline constexpr COLORREF HighlightColor = RGB(255, 255, 255);
inline constexpr COLORREF ShadowColor = RGB(128, 128, 128);
inline constexpr COLORREF DarkShadowColor = RGB(0, 0, 0);
inline constexpr COLORREF WindowBackgroundColor = RGB(255, 255, 255);
inline constexpr COLORREF TextColor = RGB(0, 0, 0);
inline constexpr COLORREF DisabledTextColor = ShadowColor;
inline constexpr COLORREF SelectionColor = RGB(0, 0, 128);
inline constexpr COLORREF SelectedTextColor = RGB(255, 255, 255);
inline constexpr COLORREF FrameColor = RGB(0, 0, 0);

// Side length of the check box square, in pixels.
inline constexpr int CheckBoxSize = 13;

// The rectangle moved inward by `amount` on every side (outward when
// negative).
RECT InsetRectangle(const RECT& area, int amount);
bool RectangleIsEmpty(const RECT& area);

void FillSolid(HDC dc, const RECT& area, COLORREF color);
// A one-pixel outline along the inside of `area`.
void DrawOutline(HDC dc, const RECT& area, COLORREF color);

// Two-pixel raised edge: white and face on the top and left, dark shadow and
// shadow on the bottom and right.
void DrawRaisedEdge(HDC dc, const RECT& area);
// Two-pixel sunken edge, the border of an edit box (a client edge).
void DrawSunkenEdge(HDC dc, const RECT& area);

enum class PushButtonLook {
    Normal,  // raised face
    Default, // raised face inside a one-pixel black border
    Pressed, // black border, shadow line, flat face
};
// Paints the whole button face for the look; text is drawn separately.
void DrawPushButtonFace(HDC dc, const RECT& area, PushButtonLook look);

// The dotted rectangle that marks the keyboard focus, on every other pixel of
// the outline of `area`.
void DrawFocusRectangle(HDC dc, const RECT& area);

// The check box square at `box` (CheckBoxSize on each side): sunken edge,
// white inside (face while pressed or disabled), a tick when checked.
void DrawCheckBoxSquare(HDC dc, const RECT& box, bool checked, bool pressed, bool enabled);

// One line of text with its cell's top-left at (x, y), in the selected font,
// with a transparent background. Disabled text is engraved: white one pixel
// down and right, grey on top.
void DrawControlText(HDC dc, int x, int y, std::string_view text, bool enabled);

// One line of text on an opaque background of `background`.
void DrawTextOnBackground(HDC dc, int x, int y, std::string_view text, COLORREF color,
                          COLORREF background);

// A small solid triangle pointing up or down, centred in `area` (a scroll
// bar arrow's glyph); engraved when disabled.
void DrawArrowGlyph(HDC dc, const RECT& area, bool pointsUp, bool enabled);

// The dithered white-and-face pattern of a scroll bar's track.
void DrawScrollTrack(HDC dc, const RECT& area);

// A vertical scroll bar: raised arrow buttons, the dithered track and a
// raised thumb. Without a thumb (nothing to scroll) the arrows are engraved.
void DrawVerticalScrollBar(HDC dc, const ScrollBarLayout& layout);
