// The dialog window class: the dialog procedure first, then the default
// handling Windows' dialog manager gives what the procedure leaves
// unhandled.
#include "platform/api/gdi32.h"
#include "platform/machine/user/dialog_manager.h"
#include "platform/machine/user/non_client_style.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

namespace {

HBRUSH FaceBrush = nullptr;

LRESULT DefaultDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (!record) {
        return 0;
    }
    switch (message) {
    case WM_ERASEBKGND: {
        // Erasing fills the client area with the face colour, so a repaint
        // of a dialog takes away whatever was drawn on it.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const RECT area = EraseAreaOf(*record);
        FillRect(dc, &area, DialogFaceBrush());
        return 1;
    }
    case WM_CLOSE: {
        // The close box and the system menu's Close become the Cancel
        // command, unless a Cancel button is there and disabled.
        const HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel != nullptr && !IsWindowEnabled(cancel)) {
            return 0;
        }
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(DialogFontOf(dialog));
    case WM_SETFOCUS:
        // The dialog passes the focus on to its first control that takes it.
        if (const HWND first = NextDialogTabItem(dialog, nullptr, false)) {
            SetDialogFocus(first);
        }
        return 0;
    default:
        return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

LRESULT DialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(dialog);
    const DLGPROC procedure = record && record->Dialog ? record->Dialog->Procedure : nullptr;
    if (procedure) {
        // The dialog procedure's answer says whether it handled the message;
        // for WM_INITDIALOG it says whether the default focus is wanted.
        const INT_PTR handled = procedure(dialog, message, wParam, lParam);
        if (message == WM_INITDIALOG || handled) {
            return handled;
        }
    } else if (message == WM_INITDIALOG) {
        return TRUE;
    }
    return DefaultDialogMessage(dialog, message, wParam, lParam);
}

} // namespace

void RegisterDialogClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DialogWindowProc;
    windowClass.lpszClassName = DialogClassName;
    RegisterClassA(&windowClass);
}

void ResetDialogManager() {
    // The drawing objects went with the drawing part's own reset.
    FaceBrush = nullptr;
}

HBRUSH DialogFaceBrush() {
    if (FaceBrush == nullptr) {
        FaceBrush = CreateSolidBrush(ClassicFace);
    }
    return FaceBrush;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    WindowRecord* record = FindWindowRecord(dialog);
    if (!record || !record->Dialog) {
        return FALSE;
    }
    if (!record->Dialog->Ended) {
        record->Dialog->Ended = true;
        record->Dialog->Result = result;
    }
    return TRUE;
}

void SetDialogFocus(HWND control) {
    SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessageA(control, EM_SETSEL, 0, -1);
    }
}
