// The window procedures of the standard controls and the resets of the state
// each keeps per window. Used by RegisterControlClasses only.
#pragma once

#include "platform/win32.h"

LRESULT ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Forget every control's state; the windows they belonged to are gone.
void ResetButtonStates();
void ResetEditStates();
void ResetStaticStates();
