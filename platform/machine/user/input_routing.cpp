// Input entering the window manager: the holder of the machine's input
// source, and the routing of key and mouse events to windows as Windows
// queues them.
#include "platform/machine/input_source.h"
#include "platform/machine/user/rectangles.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

#include <chrono>
#include <memory>

namespace {

std::shared_ptr<InputSource> Source;
std::chrono::steady_clock::time_point LastPoll;
unsigned CallsSinceClockCheck = 0;

POINT Cursor{0, 0};
// The window that got the button press gets the release too, wherever the
// release happens, so a button can tell a click from a press dragged away.
HWND MouseCapture = nullptr;
HWND PressedCloseBoxOf = nullptr;

// How often an empty PeekMessageA may ask the input source: the program
// polls the queue once per unpacked byte, far more often than any input
// can arrive.
constexpr unsigned CallsBetweenClockChecks = 16;
constexpr auto MinimumPollInterval = std::chrono::milliseconds(10);

HWND TopLevelAt(LONG x, LONG y) {
    const auto& order = WindowManager().TopLevelOrder;
    for (auto window = order.rbegin(); window != order.rend(); ++window) {
        const WindowRecord* record = FindWindowRecord(*window);
        if (record && record->IsVisibleFlag() && PointInRect(record->Bounds, x, y)) {
            return *window;
        }
    }
    return nullptr;
}

// The deepest visible window under the point, stopping at a disabled child:
// a disabled window gets no input, so its parent takes the click.
HWND EnabledWindowAt(HWND window, LONG x, LONG y) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return nullptr;
    }
    const POINT origin = ClientOriginOnScreen(*record);
    for (HWND child : record->Children) {
        const WindowRecord* childRecord = FindWindowRecord(child);
        if (!childRecord || !childRecord->IsVisibleFlag()) {
            continue;
        }
        if (PointInRect(childRecord->Bounds, x - origin.x, y - origin.y)) {
            if (!childRecord->IsEnabledFlag()) {
                return window;
            }
            return EnabledWindowAt(child, x, y);
        }
    }
    return window;
}

LPARAM ClientPointParameter(HWND window, LONG x, LONG y) {
    const WindowRecord* record = FindWindowRecord(window);
    const POINT origin = record ? ClientOriginOnScreen(*record) : POINT{0, 0};
    return MAKELPARAM(x - origin.x, y - origin.y);
}

bool InClientArea(const WindowRecord& record, LONG x, LONG y) {
    const POINT origin = ClientOriginOnScreen(record);
    return PointInRect(OffsetRectBy(ClientRectOf(record), origin.x, origin.y), x, y);
}

void ActivateByClick(HWND topLevel) {
    if (topLevel == ActiveWindow()) {
        return;
    }
    const TopLevelSnapshot before = TakeTopLevelSnapshot();
    RaiseTopLevel(topLevel);
    ExposeAfterTopLevelChange(before, topLevel);
    RefreshActivation();
}

void DeliverMouseDown(LONG x, LONG y) {
    const HWND topLevel = TopLevelAt(x, y);
    const WindowRecord* record = FindWindowRecord(topLevel);
    if (!record || !record->IsEnabledFlag()) {
        return;
    }
    ActivateByClick(topLevel);
    record = FindWindowRecord(topLevel);
    if (!record) {
        return;
    }
    RECT closeBox{};
    if (CloseBoxScreenRect(*record, closeBox) && PointInRect(closeBox, x, y)) {
        PressedCloseBoxOf = topLevel;
        return;
    }
    if (!InClientArea(*record, x, y)) {
        return;
    }
    const HWND target = EnabledWindowAt(topLevel, x, y);
    MouseCapture = target;
    PostMessageA(target, WM_LBUTTONDOWN, 1, ClientPointParameter(target, x, y));
}

void DeliverMouseUp(LONG x, LONG y) {
    if (PressedCloseBoxOf) {
        const HWND pressed = PressedCloseBoxOf;
        PressedCloseBoxOf = nullptr;
        const WindowRecord* record = FindWindowRecord(pressed);
        RECT closeBox{};
        if (record && record->IsEnabledFlag() && !record->CloseBoxDisabled &&
            CloseBoxScreenRect(*record, closeBox) && PointInRect(closeBox, x, y)) {
            PostMessageA(pressed, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(x, y));
        }
        return;
    }
    if (FindWindowRecord(MouseCapture)) {
        const HWND target = MouseCapture;
        MouseCapture = nullptr;
        PostMessageA(target, WM_LBUTTONUP, 0, ClientPointParameter(target, x, y));
        return;
    }
    MouseCapture = nullptr;
    const HWND topLevel = TopLevelAt(x, y);
    const WindowRecord* record = FindWindowRecord(topLevel);
    if (!record || !record->IsEnabledFlag() || !InClientArea(*record, x, y)) {
        return;
    }
    const HWND target = EnabledWindowAt(topLevel, x, y);
    PostMessageA(target, WM_LBUTTONUP, 0, ClientPointParameter(target, x, y));
}

void DeliverMouseMove(LONG x, LONG y) {
    if (FindWindowRecord(MouseCapture)) {
        PostMessageA(MouseCapture, WM_MOUSEMOVE, 1, ClientPointParameter(MouseCapture, x, y));
        return;
    }
    const HWND topLevel = TopLevelAt(x, y);
    const WindowRecord* record = FindWindowRecord(topLevel);
    if (!record || !record->IsEnabledFlag() || !InClientArea(*record, x, y)) {
        return;
    }
    const HWND target = EnabledWindowAt(topLevel, x, y);
    PostMessageA(target, WM_MOUSEMOVE, 0, ClientPointParameter(target, x, y));
}

} // namespace

void SetInputSource(InputSource source) {
    Source = source ? std::make_shared<InputSource>(std::move(source)) : nullptr;
}

bool PollInputSource(bool mayBlock) {
    LastPoll = std::chrono::steady_clock::now();
    // A copy keeps the source alive while it runs, even if it replaces
    // itself (a script that begins another script).
    const std::shared_ptr<InputSource> source = Source;
    if (!source) {
        return false;
    }
    return (*source)(mayBlock);
}

bool PollInputAtBoundedRate() {
    if (++CallsSinceClockCheck < CallsBetweenClockChecks) {
        return false;
    }
    CallsSinceClockCheck = 0;
    if (!Source || std::chrono::steady_clock::now() - LastPoll < MinimumPollInterval) {
        return false;
    }
    PollInputSource(false);
    return true;
}

std::string DescribeWaitingWindow(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return "no window";
    }
    if (record->Text.empty()) {
        return "a window with an empty caption";
    }
    return "'" + record->Text + "'";
}

POINT CursorPosition() {
    return Cursor;
}

void ResetInputRouting() {
    Source.reset();
    CallsSinceClockCheck = 0;
    Cursor = POINT{0, 0};
    MouseCapture = nullptr;
    PressedCloseBoxOf = nullptr;
}

void DeliverInputEvent(const InputEvent& event) {
    switch (event.EventKind) {
    case InputEvent::Kind::KeyDown:
    case InputEvent::Kind::KeyUp: {
        const HWND target = KeyboardTarget();
        if (!target) {
            return;
        }
        const bool up = event.EventKind == InputEvent::Kind::KeyUp;
        PostMessageA(target, up ? WM_KEYUP : WM_KEYDOWN, static_cast<WPARAM>(event.VirtualKey),
                     KeyMessageParameter(event.Character, event.Shift, up));
        return;
    }
    case InputEvent::Kind::MouseDown:
        Cursor = POINT{event.X, event.Y};
        DeliverMouseDown(event.X, event.Y);
        return;
    case InputEvent::Kind::MouseUp:
        Cursor = POINT{event.X, event.Y};
        DeliverMouseUp(event.X, event.Y);
        return;
    case InputEvent::Kind::MouseMove:
        Cursor = POINT{event.X, event.Y};
        DeliverMouseMove(event.X, event.Y);
        return;
    }
}
