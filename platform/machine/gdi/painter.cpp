#include "platform/machine/gdi/painter.h"

#include "platform/machine/gdi/draw_target.h"
#include "platform/machine/gdi/raster.h"
#include "platform/machine/gdi/text_drawing.h"

namespace {

FontInstance* OpenFont(HFONT handle) {
    FontObject* font = FindGdiObjectOf<FontObject>(handle);
    return font ? ResolveFont(*font) : nullptr;
}

} // namespace

bool LocateDeviceContextTarget(HDC dc, ClientDrawTarget& target) {
    DeviceContext* context = FindDeviceContext(dc);
    DrawTarget located;
    if (!context || !LocateDrawTarget(*context, located)) {
        return false;
    }
    target = located.Area;
    return true;
}

void PaintFill(const ClientDrawTarget& target, const RECT& rect, COLORREF color) {
    if (target.Target) {
        FillArea(*target.Target, ClipToTarget(target, rect), PixelFromColorref(color));
    }
}

void PaintFrame(const ClientDrawTarget& target, const RECT& rect, COLORREF color) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    PaintFill(target, RECT{rect.left, rect.top, rect.right, rect.top + 1}, color);
    PaintFill(target, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    PaintFill(target, RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, color);
    PaintFill(target, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

bool PaintText(const ClientDrawTarget& target, HFONT font, int x, int y, std::string_view text,
               COLORREF color) {
    FontInstance* instance = OpenFont(font);
    if (!instance || !target.Target) {
        return false;
    }
    TextStyle style;
    style.Color = color;
    if (FontObject* object = FindGdiObjectOf<FontObject>(font)) {
        style.Underline = object->Request.Underline;
        style.StrikeOut = object->Request.StrikeOut;
    }
    DrawString(target, *instance, x, y, text, style);
    return true;
}

bool MeasureText(HFONT font, std::string_view text, SIZE& size) {
    FontInstance* instance = OpenFont(font);
    if (!instance) {
        return false;
    }
    size = MeasureString(*instance, text);
    return true;
}

bool ReadFontMetrics(HFONT font, TEXTMETRICA& metrics) {
    HDC dc = CreateCompatibleDC(nullptr);
    const bool selected = SelectObject(dc, font) != nullptr;
    const bool read = selected && GetTextMetricsA(dc, &metrics) != FALSE;
    DeleteDC(dc);
    return read;
}
