// The STATIC class: word-wrapped text (SS_LEFT) and the black frame
// (SS_BLACKFRAME).
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/controls/control_procedures.h"
#include "platform/machine/controls/control_style.h"
#include "platform/machine/controls/text_wrap.h"

#include <unordered_map>

namespace {

struct StaticState {
    HFONT Font = nullptr;
};

std::unordered_map<HWND, StaticState> StaticStates;

StaticState& StateOf(HWND window) {
    return StaticStates[window];
}

bool IsFrame(HWND window) {
    return (WindowStyle(window) & SS_TYPEMASK) == SS_BLACKFRAME;
}

// The frame paints only its outline: whatever its parent draws inside it
// (a progress meter) must survive the frame's own repaint.
void PaintFrame(HWND window) {
    ControlDeviceContext context(window, nullptr, ControlDeviceContext::Purpose::Paint);
    if (context.Handle() != nullptr) {
        DrawOutline(context.Handle(), ClientRectangle(window), FrameColor);
    }
}

// Text on the dialog face, broken at spaces to the control's width; a word
// wider than the control is cut off at its right edge, and rows below the
// bottom edge are cut off by the client area.
void PaintText(HWND window) {
    const HFONT font = StateOf(window).Font;
    ControlDeviceContext context(window, font, ControlDeviceContext::Purpose::Paint);
    HDC dc = context.Handle();
    if (dc == nullptr) {
        return;
    }
    const RECT client = ClientRectangle(window);
    FillSolid(dc, client, FaceColor);
    const std::string text = DisplayedText(StoredWindowText(window));
    const int lineHeight = MeasureLineHeight(dc);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    const std::vector<TextLine> lines =
        WrapText(dc, text, client.right - client.left, LongWordRule::Clip);
    int y = client.top;
    for (const TextLine& line : lines) {
        if (y >= client.bottom) {
            break;
        }
        DrawControlText(dc, client.left, y, std::string_view(text).substr(line.Start, line.Length),
                        enabled);
        y += lineHeight;
    }
}

} // namespace

LRESULT StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        StaticStates[window] = StaticState{};
        return 0;
    case WM_NCDESTROY:
        // The last message a window gets: its state goes with it.
        StaticStates.erase(window);
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
    case WM_ENABLE:
        InvalidateControl(window);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (IsFrame(window)) {
            PaintFrame(window);
        } else {
            PaintText(window);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ResetStaticStates() {
    StaticStates.clear();
}
