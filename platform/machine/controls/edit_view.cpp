// Layout and painting of the EDIT control.
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/controls/control_style.h"
#include "platform/machine/controls/edit_state.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int BorderWidth = 2;
// Room between the text and the sides of the box, so the caret and the
// first letter never touch the border.
constexpr int SideMargin = 2;
constexpr int MultilineTopMargin = 1;

std::string_view LineText(const EditLayout& layout, const TextLine& line) {
    return std::string_view(layout.Text).substr(line.Start, line.Length);
}

// Read-only and disabled edits show the dialog face, as Windows paints them
// with the static controls' colours; editable ones are white.
COLORREF BackgroundOf(const EditLayout& layout) {
    return (layout.ReadOnly || !layout.Enabled) ? FaceColor : WindowBackgroundColor;
}

// One line, with the part between selectionStart and selectionEnd (text
// positions) drawn highlighted.
void DrawEditLine(HDC dc, const EditLayout& layout, const TextLine& line, int x, int y,
                  size_t selectionStart, size_t selectionEnd) {
    const std::string_view text = LineText(layout, line);
    const size_t lineEnd = line.Start + line.Length;
    const size_t from = std::clamp(selectionStart, line.Start, lineEnd) - line.Start;
    const size_t to = std::clamp(selectionEnd, line.Start, lineEnd) - line.Start;
    const std::string_view before = text.substr(0, from);
    const std::string_view selected = text.substr(from, to - from);
    const std::string_view after = text.substr(to);
    DrawControlText(dc, x, y, before, true);
    int offset = MeasureTextWidth(dc, before);
    if (!selected.empty()) {
        DrawTextOnBackground(dc, x + offset, y, selected, SelectedTextColor, SelectionColor);
        offset += MeasureTextWidth(dc, selected);
    }
    DrawControlText(dc, x + offset, y, after, true);
}

void DrawDisabledLine(HDC dc, const EditLayout& layout, const TextLine& line, int x, int y) {
    const std::string_view text = LineText(layout, line);
    if (text.empty()) {
        return;
    }
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = SetTextColor(dc, DisabledTextColor);
    TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
}

int LineTop(const EditLayout& layout, const EditState& state, size_t lineIndex) {
    if (!layout.Multiline) {
        const int height = layout.TextArea.bottom - layout.TextArea.top;
        return layout.TextArea.top + std::max(0, (height - layout.LineHeight) / 2);
    }
    return layout.TextArea.top +
           (static_cast<int>(lineIndex) - state.FirstVisibleLine) * layout.LineHeight;
}

// Text may not spill onto the margins, border or scroll bar: the strips
// around the text area are painted over once the lines are drawn.
void CoverOutsideTextArea(HDC dc, const EditLayout& layout, COLORREF background) {
    const RECT& inside = layout.Inside;
    const RECT& area = layout.TextArea;
    FillSolid(dc, RECT{inside.left, inside.top, inside.right, area.top}, background);
    FillSolid(dc, RECT{inside.left, area.bottom, inside.right, inside.bottom}, background);
    FillSolid(dc, RECT{inside.left, area.top, area.left, area.bottom}, background);
    FillSolid(dc, RECT{area.right, area.top, inside.right, area.bottom}, background);
}

} // namespace

EditLayout LayOutEdit(HWND window, HDC dc, EditState& state) {
    EditLayout layout;
    const DWORD style = WindowStyle(window);
    layout.Multiline = (style & ES_MULTILINE) != 0;
    layout.ReadOnly = (style & ES_READONLY) != 0;
    layout.Enabled = IsWindowEnabled(window) != FALSE;
    layout.HasBorder =
        (style & WS_BORDER) != 0 || (WindowExtendedStyle(window) & WS_EX_CLIENTEDGE) != 0;
    layout.HasScrollBar = layout.Multiline && (style & WS_VSCROLL) != 0;
    layout.Text = DisplayedText(StoredWindowText(window));
    layout.LineHeight = MeasureLineHeight(dc);

    layout.Client = ClientRectangle(window);
    layout.Inside = InsetRectangle(layout.Client, layout.HasBorder ? BorderWidth : 0);
    RECT area = layout.Inside;
    if (layout.HasScrollBar) {
        layout.ScrollBarArea = RECT{std::max(area.left, area.right - ScrollBarWidth), area.top,
                                    area.right, area.bottom};
        area.right = layout.ScrollBarArea.left;
    }
    area.left += SideMargin;
    area.right = std::max(area.left, area.right - SideMargin);
    if (layout.Multiline) {
        area.top = std::min(area.bottom, area.top + MultilineTopMargin);
    }
    layout.TextArea = area;

    if (!layout.Multiline) {
        layout.Lines.push_back(TextLine{0, layout.Text.size()});
        state.FirstVisibleLine = 0;
        return layout;
    }
    const int width = area.right - area.left;
    if (state.WrappedText != layout.Text || state.WrappedWidth != width ||
        state.WrappedFont != state.Font) {
        state.WrappedLines = WrapText(dc, layout.Text, width, LongWordRule::BreakInside);
        state.WrappedText = layout.Text;
        state.WrappedWidth = width;
        state.WrappedFont = state.Font;
    }
    layout.Lines = state.WrappedLines;
    layout.VisibleLines = std::max(1, (area.bottom - area.top) / layout.LineHeight);
    layout.MaximumFirstLine =
        std::max(0, static_cast<int>(layout.Lines.size()) - layout.VisibleLines);
    state.FirstVisibleLine = std::clamp(state.FirstVisibleLine, 0, layout.MaximumFirstLine);
    return layout;
}

EditLayout MeasureEdit(HWND window) {
    EditState& state = EditStateOf(window);
    ControlDeviceContext context(window, state.Font, ControlDeviceContext::Purpose::Measure);
    return LayOutEdit(window, context.Handle(), state);
}

ScrollBarLayout EditScrollBar(const EditLayout& layout, const EditState& state) {
    return LayOutScrollBar(layout.ScrollBarArea, state.FirstVisibleLine, layout.MaximumFirstLine,
                           layout.VisibleLines);
}

int LineOriginX(const EditLayout& layout, const EditState& state) {
    return layout.TextArea.left - (layout.Multiline ? 0 : state.HorizontalOffset);
}

size_t LineOfPosition(const EditLayout& layout, size_t position) {
    size_t found = 0;
    for (size_t index = 0; index < layout.Lines.size(); ++index) {
        if (layout.Lines[index].Start <= position) {
            found = index;
        } else {
            break;
        }
    }
    return found;
}

int OffsetOfPosition(HDC dc, const EditLayout& layout, size_t position) {
    const TextLine& line = layout.Lines[LineOfPosition(layout, position)];
    const size_t within = std::min(position, line.Start + line.Length) - line.Start;
    return MeasureTextWidth(dc, LineText(layout, line).substr(0, within));
}

size_t PositionAtPoint(HWND window, const EditLayout& layout, const EditState& state, int x,
                       int y) {
    size_t lineIndex = 0;
    if (layout.Multiline) {
        const int row =
            y < layout.TextArea.top ? -1 : (y - layout.TextArea.top) / layout.LineHeight;
        const int wanted = state.FirstVisibleLine + row;
        lineIndex =
            static_cast<size_t>(std::clamp(wanted, 0, static_cast<int>(layout.Lines.size()) - 1));
    }
    const TextLine& line = layout.Lines[lineIndex];
    const std::string_view text = LineText(layout, line);
    ControlDeviceContext context(window, state.Font, ControlDeviceContext::Purpose::Measure);
    const int wantedOffset = x - LineOriginX(layout, state);
    size_t best = 0;
    int bestDistance = std::abs(wantedOffset);
    for (size_t count = 1; count <= text.size(); ++count) {
        const int distance =
            std::abs(MeasureTextWidth(context.Handle(), text.substr(0, count)) - wantedOffset);
        if (distance < bestDistance) {
            best = count;
            bestDistance = distance;
        }
    }
    return line.Start + best;
}

void PaintEdit(HWND window) {
    EditState& state = EditStateOf(window);
    ControlDeviceContext context(window, state.Font, ControlDeviceContext::Purpose::Paint);
    HDC dc = context.Handle();
    if (dc == nullptr) {
        return;
    }
    const EditLayout layout = LayOutEdit(window, dc, state);
    const COLORREF background = BackgroundOf(layout);
    FillSolid(dc, layout.Client, background);

    const bool showSelection = state.Focused && state.Anchor != state.Caret;
    const size_t selectionStart = showSelection ? std::min(state.Anchor, state.Caret) : 0;
    const size_t selectionEnd = showSelection ? std::max(state.Anchor, state.Caret) : 0;
    const int originX = LineOriginX(layout, state);
    const size_t firstLine = static_cast<size_t>(state.FirstVisibleLine);
    for (size_t index = firstLine; index < layout.Lines.size(); ++index) {
        const int top = LineTop(layout, state, index);
        if (top >= layout.TextArea.bottom) {
            break;
        }
        if (layout.Enabled) {
            DrawEditLine(dc, layout, layout.Lines[index], originX, top, selectionStart,
                         selectionEnd);
        } else {
            DrawDisabledLine(dc, layout, layout.Lines[index], originX, top);
        }
    }
    if (state.Focused) {
        const size_t caretLine = LineOfPosition(layout, state.Caret);
        const int top = LineTop(layout, state, caretLine);
        if (caretLine >= firstLine && top < layout.TextArea.bottom) {
            const int x = originX + OffsetOfPosition(dc, layout, state.Caret);
            FillSolid(dc, RECT{x, top, x + 1, top + layout.LineHeight}, TextColor);
        }
    }
    CoverOutsideTextArea(dc, layout, background);
    if (layout.HasBorder) {
        DrawSunkenEdge(dc, layout.Client);
    }
    if (layout.HasScrollBar) {
        DrawVerticalScrollBar(dc, EditScrollBar(layout, state));
    }
}
