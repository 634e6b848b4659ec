// Pens and brushes, stock objects, and what every GDI object shares:
// selection into a device context, deletion, and GetObjectA.
#include "platform/api/gdi32.h"
#include "platform/machine/gdi/gdi_state.h"

#include <cstring>

namespace {

// The documented pen styles: solid, the dashed and dotted ones (drawn solid
// here), null, and inside-frame.
constexpr int LastPenStyle = 6;

// Puts `object` in the context's slot, keeping the selection counts right,
// and returns what the slot held.
HGDIOBJ SwapSelection(HGDIOBJ& slot, HGDIOBJ object) {
    HGDIOBJ previous = slot;
    if (previous == object) {
        return previous;
    }
    if (GdiObject* old = FindGdiObject(previous)) {
        --old->SelectionCount;
    }
    ++FindGdiObject(object)->SelectionCount;
    slot = object;
    return previous;
}

} // namespace

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > LastPenStyle) {
        return nullptr;
    }
    // Width 0 is the one-pixel pen, as in Windows.
    const int pixels = width < 1 ? 1 : width;
    return static_cast<HPEN>(AddGdiObject(PenObject{style, pixels, color & 0x00FFFFFFu}));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(AddGdiObject(BrushObject{false, color & 0x00FFFFFFu}));
}

HGDIOBJ GetStockObject(int index) {
    return StockObject(index);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* context = FindDeviceContext(dc);
    GdiObject* selected = FindGdiObject(object);
    if (!context || !selected) {
        return nullptr;
    }
    if (std::holds_alternative<PenObject>(selected->Value)) {
        return SwapSelection(context->Pen, object);
    }
    if (std::holds_alternative<BrushObject>(selected->Value)) {
        return SwapSelection(context->Brush, object);
    }
    if (std::holds_alternative<FontObject>(selected->Value)) {
        return SwapSelection(context->Font, object);
    }
    // Bitmaps go into memory contexts only, and into one at a time (the
    // default 1 x 1 bitmap that every memory context starts with excepted).
    if (context->Kind != DeviceContextKind::Memory) {
        return nullptr;
    }
    if (context->Bitmap != object && selected->SelectionCount > 0 && !selected->Stock) {
        return nullptr;
    }
    return SwapSelection(context->Bitmap, object);
}

// A selected object stays alive and the call fails; stock objects are never
// deleted, and deleting one succeeds, as Windows documents.
BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* found = FindGdiObject(object);
    if (!found) {
        return FALSE;
    }
    if (found->Stock) {
        return TRUE;
    }
    return RemoveGdiObject(object) ? TRUE : FALSE;
}

// Answers for bitmaps (BITMAP); other kinds have no structure declared in
// this API and give 0. With a null buffer the size needed is returned.
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    BitmapObject* bitmap = FindGdiObjectOf<BitmapObject>(object);
    if (!bitmap) {
        return 0;
    }
    constexpr int needed = static_cast<int>(sizeof(BITMAP));
    if (buffer == nullptr) {
        return needed;
    }
    if (size < needed) {
        return 0;
    }
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = bitmap->Pixels.Width;
    description.bmHeight = bitmap->Pixels.Height;
    // Rows of a device bitmap are padded to a whole number of 16-bit words.
    description.bmWidthBytes = ((bitmap->Pixels.Width * bitmap->BitsPerPixel + 15) / 16) * 2;
    description.bmPlanes = 1;
    description.bmBitsPixel = static_cast<WORD>(bitmap->BitsPerPixel);
    description.bmBits = nullptr;
    std::memcpy(buffer, &description, sizeof description);
    return needed;
}
