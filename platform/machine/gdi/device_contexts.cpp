// Device contexts: window contexts (GetDC/ReleaseDC), the screen context,
// memory contexts, and the colour and background state they carry.
#include "platform/api/gdi32.h"
#include "platform/api/user32.h"
#include "platform/machine/gdi/draw_target.h"
#include "platform/machine/gdi/gdi_state.h"

namespace {

DeviceContext DefaultContext(DeviceContextKind kind) {
    DeviceContext context;
    context.Kind = kind;
    context.Pen = StockObject(BLACK_PEN);
    context.Brush = StockObject(WHITE_BRUSH);
    context.Font = StockObject(SYSTEM_FONT);
    return context;
}

} // namespace

// A window context is new on every call and starts with the default
// objects and colours; it keeps the window's handle and finds the window's
// surface again on each drawing call. GetDC(nullptr) gives a context on an
// off-screen surface of the screen's size: drawing there is kept but never
// shown, since the screen is composed from the windows alone.
HDC GetDC(HWND window) {
    if (window == nullptr) {
        return AddDeviceContext(DefaultContext(DeviceContextKind::Screen));
    }
    ClientDrawTarget target;
    if (!LocateClientDrawTarget(window, target)) {
        return nullptr;
    }
    DeviceContext context = DefaultContext(DeviceContextKind::Window);
    context.Window = window;
    return AddDeviceContext(context);
}

int ReleaseDC(HWND window, HDC dc) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context || context->Kind == DeviceContextKind::Memory || context->Window != window) {
        return 0;
    }
    RemoveDeviceContext(dc);
    return 1;
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && !FindDeviceContext(dc)) {
        return nullptr;
    }
    DeviceContext context = DefaultContext(DeviceContextKind::Memory);
    context.Bitmap = DefaultMemoryBitmap();
    return AddDeviceContext(context);
}

// Contexts from GetDC are given back with ReleaseDC, never deleted.
BOOL DeleteDC(HDC dc) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context || context->Kind != DeviceContextKind::Memory) {
        return FALSE;
    }
    RemoveDeviceContext(dc);
    return TRUE;
}

int SetBkMode(HDC dc, int mode) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    const int previous = context->BackgroundMode;
    context->BackgroundMode = mode;
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context) {
        return CLR_INVALID;
    }
    const COLORREF previous = context->BackgroundColor;
    context->BackgroundColor = color & 0x00FFFFFFu;
    return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    DeviceContext* context = FindDeviceContext(dc);
    if (!context) {
        return CLR_INVALID;
    }
    const COLORREF previous = context->TextColor;
    context->TextColor = color & 0x00FFFFFFu;
    return previous;
}
