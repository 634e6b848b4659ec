// Questions about windows and how they relate: parents, owners, siblings,
// search by class and caption, enumeration, styles.
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

#include <algorithm>
#include <string>

namespace {

constexpr UINT RelationFirst = 0;
constexpr UINT RelationLast = 1;
constexpr UINT RelationPrevious = 3;

// The siblings of a window in z-order, the topmost first.
std::vector<HWND> SiblingsTopFirst(const WindowRecord& record) {
    if (record.IsChild()) {
        const WindowRecord* parent = FindWindowRecord(record.Parent);
        return parent ? parent->Children : std::vector<HWND>{};
    }
    const auto& order = WindowManager().TopLevelOrder;
    return std::vector<HWND>(order.rbegin(), order.rend());
}

void CollectDescendants(HWND window, std::vector<HWND>& found) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    for (HWND child : record->Children) {
        found.push_back(child);
        CollectDescendants(child, found);
    }
}

} // namespace

BOOL IsWindow(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record && !record->Destroying ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    for (const WindowRecord* record = FindWindowRecord(window); record;
         record = record->IsChild() ? FindWindowRecord(record->Parent) : nullptr) {
        if (!record->IsVisibleFlag()) {
            return FALSE;
        }
        if (!record->IsChild()) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record && record->IsEnabledFlag() ? TRUE : FALSE;
}

HWND GetParent(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return nullptr;
    }
    return record->IsChild() ? record->Parent : record->Owner;
}

HWND GetWindow(HWND window, UINT relation) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return nullptr;
    }
    switch (relation) {
    case GW_CHILD:
        return record->Children.empty() ? nullptr : record->Children.front();
    case GW_OWNER:
        return record->IsChild() ? nullptr : record->Owner;
    case RelationFirst:
    case RelationLast:
    case GW_HWNDNEXT:
    case RelationPrevious: {
        const std::vector<HWND> siblings = SiblingsTopFirst(*record);
        if (siblings.empty()) {
            return nullptr;
        }
        if (relation == RelationFirst) {
            return siblings.front();
        }
        if (relation == RelationLast) {
            return siblings.back();
        }
        const auto found = std::find(siblings.begin(), siblings.end(), window);
        if (found == siblings.end()) {
            return nullptr;
        }
        if (relation == GW_HWNDNEXT) {
            return found + 1 == siblings.end() ? nullptr : *(found + 1);
        }
        return found == siblings.begin() ? nullptr : *(found - 1);
    }
    default:
        return nullptr;
    }
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
    const std::shared_ptr<const WindowClassRecord> wanted =
        className ? FindWindowClass(className) : nullptr;
    if (className && !wanted) {
        return nullptr;
    }
    const auto& order = WindowManager().TopLevelOrder;
    for (auto window = order.rbegin(); window != order.rend(); ++window) {
        const WindowRecord* record = FindWindowRecord(*window);
        if (!record || record->Destroying) {
            continue;
        }
        if (wanted && record->Class != wanted) {
            continue;
        }
        if (windowName && !NamesEqual(record->Text, windowName)) {
            continue;
        }
        return *window;
    }
    return nullptr;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam) {
    if (callback == nullptr) {
        return FALSE;
    }
    std::vector<HWND> windows;
    if (parent == nullptr) {
        const auto& order = WindowManager().TopLevelOrder;
        windows.assign(order.rbegin(), order.rend());
    } else {
        if (!FindWindowRecord(parent)) {
            return FALSE;
        }
        CollectDescendants(parent, windows);
    }
    // Windows destroyed by an earlier call of the callback are skipped.
    for (HWND window : windows) {
        if (FindWindowRecord(window) && !callback(window, lParam)) {
            break;
        }
    }
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return 0;
    }
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG>(record->Style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(record->ExStyle);
    case GWL_ID:
        return record->Id;
    default:
        return 0;
    }
}
