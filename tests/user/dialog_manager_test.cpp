// The dialog manager: focus at start, the keyboard interface, the close box,
// EndDialog's code, a missing template, modality and its clean-up.
#include "tests/user/user_test_support.h"

#include <stdexcept>

namespace {

struct DialogRun {
    INT_PTR InitReturn = TRUE;
    int InitFocusId = 0;
    std::vector<int> Commands;
    bool ThrowOnCommand = false;
};

DialogRun* CurrentRun = nullptr;

// Ends the dialog on the first command with 100 + the command's id.
INT_PTR RecordingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        if (CurrentRun->InitFocusId != 0) {
            SetFocus(GetDlgItem(dialog, CurrentRun->InitFocusId));
        }
        return CurrentRun->InitReturn;
    case WM_COMMAND:
        CurrentRun->Commands.push_back(LOWORD(wParam));
        if (CurrentRun->ThrowOnCommand) {
            throw std::runtime_error("failure inside the dialog");
        }
        EndDialog(dialog, 100 + LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        // As the installer's dialogs do: after a normal end this changes
        // nothing.
        EndDialog(dialog, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

class DialogManagerTest : public UserTest {
  protected:
    DialogManagerTest() {
        AddResourceScriptForTesting(TestDialogScript);
        CurrentRun = &Run;
    }
    ~DialogManagerTest() override { CurrentRun = nullptr; }

    INT_PTR RunDialog(const char* name = "TestDialog", HWND owner = nullptr) {
        return DialogBoxParamA(nullptr, name, owner, RecordingDialogProc, 0);
    }

    DialogRun Run;
};

int FocusId() {
    return GetDlgCtrlID(GetFocus());
}

TEST_F(DialogManagerTest, KeyboardMouseAndCloseBoxAsWindowsDialogs) {
    using Actions = std::vector<std::function<void(std::vector<int>&)>>;
    const auto note = [](std::vector<int>& focus) { focus.push_back(FocusId()); };
    const auto key = [](int vk, char c = 0, bool shift = false) {
        return [=](std::vector<int>&) { Key(vk, c, shift); };
    };
    struct Case {
        const char* Name;
        INT_PTR InitReturn;
        int InitFocusId;
        Actions Acts;
        std::vector<int> ExpectedFocus;
        INT_PTR ExpectedResult;
    };
    const Case cases[] = {
        {"nonzero WM_INITDIALOG focuses the first tab stop; Enter presses it",
         TRUE,
         0,
         {note, key(VK_RETURN, '\r')},
         {1},
         101},
        {"zero WM_INITDIALOG keeps the procedure's focus; Enter is the default button",
         FALSE,
         104,
         {note, key(VK_RETURN, '\r')},
         {104},
         101},
        {"Tab goes through the tab stops in template order and wraps",
         TRUE,
         0,
         {key(VK_TAB, '\t'), note, key(VK_TAB, '\t'), note, key(VK_TAB, '\t'), note,
          key(VK_TAB, '\t'), note, key(VK_ESCAPE, '\x1b')},
         {2, 104, 103, 1},
         102},
        {"Shift+Tab goes backwards and wraps",
         TRUE,
         0,
         {key(VK_TAB, '\t', true), note, key(VK_TAB, '\t', true), note, key(VK_ESCAPE, '\x1b')},
         {103, 104},
         102},
        {"a focused push button takes Enter",
         TRUE,
         0,
         {key(VK_TAB, '\t'), note, key(VK_RETURN, '\r')},
         {2},
         102},
        {"Esc is Cancel", TRUE, 0, {key(VK_ESCAPE, '\x1b')}, {}, 102},
        {"the close box is Cancel",
         TRUE,
         0,
         {[](std::vector<int>&) { ClickAt(CloseBoxCentre(ActiveWindow())); }},
         {},
         102},
        {"a click on a button is its command",
         TRUE,
         0,
         {[](std::vector<int>&) { ClickAt(CentreOf(ControlOfActive("Cancel"))); }},
         {},
         102},
        {"arrows move within the group",
         TRUE,
         0,
         {key(VK_RIGHT), note, key(VK_LEFT), note, key(VK_LEFT), note, key(VK_ESCAPE)},
         {2, 1, 104},
         102},
        {"a disabled Cancel button ignores Esc and the close box",
         TRUE,
         0,
         {[](std::vector<int>&) { EnableWindow(ControlOfActive("Cancel"), FALSE); },
          key(VK_ESCAPE, '\x1b'),
          [](std::vector<int>&) { ClickAt(CloseBoxCentre(ActiveWindow())); }, key(VK_RETURN, '\r')},
         {},
         101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Run = DialogRun{};
        Run.InitReturn = c.InitReturn;
        Run.InitFocusId = c.InitFocusId;
        std::vector<int> focus;
        for (const auto& action : c.Acts) {
            Then([&focus, action] { action(focus); });
        }
        EXPECT_EQ(RunDialog(), c.ExpectedResult);
        EXPECT_EQ(focus, c.ExpectedFocus);
        EXPECT_TRUE(Steps.empty()) << "the dialog ended before every step ran";
        Steps.clear();
        EXPECT_EQ(FindWindowA(nullptr, "Test Dialog"), nullptr);
    }
}

TEST_F(DialogManagerTest, WithoutADefaultPushButtonEnterIsIdOk) {
    // The focus is in the edit box, so no push button is focused either.
    Run.InitReturn = FALSE;
    Run.InitFocusId = 104;
    Then([] { Key(VK_RETURN, '\r'); });
    EXPECT_EQ(RunDialog("PlainDialog"), 101);
    EXPECT_EQ(Run.Commands, std::vector<int>{IDOK});
}

TEST_F(DialogManagerTest, MissingTemplateGivesMinusOne) {
    EXPECT_EQ(RunDialog("NoSuchDialog"), -1);
    HideResource("TestDialog");
    EXPECT_EQ(RunDialog("TestDialog"), -1);
    EXPECT_TRUE(Run.Commands.empty());
}

TEST_F(DialogManagerTest, TemplateNamesIgnoreCase) {
    Then([] { Key(VK_ESCAPE); });
    EXPECT_EQ(RunDialog("tEsTdIaLoG"), 102);
}

TEST_F(DialogManagerTest, EndDialogKeepsTheFirstResult) {
    Then([] {
        const HWND dialog = ActiveWindow();
        EXPECT_TRUE(EndDialog(dialog, 7));
        EXPECT_TRUE(EndDialog(dialog, 9));
    });
    EXPECT_EQ(RunDialog(), 7);
}

TEST_F(DialogManagerTest, TemplateUnitsBecomePixelsAndTheClientSizeIsTheTemplates) {
    Then([] {
        const HWND dialog = ActiveWindow();
        RECT client{};
        GetClientRect(dialog, &client);
        // 200 x 100 dialog units at base units 6 x 13.
        EXPECT_EQ(client.right, 300);
        EXPECT_EQ(client.bottom, 163);
        RECT window{};
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.right - window.left, 300 + 2 * 3);
        EXPECT_EQ(window.bottom - window.top, 163 + 3 + 19 + 3);
        // The frame control at 15, 25, 164 x 12 dialog units.
        RECT frame{};
        GetWindowRect(GetDlgItem(dialog, 101), &frame);
        POINT origin{0, 0};
        ClientToScreen(dialog, &origin);
        EXPECT_EQ(frame.left - origin.x, 23); // MulDiv(15, 6, 4) = 22.5 rounds up
        EXPECT_EQ(frame.top - origin.y, 41);  // MulDiv(25, 13, 8) = 40.625
        EXPECT_EQ(frame.right - frame.left, 246);
        EXPECT_EQ(frame.bottom - frame.top, 20); // 19.5 rounds up
        RECT units{15, 25, 179, 37};
        EXPECT_TRUE(MapDialogRect(dialog, &units));
        EXPECT_EQ(units.left, 23);
        EXPECT_EQ(units.top, 41);
        EXPECT_EQ(units.right, 269);
        EXPECT_EQ(units.bottom, 60);
        // The dialog font reached the controls.
        const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        EXPECT_NE(font, nullptr);
        Key(VK_ESCAPE);
    });
    RunDialog();
}

TEST_F(DialogManagerTest, DialogItemHelpersReachTheControls) {
    Then([] {
        const HWND dialog = ActiveWindow();
        EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dialog, 104)), 104);
        EXPECT_EQ(GetDlgItem(dialog, -1), GetDlgItem(dialog, 65535));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, -1)), "Label");
        EXPECT_EQ(GetDlgItem(dialog, 999), nullptr);
        SendDlgItemMessageA(dialog, 104, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\X"));
        char buffer[16] = {};
        EXPECT_EQ(SendDlgItemMessageA(dialog, 104, WM_GETTEXT, sizeof buffer,
                                      reinterpret_cast<LPARAM>(buffer)),
                  4);
        EXPECT_STREQ(buffer, "C:\\X");
        EXPECT_EQ(IsDlgButtonChecked(dialog, 103), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_TRUE(CheckDlgButton(dialog, 103, BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(dialog, 103), static_cast<UINT>(BST_CHECKED));
        // Space on the focused check box clicks it.
        SetFocus(GetDlgItem(dialog, 103));
        Key(VK_SPACE, ' ');
    });
    Then([] {
        EXPECT_EQ(IsDlgButtonChecked(ActiveWindow(), 103), static_cast<UINT>(BST_UNCHECKED));
        Key(VK_ESCAPE);
    });
    RunDialog();
}

TEST_F(DialogManagerTest, OwnerIsDisabledWhileTheDialogRunsAndTheDialogIsOnTop) {
    PaintLog log;
    const HWND owner = CreatePaintingWindow(log, RECT{0, 0, 640, 480});
    Then([owner] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        const HWND dialog = ActiveWindow();
        EXPECT_EQ(TextOf(dialog), "Test Dialog");
        EXPECT_EQ(GetParent(dialog), owner);
        EXPECT_EQ(FindWindowA(nullptr, nullptr), dialog);
        // A click on the disabled owner reaches nothing.
        ClickAt(POINT{2, 2});
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(RunDialog("TestDialog", owner), 102);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetFocus(), owner);
}

TEST_F(DialogManagerTest, AnExceptionThroughTheModalLoopLeavesTheMachineConsistent) {
    PaintLog log;
    const HWND owner = CreatePaintingWindow(log, RECT{0, 0, 640, 480});
    Run.ThrowOnCommand = true;
    Then([] { Key(VK_RETURN, '\r'); });
    EXPECT_THROW(RunDialog("TestDialog", owner), std::runtime_error);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(FindWindowA(nullptr, "Test Dialog"), nullptr);
    EXPECT_EQ(ActiveWindow(), owner);
}

TEST_F(DialogManagerTest, InputThatRunsOutNamesTheWindowWaitedIn) {
    PaintLog log;
    const HWND owner = CreatePaintingWindow(log, RECT{0, 0, 640, 480});
    try {
        RunDialog("TestDialog", owner);
        FAIL() << "the modal loop returned without input";
    } catch (const MachineInputExhausted& exhausted) {
        EXPECT_NE(std::string(exhausted.what()).find("'Test Dialog'"), std::string::npos)
            << exhausted.what();
    }
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(FindWindowA(nullptr, "Test Dialog"), nullptr);
}

TEST_F(DialogManagerTest, QuitEndsTheDialogAndStaysForTheOuterLoop) {
    Then([] { PostQuitMessage(3); });
    EXPECT_EQ(RunDialog(), 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
}

TEST_F(DialogManagerTest, FocusComesBackToTheDialogAfterAnOwnerlessMessageBox) {
    Then([] {
        Key(VK_TAB, '\t');
        // An ownerless box (as the exit question is) above the dialog.
        PostMessageA(ActiveWindow(), WM_USER, 0, 0);
    });
    Then([] {
        EXPECT_EQ(TextOf(ActiveWindow()), "Exit");
        Key(VK_RETURN, '\r');
    });
    Then([] {
        EXPECT_EQ(FocusId(), 2);
        Key(VK_RETURN, '\r');
    });
    static bool asked;
    asked = false;
    const auto procedure = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            return TRUE;
        }
        if (message == WM_USER) {
            asked = MessageBoxA(nullptr, "Really?", "Exit", MB_YESNO) == IDYES;
            return TRUE;
        }
        if (message == WM_COMMAND) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", nullptr, procedure, 0), IDCANCEL);
    EXPECT_TRUE(asked);
}

} // namespace
