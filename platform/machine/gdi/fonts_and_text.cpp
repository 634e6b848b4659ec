// CreateFontA and the text calls of a device context.
#include "platform/api/gdi32.h"
#include "platform/machine/gdi/draw_target.h"
#include "platform/machine/gdi/text_drawing.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// The font selected into the context, opened; null when there is none.
FontInstance* SelectedFont(const DeviceContext& context, FontObject** object = nullptr) {
    FontObject* font = FindGdiObjectOf<FontObject>(context.Font);
    if (object) {
        *object = font;
    }
    return font ? ResolveFont(*font) : nullptr;
}

bool ReadableText(LPCSTR text, int length) {
    return length >= 0 && (text != nullptr || length == 0);
}

} // namespace

// Width, escapement, orientation, character set, precisions, quality and
// pitch are accepted and not used: the machine draws upright text with the
// nearest installed face. The face is matched when the font is first used.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
    (void)width, (void)escapement, (void)orientation, (void)charSet, (void)outPrecision,
        (void)clipPrecision, (void)quality, (void)pitchAndFamily;
    FontObject font;
    font.Request.Height = height;
    // LOGFONT weights run from 0 to 1000.
    font.Request.Weight = std::clamp(weight, 0, 1000);
    font.Request.Italic = italic != 0;
    font.Request.Underline = underline != 0;
    font.Request.StrikeOut = strikeOut != 0;
    // LOGFONT holds at most 31 characters of a face name.
    if (faceName) {
        const std::string_view name(faceName, strnlen(faceName, 32));
        font.Request.FaceName = std::string(name.substr(0, 31));
    }
    return static_cast<HFONT>(AddGdiObject(std::move(font)));
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context || !ReadableText(text, length)) {
        return FALSE;
    }
    DrawTarget target;
    if (!LocateDrawTarget(*context, target)) {
        return FALSE;
    }
    FontObject* object = nullptr;
    FontInstance* font = SelectedFont(*context, &object);
    if (!font) {
        return FALSE;
    }
    TextStyle style;
    style.Color = context->TextColor;
    if (context->BackgroundMode == OPAQUE) {
        style.Background = context->BackgroundColor;
    }
    style.Underline = object->Request.Underline;
    style.StrikeOut = object->Request.StrikeOut;
    DrawString(target.Area, *font, x, y, std::string_view(text, static_cast<size_t>(length)),
               style);
    FinishDrawing(target);
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context || !size || !ReadableText(text, length)) {
        return FALSE;
    }
    FontInstance* font = SelectedFont(*context);
    if (!font) {
        return FALSE;
    }
    *size = MeasureString(*font, std::string_view(text, static_cast<size_t>(length)));
    return TRUE;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context || !metrics) {
        return FALSE;
    }
    FontInstance* font = SelectedFont(*context);
    if (!font) {
        return FALSE;
    }
    const FontMetrics& measured = MetricsOf(*font);
    TEXTMETRICA result{};
    result.tmHeight = measured.Height;
    result.tmAscent = measured.Ascent;
    result.tmDescent = measured.Descent;
    result.tmInternalLeading = measured.InternalLeading;
    result.tmExternalLeading = measured.ExternalLeading;
    result.tmAveCharWidth = measured.AverageCharWidth;
    result.tmMaxCharWidth = measured.MaxCharWidth;
    result.tmWeight = measured.Weight;
    result.tmOverhang = 0;
    result.tmDigitizedAspectX = 96;
    result.tmDigitizedAspectY = 96;
    result.tmFirstChar = 0x20;
    result.tmLastChar = 0xFF;
    result.tmDefaultChar = 0x1F;
    result.tmBreakChar = 0x20;
    result.tmItalic = measured.Italic ? 0xFF : 0;
    result.tmUnderlined = 0;
    result.tmStruckOut = 0;
    if (FontObject* object = FindGdiObjectOf<FontObject>(context->Font)) {
        result.tmUnderlined = object->Request.Underline ? 0xFF : 0;
        result.tmStruckOut = object->Request.StrikeOut ? 0xFF : 0;
    }
    // The low bit set means variable pitch (the documented inverted sense);
    // 0x04 marks a TrueType font.
    result.tmPitchAndFamily = static_cast<BYTE>((measured.FixedPitch ? 0 : 0x01) | 0x04);
    result.tmCharSet = ANSI_CHARSET;
    *metrics = result;
    return TRUE;
}
