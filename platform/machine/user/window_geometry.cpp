// Where windows and their client areas lie, and the system metrics that
// describe the non-client parts.
#include "platform/machine/machine.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_metrics.h"
#include "platform/machine/user/window_records.h"

FrameInsets NonClientInsetsOf(DWORD style, DWORD exStyle) {
    FrameInsets insets;
    if (style & WS_CHILD) {
        return insets;
    }
    if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        insets.FrameWidth = DialogFrameWidth;
    } else if (style & WS_BORDER) {
        insets.FrameWidth = ThinBorderWidth;
    }
    insets.HasCaption = (style & WS_CAPTION) == WS_CAPTION;
    insets.Left = insets.Right = insets.Bottom = insets.FrameWidth;
    insets.Top = insets.FrameWidth + (insets.HasCaption ? CaptionHeight : 0);
    return insets;
}

RECT ScreenRectOf(const WindowRecord& record) {
    if (!record.IsChild()) {
        return record.Bounds;
    }
    const WindowRecord* parent = FindWindowRecord(record.Parent);
    if (!parent) {
        return record.Bounds;
    }
    const POINT origin = ClientOriginOnScreen(*parent);
    return OffsetRectBy(record.Bounds, origin.x, origin.y);
}

POINT ClientOriginOnScreen(const WindowRecord& record) {
    const RECT screen = ScreenRectOf(record);
    const FrameInsets insets = NonClientInsetsOf(record.Style, record.ExStyle);
    return POINT{screen.left + insets.Left, screen.top + insets.Top};
}

RECT ClientRectOf(const WindowRecord& record) {
    const FrameInsets insets = NonClientInsetsOf(record.Style, record.ExStyle);
    const LONG width = record.Bounds.right - record.Bounds.left - insets.Left - insets.Right;
    const LONG height = record.Bounds.bottom - record.Bounds.top - insets.Top - insets.Bottom;
    return RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || rect == nullptr) {
        return FALSE;
    }
    *rect = ScreenRectOf(*record);
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || rect == nullptr) {
        return FALSE;
    }
    *rect = ClientRectOf(*record);
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || point == nullptr) {
        return FALSE;
    }
    const POINT origin = ClientOriginOnScreen(*record);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || point == nullptr) {
        return FALSE;
    }
    const POINT origin = ClientOriginOnScreen(*record);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return CurrentMachineConfig().ScreenWidth;
    case SM_CYSCREEN:
        return CurrentMachineConfig().ScreenHeight;
    case SM_CXVSCROLL:
        return VerticalScrollBarWidth;
    case SM_CYCAPTION:
        return CaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return ThinBorderWidth;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return DialogFrameWidth;
    default:
        return 0;
    }
}
