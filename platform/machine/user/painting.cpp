// Update areas and WM_PAINT: invalidation, validation, BeginPaint/EndPaint,
// and which window is painted next.
#include "platform/api/gdi32.h"
#include "platform/machine/user/rectangles.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_metrics.h"
#include "platform/machine/user/window_records.h"

#include <vector>

namespace {

void SetUpdate(WindowRecord& record, const RECT& area, bool erase) {
    if (!record.NeedsPaint) {
        record.NeedsPaint = true;
        record.UpdateArea = area;
        ++WindowManager().WindowsNeedingPaint;
    } else {
        record.UpdateArea = UnionRects(record.UpdateArea, area);
    }
    record.NeedsErase = record.NeedsErase || erase;
}

// Windows in painting order below `window`: a parent before its children,
// since a parent's paint (its background erase above all) covers them.
void CollectNeedingPaint(HWND window, std::vector<HWND>& found) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->IsVisibleFlag()) {
        return;
    }
    if (record->NeedsPaint) {
        found.push_back(window);
    }
    for (HWND child : record->Children) {
        CollectNeedingPaint(child, found);
    }
}

HWND FirstNeedingPaint(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->IsVisibleFlag()) {
        return nullptr;
    }
    if (record->NeedsPaint) {
        return window;
    }
    for (HWND child : record->Children) {
        if (HWND found = FirstNeedingPaint(child)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

void ClearUpdate(WindowRecord& record) {
    if (record.NeedsPaint) {
        record.NeedsPaint = false;
        --WindowManager().WindowsNeedingPaint;
    }
    record.NeedsErase = false;
    record.UpdateArea = RECT{0, 0, 0, 0};
}

void ClearUpdateOfTree(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    ClearUpdate(*record);
    for (HWND child : record->Children) {
        ClearUpdateOfTree(child);
    }
}

// Without WS_CLIPCHILDREN a parent's paint covers its children, so they are
// invalidated with it where they overlap.
void InvalidateClientArea(HWND window, const RECT& area, bool erase) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->IsVisibleFlag() || record->Destroying) {
        return;
    }
    const RECT clipped = IntersectRects(area, ClientRectOf(*record));
    if (RectIsEmpty(clipped)) {
        return;
    }
    SetUpdate(*record, clipped, erase);
    const std::vector<HWND> children = record->Children;
    for (HWND child : children) {
        const WindowRecord* childRecord = FindWindowRecord(child);
        if (!childRecord) {
            continue;
        }
        const RECT overlap = IntersectRects(clipped, childRecord->Bounds);
        if (!RectIsEmpty(overlap)) {
            InvalidateClientArea(
                child, OffsetRectBy(overlap, -childRecord->Bounds.left, -childRecord->Bounds.top),
                erase);
        }
    }
}

void InvalidateWholeWindow(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (record) {
        InvalidateClientArea(window, ClientRectOf(*record), true);
    }
}

void InvalidateScreenArea(HWND window, const RECT& screenArea) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    const POINT origin = ClientOriginOnScreen(*record);
    InvalidateClientArea(window, OffsetRectBy(screenArea, -origin.x, -origin.y), true);
}

HWND FindWindowToPaint(HWND filter) {
    const WindowManagerState& state = WindowManager();
    if (state.WindowsNeedingPaint <= 0) {
        return nullptr;
    }
    if (filter != nullptr) {
        return FirstNeedingPaint(filter);
    }
    for (auto window = state.TopLevelOrder.rbegin(); window != state.TopLevelOrder.rend();
         ++window) {
        if (HWND found = FirstNeedingPaint(*window)) {
            return found;
        }
    }
    return nullptr;
}

void SendPaintMessage(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    record->PaintServed = false;
    CallWindowProcedure(window, WM_PAINT, 0, 0);
    // A procedure that never validates would be asked to paint forever and
    // hang every loop that drains the queue; one unanswered WM_PAINT counts
    // as answered.
    record = FindWindowRecord(window);
    if (record && !record->PaintServed) {
        ClearUpdate(*record);
    }
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (window == nullptr) {
        const std::vector<HWND> order = WindowManager().TopLevelOrder;
        for (HWND topLevel : order) {
            InvalidateWholeWindow(topLevel);
        }
        return TRUE;
    }
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return FALSE;
    }
    InvalidateClientArea(window, rect ? *rect : ClientRectOf(*record), erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return FALSE;
    }
    record->PaintServed = true;
    // The update area is one rectangle: it goes when the validated part
    // covers it, and stays whole otherwise.
    if (rect == nullptr || RectContains(*rect, record->UpdateArea)) {
        ClearUpdate(*record);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    if (!FindWindowRecord(window)) {
        return FALSE;
    }
    std::vector<HWND> waiting;
    CollectNeedingPaint(window, waiting);
    for (HWND each : waiting) {
        const WindowRecord* record = FindWindowRecord(each);
        if (record && record->NeedsPaint) {
            SendPaintMessage(each);
        }
    }
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || paint == nullptr) {
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    paint->rcPaint = record->NeedsPaint ? record->UpdateArea : RECT{0, 0, 0, 0};
    const bool erase = record->NeedsErase;
    ClearUpdate(*record);
    record->PaintServed = true;
    record->PaintArea = paint->rcPaint;
    HDC dc = GetDC(window);
    paint->hdc = dc;
    if (erase && dc != nullptr) {
        const LRESULT erased = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        paint->fErase = erased ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    WindowRecord* record = FindWindowRecord(window);
    if (record) {
        record->PaintArea = RECT{0, 0, 0, 0};
    }
    if (paint != nullptr && paint->hdc != nullptr) {
        ReleaseDC(window, paint->hdc);
    }
    return TRUE;
}

RECT EraseAreaOf(const WindowRecord& record) {
    return RectIsEmpty(record.PaintArea) ? ClientRectOf(record) : record.PaintArea;
}
