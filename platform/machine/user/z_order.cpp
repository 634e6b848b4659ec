// The stacking of top-level windows, and what a change of it uncovers:
// windows that come to light are invalidated, as Windows sends WM_PAINT to a
// window when something above it moves or goes away.
#include "platform/machine/user/rectangles.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"
#include "platform/machine/window_surfaces.h"

#include <algorithm>

namespace {

bool IsTopmostBand(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record && (record->ExStyle & WS_EX_TOPMOST);
}

// Keeps WS_EX_TOPMOST windows above the others and owned windows above
// their owners, without changing the order otherwise.
void RestoreStackingRules() {
    auto& order = WindowManager().TopLevelOrder;
    std::stable_partition(order.begin(), order.end(),
                          [](HWND window) { return !IsTopmostBand(window); });
    // An owned window found below its owner moves to just above it.
    bool moved = true;
    for (size_t rounds = 0; moved && rounds < order.size() + 1; ++rounds) {
        moved = false;
        for (size_t index = 0; index < order.size(); ++index) {
            const WindowRecord* record = FindWindowRecord(order[index]);
            if (!record || !record->Owner) {
                continue;
            }
            const auto owner = std::find(order.begin(), order.end(), record->Owner);
            if (owner != order.end() && owner > order.begin() + static_cast<long>(index) &&
                IsTopmostBand(record->Owner) == IsTopmostBand(order[index])) {
                const HWND window = order[index];
                order.erase(order.begin() + static_cast<long>(index));
                const auto ownerNow = std::find(order.begin(), order.end(), record->Owner);
                order.insert(ownerNow + 1, window);
                moved = true;
                break;
            }
        }
    }
}

// Position in the stacking, 0 at the bottom; -1 for a window not in it.
long StackIndex(const std::vector<HWND>& order, HWND window) {
    const auto found = std::find(order.begin(), order.end(), window);
    return found == order.end() ? -1 : static_cast<long>(found - order.begin());
}

} // namespace

TopLevelSnapshot TakeTopLevelSnapshot() {
    TopLevelSnapshot snapshot;
    for (HWND window : WindowManager().TopLevelOrder) {
        const WindowRecord* record = FindWindowRecord(window);
        if (record) {
            snapshot.Windows.push_back({window, record->Bounds, record->IsVisibleFlag()});
        }
    }
    return snapshot;
}

void ExposeAfterTopLevelChange(const TopLevelSnapshot& before, HWND changed) {
    const auto& order = WindowManager().TopLevelOrder;
    const auto beforeEntry = std::find_if(
        before.Windows.begin(), before.Windows.end(),
        [changed](const TopLevelSnapshot::Entry& entry) { return entry.Window == changed; });
    const WindowRecord* now = FindWindowRecord(changed);
    const bool wasVisible = beforeEntry != before.Windows.end() && beforeEntry->Visible;
    const bool isVisible = now && now->IsVisibleFlag() && !now->Destroying;
    const RECT oldRect = beforeEntry != before.Windows.end() ? beforeEntry->Bounds : RECT{};
    const RECT newRect = now ? now->Bounds : RECT{};
    const long newIndex = StackIndex(order, changed);

    // Windows that were below the changed window and are no longer covered
    // by it in the same way get the area it used to cover.
    if (wasVisible) {
        const bool rectChanged = !isVisible || !RectsEqual(oldRect, newRect);
        for (auto entry = before.Windows.begin(); entry != beforeEntry; ++entry) {
            const long index = StackIndex(order, entry->Window);
            if (index < 0) {
                continue;
            }
            const bool nowAbove = newIndex < 0 || index > newIndex;
            if (rectChanged || nowAbove) {
                InvalidateScreenArea(entry->Window, oldRect);
            }
        }
    }
    // The changed window gets whatever it newly shows: everything when it
    // appears, the parts of windows it rose above otherwise.
    if (!isVisible) {
        return;
    }
    if (!wasVisible) {
        InvalidateWholeWindow(changed);
        return;
    }
    if (beforeEntry == before.Windows.end()) {
        return;
    }
    for (auto entry = beforeEntry + 1; entry != before.Windows.end(); ++entry) {
        const long index = StackIndex(order, entry->Window);
        if (entry->Visible && index >= 0 && index < newIndex) {
            InvalidateScreenArea(changed, entry->Bounds);
        }
    }
}

void RaiseTopLevel(HWND window) {
    auto& order = WindowManager().TopLevelOrder;
    const auto found = std::find(order.begin(), order.end(), window);
    if (found == order.end()) {
        return;
    }
    order.erase(found);
    order.push_back(window);
    // Windows it owns come along above it, in their order.
    std::vector<HWND> owned;
    for (HWND other : order) {
        if (other != window && IsOwnedBy(other, window)) {
            owned.push_back(other);
        }
    }
    for (HWND other : owned) {
        order.erase(std::find(order.begin(), order.end(), other));
        order.push_back(other);
    }
    RestoreStackingRules();
    MarkScreenChanged();
}

void PlaceTopLevelBelow(HWND window, HWND above) {
    auto& order = WindowManager().TopLevelOrder;
    const auto found = std::find(order.begin(), order.end(), window);
    if (found == order.end() || window == above) {
        return;
    }
    order.erase(found);
    const auto anchor = std::find(order.begin(), order.end(), above);
    order.insert(anchor == order.end() ? order.begin() : anchor, window);
    RestoreStackingRules();
    MarkScreenChanged();
}

void AddTopLevel(HWND window) {
    WindowManager().TopLevelOrder.push_back(window);
    RestoreStackingRules();
}

void RemoveTopLevel(HWND window) {
    auto& order = WindowManager().TopLevelOrder;
    order.erase(std::remove(order.begin(), order.end(), window), order.end());
    MarkScreenChanged();
}

bool IsOwnedBy(HWND window, HWND owner) {
    const WindowRecord* record = FindWindowRecord(window);
    for (size_t depth = 0; record && record->Owner && depth < 64; ++depth) {
        if (record->Owner == owner) {
            return true;
        }
        record = FindWindowRecord(record->Owner);
    }
    return false;
}
