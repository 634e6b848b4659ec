#include "platform/machine/gdi/font_faces.h"

#include "platform/machine/gdi/font_matching.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <tuple>

// The FreeType library, shared by every face opened with it so that it
// outlives them whatever order process-wide objects are destroyed in.
struct FontLibrary {
    FT_Library Library = nullptr;

    FontLibrary() = default;
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;
    ~FontLibrary() {
        if (Library) {
            FT_Done_FreeType(Library);
        }
    }
};

struct FontInstance {
    std::shared_ptr<FontLibrary> Library;
    FT_Face Face = nullptr;
    std::string File;
    std::string Family;
    FontMetrics Metrics;
    bool Embolden = false;
    bool Oblique = false;
    std::array<std::unique_ptr<RenderedGlyph>, 256> Glyphs;

    FontInstance() = default;
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;
    ~FontInstance() {
        if (Face) {
            FT_Done_Face(Face);
        }
    }
};

namespace {

// The largest character height served; larger requests are drawn at this
// size rather than allocating glyphs of unbounded size.
constexpr int LargestHeight = 1000;
// Cell height of a request with height 0.
constexpr int DefaultCellHeight = 13;

// The library and every instance opened so far, by request.
struct FontSystem {
    std::shared_ptr<FontLibrary> Library;
    bool Failed = false;
    std::map<std::tuple<std::string, int, int, bool>, std::shared_ptr<FontInstance>> Instances;
};

FontSystem& Fonts() {
    static FontSystem system;
    if (!system.Library && !system.Failed) {
        auto library = std::make_shared<FontLibrary>();
        system.Failed = FT_Init_FreeType(&library->Library) != 0;
        if (!system.Failed) {
            system.Library = library;
        }
    }
    return system;
}

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

int RoundToInt(double value) {
    return static_cast<int>(std::lround(value));
}

// Sizes the face as Windows reads the height and fills the metrics. The
// cell (ascent + descent) comes from the OS/2 table's Windows ascent and
// descent, which is what GDI measures a TrueType font's cell by.
bool SizeFace(FontInstance& font, const FontRequest& request) {
    FT_Face face = font.Face;
    const double unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    double winAscent = face->ascender;
    double winDescent = -face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    if (winAscent + winDescent <= 0) {
        winAscent = unitsPerEm * 0.8;
        winDescent = unitsPerEm * 0.2;
    }

    int height = request.Height == 0 ? DefaultCellHeight : request.Height;
    height = std::clamp(height, -LargestHeight, LargestHeight);
    double scale = 0; // pixels per font unit
    FontMetrics& metrics = font.Metrics;
    if (height > 0) {
        scale = height / (winAscent + winDescent);
        metrics.Ascent = RoundToInt(winAscent * scale);
        metrics.Descent = height - metrics.Ascent;
    } else {
        scale = -height / unitsPerEm;
        metrics.Ascent = RoundToInt(winAscent * scale);
        metrics.Descent = RoundToInt(winDescent * scale);
    }
    const double em = scale * unitsPerEm;
    const auto charSize = static_cast<FT_F26Dot6>(std::max(64L, std::lround(em * 64)));
    if (FT_Set_Char_Size(face, 0, charSize, 72, 72) != 0) {
        return false;
    }
    metrics.Height = metrics.Ascent + metrics.Descent;
    metrics.InternalLeading = std::max(0, metrics.Height - RoundToInt(em));
    if (hhea) {
        const double lineGap =
            hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender));
        metrics.ExternalLeading = std::max(0, RoundToInt(lineGap * scale));
    }
    metrics.AverageCharWidth = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0
                                   ? RoundToInt(os2->xAvgCharWidth * scale)
                                   : RoundToInt(em / 2);
    metrics.MaxCharWidth = RoundToInt(face->max_advance_width * scale);
    metrics.Weight = request.Weight <= 0 ? 400 : request.Weight;
    metrics.Italic = request.Italic;
    metrics.FixedPitch = FT_IS_FIXED_WIDTH(face);
    metrics.UnderlineThickness = std::max(1, RoundToInt(face->underline_thickness * scale));
    metrics.UnderlineOffset =
        std::max(1, RoundToInt(-face->underline_position * scale) - metrics.UnderlineThickness / 2);
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        metrics.StrikeOutThickness = std::max(1, RoundToInt(os2->yStrikeoutSize * scale));
        metrics.StrikeOutOffset = RoundToInt(os2->yStrikeoutPosition * scale);
    } else {
        metrics.StrikeOutThickness = metrics.UnderlineThickness;
        metrics.StrikeOutOffset = metrics.Ascent / 3;
    }
    return true;
}

std::shared_ptr<FontInstance> OpenInstance(const FontRequest& request) {
    FontSystem& system = Fonts();
    if (!system.Library) {
        return nullptr;
    }
    const int weight = request.Weight <= 0 ? 400 : request.Weight;
    const std::optional<MatchedFontFile> file =
        MatchFontFile(request.FaceName, weight, request.Italic);
    if (!file) {
        return nullptr;
    }
    auto font = std::make_shared<FontInstance>();
    font->Library = system.Library;
    if (FT_New_Face(system.Library->Library, file->Path.c_str(), file->Index, &font->Face) != 0) {
        font->Face = nullptr;
        return nullptr;
    }
    FT_Select_Charmap(font->Face, FT_ENCODING_UNICODE);
    font->File = file->Path;
    font->Family = file->Family;
    font->Embolden = weight >= 600 && !file->IsBold;
    font->Oblique = request.Italic && !file->IsItalic;
    if (!SizeFace(*font, request)) {
        return nullptr;
    }
    return font;
}

void CopyBitmap(const FT_Bitmap& bitmap, RenderedGlyph& glyph) {
    glyph.Width = static_cast<int>(bitmap.width);
    glyph.Height = static_cast<int>(bitmap.rows);
    glyph.Coverage.assign(static_cast<size_t>(glyph.Width) * glyph.Height, 0);
    for (int row = 0; row < glyph.Height; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        for (int column = 0; column < glyph.Width; ++column) {
            uint8_t value = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                value = source[column];
            } else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                value = (source[column / 8] & (0x80 >> (column % 8))) ? 255 : 0;
            }
            glyph.Coverage[static_cast<size_t>(row) * glyph.Width + column] = value;
        }
    }
}

RenderedGlyph RenderGlyph(FontInstance& font, unsigned char character) {
    RenderedGlyph glyph;
    FT_Face face = font.Face;
    const FT_UInt index = FT_Get_Char_Index(face, CodePointFromWindows1252(character));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) {
        return glyph;
    }
    if (font.Embolden) {
        FT_GlyphSlot_Embolden(face->glyph);
    }
    if (font.Oblique) {
        FT_GlyphSlot_Oblique(face->glyph);
    }
    glyph.Advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return glyph;
    }
    glyph.Left = face->glyph->bitmap_left;
    glyph.Top = face->glyph->bitmap_top;
    CopyBitmap(face->glyph->bitmap, glyph);
    return glyph;
}

} // namespace

std::shared_ptr<FontInstance> OpenFontInstance(const FontRequest& request) {
    FontSystem& system = Fonts();
    const auto key = std::make_tuple(Lowercase(request.FaceName), request.Height,
                                     request.Weight <= 0 ? 400 : request.Weight, request.Italic);
    if (auto found = system.Instances.find(key); found != system.Instances.end()) {
        return found->second;
    }
    std::shared_ptr<FontInstance> font = OpenInstance(request);
    system.Instances.emplace(key, font);
    return font;
}

const FontMetrics& MetricsOf(const FontInstance& font) {
    return font.Metrics;
}

const std::string& FontFileOf(const FontInstance& font) {
    return font.File;
}

const std::string& FontFamilyOf(const FontInstance& font) {
    return font.Family;
}

const RenderedGlyph& GlyphOf(FontInstance& font, unsigned char character) {
    std::unique_ptr<RenderedGlyph>& slot = font.Glyphs[character];
    if (!slot) {
        slot = std::make_unique<RenderedGlyph>(RenderGlyph(font, character));
    }
    return *slot;
}

uint32_t CodePointFromWindows1252(unsigned char character) {
    // 0x80..0x9F hold typographic characters in Windows-1252 where Latin-1
    // has control codes; the five unassigned ones keep their own value.
    static constexpr std::array<uint16_t, 32> high = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (character >= 0x80 && character <= 0x9F) {
        return high[character - 0x80];
    }
    return character;
}
