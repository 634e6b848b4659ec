// A fresh machine with one plain top-level window at the screen's top-left
// corner, to put controls in, press keys at and click on, and read pixels
// from. The window records the WM_COMMAND messages its controls send.
#pragma once

#include "platform/machine/frontend/desktop_queries.h"
#include "platform/machine/frontend/keyboard_layout.h"
#include "platform/machine/surface.h"
#include "platform/machine/window_surfaces.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct RecordedCommand {
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};

inline std::vector<RecordedCommand> RecordedCommands;

// The parent's own colour, unlike anything a control paints, so a test can
// tell which pixels a control left alone.
inline constexpr COLORREF ParentColor = RGB(0, 160, 0);

inline LRESULT ControlTestParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        RecordedCommands.push_back(RecordedCommand{wParam, lParam});
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(ParentColor);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

class ControlTest : public ::testing::Test {
  protected:
    ControlTest() : Machine(640, 480) {
        RecordedCommands.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ControlTestParentProc;
        windowClass.lpszClassName = "ControlTestParent";
        RegisterClassA(&windowClass);
        Parent = CreateWindowExA(0, "ControlTestParent", "Controls", WS_POPUP | WS_VISIBLE, 0, 0,
                                 640, 480, nullptr, nullptr, nullptr, nullptr);
        // The dialog font: 8 point MS Sans Serif at 96 DPI.
        DialogFont =
            CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
    }

    // A visible child control of the parent window, in the dialog font
    // unless `withFont` is false.
    HWND Create(const char* className, const char* text, DWORD style, int id, RECT bounds,
                DWORD exStyle = 0, bool withFont = true) {
        HWND control = CreateWindowExA(
            exStyle, className, text, WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
            bounds.right - bounds.left, bounds.bottom - bounds.top, Parent,
            reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        if (control != nullptr && withFont) {
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont), 0);
        }
        return control;
    }

    // Dispatches every queued message, paint messages included.
    static void Pump() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    static void PressKey(int virtualKey, char character = 0) {
        DeliverKeyPress(virtualKey, false, character);
        Pump();
    }

    static void TypeText(const std::string& text) {
        for (char character : text) {
            const KeyStroke key = KeyForCharacter(character);
            DeliverKeyPress(key.VirtualKey, key.Shift, character);
        }
        Pump();
    }

    // A left click at a point of the control's client area.
    static void ClickAt(HWND control, int x, int y) {
        POINT point{x, y};
        ClientToScreen(control, &point);
        DeliverClick(point);
        Pump();
    }

    static void ClickCentre(HWND control) {
        RECT client{};
        GetClientRect(control, &client);
        ClickAt(control, client.right / 2, client.bottom / 2);
    }

    static std::string TextOf(HWND control) {
        char buffer[1024] = {};
        const LRESULT length =
            SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer, static_cast<size_t>(length));
    }

    // The screen as the user sees it, after every pending paint.
    static Surface Screen() {
        Pump();
        Surface screen;
        ComposeScreen(screen);
        return screen;
    }

    // A pixel of a control's client area on the screen, as COLORREF.
    static COLORREF PixelOf(const Surface& screen, HWND control, int x, int y) {
        POINT point{x, y};
        ClientToScreen(control, &point);
        return ColorrefFromPixel(screen.At(point.x, point.y));
    }

    // Text ink and black lines; neither the face, the parent's green nor white.
    static bool IsDark(COLORREF color) {
        return GetRValue(color) < 100 && GetGValue(color) < 100 && GetBValue(color) < 100;
    }

    // Whether any pixel of the client rectangle `area` of the control is dark.
    static bool AnyDarkPixel(const Surface& screen, HWND control, const RECT& area) {
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (IsDark(PixelOf(screen, control, x, y))) {
                    return true;
                }
            }
        }
        return false;
    }

    TestMachine Machine;
    HWND Parent = nullptr;
    HFONT DialogFont = nullptr;
};
