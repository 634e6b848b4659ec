// Measuring and drawing a line of Windows-1252 text with a font onto a
// target. Internal to the machine: TextOutA and the machine's own painting
// (captions, controls) share it.
#pragma once

#include "platform/api/win32_types.h"
#include "platform/machine/gdi/font_faces.h"
#include "platform/machine/gdi/gdi_state.h"
#include "platform/machine/window_surfaces.h"

#include <optional>
#include <string_view>

// The font instance of a font object, opened on first use; null when no
// installed font serves it.
FontInstance* ResolveFont(FontObject& font);

// Width (sum of the characters' whole-pixel advances, no kerning) and
// height (the font's cell height) of the text.
SIZE MeasureString(FontInstance& font, std::string_view text);

struct TextStyle {
    COLORREF Color = 0;
    // Filled behind the text cell (x .. x + width, y .. y + cell height)
    // when set: the opaque background mode.
    std::optional<COLORREF> Background;
    bool Underline = false;
    bool StrikeOut = false;
};

// Draws the text with the top left corner of its cell at x, y (coordinates
// of the target), antialiased by blending the glyphs' coverage, clipped to
// the target's clip.
void DrawString(const ClientDrawTarget& target, FontInstance& font, int x, int y,
                std::string_view text, const TextStyle& style);
