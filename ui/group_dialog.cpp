#include "ui/group_dialog.h"

#include "app/dialog_helpers.h"
#include "app/install_state.h"

namespace {

constexpr int NameEditId = 102;
constexpr int StartupCheckId = 103;
// WM_GETTEXT limit, terminating zero included.
constexpr int NameLimit = 255;

void StartDialog(HWND dialog) {
    SetWindowTextA(dialog, "Program Group");
    CenterOnScreen(dialog);
    CheckDlgButton(dialog, StartupCheckId, BST_CHECKED);
    GroupName = "Rembrix";
    SendDlgItemMessageA(dialog, NameEditId, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(GroupName.c_str()));
    SetFocus(GetDlgItem(dialog, IDOK));
}

void AcceptEntry(HWND dialog) {
    char text[NameLimit] = {};
    SendDlgItemMessageA(dialog, NameEditId, WM_GETTEXT, NameLimit, reinterpret_cast<LPARAM>(text));
    StartWithSystem = IsDlgButtonChecked(dialog, StartupCheckId) == BST_CHECKED;
    GroupName = text;
    EndDialog(dialog, 1);
}

} // namespace

INT_PTR GroupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        StartDialog(dialog);
        break;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == IDOK) {
            AcceptEntry(dialog);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
        }
        break;
    case WM_DESTROY:
        EndDialog(dialog, 0);
        break;
    default:
        break;
    }
    return FALSE;
}
