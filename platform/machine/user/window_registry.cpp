// The table of live windows and registered window classes, and the reset of
// the whole window manager.
#include "platform/machine/controls/control_classes.h"
#include "platform/machine/machine.h"
#include "platform/machine/user/dialog_manager.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"
#include "platform/machine/window_surfaces.h"

#include <cctype>
#include <cstring>

namespace {

WindowManagerState State;

// Handles are never reused, not even across machine restarts, so a handle
// kept from an earlier window or an earlier test is simply not a window.
uintptr_t NextHandleValue = 0x10010;
ATOM NextAtom = 0xC000;

} // namespace

WindowManagerState& WindowManager() {
    return State;
}

HWND NewWindowHandle() {
    const uintptr_t value = NextHandleValue;
    NextHandleValue += 4;
    return reinterpret_cast<HWND>(value);
}

WindowRecord* FindWindowRecord(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    const auto found = State.Windows.find(window);
    return found == State.Windows.end() ? nullptr : found->second.get();
}

WindowRecord* TopLevelRecordOf(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    while (record && record->IsChild()) {
        record = FindWindowRecord(record->Parent);
    }
    return record;
}

HWND TopLevelOf(HWND window) {
    WindowRecord* record = TopLevelRecordOf(window);
    return record ? record->Handle : nullptr;
}

bool IsSelfOrDescendant(HWND window, HWND ancestor) {
    if (ancestor == nullptr) {
        return false;
    }
    for (WindowRecord* record = FindWindowRecord(window); record;
         record = record->IsChild() ? FindWindowRecord(record->Parent) : nullptr) {
        if (record->Handle == ancestor) {
            return true;
        }
    }
    return false;
}

LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->Procedure) {
        return 0;
    }
    return record->Procedure(window, message, wParam, lParam);
}

bool NamesEqual(const std::string& first, const char* second) {
    if (second == nullptr) {
        return false;
    }
    const size_t length = std::strlen(second);
    if (length != first.size()) {
        return false;
    }
    for (size_t index = 0; index < length; ++index) {
        if (std::tolower(static_cast<unsigned char>(first[index])) !=
            std::tolower(static_cast<unsigned char>(second[index]))) {
            return false;
        }
    }
    return true;
}

std::shared_ptr<const WindowClassRecord> FindWindowClass(LPCSTR nameOrAtom) {
    if (nameOrAtom == nullptr) {
        return nullptr;
    }
    for (const auto& windowClass : State.Classes) {
        const bool matches =
            IS_INTRESOURCE(nameOrAtom)
                ? windowClass->Atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(nameOrAtom))
                : NamesEqual(windowClass->Name, nameOrAtom);
        if (matches) {
            return windowClass;
        }
    }
    return nullptr;
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    EnsureMachineStarted();
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(windowClass->lpszClassName) || windowClass->lpszClassName[0] == '\0' ||
        windowClass->lpfnWndProc == nullptr) {
        return 0;
    }
    if (FindWindowClass(windowClass->lpszClassName)) {
        return 0;
    }
    auto record = std::make_shared<WindowClassRecord>();
    record->Name = windowClass->lpszClassName;
    record->Atom = NextAtom++;
    record->Style = windowClass->style;
    record->Procedure = windowClass->lpfnWndProc;
    record->Background = windowClass->hbrBackground;
    State.Classes.push_back(record);
    return record->Atom;
}

int GetClassNameA(HWND window, LPSTR className, int maxCount) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || className == nullptr || maxCount <= 0) {
        return 0;
    }
    const std::string& name = record->Class->Name;
    const size_t copied = std::min(name.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(className, name.data(), copied);
    className[copied] = '\0';
    return static_cast<int>(copied);
}

void ResetWindowManager() {
    // Records go without messages: the procedures they would call may belong
    // to code that is gone (an earlier test).
    State = WindowManagerState{};
    ResetMessageQueue();
    ResetInputRouting();
    ResetDialogManager();
    ResetNonClientResources();
    ResetMessageBoxHistory();
    RegisterDialogClass();
    RegisterControlClasses();
    MarkScreenChanged();
}
