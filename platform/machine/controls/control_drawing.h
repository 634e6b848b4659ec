// Small helpers the controls share for reaching their pixels and fonts: device
// contexts held for a scope, the control's font, text measurement, and the
// per-window bookkeeping every control keeps.
#pragma once

#include "platform/win32.h"

#include <string>
#include <string_view>

// The control's font, or the system font when none was set with WM_SETFONT,
// as Windows draws such a control.
HFONT FontOrSystemFont(HFONT font);

// A device context on a window's client area for the length of a scope:
// BeginPaint/EndPaint while handling WM_PAINT, GetDC/ReleaseDC otherwise.
// The font given is selected into it and the previous one restored.
class ControlDeviceContext {
  public:
    enum class Purpose { Paint, Measure };
    ControlDeviceContext(HWND window, HFONT font, Purpose purpose);
    ~ControlDeviceContext();
    ControlDeviceContext(const ControlDeviceContext&) = delete;
    ControlDeviceContext& operator=(const ControlDeviceContext&) = delete;

    HDC Handle() const { return DeviceContext; }

  private:
    HWND Window;
    Purpose Use;
    PAINTSTRUCT Paint{};
    HDC DeviceContext = nullptr;
    HGDIOBJ PreviousFont = nullptr;
};

// Width in pixels of `text` in the font selected into `dc`; 0 for no text.
int MeasureTextWidth(HDC dc, std::string_view text);
// Height of one line of text (the cell height) in the font selected into `dc`.
int MeasureLineHeight(HDC dc);

RECT ClientRectangle(HWND window);
bool PointInRectangle(const RECT& area, int x, int y);

// The window's text as DefWindowProcA keeps it; the controls store their text
// there so that everyone who reads a window's text sees the same.
std::string StoredWindowText(HWND window);
void StoreWindowText(HWND window, const std::string& text);

// True when the window's class is `className`, compared without regard to
// case as Windows compares class names.
bool WindowClassIs(HWND window, const char* className);

// The window's style bits (GWL_STYLE, GWL_EXSTYLE).
DWORD WindowStyle(HWND window);
DWORD WindowExtendedStyle(HWND window);

// Asks for a WM_PAINT of the whole control; the control paints everything,
// so no background erase is wanted.
void InvalidateControl(HWND window);

// Tells the parent window about a control's notification, as WM_COMMAND with
// the control's id in the low word and `code` in the high word.
void NotifyParent(HWND control, WORD code);
