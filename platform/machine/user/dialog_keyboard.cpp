// The dialog keyboard interface (IsDialogMessageA): Tab and Shift+Tab among
// the tab stops, arrows within a group, Enter for the default push button,
// Esc for Cancel. What a control asks for through WM_GETDLGCODE it gets.
#include "platform/machine/user/dialog_manager.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

#include <algorithm>

namespace {

bool TakesFocus(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}

// The dialog's direct child that holds `window`; null when it is elsewhere.
HWND DialogChildHolding(HWND dialog, HWND window) {
    for (const WindowRecord* record = FindWindowRecord(window); record && record->IsChild();
         record = FindWindowRecord(record->Parent)) {
        if (record->Parent == dialog) {
            return record->Handle;
        }
    }
    return nullptr;
}

HWND NextInGroup(HWND dialog, HWND from, bool backwards) {
    const WindowRecord* record = FindWindowRecord(dialog);
    const HWND current = DialogChildHolding(dialog, from);
    if (!record || !current) {
        return nullptr;
    }
    const std::vector<HWND> children = record->Children;
    const auto position = std::find(children.begin(), children.end(), current);
    const size_t index = static_cast<size_t>(position - children.begin());
    // A group runs from a WS_GROUP control (or the first) up to the next one.
    size_t start = index;
    while (start > 0 && !(GetWindowLongA(children[start], GWL_STYLE) & WS_GROUP)) {
        --start;
    }
    size_t end = index + 1;
    while (end < children.size() && !(GetWindowLongA(children[end], GWL_STYLE) & WS_GROUP)) {
        ++end;
    }
    const size_t size = end - start;
    for (size_t step = 1; step < size; ++step) {
        const size_t offset =
            backwards ? (index - start + size - step) % size : (index - start + step) % size;
        const HWND candidate = children[start + offset];
        if (TakesFocus(candidate)) {
            return candidate;
        }
    }
    return nullptr;
}

void PressDefaultButton(HWND dialog) {
    const HWND focus = DialogChildHolding(dialog, GetFocus());
    HWND button = nullptr;
    int id = IDOK;
    if (focus &&
        (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        // A focused push button acts as the default one.
        button = focus;
        id = GetDlgCtrlID(focus);
    } else {
        const WindowRecord* record = FindWindowRecord(dialog);
        const std::vector<HWND> children = record ? record->Children : std::vector<HWND>{};
        for (HWND child : children) {
            if (FindWindowRecord(child) &&
                (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
                button = child;
                id = GetDlgCtrlID(child);
                break;
            }
        }
        if (!button) {
            button = GetDlgItem(dialog, IDOK);
        }
    }
    if (button && !IsWindowEnabled(button)) {
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void PressCancel(HWND dialog) {
    const HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) {
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancel));
}

// Handles a key of the keyboard interface; false when the key is the
// control's.
bool HandleDialogKey(HWND dialog, const MSG& message) {
    const LRESULT code = SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam,
                                      reinterpret_cast<LPARAM>(&message));
    if (code & DLGC_WANTALLKEYS) {
        return false;
    }
    switch (message.wParam) {
    case VK_TAB: {
        if (code & DLGC_WANTTAB) {
            return false;
        }
        const HWND next = NextDialogTabItem(dialog, GetFocus(), ShiftOfKeyMessage(message.lParam));
        if (next) {
            SetDialogFocus(next);
        }
        return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        if (code & DLGC_WANTARROWS) {
            return false;
        }
        const bool backwards = message.wParam == VK_LEFT || message.wParam == VK_UP;
        const HWND next = NextInGroup(dialog, GetFocus(), backwards);
        if (next) {
            SetDialogFocus(next);
        }
        return true;
    }
    case VK_RETURN:
        PressDefaultButton(dialog);
        return true;
    case VK_ESCAPE:
        PressCancel(dialog);
        return true;
    default:
        return false;
    }
}

} // namespace

HWND NextDialogTabItem(HWND dialog, HWND from, bool backwards) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (!record || record->Children.empty()) {
        return nullptr;
    }
    const std::vector<HWND> children = record->Children;
    const size_t count = children.size();
    const HWND current = DialogChildHolding(dialog, from);
    const auto position = std::find(children.begin(), children.end(), current);
    // Without a current control the search starts just outside the list.
    const size_t index = position == children.end()
                             ? (backwards ? 0 : count - 1)
                             : static_cast<size_t>(position - children.begin());
    for (size_t step = 1; step <= count; ++step) {
        const size_t candidateIndex =
            backwards ? (index + count - step % count) % count : (index + step) % count;
        const HWND candidate = children[candidateIndex];
        if ((GetWindowLongA(candidate, GWL_STYLE) & WS_TABSTOP) && TakesFocus(candidate)) {
            return candidate;
        }
    }
    return nullptr;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG message) {
    if (message == nullptr || !FindWindowRecord(dialog) ||
        !IsSelfOrDescendant(message->hwnd, dialog)) {
        return FALSE;
    }
    if (message->message == WM_KEYDOWN && HandleDialogKey(dialog, *message)) {
        return TRUE;
    }
    TranslateMessage(message);
    DispatchMessageA(message);
    return TRUE;
}
