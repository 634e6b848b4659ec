#include "ui/license_dialog.h"

#include "app/dialog_helpers.h"
#include "app/install_state.h"
#include "ui/agreement_text.h"

namespace {

// The agreement box sits 10 pixels inside the client area's left, top and
// right edges and leaves 90 pixels at the bottom for the notice and buttons.
constexpr int AgreementMargin = 10;
constexpr int AgreementBottomSpace = 90;
// Child, visible, vertical scroll bar, multi-line, read-only: no tab stop,
// no border of its own (the client edge frames it), no automatic scrolling.
constexpr DWORD AgreementStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY;
static_assert(AgreementStyle == 0x50200804u);

void StartDialog(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", AgreementText, AgreementStyle, AgreementMargin,
                    AgreementMargin, client.right - 2 * AgreementMargin,
                    client.bottom - AgreementBottomSpace, dialog, nullptr, ModuleInstance, nullptr);
    CenterOnScreen(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
}

} // namespace

INT_PTR LicenseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        StartDialog(dialog);
        break;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, 1);
        } else if (LOWORD(wParam) == IDCANCEL) {
            if (ConfirmExit()) {
                EndDialog(dialog, 0);
            }
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
