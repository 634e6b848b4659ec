// Creating and destroying windows.
#include "platform/api/gdi32.h"
#include "platform/machine/machine.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"
#include "platform/machine/window_surfaces.h"

#include <algorithm>

namespace {

void MarkTreeDestroying(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    record->Destroying = true;
    ClearUpdate(*record);
    for (HWND child : record->Children) {
        MarkTreeDestroying(child);
    }
}

// WM_DESTROY goes to a window before its children, so that while handling
// it a window can rely on its children still being there.
void SendDestroyMessages(HWND window) {
    if (!FindWindowRecord(window)) {
        return;
    }
    SendMessageA(window, WM_DESTROY, 0, 0);
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    const std::vector<HWND> children = record->Children;
    for (HWND child : children) {
        SendDestroyMessages(child);
    }
}

void RemoveRecord(HWND window) {
    WindowManagerState& state = WindowManager();
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    DropPostedMessagesFor(window);
    if (record->IsChild()) {
        if (WindowRecord* parent = FindWindowRecord(record->Parent)) {
            auto& siblings = parent->Children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        }
    } else {
        RemoveTopLevel(window);
    }
    if (state.Focus == window) {
        state.Focus = nullptr;
    }
    if (state.Active == window) {
        state.Active = nullptr;
    }
    if (record->Dialog && record->Dialog->OwnsFont && record->Dialog->Font) {
        DeleteObject(record->Dialog->Font);
    }
    ClearUpdate(*record);
    state.Windows.erase(window);
}

// WM_NCDESTROY is the last message: children get theirs before the parent.
void SendFinalMessagesAndRemove(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return;
    }
    const std::vector<HWND> children = record->Children;
    for (HWND child : children) {
        SendFinalMessagesAndRemove(child);
    }
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    RemoveRecord(window);
}

std::vector<HWND> WindowsOwnedBy(HWND owner) {
    std::vector<HWND> owned;
    for (HWND window : WindowManager().TopLevelOrder) {
        const WindowRecord* record = FindWindowRecord(window);
        if (record && record->Owner == owner) {
            owned.push_back(window);
        }
    }
    return owned;
}

} // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    EnsureMachineStarted();
    const std::shared_ptr<const WindowClassRecord> windowClass = FindWindowClass(className);
    if (!windowClass) {
        return nullptr;
    }
    const bool child = (style & WS_CHILD) != 0;
    WindowRecord* parentRecord = FindWindowRecord(parent);
    if (child && (!parentRecord || parentRecord->Destroying)) {
        return nullptr;
    }
    auto record = std::make_unique<WindowRecord>();
    record->Handle = NewWindowHandle();
    record->Class = windowClass;
    record->Procedure = windowClass->Procedure;
    record->Text = windowName ? windowName : "";
    // The window becomes visible once WM_CREATE has been answered.
    record->Style = style & ~static_cast<DWORD>(WS_VISIBLE);
    record->ExStyle = exStyle;
    if (child) {
        record->Parent = parent;
        record->Id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
    } else {
        record->Owner = TopLevelOf(parent);
    }
    record->Bounds = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    if (!child) {
        record->Pixels = std::make_unique<Surface>();
        record->Pixels->Resize(std::max(width, 0), std::max(height, 0), FaceColorPixel);
    }
    const HWND window = record->Handle;
    WindowManager().Windows.emplace(window, std::move(record));
    if (child) {
        parentRecord->Children.push_back(window);
    } else {
        AddTopLevel(window);
        PaintNonClient(window);
    }

    CREATESTRUCTA creation{};
    creation.lpCreateParams = param;
    creation.hInstance = instance;
    creation.hMenu = menu;
    creation.hwndParent = parent;
    creation.cy = height;
    creation.cx = width;
    creation.y = y;
    creation.x = x;
    creation.style = static_cast<LONG>(style);
    creation.lpszName = windowName;
    creation.lpszClass = className;
    creation.dwExStyle = exStyle;
    const LRESULT created = SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation));
    if (!FindWindowRecord(window)) {
        return nullptr;
    }
    if (created == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    const WindowRecord* made = FindWindowRecord(window);
    const RECT client = ClientRectOf(*made);
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    if ((style & WS_VISIBLE) && FindWindowRecord(window)) {
        ShowWindow(window, SW_SHOW);
    }
    return FindWindowRecord(window) ? window : nullptr;
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return FALSE;
    }
    if (record->Destroying) {
        return TRUE;
    }
    const bool child = record->IsChild();
    if (!child) {
        for (HWND owned : WindowsOwnedBy(window)) {
            DestroyWindow(owned);
        }
        record = FindWindowRecord(window);
        if (!record || record->Destroying) {
            return TRUE;
        }
    }

    // Out of sight first, so that what it covered is painted again and the
    // activation moves on before the window hears of its end.
    const bool wasVisible = record->IsVisibleFlag();
    const TopLevelSnapshot before = TakeTopLevelSnapshot();
    const HWND parent = record->Parent;
    const RECT bounds = record->Bounds;
    MarkTreeDestroying(window);
    if (child) {
        if (wasVisible) {
            InvalidateClientArea(parent, bounds, true);
        }
    } else {
        ExposeAfterTopLevelChange(before, window);
    }
    if (IsSelfOrDescendant(WindowManager().Focus, window)) {
        ChangeFocus(nullptr);
    }
    if (!child) {
        RefreshActivation();
    }

    SendDestroyMessages(window);
    SendFinalMessagesAndRemove(window);
    if (!child) {
        RefreshActivation();
    }
    MarkScreenChanged();
    return TRUE;
}
