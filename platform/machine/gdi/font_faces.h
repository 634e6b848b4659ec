// Fonts as the drawing part renders them: a Windows logical font request
// resolved to an installed font file (through fontconfig), opened with
// FreeType at the requested size, with its metrics and rendered glyphs.
// Internal to the machine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What CreateFontA asks for, in Windows' terms.
struct FontRequest {
    // Negative: character (em) height in pixels; positive: cell height
    // (ascent + descent); 0: the default cell height of 13 pixels.
    int Height = 0;
    int Weight = 0; // 0 (don't care) means 400
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::string FaceName;
};

// Metrics of one font instance in whole pixels, as GetTextMetricsA reports.
struct FontMetrics {
    int Ascent = 0;
    int Descent = 0;
    int Height = 0; // Ascent + Descent
    int InternalLeading = 0;
    int ExternalLeading = 0;
    int AverageCharWidth = 0;
    int MaxCharWidth = 0;
    int Weight = 400;
    bool Italic = false;
    bool FixedPitch = false;
    // Lines drawn for underlined and struck-out fonts: how far below
    // (underline) or above (strike-out) the baseline their top row lies.
    int UnderlineOffset = 1;
    int UnderlineThickness = 1;
    int StrikeOutOffset = 1;
    int StrikeOutThickness = 1;
};

// One rendered glyph: 8-bit coverage, rows top to bottom, placed relative
// to the pen position on the baseline.
struct RenderedGlyph {
    int Advance = 0; // whole pixels the pen moves
    int Left = 0;    // first column, relative to the pen
    int Top = 0;     // rows above the baseline of the first row
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Coverage;
};

struct FontInstance;

// Where a Windows face name leads: the family fontconfig is asked for. The
// classic Windows faces map to fixed Liberation families so renders are the
// same on every machine that has fonts-liberation.
std::string SubstituteFamilyFor(const std::string& windowsFaceName);

// The font for a request, shared with every equal request; null when no
// installed font can serve it. Instances live until the process ends.
std::shared_ptr<FontInstance> OpenFontInstance(const FontRequest& request);

const FontMetrics& MetricsOf(const FontInstance& font);
// The file the instance was opened from, and the family it belongs to.
const std::string& FontFileOf(const FontInstance& font);
const std::string& FontFamilyOf(const FontInstance& font);

// The glyph of one Windows-1252 character, rendered on first use.
const RenderedGlyph& GlyphOf(FontInstance& font, unsigned char character);

// Unicode code point of a Windows-1252 character.
uint32_t CodePointFromWindows1252(unsigned char character);
