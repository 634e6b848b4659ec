// The full-screen backdrop behind every dialog of the installation: a
// vertical colour gradient, the title with a drop shadow, the logo at the
// bottom centre and a notice line at the bottom right. The entry point
// registers the window class "ZVSetUp" with BackdropWndProc and creates the
// window; this file draws it.
#pragma once

#include "platform/win32.h"

// The backdrop's window procedure. Paints on every WM_PAINT, posts WM_QUIT to
// itself on WM_CLOSE and WM_DESTROY, and hands every message, those three
// included, to DefWindowProcA, whose answer it returns.
LRESULT BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the whole of BackdropWindow through its window device context, whatever
// the update region. Every brush, font and memory device context it makes is
// released before it returns.
void PaintBackdrop();

// The colour of the title's shadow for a title in `titleColor`: black when the
// title is light (luminance 0.3 R + 0.59 G + 0.11 B, rounded, of 128 or more),
// white when it is dark.
COLORREF TitleShadowColor(COLORREF titleColor);
