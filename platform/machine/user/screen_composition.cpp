// Where drawing lands (each top-level window's own surface, its children
// drawing into it) and how the screen is composed from those surfaces.
#include "platform/machine/machine.h"
#include "platform/machine/user/rectangles.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"
#include "platform/machine/window_surfaces.h"

#include <algorithm>
#include <cstring>

namespace {

uint64_t Generation = 0;

// Set while the window manager draws a window's frame and caption through
// an ordinary device context: that window's context then reaches the whole
// window, clipped to the part being drawn.
HWND NonClientTarget = nullptr;
RECT NonClientClip{0, 0, 0, 0};

// The classic desktop colour.
constexpr uint32_t DesktopPixel = 0x008080;

void CopySurface(const Surface& source, int left, int top, Surface& screen) {
    const RECT placed{left, top, left + source.Width, top + source.Height};
    const RECT visible = IntersectRects(placed, RECT{0, 0, screen.Width, screen.Height});
    if (RectIsEmpty(visible)) {
        return;
    }
    const size_t rowPixels = static_cast<size_t>(visible.right - visible.left);
    for (LONG y = visible.top; y < visible.bottom; ++y) {
        const uint32_t* from = &source.Pixels[static_cast<size_t>(y - top) * source.Width +
                                              static_cast<size_t>(visible.left - left)];
        uint32_t* to =
            &screen
                 .Pixels[static_cast<size_t>(y) * screen.Width + static_cast<size_t>(visible.left)];
        std::memcpy(to, from, rowPixels * sizeof(uint32_t));
    }
}

} // namespace

bool LocateClientDrawTarget(HWND window, ClientDrawTarget& target) {
    const WindowRecord* record = FindWindowRecord(window);
    WindowRecord* topLevel = TopLevelRecordOf(window);
    if (!record || !topLevel || !topLevel->Pixels) {
        return false;
    }
    Surface& surface = *topLevel->Pixels;
    const RECT surfaceArea{0, 0, surface.Width, surface.Height};
    target.Target = &surface;
    if (window == NonClientTarget) {
        target.OriginX = 0;
        target.OriginY = 0;
        target.Clip = IntersectRects(NonClientClip, surfaceArea);
        return true;
    }
    const LONG surfaceLeft = topLevel->Bounds.left;
    const LONG surfaceTop = topLevel->Bounds.top;
    const POINT origin = ClientOriginOnScreen(*record);
    target.OriginX = static_cast<int>(origin.x - surfaceLeft);
    target.OriginY = static_cast<int>(origin.y - surfaceTop);
    RECT clip = surfaceArea;
    for (const WindowRecord* each = record; each;
         each = each->IsChild() ? FindWindowRecord(each->Parent) : nullptr) {
        const POINT eachOrigin = ClientOriginOnScreen(*each);
        clip = IntersectRects(clip, OffsetRectBy(ClientRectOf(*each), eachOrigin.x - surfaceLeft,
                                                 eachOrigin.y - surfaceTop));
    }
    target.Clip = clip;
    return true;
}

void BeginNonClientDrawing(HWND window, const RECT& clip) {
    NonClientTarget = window;
    NonClientClip = clip;
}

void EndNonClientDrawing() {
    NonClientTarget = nullptr;
    NonClientClip = RECT{0, 0, 0, 0};
}

void MarkScreenChanged() {
    ++Generation;
}

uint64_t ScreenGeneration() {
    return Generation;
}

void ComposeScreen(Surface& screen) {
    const MachineConfig& config = CurrentMachineConfig();
    if (screen.Width != config.ScreenWidth || screen.Height != config.ScreenHeight) {
        screen.Resize(config.ScreenWidth, config.ScreenHeight, DesktopPixel);
    } else {
        std::fill(screen.Pixels.begin(), screen.Pixels.end(), DesktopPixel);
    }
    for (HWND window : WindowManager().TopLevelOrder) {
        const WindowRecord* record = FindWindowRecord(window);
        if (!record || !record->IsVisibleFlag() || record->Destroying || !record->Pixels) {
            continue;
        }
        CopySurface(*record->Pixels, static_cast<int>(record->Bounds.left),
                    static_cast<int>(record->Bounds.top), screen);
    }
}
