// A fresh machine for window manager tests, with a hand of its own: steps
// queued by the test run one by one whenever the program waits for input
// (a modal loop with an empty queue), as a person would act.
#pragma once

#include "platform/machine/input_source.h"
#include "platform/machine/resources.h"
#include "platform/machine/surface.h"
#include "platform/machine/window_surfaces.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class UserTest : public ::testing::Test {
  public:
    static std::string TextOf(HWND window) {
        char buffer[512] = {};
        GetWindowTextA(window, buffer, sizeof buffer);
        return buffer;
    }

  protected:
    explicit UserTest(int screenWidth = 640, int screenHeight = 480)
        : Machine(screenWidth, screenHeight) {
        SetInputSource([this](bool mayBlock) {
            if (!mayBlock) {
                return true;
            }
            if (Steps.empty()) {
                return false;
            }
            std::function<void()> step = std::move(Steps.front());
            Steps.pop_front();
            step();
            return true;
        });
    }

    // Queues a step for the next time the program waits.
    void Then(std::function<void()> step) { Steps.push_back(std::move(step)); }

    static void Key(int virtualKey, char character = 0, bool shift = false) {
        InputEvent event;
        event.VirtualKey = virtualKey;
        event.Character = character;
        event.Shift = shift;
        event.EventKind = InputEvent::Kind::KeyDown;
        DeliverInputEvent(event);
        event.EventKind = InputEvent::Kind::KeyUp;
        DeliverInputEvent(event);
    }

    static void ClickAt(POINT screen) {
        InputEvent event;
        event.X = static_cast<int>(screen.x);
        event.Y = static_cast<int>(screen.y);
        event.EventKind = InputEvent::Kind::MouseDown;
        DeliverInputEvent(event);
        event.EventKind = InputEvent::Kind::MouseUp;
        DeliverInputEvent(event);
    }

    static POINT CentreOf(HWND window) {
        RECT bounds{};
        GetWindowRect(window, &bounds);
        return POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    }

    // The middle of the close box: 16 x 14 pixels, 2 pixels inside the
    // caption bar's right and top edges, the bar inside the 3-pixel frame.
    static POINT CloseBoxCentre(HWND window) {
        RECT bounds{};
        GetWindowRect(window, &bounds);
        return POINT{bounds.right - 3 - 2 - 8, bounds.top + 3 + 2 + 7};
    }

    // The topmost visible, enabled top-level window.
    static HWND ActiveWindow() {
        for (HWND window = FindWindowA(nullptr, nullptr); window;
             window = GetWindow(window, GW_HWNDNEXT)) {
            if (IsWindowVisible(window) && IsWindowEnabled(window)) {
                return window;
            }
        }
        return nullptr;
    }

    // The child of the active window with this text.
    static HWND ControlOfActive(const std::string& text) {
        for (HWND child = GetWindow(ActiveWindow(), GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char buffer[256] = {};
            GetWindowTextA(child, buffer, sizeof buffer);
            if (text == buffer) {
                return child;
            }
        }
        return nullptr;
    }

    static void Pump() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    static Surface Screen() {
        Surface screen;
        ComposeScreen(screen);
        return screen;
    }

    // CLR_INVALID off the screen.
    static COLORREF ScreenPixel(const Surface& screen, LONG x, LONG y) {
        if (x < 0 || y < 0 || x >= screen.Width || y >= screen.Height) {
            return CLR_INVALID;
        }
        return ColorrefFromPixel(screen.At(static_cast<int>(x), static_cast<int>(y)));
    }

    TestMachine Machine;
    std::deque<std::function<void()>> Steps;
};

// A plain top-level window class whose procedure counts paints and fills
// its update area with a colour of the test's choice.
struct PaintLog {
    int Paints = 0;
    RECT LastArea{0, 0, 0, 0};
    COLORREF Fill = RGB(255, 0, 0);
};

inline LRESULT PaintingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

inline std::vector<std::pair<HWND, PaintLog*>>& PaintLogs() {
    static std::vector<std::pair<HWND, PaintLog*>> logs;
    return logs;
}

inline PaintLog* PaintLogOf(HWND window) {
    for (auto& [handle, log] : PaintLogs()) {
        if (handle == window) {
            return log;
        }
    }
    return nullptr;
}

inline LRESULT PaintingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PaintLog* log = PaintLogOf(window);
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        if (log) {
            ++log->Paints;
            log->LastArea = paint.rcPaint;
            HBRUSH brush = CreateSolidBrush(log->Fill);
            FillRect(dc, &paint.rcPaint, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND CreatePaintingWindow(PaintLog& log, RECT bounds, DWORD style = WS_POPUP | WS_VISIBLE,
                                 HWND owner = nullptr, const char* caption = "Painted") {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PaintingWindowProc;
    windowClass.lpszClassName = "PaintingWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "PaintingWindow", caption, style, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, owner,
                                  nullptr, nullptr, nullptr);
    // Paints come only from the queue, so the log is in place before the
    // first one.
    PaintLogs().push_back({window, &log});
    return window;
}

// The test dialog: three tab stops and a check box, default push button OK.
inline constexpr const char* TestDialogScript = R"(
TESTDIALOG DIALOG 10, 10, 200, 100
STYLE WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
CAPTION "Test Dialog"
FONT 8, "MS Sans Serif"
BEGIN
    CONTROL "OK", 1, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 75, 50, 14
    CONTROL "Cancel", 2, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 70, 75, 50, 14
    CONTROL "", 104, "EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 10, 40, 150, 12
    CONTROL "Label", -1, "STATIC", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 10, 10, 150, 8
    CONTROL "Check", 103, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 58, 100, 10
    CONTROL "frame", 101, "STATIC", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 15, 25, 164, 12
END

PLAINDIALOG DIALOG 10, 10, 120, 60
STYLE WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
CAPTION "Plain Dialog"
FONT 8, "MS Sans Serif"
BEGIN
    CONTROL "Go", 7, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 35, 50, 14
    CONTROL "", 104, "EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 10, 10, 100, 12
END
)";
