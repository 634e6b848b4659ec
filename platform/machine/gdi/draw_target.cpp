#include "platform/machine/gdi/draw_target.h"

#include "platform/machine/machine.h"

#include <algorithm>
#include <cstdint>

namespace {

RECT Intersect(const RECT& first, const RECT& second) {
    RECT result{std::max(first.left, second.left), std::max(first.top, second.top),
                std::min(first.right, second.right), std::min(first.bottom, second.bottom)};
    if (result.right < result.left) {
        result.right = result.left;
    }
    if (result.bottom < result.top) {
        result.bottom = result.top;
    }
    return result;
}

// Adds without overflowing: coordinates from callers may be anything.
LONG Offset(LONG value, int origin) {
    const long long sum = static_cast<long long>(value) + origin;
    return static_cast<LONG>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX));
}

} // namespace

bool LocateDrawTarget(const DeviceContext& context, DrawTarget& target) {
    target = DrawTarget{};
    switch (context.Kind) {
    case DeviceContextKind::Window:
        if (!LocateClientDrawTarget(context.Window, target.Area) || !target.Area.Target) {
            return false;
        }
        target.IsWindow = true;
        break;
    case DeviceContextKind::Screen: {
        Surface& screen = ScreenDeviceSurface();
        if (screen.Width == 0) {
            const MachineConfig& config = CurrentMachineConfig();
            screen.Resize(config.ScreenWidth, config.ScreenHeight, 0);
        }
        target.Area.Target = &screen;
        target.Area.Clip = RECT{0, 0, screen.Width, screen.Height};
        break;
    }
    case DeviceContextKind::Memory: {
        BitmapObject* bitmap = FindGdiObjectOf<BitmapObject>(context.Bitmap);
        if (!bitmap) {
            return false;
        }
        target.Area.Target = &bitmap->Pixels;
        target.Area.Clip = RECT{0, 0, bitmap->Pixels.Width, bitmap->Pixels.Height};
        break;
    }
    }
    const Surface& surface = *target.Area.Target;
    target.Area.Clip = Intersect(target.Area.Clip, RECT{0, 0, surface.Width, surface.Height});
    return true;
}

void FinishDrawing(const DrawTarget& target) {
    if (target.IsWindow) {
        MarkScreenChanged();
    }
}

RECT ClipToTarget(const ClientDrawTarget& target, const RECT& rect) {
    const RECT moved{Offset(rect.left, target.OriginX), Offset(rect.top, target.OriginY),
                     Offset(rect.right, target.OriginX), Offset(rect.bottom, target.OriginY)};
    return Intersect(moved, target.Clip);
}
