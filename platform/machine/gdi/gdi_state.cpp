#include "platform/machine/gdi/gdi_state.h"

#include "platform/machine/machine.h"

#include <cstdint>
#include <unordered_map>

namespace {

struct GdiState {
    std::unordered_map<uintptr_t, GdiObject> Objects;
    std::unordered_map<uintptr_t, DeviceContext> DeviceContexts;
    std::unordered_map<int, HGDIOBJ> StockObjects;
    HGDIOBJ DefaultBitmap = nullptr;
    Surface ScreenSurface;
    bool StockReady = false;
};

GdiState& State() {
    static GdiState state;
    return state;
}

// Never reset, so no handle value is ever given out twice in one process.
// Values start well above the range of integer resource identifiers and
// small sentinel numbers.
uintptr_t NextHandleValue() {
    static uintptr_t next = 0x00100000;
    next += 8;
    return next;
}

HGDIOBJ AddStock(int index, GdiObjectValue value) {
    const uintptr_t key = NextHandleValue();
    GdiObject object;
    object.Value = std::move(value);
    object.Stock = true;
    State().Objects.emplace(key, std::move(object));
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(key);
    if (index >= 0) {
        State().StockObjects[index] = handle;
    }
    return handle;
}

FontObject StockFont(int height, int weight, const char* face) {
    FontObject font;
    font.Request.Height = height;
    font.Request.Weight = weight;
    font.Request.FaceName = face;
    return font;
}

void EnsureStockObjects() {
    GdiState& state = State();
    if (state.StockReady) {
        return;
    }
    state.StockReady = true;
    AddStock(WHITE_BRUSH, BrushObject{false, RGB(255, 255, 255)});
    AddStock(LTGRAY_BRUSH, BrushObject{false, RGB(192, 192, 192)});
    AddStock(GRAY_BRUSH, BrushObject{false, RGB(128, 128, 128)});
    AddStock(3 /* DKGRAY_BRUSH */, BrushObject{false, RGB(64, 64, 64)});
    AddStock(BLACK_BRUSH, BrushObject{false, RGB(0, 0, 0)});
    AddStock(NULL_BRUSH, BrushObject{true, 0});
    AddStock(WHITE_PEN, PenObject{PS_SOLID, 1, RGB(255, 255, 255)});
    AddStock(BLACK_PEN, PenObject{PS_SOLID, 1, RGB(0, 0, 0)});
    AddStock(NULL_PEN, PenObject{PS_NULL, 1, 0});
    // The classic stock fonts: the bold proportional System font, and the
    // 8-point "MS Sans Serif" of dialogs for the variable and GUI fonts.
    AddStock(SYSTEM_FONT, StockFont(16, FW_BOLD, "System"));
    AddStock(ANSI_VAR_FONT, StockFont(-11, FW_NORMAL, "MS Sans Serif"));
    AddStock(DEFAULT_GUI_FONT, StockFont(-11, FW_NORMAL, "MS Sans Serif"));
    BitmapObject defaultBitmap;
    defaultBitmap.Pixels.Resize(1, 1, 0);
    defaultBitmap.BitsPerPixel = 1;
    state.DefaultBitmap = AddStock(-1, std::move(defaultBitmap));
}

void ReleaseSelection(HGDIOBJ handle) {
    if (GdiObject* object = FindGdiObject(handle)) {
        if (object->SelectionCount > 0) {
            --object->SelectionCount;
        }
    }
}

} // namespace

GdiObject* FindGdiObject(HGDIOBJ handle) {
    EnsureStockObjects();
    auto found = State().Objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == State().Objects.end() ? nullptr : &found->second;
}

DeviceContext* FindDeviceContext(HDC handle) {
    auto found = State().DeviceContexts.find(reinterpret_cast<uintptr_t>(handle));
    return found == State().DeviceContexts.end() ? nullptr : &found->second;
}

HGDIOBJ AddGdiObject(GdiObjectValue value) {
    EnsureStockObjects();
    const uintptr_t key = NextHandleValue();
    GdiObject object;
    object.Value = std::move(value);
    State().Objects.emplace(key, std::move(object));
    return reinterpret_cast<HGDIOBJ>(key);
}

HDC AddDeviceContext(const DeviceContext& context) {
    EnsureStockObjects();
    const uintptr_t key = NextHandleValue();
    State().DeviceContexts.emplace(key, context);
    for (HGDIOBJ selected : {context.Pen, context.Brush, context.Font, context.Bitmap}) {
        if (GdiObject* object = FindGdiObject(selected)) {
            ++object->SelectionCount;
        }
    }
    return reinterpret_cast<HDC>(key);
}

bool RemoveGdiObject(HGDIOBJ handle) {
    GdiObject* object = FindGdiObject(handle);
    if (!object || object->Stock || object->SelectionCount > 0) {
        return false;
    }
    State().Objects.erase(reinterpret_cast<uintptr_t>(handle));
    return true;
}

void RemoveDeviceContext(HDC handle) {
    DeviceContext* context = FindDeviceContext(handle);
    if (!context) {
        return;
    }
    for (HGDIOBJ selected : {context->Pen, context->Brush, context->Font, context->Bitmap}) {
        ReleaseSelection(selected);
    }
    State().DeviceContexts.erase(reinterpret_cast<uintptr_t>(handle));
}

HGDIOBJ StockObject(int index) {
    EnsureStockObjects();
    auto found = State().StockObjects.find(index);
    return found == State().StockObjects.end() ? nullptr : found->second;
}

HGDIOBJ DefaultMemoryBitmap() {
    EnsureStockObjects();
    return State().DefaultBitmap;
}

Surface& ScreenDeviceSurface() {
    return State().ScreenSurface;
}

int LiveGdiObjectCount() {
    int count = 0;
    for (const auto& entry : State().Objects) {
        count += entry.second.Stock ? 0 : 1;
    }
    return count;
}

int LiveDeviceContextCount() {
    return static_cast<int>(State().DeviceContexts.size());
}

void ResetGdi() {
    GdiState& state = State();
    state.Objects.clear();
    state.DeviceContexts.clear();
    state.StockObjects.clear();
    state.DefaultBitmap = nullptr;
    state.ScreenSurface = Surface{};
    state.StockReady = false;
}
