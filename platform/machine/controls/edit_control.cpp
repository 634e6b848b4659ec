// The EDIT class: a single-line box the user types into, and a multi-line box
// whose text wraps and scrolls (read-only where the installer uses it). The
// text itself lives in the window's text, so WM_GETTEXT reads what was typed.
#include "platform/machine/controls/character_case.h"
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/controls/control_procedures.h"
#include "platform/machine/controls/edit_state.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr int WheelDelta = 120;
constexpr int LinesPerWheelNotch = 3;

std::unordered_map<HWND, EditState> EditStates;

bool HasStyle(HWND window, DWORD bits) {
    return (WindowStyle(window) & bits) != 0;
}

size_t SelectionStart(const EditState& state) {
    return std::min(state.Anchor, state.Caret);
}

size_t SelectionEnd(const EditState& state) {
    return std::max(state.Anchor, state.Caret);
}

// Keeps the caret and the selection inside a text of `length` characters.
void ClampSelection(EditState& state, size_t length) {
    state.Anchor = std::min(state.Anchor, length);
    state.Caret = std::min(state.Caret, length);
}

// A single-line edit that scrolls sideways keeps the caret in view.
void KeepCaretVisible(HWND window) {
    if (HasStyle(window, ES_MULTILINE) || !HasStyle(window, ES_AUTOHSCROLL)) {
        return;
    }
    EditState& state = EditStateOf(window);
    ControlDeviceContext context(window, state.Font, ControlDeviceContext::Purpose::Measure);
    const EditLayout layout = LayOutEdit(window, context.Handle(), state);
    const int width = layout.TextArea.right - layout.TextArea.left;
    const int caretX = OffsetOfPosition(context.Handle(), layout, state.Caret);
    if (caretX < state.HorizontalOffset) {
        state.HorizontalOffset = caretX;
    } else if (caretX - state.HorizontalOffset > width - 1) {
        state.HorizontalOffset = caretX - (width - 1);
    }
}

// Puts `replacement` in place of the selection, if the result may stand:
// within the text limit, and, in a single-line edit that does not scroll
// sideways, no wider than the box. Returns whether the text changed.
bool ReplaceSelection(HWND window, const std::string& replacement) {
    EditState& state = EditStateOf(window);
    std::string text = StoredWindowText(window);
    ClampSelection(state, text.size());
    const size_t start = SelectionStart(state);
    const size_t end = SelectionEnd(state);
    std::string changed = text.substr(0, start) + replacement + text.substr(end);
    if (changed.size() > text.size() && changed.size() > state.TextLimit) {
        return false;
    }
    if (!HasStyle(window, ES_MULTILINE) && !HasStyle(window, ES_AUTOHSCROLL) &&
        changed.size() > text.size()) {
        ControlDeviceContext context(window, state.Font, ControlDeviceContext::Purpose::Measure);
        const EditLayout layout = LayOutEdit(window, context.Handle(), state);
        const int width = layout.TextArea.right - layout.TextArea.left;
        // One pixel stays free for the caret after the last character.
        if (MeasureTextWidth(context.Handle(), DisplayedText(changed)) > width - 1) {
            return false;
        }
    }
    StoreWindowText(window, changed);
    state.Caret = start + replacement.size();
    state.Anchor = state.Caret;
    KeepCaretVisible(window);
    InvalidateControl(window);
    return true;
}

void TypeCharacter(HWND window, char character) {
    if (HasStyle(window, ES_READONLY)) {
        return;
    }
    if (HasStyle(window, ES_UPPERCASE)) {
        character = UpperCaseWindows1252(character);
    }
    ReplaceSelection(window, std::string(1, character));
}

// The position one character before or after `position`; a CR LF pair counts
// as one character.
size_t StepBack(const std::string& text, size_t position) {
    if (position == 0) {
        return 0;
    }
    if (position >= 2 && text[position - 2] == '\r' && text[position - 1] == '\n') {
        return position - 2;
    }
    return position - 1;
}

size_t StepForward(const std::string& text, size_t position) {
    if (position >= text.size()) {
        return text.size();
    }
    if (text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n') {
        return position + 2;
    }
    return position + 1;
}

// Backspace and Delete take the selection when there is one, else the
// character before or after the caret.
void DeleteAtCaret(HWND window, bool forward) {
    if (HasStyle(window, ES_READONLY)) {
        return;
    }
    EditState& state = EditStateOf(window);
    const std::string text = StoredWindowText(window);
    ClampSelection(state, text.size());
    if (state.Anchor == state.Caret) {
        state.Anchor = forward ? StepForward(text, state.Caret) : StepBack(text, state.Caret);
        if (state.Anchor == state.Caret) {
            return;
        }
    }
    ReplaceSelection(window, std::string());
}

void MoveCaret(HWND window, size_t position) {
    EditState& state = EditStateOf(window);
    state.Caret = position;
    state.Anchor = position;
    KeepCaretVisible(window);
    InvalidateControl(window);
}

void ScrollToLine(HWND window, int line) {
    const EditLayout layout = MeasureEdit(window);
    EditState& state = EditStateOf(window);
    const int wanted = std::clamp(line, 0, layout.MaximumFirstLine);
    if (wanted != state.FirstVisibleLine) {
        state.FirstVisibleLine = wanted;
        InvalidateControl(window);
    }
}

void ScrollByLines(HWND window, int lines) {
    ScrollToLine(window, EditStateOf(window).FirstVisibleLine + lines);
}

int PageLines(HWND window) {
    return MeasureEdit(window).VisibleLines;
}

void OnKeyDown(HWND window, WPARAM key) {
    const bool multiline = HasStyle(window, ES_MULTILINE);
    const std::string text = StoredWindowText(window);
    EditState& state = EditStateOf(window);
    ClampSelection(state, text.size());
    switch (key) {
    case VK_LEFT:
        MoveCaret(window, StepBack(text, state.Caret));
        break;
    case VK_RIGHT:
        MoveCaret(window, StepForward(text, state.Caret));
        break;
    case VK_HOME:
    case VK_END:
        if (multiline) {
            const EditLayout layout = MeasureEdit(window);
            const TextLine& line = layout.Lines[LineOfPosition(layout, state.Caret)];
            MoveCaret(window, key == VK_HOME ? line.Start : line.Start + line.Length);
        } else {
            MoveCaret(window, key == VK_HOME ? 0 : text.size());
        }
        break;
    case VK_BACK:
        DeleteAtCaret(window, false);
        break;
    case VK_DELETE:
        DeleteAtCaret(window, true);
        break;
    case VK_UP:
    case VK_DOWN:
        if (multiline) {
            ScrollByLines(window, key == VK_UP ? -1 : 1);
        }
        break;
    case VK_PRIOR:
    case VK_NEXT:
        if (multiline) {
            const int page = PageLines(window);
            ScrollByLines(window, key == VK_PRIOR ? -page : page);
        }
        break;
    default:
        break;
    }
}

void OnVerticalScroll(HWND window, WPARAM request) {
    switch (LOWORD(request)) {
    case SB_LINEUP:
        ScrollByLines(window, -1);
        break;
    case SB_LINEDOWN:
        ScrollByLines(window, 1);
        break;
    case SB_PAGEUP:
        ScrollByLines(window, -PageLines(window));
        break;
    case SB_PAGEDOWN:
        ScrollByLines(window, PageLines(window));
        break;
    case SB_TOP:
        ScrollToLine(window, 0);
        break;
    case SB_BOTTOM:
        ScrollToLine(window, MeasureEdit(window).MaximumFirstLine);
        break;
    case SB_THUMBPOSITION:
        ScrollToLine(window, HIWORD(request));
        break;
    default:
        break;
    }
}

void OnMouseWheel(HWND window, WPARAM wParam) {
    if (!HasStyle(window, ES_MULTILINE)) {
        return;
    }
    EditState& state = EditStateOf(window);
    state.WheelRemainder += static_cast<short>(HIWORD(wParam));
    const int notches = state.WheelRemainder / WheelDelta;
    state.WheelRemainder -= notches * WheelDelta;
    // Turning the wheel away from the user (a positive delta) shows earlier lines.
    ScrollByLines(window, -notches * LinesPerWheelNotch);
}

void OnMouseDown(HWND window, int x, int y) {
    const EditLayout layout = MeasureEdit(window);
    if (layout.HasScrollBar && PointInRectangle(layout.ScrollBarArea, x, y)) {
        EditState& state = EditStateOf(window);
        const ScrollBarLayout bar = EditScrollBar(layout, state);
        switch (HitTestScrollBar(bar, x, y)) {
        case ScrollBarPart::UpArrow:
            ScrollByLines(window, -1);
            break;
        case ScrollBarPart::DownArrow:
            ScrollByLines(window, 1);
            break;
        case ScrollBarPart::PageUp:
            ScrollByLines(window, -layout.VisibleLines);
            break;
        case ScrollBarPart::PageDown:
            ScrollByLines(window, layout.VisibleLines);
            break;
        case ScrollBarPart::Thumb:
            state.DraggingThumb = true;
            state.ThumbGrabOffset = y - bar.Thumb.top;
            break;
        case ScrollBarPart::None:
            break;
        }
        return;
    }
    if (GetFocus() != window) {
        SetFocus(window);
    }
    EditState& state = EditStateOf(window);
    MoveCaret(window, PositionAtPoint(window, layout, state, x, y));
}

void OnMouseMove(HWND window, int y) {
    EditState& state = EditStateOf(window);
    if (!state.DraggingThumb) {
        return;
    }
    const EditLayout layout = MeasureEdit(window);
    const ScrollBarLayout bar = EditScrollBar(layout, state);
    ScrollToLine(window, PositionForThumbTop(bar, y - state.ThumbGrabOffset));
}

// EM_SETSEL: a start of -1 drops the selection, an end of -1 (or past the
// text) means the end of the text; the caret goes to the end position.
void SetSelection(HWND window, WPARAM startParameter, LPARAM endParameter) {
    const int start = static_cast<int32_t>(startParameter);
    const int end = static_cast<int32_t>(endParameter);
    const size_t length = StoredWindowText(window).size();
    EditState& state = EditStateOf(window);
    ClampSelection(state, length);
    if (start < 0) {
        state.Anchor = state.Caret;
    } else {
        state.Anchor = std::min(static_cast<size_t>(start), length);
        state.Caret = end < 0 ? length : std::min(static_cast<size_t>(end), length);
    }
    KeepCaretVisible(window);
    InvalidateControl(window);
}

LRESULT GetSelection(HWND window, WPARAM startOut, LPARAM endOut) {
    EditState& state = EditStateOf(window);
    ClampSelection(state, StoredWindowText(window).size());
    const DWORD start = static_cast<DWORD>(SelectionStart(state));
    const DWORD end = static_cast<DWORD>(SelectionEnd(state));
    if (startOut != 0) {
        *reinterpret_cast<DWORD*>(startOut) = start;
    }
    if (endOut != 0) {
        *reinterpret_cast<DWORD*>(endOut) = end;
    }
    if (start > 0xFFFF || end > 0xFFFF) {
        return -1;
    }
    return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(start, end)));
}

LRESULT FirstVisibleLine(HWND window) {
    const EditLayout layout = MeasureEdit(window);
    const EditState& state = EditStateOf(window);
    if (layout.Multiline) {
        return state.FirstVisibleLine;
    }
    // A single-line edit answers with the first character in view.
    ControlDeviceContext context(window, state.Font, ControlDeviceContext::Purpose::Measure);
    const std::string_view text = layout.Text;
    for (size_t count = 0; count < text.size(); ++count) {
        if (MeasureTextWidth(context.Handle(), text.substr(0, count)) >= state.HorizontalOffset) {
            return static_cast<LRESULT>(count);
        }
    }
    return static_cast<LRESULT>(text.size());
}

int MouseX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}

int MouseY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

} // namespace

EditState& EditStateOf(HWND window) {
    return EditStates[window];
}

LRESULT EditWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        EditStates[window] = EditState{};
        return 0;
    case WM_NCDESTROY:
        // The last message a window gets: its state goes with it.
        EditStates.erase(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFONT:
        EditStateOf(window).Font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam) != 0) {
            InvalidateControl(window);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(EditStateOf(window).Font);
    case WM_SETTEXT: {
        // New text starts with the caret at its beginning and nothing
        // scrolled; the text limit applies to typing only.
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        EditState& state = EditStateOf(window);
        state.Anchor = 0;
        state.Caret = 0;
        state.FirstVisibleLine = 0;
        state.HorizontalOffset = 0;
        InvalidateControl(window);
        return result;
    }
    case WM_GETDLGCODE:
        // Enter, Esc and Tab stay with the dialog manager, so Enter presses
        // the default button even in a multi-line box.
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_CHAR: {
        // Control characters (Backspace among them) are handled as keys.
        const unsigned char code = static_cast<unsigned char>(wParam);
        if (code >= 0x20 && code != 0x7F) {
            TypeCharacter(window, static_cast<char>(code));
        }
        return 0;
    }
    case WM_KEYDOWN:
        OnKeyDown(window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnMouseDown(window, MouseX(lParam), MouseY(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(window, MouseY(lParam));
        return 0;
    case WM_LBUTTONUP:
        EditStateOf(window).DraggingThumb = false;
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(window, wParam);
        return 0;
    case WM_VSCROLL:
        if (HasStyle(window, ES_MULTILINE)) {
            OnVerticalScroll(window, wParam);
        }
        return 0;
    case EM_SETSEL:
        SetSelection(window, wParam, lParam);
        return 0;
    case EM_GETSEL:
        return GetSelection(window, wParam, lParam);
    case EM_LIMITTEXT:
        EditStateOf(window).TextLimit = wParam == 0 ? size_t{0x7FFFFFFE} : size_t{wParam};
        return 0;
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(MeasureEdit(window).Lines.size());
    case EM_GETFIRSTVISIBLELINE:
        return FirstVisibleLine(window);
    case WM_SETFOCUS:
        EditStateOf(window).Focused = true;
        InvalidateControl(window);
        return 0;
    case WM_KILLFOCUS: {
        EditState& state = EditStateOf(window);
        state.Focused = false;
        state.DraggingThumb = false;
        InvalidateControl(window);
        return 0;
    }
    case WM_SIZE:
    case WM_ENABLE:
        InvalidateControl(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintEdit(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ResetEditStates() {
    EditStates.clear();
}
