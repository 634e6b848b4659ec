#include "platform/machine/controls/control_drawing.h"

#include <cctype>
#include <vector>

HFONT FontOrSystemFont(HFONT font) {
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

ControlDeviceContext::ControlDeviceContext(HWND window, HFONT font, Purpose purpose)
    : Window(window), Use(purpose) {
    DeviceContext = Use == Purpose::Paint ? BeginPaint(Window, &Paint) : GetDC(Window);
    if (DeviceContext != nullptr) {
        PreviousFont = SelectObject(DeviceContext, FontOrSystemFont(font));
    }
}

ControlDeviceContext::~ControlDeviceContext() {
    if (DeviceContext != nullptr && PreviousFont != nullptr) {
        SelectObject(DeviceContext, PreviousFont);
    }
    if (Use == Purpose::Paint) {
        EndPaint(Window, &Paint);
    } else if (DeviceContext != nullptr) {
        ReleaseDC(Window, DeviceContext);
    }
}

int MeasureTextWidth(HDC dc, std::string_view text) {
    if (text.empty() || dc == nullptr) {
        return 0;
    }
    SIZE size{0, 0};
    if (!GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size)) {
        return 0;
    }
    return size.cx;
}

int MeasureLineHeight(HDC dc) {
    TEXTMETRICA metrics{};
    if (dc == nullptr || !GetTextMetricsA(dc, &metrics) || metrics.tmHeight <= 0) {
        // A usable height keeps layout arithmetic free of divisions by zero.
        return 13;
    }
    return metrics.tmHeight;
}

RECT ClientRectangle(HWND window) {
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    return client;
}

bool PointInRectangle(const RECT& area, int x, int y) {
    return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

std::string StoredWindowText(HWND window) {
    const LRESULT length = DefWindowProcA(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = DefWindowProcA(window, WM_GETTEXT, static_cast<WPARAM>(buffer.size()),
                                          reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void StoreWindowText(HWND window, const std::string& text) {
    DefWindowProcA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool WindowClassIs(HWND window, const char* className) {
    char name[64] = {};
    if (window == nullptr || GetClassNameA(window, name, static_cast<int>(sizeof name)) <= 0) {
        return false;
    }
    size_t index = 0;
    for (; name[index] != '\0' && className[index] != '\0'; ++index) {
        if (std::toupper(static_cast<unsigned char>(name[index])) !=
            std::toupper(static_cast<unsigned char>(className[index]))) {
            return false;
        }
    }
    return name[index] == '\0' && className[index] == '\0';
}

DWORD WindowStyle(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

DWORD WindowExtendedStyle(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
}

void InvalidateControl(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

void NotifyParent(HWND control, WORD code) {
    HWND parent = GetParent(control);
    if (parent == nullptr) {
        return;
    }
    const WORD id = static_cast<WORD>(GetDlgCtrlID(control));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}
