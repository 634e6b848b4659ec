// Showing, hiding, moving, sizing and restacking windows, with the repaints
// each change calls for.
#include "platform/machine/user/rectangles.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"
#include "platform/machine/window_surfaces.h"

#include <algorithm>

namespace {

// SetWindowPos places a window below the one it names; these two values
// name the ends of the stacking instead.
const HWND InsertAtBottom = reinterpret_cast<HWND>(1);

void RestackChild(WindowRecord& record, HWND insertAfter) {
    WindowRecord* parent = FindWindowRecord(record.Parent);
    if (!parent) {
        return;
    }
    auto& siblings = parent->Children;
    const HWND window = record.Handle;
    if (insertAfter == window) {
        return;
    }
    const bool known = insertAfter == HWND_TOP || insertAfter == InsertAtBottom ||
                       std::find(siblings.begin(), siblings.end(), insertAfter) != siblings.end();
    if (!known) {
        return;
    }
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    if (insertAfter == HWND_TOP) {
        siblings.insert(siblings.begin(), window);
    } else if (insertAfter == InsertAtBottom) {
        siblings.push_back(window);
    } else {
        siblings.insert(std::find(siblings.begin(), siblings.end(), insertAfter) + 1, window);
    }
}

void RestackTopLevel(HWND window, HWND insertAfter) {
    if (insertAfter == HWND_TOP) {
        RaiseTopLevel(window);
    } else if (insertAfter == InsertAtBottom) {
        const auto& order = WindowManager().TopLevelOrder;
        if (!order.empty() && order.front() != window) {
            PlaceTopLevelBelow(window, order.front());
        }
    } else if (const WindowRecord* anchor = FindWindowRecord(insertAfter);
               anchor && !anchor->IsChild()) {
        PlaceTopLevelBelow(window, insertAfter);
    }
}

void ShowChild(HWND window, bool show) {
    SendMessageA(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    if (show) {
        record->Style |= WS_VISIBLE;
        InvalidateWholeWindow(window);
    } else {
        record->Style &= ~static_cast<DWORD>(WS_VISIBLE);
        ClearUpdateOfTree(window);
        InvalidateClientArea(record->Parent, record->Bounds, true);
    }
    MarkScreenChanged();
}

void ShowTopLevel(HWND window, bool show) {
    SendMessageA(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    const TopLevelSnapshot before = TakeTopLevelSnapshot();
    if (show) {
        record->Style |= WS_VISIBLE;
        // Showing a window activates it, which brings it to the top.
        RaiseTopLevel(window);
    } else {
        record->Style &= ~static_cast<DWORD>(WS_VISIBLE);
        ClearUpdateOfTree(window);
    }
    ExposeAfterTopLevelChange(before, window);
    RefreshActivation();
    MarkScreenChanged();
}

} // namespace

BOOL ShowWindow(HWND window, int command) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || record->Destroying) {
        return FALSE;
    }
    const bool wasVisible = record->IsVisibleFlag();
    const bool show = command != SW_HIDE;
    if (show != wasVisible) {
        if (record->IsChild()) {
            ShowChild(window, show);
        } else {
            ShowTopLevel(window, show);
        }
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || record->Destroying) {
        return FALSE;
    }
    const RECT old = record->Bounds;
    RECT next = old;
    if (!(flags & SWP_NOMOVE)) {
        next = OffsetRectBy(old, x - old.left, y - old.top);
    }
    if (!(flags & SWP_NOSIZE)) {
        next.right = next.left + std::max(cx, 0);
        next.bottom = next.top + std::max(cy, 0);
    }
    const bool moved = next.left != old.left || next.top != old.top;
    const bool sized = (next.right - next.left) != (old.right - old.left) ||
                       (next.bottom - next.top) != (old.bottom - old.top);
    const bool restack = !(flags & SWP_NOZORDER);

    if (record->IsChild()) {
        record->Bounds = next;
        if (restack) {
            RestackChild(*record, insertAfter);
        }
        if (record->IsVisibleFlag() && (moved || sized || restack)) {
            InvalidateClientArea(record->Parent, old, true);
            InvalidateWholeWindow(window);
        }
    } else {
        const TopLevelSnapshot before = TakeTopLevelSnapshot();
        record->Bounds = next;
        if (sized) {
            record->Pixels->Resize(next.right - next.left, next.bottom - next.top, FaceColorPixel);
            PaintNonClient(window);
        }
        if (restack) {
            RestackTopLevel(window, insertAfter);
        }
        ExposeAfterTopLevelChange(before, window);
        if (sized) {
            InvalidateWholeWindow(window);
        }
        RefreshActivation();
    }
    MarkScreenChanged();

    if (moved && FindWindowRecord(window)) {
        const WindowRecord* now = FindWindowRecord(window);
        const POINT origin = ClientOriginOnScreen(*now);
        POINT position = origin;
        if (now->IsChild()) {
            if (const WindowRecord* parent = FindWindowRecord(now->Parent)) {
                const POINT parentOrigin = ClientOriginOnScreen(*parent);
                position = POINT{origin.x - parentOrigin.x, origin.y - parentOrigin.y};
            }
        }
        SendMessageA(window, WM_MOVE, 0, MAKELPARAM(position.x, position.y));
    }
    if (sized && FindWindowRecord(window)) {
        const RECT client = ClientRectOf(*FindWindowRecord(window));
        SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    return TRUE;
}
