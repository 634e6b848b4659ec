// The EDIT control driven by keys and clicks as a person uses it.
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/input_source.h"
#include "tests/controls/control_test_window.h"

#include <functional>

namespace {

using EditTest = ControlTest;

constexpr RECT SingleLineBox{10, 10, 290, 31};

TEST_F(EditTest, SingleLineTyping) {
    struct Case {
        const char* Name;
        DWORD Style;
        const char* Initial;
        std::function<void(HWND)> Act;
        std::string Expected;
    };
    const Case cases[] = {
        {"upper-cases typed letters, Windows-1252 ones too", ES_UPPERCASE, "",
         [](HWND) { TypeText("c:\\program files\xe9\xdf\xff"); }, "C:\\PROGRAM FILES\xc9\xdf\x9f"},
        {"keeps the case without ES_UPPERCASE", 0, "", [](HWND) { TypeText("aBc"); }, "aBc"},
        {"new text puts the caret at its start", 0, "end", [](HWND) { TypeText("x"); }, "xend"},
        {"Backspace removes before the caret", 0, "abcd",
         [](HWND) {
             PressKey(VK_END);
             PressKey(VK_BACK, '\b');
             PressKey(VK_BACK, '\b');
         },
         "ab"},
        {"Delete removes after the caret", 0, "abcd",
         [](HWND) {
             PressKey(VK_END);
             PressKey(VK_HOME);
             PressKey(VK_DELETE);
         },
         "bcd"},
        {"Left and Right move the insertion point", 0, "ac",
         [](HWND) {
             PressKey(VK_END);
             PressKey(VK_LEFT);
             TypeText("b");
             PressKey(VK_RIGHT);
             PressKey(VK_RIGHT);
             TypeText("d");
         },
         "abcd"},
        {"typing replaces the selection", 0, "old",
         [](HWND edit) {
             SendMessageA(edit, EM_SETSEL, 0, -1);
             TypeText("new");
         },
         "new"},
        {"Backspace removes the selection", 0, "hello",
         [](HWND edit) {
             SendMessageA(edit, EM_SETSEL, 1, 3);
             PressKey(VK_BACK, '\b');
         },
         "hlo"},
        {"read-only text cannot be changed", ES_READONLY, "fixed",
         [](HWND) {
             TypeText("x");
             PressKey(VK_DELETE);
             PressKey(VK_END);
             PressKey(VK_BACK, '\b');
         },
         "fixed"},
    };
    for (const Case& c : cases) {
        HWND edit = Create("EDIT", "", WS_BORDER | WS_TABSTOP | c.Style, 104, SingleLineBox);
        ASSERT_NE(edit, nullptr);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.Initial));
        SetFocus(edit);
        c.Act(edit);
        EXPECT_EQ(TextOf(edit), c.Expected) << c.Name;
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, WithoutAutoScrollTypingStopsAtTheBoxWidth) {
    HDC measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, DialogFont);
    // A 100-pixel box keeps 2 pixels of border and 2 of margin on each side,
    // and one pixel for the caret after the text.
    const int usable = 100 - 8 - 1;

    HWND fixed = Create("EDIT", "", WS_BORDER, 1, RECT{10, 10, 110, 31});
    SetFocus(fixed);
    TypeText(std::string(40, 'W'));
    const std::string typed = TextOf(fixed);
    EXPECT_LT(typed.size(), 40u);
    EXPECT_LE(MeasureTextWidth(measure, typed), usable);
    EXPECT_GT(MeasureTextWidth(measure, typed + "W"), usable);
    // The limit is the width, not a count: a narrow letter may still fit.
    PressKey(VK_BACK, '\b');
    TypeText("ii");
    const std::string narrower = TextOf(fixed);
    EXPECT_EQ(narrower.substr(0, typed.size() - 1), typed.substr(0, typed.size() - 1));
    EXPECT_LE(MeasureTextWidth(measure, narrower), usable);

    HWND scrolling = Create("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 2, RECT{10, 40, 110, 61});
    SetFocus(scrolling);
    TypeText(std::string(40, 'W'));
    EXPECT_EQ(TextOf(scrolling), std::string(40, 'W'));
    EXPECT_GT(SendMessageA(scrolling, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    DeleteDC(measure);
}

TEST_F(EditTest, TextFromTheProgramIsKeptWhole) {
    HWND edit = Create("EDIT", "", WS_BORDER, 104, SingleLineBox);
    const std::string longText(300, 'x');
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longText.c_str()));
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 300);
    // The limit counts the terminating zero.
    char buffer[300] = {};
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(buffer)), 254);
    EXPECT_EQ(std::string(buffer), std::string(254, 'x'));

    SendMessageA(edit, EM_SETSEL, 0, -1);
    DWORD start = 99, end = 99;
    const LRESULT both = SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                      reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 300u);
    EXPECT_EQ(LOWORD(both), 0);
    EXPECT_EQ(HIWORD(both), 300);
}

TEST_F(EditTest, AClickFocusesTheBoxAndPlacesTheCaret) {
    HWND first = Create("EDIT", "first", WS_BORDER | WS_TABSTOP, 1, SingleLineBox);
    HWND second = Create("EDIT", "abcdef", WS_BORDER | WS_TABSTOP, 2, RECT{10, 40, 290, 61});
    SetFocus(first);
    Pump();

    HDC measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, DialogFont);
    // Text starts after the 2-pixel border and the 2-pixel margin.
    const int afterC = 4 + MeasureTextWidth(measure, "abc");
    DeleteDC(measure);
    ClickAt(second, afterC, 10);
    EXPECT_EQ(GetFocus(), second);
    TypeText("X");
    EXPECT_EQ(TextOf(second), "abcXdef");
    EXPECT_EQ(TextOf(first), "first");
}

TEST_F(EditTest, AnswersTheDialogManagerAsAnEdit) {
    HWND single = Create("EDIT", "", WS_BORDER, 1, SingleLineBox);
    HWND multi = Create("Edit", "", ES_MULTILINE | ES_READONLY, 2, RECT{10, 40, 290, 100});
    ASSERT_NE(multi, nullptr) << "class names compare without regard to case";
    for (HWND edit : {single, multi}) {
        EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0),
                  DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
    }
}

TEST_F(EditTest, LooksSunkenWhiteWhenEditableAndFaceWhenReadOnly) {
    HWND editable = Create("EDIT", "", WS_BORDER, 1, RECT{10, 10, 110, 31});
    HWND readOnly = Create("EDIT", "", ES_MULTILINE | ES_READONLY, 2, RECT{10, 40, 110, 70});
    const Surface screen = Screen();
    EXPECT_EQ(PixelOf(screen, editable, 0, 0), RGB(128, 128, 128));
    EXPECT_EQ(PixelOf(screen, editable, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(screen, editable, 99, 20), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(screen, editable, 98, 19), RGB(192, 192, 192));
    EXPECT_EQ(PixelOf(screen, editable, 50, 10), RGB(255, 255, 255));
    // Without a border a read-only box is a label on the dialog face.
    EXPECT_EQ(PixelOf(screen, readOnly, 0, 0), RGB(192, 192, 192));
    EXPECT_EQ(PixelOf(screen, readOnly, 50, 15), RGB(192, 192, 192));
}

TEST_F(EditTest, FocusedEditShowsItsCaretAndSelection) {
    HWND edit = Create("EDIT", "", WS_BORDER, 1, SingleLineBox);
    SetFocus(edit);
    Surface screen = Screen();
    // The caret stands at the text area's left edge of an empty box.
    EXPECT_TRUE(IsDark(PixelOf(screen, edit, 4, 10)));
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("selected"));
    SendMessageA(edit, EM_SETSEL, 0, -1);
    screen = Screen();
    // Above the lower-case letters, the highlight fills the line's cell.
    EXPECT_EQ(PixelOf(screen, edit, 5, 5), RGB(0, 0, 128));
}

// A read-only box of 30 numbered lines with a vertical scroll bar, as the
// license agreement is shown.
class MultiLineEditTest : public ControlTest {
  public:
    MultiLineEditTest() {
        for (int line = 0; line < 30; ++line) {
            Text += "Line " + std::to_string(line) + "\r\n";
        }
        Text += "The end";
        // Like the agreement box, it gets no font.
        Box = Create("Edit", Text.c_str(), WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0,
                     RECT{10, 10, 310, 210}, WS_EX_CLIENTEDGE, false);
        Pump();
    }

    int FirstLine() const {
        return static_cast<int>(SendMessageA(Box, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    // The scroll bar runs down the right side inside the 2-pixel edge.
    void ClickBar(int y) { ClickAt(Box, 300 - 2 - 8, y); }

    std::string Text;
    HWND Box = nullptr;
};

TEST_F(MultiLineEditTest, WrapsAtTheBoxWidthAndBreaksAtCrLf) {
    EXPECT_EQ(SendMessageA(Box, EM_GETLINECOUNT, 0, 0), 31);
    const std::string paragraph =
        "This agreement is long enough that a box of this width must wrap it onto several "
        "lines, and the box keeps every word whole where it can.";
    SendMessageA(Box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(paragraph.c_str()));
    EXPECT_GE(SendMessageA(Box, EM_GETLINECOUNT, 0, 0), 3);
    // The text itself is unchanged by wrapping.
    char buffer[512] = {};
    SendMessageA(Box, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::string(buffer), paragraph);
}

TEST_F(MultiLineEditTest, ScrollsByBarKeysAndWheel) {
    const int boxHeight = 200;
    struct Case {
        const char* Name;
        std::function<void(MultiLineEditTest&)> Act;
        int Expected; // first visible line; -1 for the last possible one
    };
    const Case cases[] = {
        {"down arrow", [&](MultiLineEditTest& t) { t.ClickBar(boxHeight - 2 - 8); }, 1},
        {"up arrow at the top", [](MultiLineEditTest& t) { t.ClickBar(2 + 8); }, 0},
        {"down arrow twice, up arrow once",
         [&](MultiLineEditTest& t) {
             t.ClickBar(boxHeight - 2 - 8);
             t.ClickBar(boxHeight - 2 - 8);
             t.ClickBar(2 + 8);
         },
         1},
        {"track below the thumb pages down",
         [&](MultiLineEditTest& t) { t.ClickBar(boxHeight - 2 - 16 - 4); }, -2},
        {"Down key three times",
         [](MultiLineEditTest& t) {
             SetFocus(t.Box);
             PressKey(VK_DOWN);
             PressKey(VK_DOWN);
             PressKey(VK_DOWN);
         },
         3},
        {"Page Down then Up",
         [](MultiLineEditTest& t) {
             SetFocus(t.Box);
             PressKey(VK_NEXT);
             PressKey(VK_UP);
         },
         -3},
        {"wheel one notch towards the user",
         [](MultiLineEditTest& t) {
             SendMessageA(t.Box, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
         },
         3},
        {"bottom, then no further",
         [&](MultiLineEditTest& t) {
             SendMessageA(t.Box, WM_VSCROLL, SB_BOTTOM, 0);
             t.ClickBar(boxHeight - 2 - 8);
             PressKey(VK_NEXT);
         },
         -1},
    };
    // Lines that fit: the box's height less its edges and one pixel of margin.
    HDC measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, GetStockObject(SYSTEM_FONT)); // this box has no font set
    TEXTMETRICA metrics{};
    GetTextMetricsA(measure, &metrics);
    DeleteDC(measure);
    const int visible = (boxHeight - 4 - 1) / metrics.tmHeight;
    const int last = 31 - visible;
    for (const Case& c : cases) {
        SendMessageA(Box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
        ASSERT_EQ(FirstLine(), 0);
        c.Act(*this);
        int expected = c.Expected;
        if (expected == -1) {
            expected = last;
        } else if (expected == -2) {
            expected = visible;
        } else if (expected == -3) {
            expected = visible - 1;
        }
        EXPECT_EQ(FirstLine(), expected) << c.Name;
        EXPECT_EQ(TextOf(Box).size(), Text.size()) << c.Name;
    }
}

TEST_F(MultiLineEditTest, DraggingTheThumbScrollsAlong) {
    const int thumbY = 2 + 16 + 3; // just inside the thumb at the top of the track
    POINT point{300 - 2 - 8, thumbY};
    ClientToScreen(Box, &point);
    InputEvent event;
    event.X = point.x;
    event.Y = point.y;
    event.EventKind = InputEvent::Kind::MouseMove;
    DeliverInputEvent(event);
    event.EventKind = InputEvent::Kind::MouseDown;
    DeliverInputEvent(event);
    Pump();
    for (int step = 1; step <= 20; ++step) {
        event.EventKind = InputEvent::Kind::MouseMove;
        event.Y = point.y + step * 8;
        DeliverInputEvent(event);
        Pump();
    }
    event.EventKind = InputEvent::Kind::MouseUp;
    DeliverInputEvent(event);
    Pump();
    const int afterDrag = FirstLine();
    EXPECT_GT(afterDrag, 10);
    // Once let go, moving the mouse over the box scrolls nothing.
    event.EventKind = InputEvent::Kind::MouseMove;
    event.Y = point.y;
    DeliverInputEvent(event);
    Pump();
    EXPECT_EQ(FirstLine(), afterDrag);
}

TEST_F(MultiLineEditTest, ShowsTheScrollBarAndTheUserCannotChangeTheText) {
    const Surface screen = Screen();
    // Up arrow button: raised, white on its top-left, black on its bottom-right.
    const int barLeft = 300 - 2 - 16;
    EXPECT_EQ(PixelOf(screen, Box, barLeft, 2), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(screen, Box, barLeft + 15, 2 + 15), RGB(0, 0, 0));
    // The arrow glyph is drawn in the button's middle.
    EXPECT_TRUE(AnyDarkPixel(screen, Box, RECT{barLeft + 4, 2 + 4, barLeft + 12, 2 + 12}));

    SetFocus(Box);
    TypeText("typed");
    PressKey(VK_BACK, '\b');
    PressKey(VK_DELETE);
    EXPECT_EQ(TextOf(Box), Text);
}

TEST_F(MultiLineEditTest, WithoutAFontTheSystemFontIsUsed) {
    EXPECT_EQ(SendMessageA(Box, WM_GETFONT, 0, 0), 0);
    const LRESULT systemFontLines = SendMessageA(Box, EM_GETLINECOUNT, 0, 0);
    const std::string paragraph(60, 'm');
    SendMessageA(Box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(paragraph.c_str()));
    const LRESULT wideLines = SendMessageA(Box, EM_GETLINECOUNT, 0, 0);
    SendMessageA(Box, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont), 0);
    const LRESULT narrowLines = SendMessageA(Box, EM_GETLINECOUNT, 0, 0);
    EXPECT_EQ(systemFontLines, 31);
    EXPECT_GT(wideLines, narrowLines);
}

} // namespace
