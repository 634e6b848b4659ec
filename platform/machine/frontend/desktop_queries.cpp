#include "platform/machine/frontend/desktop_queries.h"

#include "platform/machine/input_source.h"
#include "platform/machine/user/window_metrics.h"

#include <vector>

HWND ActiveTopLevelWindow() {
    // FindWindowA with neither class nor caption answers the top of the
    // z-order; GW_HWNDNEXT walks down from there.
    for (HWND window = FindWindowA(nullptr, nullptr); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            return window;
        }
    }
    return nullptr;
}

std::string WindowCaption(HWND window) {
    if (window == nullptr) {
        return "";
    }
    const int length = GetWindowTextLengthA(window);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

std::string DescribeActiveWindow() {
    const HWND active = ActiveTopLevelWindow();
    if (active == nullptr) {
        return "no window is active";
    }
    return "the active window is '" + WindowCaption(active) + "'";
}

std::string TextWithoutMnemonics(const std::string& text) {
    std::string plain;
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '&') {
            ++index;
            if (index == text.size()) {
                break;
            }
        }
        plain += text[index];
    }
    return plain;
}

namespace {

struct ControlSearch {
    std::string Text;
    std::optional<int> ControlId;
    HWND Visible = nullptr;
    HWND Hidden = nullptr;
};

BOOL CheckControl(HWND control, LPARAM searchAddress) {
    auto& search = *reinterpret_cast<ControlSearch*>(searchAddress);
    const bool matches = search.ControlId
                             ? GetDlgCtrlID(control) == *search.ControlId
                             : TextWithoutMnemonics(WindowCaption(control)) == search.Text;
    if (!matches) {
        return TRUE;
    }
    if (IsWindowVisible(control)) {
        search.Visible = control;
        return FALSE;
    }
    if (search.Hidden == nullptr) {
        search.Hidden = control;
    }
    return TRUE;
}

} // namespace

HWND FindControl(HWND topLevel, const std::string& text, std::optional<int> controlId) {
    if (topLevel == nullptr) {
        return nullptr;
    }
    ControlSearch search{text, controlId};
    EnumChildWindows(topLevel, CheckControl, reinterpret_cast<LPARAM>(&search));
    return search.Visible != nullptr ? search.Visible : search.Hidden;
}

bool FindCloseBoxCentre(HWND topLevel, POINT& centre) {
    // Where the window manager draws the close box: at the right end of the
    // caption bar, inside the frame.
    const auto style = static_cast<DWORD>(GetWindowLongA(topLevel, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(topLevel, GWL_EXSTYLE));
    const FrameInsets insets = NonClientInsetsOf(style, exStyle);
    if (!insets.HasCaption || (style & WS_SYSMENU) == 0) {
        return false;
    }
    RECT window{};
    GetWindowRect(topLevel, &window);
    const LONG right = window.right - insets.FrameWidth - CloseBoxMargin;
    const LONG top = window.top + insets.FrameWidth + CloseBoxMargin;
    centre = POINT{right - CloseBoxWidth / 2, top + CloseBoxHeight / 2};
    return true;
}

void DeliverKeyPress(int virtualKey, bool shift, char character) {
    InputEvent event;
    event.EventKind = InputEvent::Kind::KeyDown;
    event.VirtualKey = virtualKey;
    event.Character = character;
    event.Shift = shift;
    DeliverInputEvent(event);
    event.EventKind = InputEvent::Kind::KeyUp;
    DeliverInputEvent(event);
}

void DeliverClick(POINT screenPoint) {
    InputEvent event;
    event.X = static_cast<int>(screenPoint.x);
    event.Y = static_cast<int>(screenPoint.y);
    event.EventKind = InputEvent::Kind::MouseMove;
    DeliverInputEvent(event);
    event.EventKind = InputEvent::Kind::MouseDown;
    DeliverInputEvent(event);
    event.EventKind = InputEvent::Kind::MouseUp;
    DeliverInputEvent(event);
}
