// Drawing for the machine's own parts (window frames, captions, the look of
// controls, message boxes) straight onto a target, with the same pixel rules
// and fonts as the drawing API. Internal to the machine; the installer uses
// the API instead.
//
// None of these tell the window manager that the screen changed: the caller
// knows whether its target is a window's surface, and calls
// MarkScreenChanged itself.
#pragma once

#include "platform/api/gdi32.h"
#include "platform/machine/window_surfaces.h"

#include <string_view>

// Where a device context's drawing lands now (its surface, origin and clip);
// false for a bad handle or a context whose window is gone.
bool LocateDeviceContextTarget(HDC dc, ClientDrawTarget& target);

// Fills `rect` (target coordinates; right and bottom excluded) with the
// colour, clipped to the target's clip.
void PaintFill(const ClientDrawTarget& target, const RECT& rect, COLORREF color);

// A one-pixel outline around `rect`, covering left..right-1 and
// top..bottom-1, as Rectangle draws with a one-pixel pen and a null brush.
void PaintFrame(const ClientDrawTarget& target, const RECT& rect, COLORREF color);

// Draws the Windows-1252 text with the top left corner of its cell at x, y,
// in the font `font` (a handle from CreateFontA or GetStockObject), on a
// transparent background. False when `font` is not a live font or no
// installed font serves it.
bool PaintText(const ClientDrawTarget& target, HFONT font, int x, int y, std::string_view text,
               COLORREF color);

// The text's width and the font's cell height, as GetTextExtentPoint32A
// gives them; false as for PaintText.
bool MeasureText(HFONT font, std::string_view text, SIZE& size);

// The font's metrics, as GetTextMetricsA gives them for a context with this
// font selected; false as for PaintText.
bool ReadFontMetrics(HFONT font, TEXTMETRICA& metrics);
