// The look of a top-level window's non-client parts in the classic Windows
// style: the raised frame, the caption bar with its text, the close box.
// These functions only paint; where the parts lie is the layout's business
// (window_metrics.h, non_client_painting.cpp).
#pragma once

#include "platform/api/win32_types.h"

#include <string>

constexpr COLORREF ClassicFace = 0x00C0C0C0;
constexpr COLORREF ClassicHighlight = 0x00FFFFFF;
constexpr COLORREF ClassicShadow = 0x00808080;
constexpr COLORREF ClassicDarkShadow = 0x00000000;
constexpr COLORREF ClassicActiveCaption = 0x00800000;   // RGB(0, 0, 128)
constexpr COLORREF ClassicInactiveCaption = 0x00808080; // RGB(128, 128, 128)
constexpr COLORREF ClassicActiveCaptionText = 0x00FFFFFF;
constexpr COLORREF ClassicInactiveCaptionText = 0x00C0C0C0;

void FillSolidRect(HDC dc, const RECT& area, COLORREF color);

// Three raised lines around the window rectangle `outer` (light and dark
// shadow outside, highlight and shadow inside, then the face).
void DrawDialogFrame(HDC dc, const RECT& outer);
// One black line around `outer`.
void DrawThinBorder(HDC dc, const RECT& outer);

void DrawCaptionBar(HDC dc, const RECT& bar, bool active);
// The caption text, left-aligned and vertically centred in `area`, in the
// bold caption font.
void DrawCaptionText(HDC dc, const RECT& area, const std::string& text, HFONT font, bool active);
// The face-coloured line between the caption bar and the client area.
void DrawCaptionSeparator(HDC dc, const RECT& line);
// A raised button face with the close glyph; a disabled one shows the glyph
// embossed in grey.
void DrawCloseBox(HDC dc, const RECT& box, bool enabled);
