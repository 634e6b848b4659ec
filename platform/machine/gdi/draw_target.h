// Where a device context's drawing lands, resolved once as each drawing call
// enters: the surface, the origin of the context's coordinates in it, and
// the clip rectangle. Internal to platform/machine/gdi.
#pragma once

#include "platform/machine/gdi/gdi_state.h"
#include "platform/machine/window_surfaces.h"

// A ClientDrawTarget whose Clip always lies inside its surface.
struct DrawTarget {
    ClientDrawTarget Area;
    bool IsWindow = false;
};

// The target of the context now: a window context looks its window up on
// every call, since windows move. False when the drawing has nowhere to go
// (the window is gone, or its client area is hidden).
bool LocateDrawTarget(const DeviceContext& context, DrawTarget& target);

// Called after drawing into the target: a window's surface tells the window
// manager that the screen changed.
void FinishDrawing(const DrawTarget& target);

// Converts a rectangle in the context's coordinates to surface coordinates
// and intersects it with the clip; empty (left >= right or top >= bottom)
// when nothing of it is visible.
RECT ClipToTarget(const ClientDrawTarget& target, const RECT& rect);
