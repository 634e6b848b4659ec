// The BUTTON control: clicks by mouse, Space and BM_CLICK, the check box's
// state, what it tells the dialog manager, and how it looks.
#include "tests/controls/control_test_window.h"

#include <functional>

namespace {

using ButtonTest = ControlTest;

constexpr RECT OkBounds{20, 20, 100, 43};
constexpr RECT CancelBounds{110, 20, 190, 43};
constexpr RECT CheckBounds{20, 60, 266, 81};

WPARAM Clicked(int id) {
    return MAKEWPARAM(id, BN_CLICKED);
}

TEST_F(ButtonTest, ClicksReachTheParentAsBnClicked) {
    struct Case {
        const char* Name;
        DWORD Style;
        std::function<void(HWND)> Act;
        bool Notifies;
        UINT CheckAfter;
    };
    const Case cases[] = {
        {"mouse click on a push button", BS_PUSHBUTTON, [](HWND b) { ClickCentre(b); }, true,
         BST_UNCHECKED},
        {"mouse click on a default push button", BS_DEFPUSHBUTTON, [](HWND b) { ClickCentre(b); },
         true, BST_UNCHECKED},
        {"BM_CLICK", BS_PUSHBUTTON, [](HWND b) { SendMessageA(b, BM_CLICK, 0, 0); }, true,
         BST_UNCHECKED},
        {"Space on a focused push button", BS_PUSHBUTTON,
         [](HWND b) {
             SetFocus(b);
             PressKey(VK_SPACE, ' ');
         },
         true, BST_UNCHECKED},
        {"mouse click on a check box", BS_AUTOCHECKBOX, [](HWND b) { ClickCentre(b); }, true,
         BST_CHECKED},
        {"Space on a focused check box", BS_AUTOCHECKBOX,
         [](HWND b) {
             SetFocus(b);
             PressKey(VK_SPACE, ' ');
         },
         true, BST_CHECKED},
        {"two clicks on a check box", BS_AUTOCHECKBOX,
         [](HWND b) {
             ClickCentre(b);
             ClickCentre(b);
         },
         true, BST_UNCHECKED},
        {"Space held down only", BS_AUTOCHECKBOX,
         [](HWND b) {
             SetFocus(b);
             SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0);
             Pump();
         },
         false, BST_UNCHECKED},
        {"click on a disabled button", BS_PUSHBUTTON,
         [](HWND b) {
             EnableWindow(b, FALSE);
             ClickCentre(b);
             SendMessageA(b, BM_CLICK, 0, 0);
         },
         false, BST_UNCHECKED},
        {"Enter on a focused push button is the dialog's, not the button's", BS_PUSHBUTTON,
         [](HWND b) {
             SetFocus(b);
             SendMessageA(b, WM_KEYDOWN, VK_RETURN, 0);
             SendMessageA(b, WM_CHAR, '\r', 0);
         },
         false, BST_UNCHECKED},
    };
    for (const Case& c : cases) {
        RecordedCommands.clear();
        const bool isCheckBox = c.Style == BS_AUTOCHECKBOX;
        HWND button = Create("BUTTON", isCheckBox ? "Start automatically" : "OK",
                             WS_TABSTOP | c.Style, 7, isCheckBox ? CheckBounds : OkBounds);
        ASSERT_NE(button, nullptr);
        Pump();
        c.Act(button);
        if (c.Notifies) {
            ASSERT_GE(RecordedCommands.size(), 1u) << c.Name;
            EXPECT_EQ(RecordedCommands.back().WParam, Clicked(7)) << c.Name;
            EXPECT_EQ(RecordedCommands.back().LParam, reinterpret_cast<LPARAM>(button)) << c.Name;
        } else {
            EXPECT_TRUE(RecordedCommands.empty()) << c.Name;
        }
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.CheckAfter))
            << c.Name;
        DestroyWindow(button);
    }
}

TEST_F(ButtonTest, AClickNeedsPressAndReleaseOnTheButton) {
    HWND ok = Create("BUTTON", "OK", WS_TABSTOP | BS_PUSHBUTTON, 1, OkBounds);
    const LPARAM inside = MAKELPARAM(40, 10);
    const LPARAM outside = MAKELPARAM(200, 10);

    SendMessageA(ok, WM_LBUTTONDOWN, 0, inside);
    EXPECT_EQ(GetFocus(), ok) << "a press takes the focus";
    SendMessageA(ok, WM_MOUSEMOVE, 0, outside);
    SendMessageA(ok, WM_LBUTTONUP, 0, outside);
    EXPECT_TRUE(RecordedCommands.empty()) << "released outside: no click";

    SendMessageA(ok, WM_LBUTTONUP, 0, inside);
    EXPECT_TRUE(RecordedCommands.empty()) << "a release without a press is no click";

    // Sliding off and back on before the release still clicks, once.
    SendMessageA(ok, WM_LBUTTONDOWN, 0, inside);
    SendMessageA(ok, WM_MOUSEMOVE, 0, outside);
    SendMessageA(ok, WM_MOUSEMOVE, 0, inside);
    SendMessageA(ok, WM_LBUTTONUP, 0, inside);
    ASSERT_EQ(RecordedCommands.size(), 1u);
    EXPECT_EQ(RecordedCommands[0].WParam, Clicked(1));
}

TEST_F(ButtonTest, CheckStateBySetCheckAndTheDialogFunctions) {
    HWND box = Create("BUTTON", "Start", WS_TABSTOP | BS_AUTOCHECKBOX, 103, CheckBounds);
    HWND push = Create("BUTTON", "OK", BS_PUSHBUTTON, 1, OkBounds);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(Parent, 103), static_cast<UINT>(BST_CHECKED));
    CheckDlgButton(Parent, 103, BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Setting the state tells nobody; only the user's click does.
    EXPECT_TRUE(RecordedCommands.empty());
    // A push button has no check state.
    SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ButtonTest, DialogCodesAsWindowsAnswersThem) {
    struct Case {
        DWORD Style;
        LRESULT Expected;
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
        {BS_AUTOCHECKBOX, DLGC_BUTTON},
    };
    for (const Case& c : cases) {
        HWND button = Create("button", "x", c.Style, 5, OkBounds);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), c.Expected) << "style " << c.Style;
        DestroyWindow(button);
    }
}

TEST_F(ButtonTest, TheDefaultLookFollowsTheFocusAmongPushButtons) {
    HWND ok = Create("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 1, OkBounds);
    HWND cancel = Create("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 2, CancelBounds);
    HWND edit = Create("EDIT", "", WS_BORDER | WS_TABSTOP, 104, RECT{20, 100, 200, 121});
    const int middle = (OkBounds.bottom - OkBounds.top) / 2;

    SetFocus(edit);
    Surface screen = Screen();
    // The default button wears a black border outside its raised edge.
    EXPECT_EQ(PixelOf(screen, ok, 0, middle), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(screen, ok, 1, middle), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(screen, cancel, 0, middle), RGB(255, 255, 255));

    SetFocus(cancel);
    screen = Screen();
    EXPECT_EQ(PixelOf(screen, cancel, 0, middle), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(screen, ok, 0, middle), RGB(255, 255, 255));
    // The focused button shows the dotted focus rectangle 4 pixels in.
    EXPECT_TRUE(AnyDarkPixel(screen, cancel, RECT{4, 4, 5, 19}));
    EXPECT_FALSE(AnyDarkPixel(screen, ok, RECT{4, 4, 5, 19}));
}

TEST_F(ButtonTest, CheckBoxShowsItsTickAndDisabledTextIsEngraved) {
    HWND box = Create("BUTTON", "Start automatically every time you turn on your",
                      WS_TABSTOP | BS_AUTOCHECKBOX, 103, CheckBounds);
    const int boxTop = (CheckBounds.bottom - CheckBounds.top - 13) / 2;
    const RECT inside{2, boxTop + 2, 11, boxTop + 11};
    Surface screen = Screen();
    EXPECT_EQ(PixelOf(screen, box, 5, boxTop + 5), RGB(255, 255, 255));
    EXPECT_FALSE(AnyDarkPixel(screen, box, inside));
    EXPECT_TRUE(AnyDarkPixel(screen, box, RECT{17, 0, 246, 21})) << "the text is drawn";

    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    screen = Screen();
    EXPECT_TRUE(AnyDarkPixel(screen, box, inside));

    EnableWindow(box, FALSE);
    screen = Screen();
    EXPECT_FALSE(AnyDarkPixel(screen, box, RECT{17, 0, 246, 21}))
        << "disabled text is grey on white, not black";
}

} // namespace
