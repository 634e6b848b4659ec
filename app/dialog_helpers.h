// Helpers that every dialog of the installer shares.
#pragma once

#include "platform/win32.h"

// The private message a progress dialog posts to itself from WM_INITDIALOG;
// its whole work runs while this one message is handled.
constexpr UINT MsgStartWork = 32000;

// Moves `dialog`, without resizing it, so that it is centred on the screen
// (ScreenWidth, ScreenHeight; integer halves rounded toward zero), and raises
// it to the top of the z-order.
void CenterOnScreen(HWND dialog);

// Asks the exit question in an ownerless Yes/No box; true when the user
// answers Yes, that is, gives up.
bool ConfirmExit();

// Dispatches every message waiting in the thread's queue; WM_QUIT is dropped.
// No dialog keyboard handling: Esc does not reach a dialog while work runs.
void DrainMessages();
