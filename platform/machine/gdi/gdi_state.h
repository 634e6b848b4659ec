// The drawing part's process state: every live GDI object (pens, brushes,
// fonts, bitmaps) and device context, keyed by the opaque handle given out
// for it. Internal to platform/machine/gdi.
//
// Handles are numbers that only grow for the life of the process, so a
// deleted or stale handle (even one from before a machine restart) is never
// mistaken for a live object: every lookup of a bad handle yields null.
#pragma once

#include "platform/api/gdi32.h"
#include "platform/machine/gdi/font_faces.h"
#include "platform/machine/surface.h"

#include <memory>
#include <variant>

struct PenObject {
    int Style = PS_SOLID;
    int Width = 1;
    COLORREF Color = 0;
};

struct BrushObject {
    bool Hollow = false;
    COLORREF Color = 0;
};

struct FontObject {
    FontRequest Request;
    // Opened on first use (ResolveFont); stays null when no installed font
    // can serve the request, and text calls with such a font selected fail.
    std::shared_ptr<FontInstance> Instance;
    bool Resolved = false;
};

struct BitmapObject {
    Surface Pixels;
    // What GetObjectA reports: 32 for colour bitmaps, 1 for the default
    // bitmap of a memory device context.
    int BitsPerPixel = 32;
};

using GdiObjectValue = std::variant<PenObject, BrushObject, FontObject, BitmapObject>;

struct GdiObject {
    GdiObjectValue Value;
    // Stock objects are never deleted; DeleteObject on one succeeds and does
    // nothing, as Windows documents.
    bool Stock = false;
    // How many device contexts have this object selected. Selected objects
    // cannot be deleted, and a bitmap can be selected into one context only.
    int SelectionCount = 0;
};

enum class DeviceContextKind {
    Window, // GetDC(window): draws into the window's client area
    Screen, // GetDC(nullptr): draws into an off-screen surface of screen size
    Memory, // CreateCompatibleDC: draws into its selected bitmap
};

struct DeviceContext {
    DeviceContextKind Kind = DeviceContextKind::Memory;
    HWND Window = nullptr;
    HGDIOBJ Pen = nullptr;
    HGDIOBJ Brush = nullptr;
    HGDIOBJ Font = nullptr;
    HGDIOBJ Bitmap = nullptr; // memory contexts only
    int BackgroundMode = OPAQUE;
    COLORREF BackgroundColor = RGB(255, 255, 255);
    COLORREF TextColor = RGB(0, 0, 0);
    POINT Position{0, 0};
};

// Lookups: null for a bad, deleted or foreign handle. Pointers stay valid
// until that object or context is removed or the drawing state is reset.
GdiObject* FindGdiObject(HGDIOBJ handle);
DeviceContext* FindDeviceContext(HDC handle);

template <typename Kind> Kind* FindGdiObjectOf(HGDIOBJ handle) {
    GdiObject* object = FindGdiObject(handle);
    return object ? std::get_if<Kind>(&object->Value) : nullptr;
}

// Registers a new object or context and returns its fresh handle.
HGDIOBJ AddGdiObject(GdiObjectValue value);
HDC AddDeviceContext(const DeviceContext& context);

// Removes an object that is neither stock nor selected; false otherwise.
bool RemoveGdiObject(HGDIOBJ handle);
// Removes a context, first releasing every object selected into it.
void RemoveDeviceContext(HDC handle);

// The handle of a stock object (GetStockObject indices), null for an index
// that has none. Stock objects exist from the first use of the drawing state.
HGDIOBJ StockObject(int index);
// The 1 x 1 bitmap that every new memory device context starts with.
HGDIOBJ DefaultMemoryBitmap();

// The off-screen surface behind GetDC(nullptr); empty after a reset until
// the first screen context sizes it.
Surface& ScreenDeviceSurface();

// Counts of live objects and contexts (stock objects not included), for tests
// that look for leaks.
int LiveGdiObjectCount();
int LiveDeviceContextCount();
