// Reaching a dialog's controls by id.
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

HWND GetDlgItem(HWND dialog, int id) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (!record) {
        return nullptr;
    }
    // Ids are 16-bit in dialogs: -1 and 65535 name the same control.
    const int wanted = id & 0xFFFF;
    for (HWND child : record->Children) {
        const WindowRecord* control = FindWindowRecord(child);
        if (control && (control->Id & 0xFFFF) == wanted) {
            return child;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND control) {
    const WindowRecord* record = FindWindowRecord(control);
    return record && record->IsChild() ? record->Id : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    const HWND control = GetDlgItem(dialog, id);
    if (!control) {
        return FALSE;
    }
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}
