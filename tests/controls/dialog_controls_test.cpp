// The controls inside a real modal dialog, driven through the machine's input
// source as a person would: what the dialog procedure gets to see.
#include "platform/machine/frontend/desktop_queries.h"
#include "platform/machine/frontend/keyboard_layout.h"
#include "platform/machine/input_source.h"
#include "platform/machine/resources.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

namespace {

const char* const TestDialogs = R"(
ASK DIALOG 6, 19, 223, 130
STYLE WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
CAPTION "Ask"
FONT 8, "MS Sans Serif"
BEGIN
    CONTROL "OK", 1, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 55, 110, 53, 14
    CONTROL "Cancel", 2, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 115, 110, 53, 14
    CONTROL "C:\\Program Files\\Rembrix", 104, "EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_UPPERCASE, 19, 53, 184, 13
    CONTROL "Start automatically", 103, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 11, 72, 164, 13
    CONTROL "Line 1\r\nLine 2\r\nLine 3\r\nLine 4\r\nLine 5", 105, "EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY, 10, 6, 200, 18
END
)";

// What the dialog showed when it ended.
struct DialogOutcome {
    std::string EditText;
    UINT Checked = 0;
    int FirstVisibleLine = -1;
    int FocusIdAtEnd = 0;
    std::vector<WPARAM> Commands;
};

DialogOutcome Outcome;
std::function<void(HWND)> AtStart;

INT_PTR AskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        if (AtStart) {
            AtStart(dialog);
        }
        return AtStart ? FALSE : TRUE;
    case WM_COMMAND: {
        Outcome.Commands.push_back(wParam);
        const WORD id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            char text[256] = {};
            SendDlgItemMessageA(dialog, 104, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(text));
            Outcome.EditText = text;
            Outcome.Checked = IsDlgButtonChecked(dialog, 103);
            Outcome.FirstVisibleLine =
                static_cast<int>(SendDlgItemMessageA(dialog, 105, EM_GETFIRSTVISIBLELINE, 0, 0));
            Outcome.FocusIdAtEnd = GetDlgCtrlID(GetFocus());
            EndDialog(dialog, id);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

class DialogControlsTest : public ::testing::Test {
  protected:
    DialogControlsTest() {
        AddResourceScriptForTesting(TestDialogs);
        Outcome = DialogOutcome{};
        AtStart = nullptr;
    }

    // Runs the dialog; each time it waits for input, the next step acts.
    INT_PTR Run(std::deque<std::function<void()>> steps) {
        SetInputSource([steps = std::move(steps)](bool mayBlock) mutable {
            if (!mayBlock) {
                return true;
            }
            if (steps.empty()) {
                return false;
            }
            const std::function<void()> step = steps.front();
            steps.pop_front();
            step();
            return true;
        });
        return DialogBoxParamA(nullptr, "Ask", nullptr, AskDialogProc, 0);
    }

    static std::function<void()> Key(int virtualKey, bool shift = false) {
        return [=] { DeliverKeyPress(virtualKey, shift, CharacterForKey(virtualKey, shift)); };
    }
    static std::function<void()> Type(const std::string& text) {
        return [=] {
            for (char character : text) {
                const KeyStroke key = KeyForCharacter(character);
                DeliverKeyPress(key.VirtualKey, key.Shift, character);
            }
        };
    }
    static std::function<void()> Click(const char* text) {
        return [=] {
            HWND control = FindControl(ActiveTopLevelWindow(), text, std::nullopt);
            RECT bounds{};
            GetWindowRect(control, &bounds);
            DeliverClick(POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
        };
    }
    static std::function<void()> ClickItem(int id, int x, int y) {
        return [=] {
            POINT point{x, y};
            ClientToScreen(GetDlgItem(ActiveTopLevelWindow(), id), &point);
            DeliverClick(point);
        };
    }

    TestMachine Machine;
};

TEST_F(DialogControlsTest, KeyboardAndMouseReachTheControls) {
    struct Case {
        const char* Name;
        std::function<void(HWND)> Start; // null: focus on the first tab stop
        std::deque<std::function<void()>> Steps;
        INT_PTR Result;
        std::string Text;
        UINT Checked;
    };
    const std::string proposed = "C:\\Program Files\\Rembrix";
    const Case cases[] = {
        {"Enter at start presses OK", nullptr, {Key(VK_RETURN)}, IDOK, proposed, 0},
        {"Tab into the edit selects all, typing replaces it",
         nullptr,
         {Key(VK_TAB), Key(VK_TAB), Type("d:\\apps"), Key(VK_RETURN)},
         IDOK,
         "D:\\APPS",
         0},
        {"focus set by the procedure leaves the caret at the start",
         [](HWND dialog) { SetFocus(GetDlgItem(dialog, 104)); },
         {Type("x"), Key(VK_RETURN)},
         IDOK,
         "X" + proposed,
         0},
        {"Space toggles the check box",
         [](HWND dialog) { SetFocus(GetDlgItem(dialog, 103)); },
         {Key(VK_SPACE), Key(VK_RETURN)},
         IDOK,
         proposed,
         BST_CHECKED},
        {"a click toggles the check box",
         nullptr,
         {Click("Start automatically"), Key(VK_RETURN)},
         IDOK,
         proposed,
         BST_CHECKED},
        {"a click on Cancel", nullptr, {Click("Cancel")}, IDCANCEL, proposed, 0},
        {"Esc cancels even from the edit",
         [](HWND dialog) { SetFocus(GetDlgItem(dialog, 104)); },
         {Key(VK_ESCAPE)},
         IDCANCEL,
         proposed,
         0},
        {"a click puts the focus in the edit",
         nullptr,
         {ClickItem(104, 4, 10), Key(VK_END), Key(VK_BACK), Key(VK_RETURN)},
         IDOK,
         proposed.substr(0, proposed.size() - 1),
         0},
        {"Enter in a read-only multi-line box presses the default button",
         [](HWND dialog) { SetFocus(GetDlgItem(dialog, 105)); },
         {Key(VK_RETURN)},
         IDOK,
         proposed,
         0},
    };
    for (const Case& c : cases) {
        Outcome = DialogOutcome{};
        AtStart = c.Start;
        EXPECT_EQ(Run(c.Steps), c.Result) << c.Name;
        EXPECT_EQ(Outcome.EditText, c.Text) << c.Name;
        EXPECT_EQ(Outcome.Checked, c.Checked) << c.Name;
    }
}

TEST_F(DialogControlsTest, ClickOnAButtonArrivesAsBnClicked) {
    EXPECT_EQ(Run({Click("OK")}), IDOK);
    ASSERT_EQ(Outcome.Commands.size(), 1u);
    EXPECT_EQ(Outcome.Commands[0], MAKEWPARAM(IDOK, BN_CLICKED));
}

TEST_F(DialogControlsTest, ArrowKeysScrollAFocusedMultiLineBoxAndKeepTheFocus) {
    AtStart = [](HWND dialog) { SetFocus(GetDlgItem(dialog, 105)); };
    EXPECT_EQ(Run({Key(VK_DOWN), Key(VK_DOWN), Key(VK_UP), Key(VK_NEXT), Key(VK_RETURN)}), IDOK);
    EXPECT_EQ(Outcome.FirstVisibleLine, 3);
    EXPECT_EQ(Outcome.FocusIdAtEnd, 105);
}

} // namespace
