// What an EDIT control remembers between messages, and how its text is laid
// out in its client area. Shared by the edit's behaviour and its painting.
#pragma once

#include "platform/machine/controls/scroll_bar.h"
#include "platform/machine/controls/text_wrap.h"
#include "platform/win32.h"

#include <string>
#include <vector>

// The most characters the user may type before EM_LIMITTEXT says otherwise.
inline constexpr size_t DefaultEditTextLimit = 32767;

struct EditState {
    HFONT Font = nullptr;
    // The selection runs between Anchor and Caret; the caret stands at Caret.
    size_t Anchor = 0;
    size_t Caret = 0;
    int FirstVisibleLine = 0; // multi-line: the line at the top of the box
    int HorizontalOffset = 0; // single-line with ES_AUTOHSCROLL: pixels scrolled left
    size_t TextLimit = DefaultEditTextLimit;
    bool Focused = false;
    bool DraggingThumb = false;
    int ThumbGrabOffset = 0; // where on the thumb the mouse took hold
    int WheelRemainder = 0;  // wheel movement short of a whole notch

    // The wrapped lines of the last layout, kept while text, width and font
    // stay the same: wrapping a long text is the costly part of a repaint.
    std::string WrappedText;
    int WrappedWidth = -1;
    HFONT WrappedFont = nullptr;
    std::vector<TextLine> WrappedLines;
};

// The edit's state; created on first use.
EditState& EditStateOf(HWND window);

struct EditLayout {
    std::string Text; // the text as shown (tabs as spaces)
    bool Multiline = false;
    bool ReadOnly = false;
    bool Enabled = true;
    RECT Client{0, 0, 0, 0};
    RECT Inside{0, 0, 0, 0};   // within the border
    RECT TextArea{0, 0, 0, 0}; // within border, scroll bar and margins
    bool HasBorder = false;
    bool HasScrollBar = false;
    RECT ScrollBarArea{0, 0, 0, 0};
    int LineHeight = 13;
    std::vector<TextLine> Lines; // one line for a single-line edit
    int VisibleLines = 1;        // whole lines that fit the text area
    int MaximumFirstLine = 0;    // the last line then stands at the bottom
};

// Lays out the edit in the font selected into `dc`, and keeps the state's
// scroll position within what the layout allows.
EditLayout LayOutEdit(HWND window, HDC dc, EditState& state);

// The layout measured through a device context of the edit's own.
EditLayout MeasureEdit(HWND window);

// The scroll bar for the layout and the current first visible line.
ScrollBarLayout EditScrollBar(const EditLayout& layout, const EditState& state);

// The x at which every line's first character is drawn: the text area's
// left edge, less what a single-line edit has scrolled.
int LineOriginX(const EditLayout& layout, const EditState& state);
// The line that holds text position `position` (a position at a wrap point
// belongs to the line that starts there).
size_t LineOfPosition(const EditLayout& layout, size_t position);
// The text position nearest to the point (x, y) of the client area.
size_t PositionAtPoint(HWND window, const EditLayout& layout, const EditState& state, int x, int y);
// The x, relative to its line's start, of a text position within its line.
int OffsetOfPosition(HDC dc, const EditLayout& layout, size_t position);

void PaintEdit(HWND window);
