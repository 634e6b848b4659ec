// What drawing needs to know of windows, and what the front ends need to know
// of the screen. Implemented by the window manager.
#pragma once

#include "platform/api/win32_types.h"
#include "platform/machine/surface.h"

#include <cstdint>

// Where a window's client area lies for drawing: in the surface of its
// top-level window, at an origin, clipped to the visible client rectangle
// (all in that surface's coordinates).
struct ClientDrawTarget {
    Surface* Target = nullptr;
    int OriginX = 0;
    int OriginY = 0;
    RECT Clip{0, 0, 0, 0};
};

// False when `window` is not a window.
bool LocateClientDrawTarget(HWND window, ClientDrawTarget& target);

// Drawing into a window's surface tells the window manager, so the screen is
// composed again before it is next shown.
void MarkScreenChanged();

// Counts every change of the screen; a front end redraws when it moved.
uint64_t ScreenGeneration();

// The screen as the user sees it: the visible top-level windows' surfaces
// stacked by z-order over the desktop colour.
void ComposeScreen(Surface& screen);
