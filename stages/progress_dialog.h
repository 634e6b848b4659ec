// What the two progress dialogs share: their start, their Cancel and their
// end. Each posts MsgStartWork to itself while it starts and does all of its
// work while handling that one message; a Cancel that arrives meanwhile (the
// work drains the queue) only clears KeepGoing, which the work tests before
// its next step.
#pragma once

#include "platform/win32.h"

// The work a progress dialog runs on MsgStartWork. It ends the dialog itself.
using ProgressWork = void (*)(HWND dialog);

// Handles one message of a progress dialog whose work is `work`:
// WM_INITDIALOG sets the caption "Please Stand By...", opens the meter, gives
// the Cancel button the focus and posts MsgStartWork; MsgStartWork runs the
// work; the command IDCANCEL (from WM_COMMAND or WM_SYSCOMMAND, by the low
// word of wParam) asks ConfirmExit and on Yes clears KeepGoing; WM_DESTROY
// clears KeepGoing. Returns 1 for MsgStartWork and 0 for every other message.
INT_PTR HandleProgressDialogMessage(HWND dialog, UINT message, WPARAM wParam, ProgressWork work);
