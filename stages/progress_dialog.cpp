#include "stages/progress_dialog.h"

#include "app/dialog_helpers.h"
#include "app/install_state.h"
#include "stages/progress_meter.h"

INT_PTR HandleProgressDialogMessage(HWND dialog, UINT message, WPARAM wParam, ProgressWork work) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(dialog, "Please Stand By...");
        OpenMeter(dialog);
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        // The work starts once the dialog is on the screen.
        PostMessageA(dialog, MsgStartWork, 0, 0);
        return FALSE;
    case MsgStartWork:
        work(dialog);
        return TRUE;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        // The dialog does not end here: the work sees the flag at its next
        // test and ends the dialog itself.
        if (LOWORD(wParam) == IDCANCEL && ConfirmExit()) {
            KeepGoing = 0;
        }
        return FALSE;
    case WM_DESTROY:
        KeepGoing = 0;
        return FALSE;
    default:
        return FALSE;
    }
}
