// The last dialog of an installation ("GROUP"): the shortcut's name and
// whether the shortcut goes into the Startup folder.
#pragma once

#include "platform/win32.h"

// The dialog procedure. Returns 0 for every message, WM_INITDIALOG included
// (it sets the focus itself). On OK sets GroupName to the entry (any text,
// the empty one included) and StartWithSystem to the check box's state and
// ends with 1; Cancel ends with 0 at once, without the exit question.
INT_PTR GroupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
