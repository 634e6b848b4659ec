// The BUTTON class: push buttons, default push buttons and automatic check
// boxes. A click is a press and a release inside the button, by the mouse or
// by the Space key; it toggles a check box and tells the parent with
// WM_COMMAND BN_CLICKED.
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/controls/control_procedures.h"
#include "platform/machine/controls/control_style.h"

#include <unordered_map>

namespace {

struct ButtonState {
    HFONT Font = nullptr;
    bool Checked = false;
    bool Focused = false;
    bool Pressed = false;       // drawn pushed in
    bool MouseTracking = false; // the left button went down on us and is not up yet
    bool SpaceHeld = false;     // Space went down while we had the focus
};

std::unordered_map<HWND, ButtonState> ButtonStates;

ButtonState& StateOf(HWND window) {
    return ButtonStates[window];
}

UINT ButtonType(HWND window) {
    return WindowStyle(window) & BS_TYPEMASK;
}

bool IsCheckBox(UINT type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
}

bool IsPushButtonWindow(HWND window) {
    return WindowClassIs(window, "BUTTON") && !IsCheckBox(ButtonType(window));
}

// A focused push button acts as its dialog's default and looks it; the
// button whose style says default looks so only while no other push button
// of the same parent has the focus.
bool LooksDefault(HWND window, const ButtonState& state) {
    if (state.Focused) {
        return true;
    }
    if (ButtonType(window) != BS_DEFPUSHBUTTON) {
        return false;
    }
    HWND focus = GetFocus();
    return !(focus != nullptr && focus != window && GetParent(focus) == GetParent(window) &&
             IsPushButtonWindow(focus));
}

// When the focus comes to or leaves a push button, its siblings' default look
// may change with it.
void InvalidateSiblingPushButtons(HWND window) {
    HWND parent = GetParent(window);
    if (parent == nullptr) {
        return;
    }
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != window && IsPushButtonWindow(child)) {
            InvalidateControl(child);
        }
    }
}

void Click(HWND window) {
    if (ButtonType(window) == BS_AUTOCHECKBOX) {
        ButtonState& state = StateOf(window);
        state.Checked = !state.Checked;
        InvalidateControl(window);
    }
    NotifyParent(window, BN_CLICKED);
}

void ReleaseWithoutClick(HWND window) {
    ButtonState& state = StateOf(window);
    if (state.Pressed || state.MouseTracking || state.SpaceHeld) {
        state.Pressed = false;
        state.MouseTracking = false;
        state.SpaceHeld = false;
        InvalidateControl(window);
    }
}

void PaintPushButton(HWND window, HDC dc, const ButtonState& state, const std::string& text) {
    const RECT client = ClientRectangle(window);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    PushButtonLook look = PushButtonLook::Normal;
    if (state.Pressed) {
        look = PushButtonLook::Pressed;
    } else if (LooksDefault(window, state) && enabled) {
        look = PushButtonLook::Default;
    }
    DrawPushButtonFace(dc, client, look);
    const int shift = state.Pressed ? 1 : 0;
    const int width = MeasureTextWidth(dc, text);
    const int height = MeasureLineHeight(dc);
    const int x = (client.left + client.right - width) / 2 + shift;
    const int y = (client.top + client.bottom - height) / 2 + shift;
    DrawControlText(dc, x, y, text, enabled);
    if (state.Focused) {
        // Inside the black border and the raised edge, one pixel clear of both.
        DrawFocusRectangle(dc, InsetRectangle(client, 4));
    }
}

void PaintCheckBox(HWND window, HDC dc, const ButtonState& state, const std::string& text) {
    const RECT client = ClientRectangle(window);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    FillSolid(dc, client, FaceColor);
    const int boxTop = client.top + (client.bottom - client.top - CheckBoxSize) / 2;
    const RECT box{client.left, boxTop, client.left + CheckBoxSize, boxTop + CheckBoxSize};
    DrawCheckBoxSquare(dc, box, state.Checked, state.Pressed, enabled);
    const int height = MeasureLineHeight(dc);
    const int x = client.left + CheckBoxSize + 4;
    const int y = client.top + (client.bottom - client.top - height) / 2;
    DrawControlText(dc, x, y, text, enabled);
    if (state.Focused && !text.empty()) {
        const int width = MeasureTextWidth(dc, text);
        const RECT around{x - 1, y, x + width + 1, y + height};
        DrawFocusRectangle(dc, around);
    }
}

void Paint(HWND window) {
    const ButtonState state = StateOf(window);
    const std::string text = StoredWindowText(window);
    ControlDeviceContext context(window, state.Font, ControlDeviceContext::Purpose::Paint);
    if (context.Handle() == nullptr) {
        return;
    }
    if (IsCheckBox(ButtonType(window))) {
        PaintCheckBox(window, context.Handle(), state, text);
    } else {
        PaintPushButton(window, context.Handle(), state, text);
    }
}

LRESULT DialogCode(HWND window) {
    switch (ButtonType(window)) {
    case BS_DEFPUSHBUTTON:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    default:
        return DLGC_BUTTON;
    }
}

void OnMouseDown(HWND window) {
    if (GetFocus() != window) {
        SetFocus(window);
    }
    ButtonState& state = StateOf(window);
    state.MouseTracking = true;
    state.Pressed = true;
    InvalidateControl(window);
}

void OnMouseMove(HWND window, int x, int y) {
    ButtonState& state = StateOf(window);
    if (!state.MouseTracking) {
        return;
    }
    const bool inside = PointInRectangle(ClientRectangle(window), x, y);
    if (state.Pressed != inside) {
        state.Pressed = inside;
        InvalidateControl(window);
    }
}

void OnMouseUp(HWND window, int x, int y) {
    ButtonState& state = StateOf(window);
    if (!state.MouseTracking) {
        return;
    }
    state.MouseTracking = false;
    state.Pressed = false;
    InvalidateControl(window);
    if (PointInRectangle(ClientRectangle(window), x, y)) {
        Click(window);
    }
}

int MouseX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}

int MouseY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

} // namespace

LRESULT ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ButtonStates[window] = ButtonState{};
        return 0;
    case WM_NCDESTROY:
        // The last message a window gets: its state goes with it.
        ButtonStates.erase(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFONT:
        StateOf(window).Font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam) != 0) {
            InvalidateControl(window);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(StateOf(window).Font);
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateControl(window);
        return result;
    }
    case WM_GETDLGCODE:
        return DialogCode(window);
    case BM_GETCHECK:
        return IsCheckBox(ButtonType(window)) && StateOf(window).Checked ? BST_CHECKED
                                                                         : BST_UNCHECKED;
    case BM_SETCHECK:
        if (IsCheckBox(ButtonType(window))) {
            ButtonState& state = StateOf(window);
            const bool checked = wParam != BST_UNCHECKED;
            if (state.Checked != checked) {
                state.Checked = checked;
                InvalidateControl(window);
            }
        }
        return 0;
    case BM_CLICK:
        // As a press and release of the mouse on the button would: the
        // focus comes here, then the click happens.
        if (IsWindowEnabled(window)) {
            if (GetFocus() != window) {
                SetFocus(window);
            }
            Click(window);
        }
        return 0;
    case WM_LBUTTONDOWN:
        OnMouseDown(window);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(window, MouseX(lParam), MouseY(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnMouseUp(window, MouseX(lParam), MouseY(lParam));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            ButtonState& state = StateOf(window);
            if (!state.SpaceHeld && !state.MouseTracking) {
                state.SpaceHeld = true;
                state.Pressed = true;
                InvalidateControl(window);
            }
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            ButtonState& state = StateOf(window);
            if (state.SpaceHeld) {
                state.SpaceHeld = false;
                state.Pressed = false;
                InvalidateControl(window);
                Click(window);
            }
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:
        StateOf(window).Focused = true;
        InvalidateControl(window);
        if (!IsCheckBox(ButtonType(window))) {
            InvalidateSiblingPushButtons(window);
        }
        return 0;
    case WM_KILLFOCUS:
        StateOf(window).Focused = false;
        ReleaseWithoutClick(window);
        InvalidateControl(window);
        if (!IsCheckBox(ButtonType(window))) {
            InvalidateSiblingPushButtons(window);
        }
        return 0;
    case WM_ENABLE:
        if (wParam == FALSE) {
            ReleaseWithoutClick(window);
        }
        InvalidateControl(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ResetButtonStates() {
    ButtonStates.clear();
}
