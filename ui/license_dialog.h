// The second dialog of an installation ("LICENSE"): shows the license
// agreement in a scrollable read-only box and asks the user to agree.
#pragma once

#include "platform/win32.h"

// The dialog procedure. Returns 0 for every message, WM_INITDIALOG included
// (it sets the focus itself). Ends the dialog with 1 on "I Agree", with 0
// when the user confirms giving up.
INT_PTR LicenseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
