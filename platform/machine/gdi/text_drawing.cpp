#include "platform/machine/gdi/text_drawing.h"

#include "platform/machine/gdi/draw_target.h"
#include "platform/machine/gdi/raster.h"

#include <algorithm>

FontInstance* ResolveFont(FontObject& font) {
    if (!font.Resolved) {
        font.Instance = OpenFontInstance(font.Request);
        font.Resolved = true;
    }
    return font.Instance.get();
}

SIZE MeasureString(FontInstance& font, std::string_view text) {
    long long width = 0;
    for (const char character : text) {
        width += GlyphOf(font, static_cast<unsigned char>(character)).Advance;
    }
    return SIZE{static_cast<LONG>(std::min<long long>(width, INT32_MAX)), MetricsOf(font).Height};
}

void DrawString(const ClientDrawTarget& target, FontInstance& font, int x, int y,
                std::string_view text, const TextStyle& style) {
    Surface& surface = *target.Target;
    const FontMetrics& metrics = MetricsOf(font);
    const long long left = static_cast<long long>(x) + target.OriginX;
    const long long top = static_cast<long long>(y) + target.OriginY;
    const RECT& clip = target.Clip;
    if (style.Background || style.Underline || style.StrikeOut) {
        const SIZE extent = MeasureString(font, text);
        const auto right = static_cast<long long>(x) + extent.cx;
        auto line = [&](long long lineTop, long long thickness, COLORREF color) {
            const RECT area{x,
                            static_cast<LONG>(std::clamp<long long>(lineTop, INT32_MIN, INT32_MAX)),
                            static_cast<LONG>(std::min<long long>(right, INT32_MAX)),
                            static_cast<LONG>(
                                std::clamp<long long>(lineTop + thickness, INT32_MIN, INT32_MAX))};
            FillArea(surface, ClipToTarget(target, area), PixelFromColorref(color));
        };
        if (style.Background) {
            line(y, metrics.Height, *style.Background);
        }
        const long long baseline = static_cast<long long>(y) + metrics.Ascent;
        if (style.Underline) {
            line(baseline + metrics.UnderlineOffset, metrics.UnderlineThickness, style.Color);
        }
        if (style.StrikeOut) {
            line(baseline - metrics.StrikeOutOffset, metrics.StrikeOutThickness, style.Color);
        }
    }
    const uint32_t pixel = PixelFromColorref(style.Color);
    const long long baseline = top + metrics.Ascent;
    long long pen = left;
    for (const char character : text) {
        if (pen >= clip.right + static_cast<long long>(metrics.MaxCharWidth) + metrics.Height) {
            break; // everything further right is clipped away
        }
        const RenderedGlyph& glyph = GlyphOf(font, static_cast<unsigned char>(character));
        const long long glyphLeft = pen + glyph.Left;
        const long long glyphTop = baseline - glyph.Top;
        const long long fromRow = std::max<long long>(0, clip.top - glyphTop);
        const long long toRow = std::min<long long>(glyph.Height, clip.bottom - glyphTop);
        const long long fromColumn = std::max<long long>(0, clip.left - glyphLeft);
        const long long toColumn = std::min<long long>(glyph.Width, clip.right - glyphLeft);
        for (long long row = fromRow; row < toRow; ++row) {
            for (long long column = fromColumn; column < toColumn; ++column) {
                const uint8_t coverage =
                    glyph.Coverage[static_cast<size_t>(row * glyph.Width + column)];
                BlendPixel(surface, static_cast<int>(glyphLeft + column),
                           static_cast<int>(glyphTop + row), pixel, coverage);
            }
        }
        pen += glyph.Advance;
    }
}
