// The active window (the topmost visible, enabled top-level window), the
// keyboard focus, and enabling windows. A top-level window remembers its
// focus window and gets it back whenever it becomes active again, as a
// dialog does after a message box above it closes.
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

namespace {

HWND ComputeActiveWindow() {
    const auto& order = WindowManager().TopLevelOrder;
    for (auto window = order.rbegin(); window != order.rend(); ++window) {
        const WindowRecord* record = FindWindowRecord(*window);
        if (record && record->IsVisibleFlag() && record->IsEnabledFlag() && !record->Destroying) {
            return *window;
        }
    }
    return nullptr;
}

HWND SavedFocusInside(HWND topLevel) {
    const WindowRecord* record = FindWindowRecord(topLevel);
    if (!record) {
        return nullptr;
    }
    const WindowRecord* saved = FindWindowRecord(record->SavedFocus);
    if (saved && !saved->Destroying && IsSelfOrDescendant(saved->Handle, topLevel)) {
        return saved->Handle;
    }
    return nullptr;
}

} // namespace

void ChangeFocus(HWND window) {
    WindowManagerState& state = WindowManager();
    const HWND previous = FindWindowRecord(state.Focus) ? state.Focus : nullptr;
    if (previous == window) {
        return;
    }
    state.Focus = window;
    if (WindowRecord* topLevel = TopLevelRecordOf(window)) {
        topLevel->SavedFocus = window;
    }
    if (previous) {
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window && state.Focus == window && FindWindowRecord(window)) {
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
}

void RefreshActivation() {
    WindowManagerState& state = WindowManager();
    const HWND next = ComputeActiveWindow();
    if (next == state.Active) {
        return;
    }
    const HWND previous = state.Active;
    state.Active = next;
    if (FindWindowRecord(previous)) {
        PaintNonClient(previous);
    }
    if (!next) {
        return;
    }
    PaintNonClient(next);
    if (!IsSelfOrDescendant(state.Focus, next)) {
        const HWND saved = SavedFocusInside(next);
        ChangeFocus(saved ? saved : next);
    }
}

HWND ActiveWindow() {
    const HWND active = WindowManager().Active;
    return FindWindowRecord(active) ? active : nullptr;
}

HWND KeyboardTarget() {
    const HWND active = ActiveWindow();
    if (!active) {
        return nullptr;
    }
    const HWND focus = WindowManager().Focus;
    if (FindWindowRecord(focus) && IsSelfOrDescendant(focus, active)) {
        return focus;
    }
    const HWND saved = SavedFocusInside(active);
    return saved ? saved : active;
}

HWND GetFocus() {
    const HWND focus = WindowManager().Focus;
    return FindWindowRecord(focus) ? focus : nullptr;
}

HWND SetFocus(HWND window) {
    if (window != nullptr) {
        const WindowRecord* record = FindWindowRecord(window);
        if (!record || record->Destroying) {
            return nullptr;
        }
    }
    const HWND previous = GetFocus();
    ChangeFocus(window);
    return previous;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return FALSE;
    }
    const bool wasDisabled = !record->IsEnabledFlag();
    const bool enabling = enable != FALSE;
    if (enabling == wasDisabled) {
        if (enabling) {
            record->Style &= ~static_cast<DWORD>(WS_DISABLED);
        } else {
            record->Style |= WS_DISABLED;
        }
        const bool topLevel = !record->IsChild();
        SendMessageA(window, WM_ENABLE, enabling ? TRUE : FALSE, 0);
        if (topLevel && FindWindowRecord(window)) {
            RefreshActivation();
        }
    }
    return wasDisabled ? TRUE : FALSE;
}
