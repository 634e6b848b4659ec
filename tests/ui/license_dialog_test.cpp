// The license dialog: the agreement box it makes at run time, agreeing, and
// giving up only after the exit question.
#include "platform/machine/message_box_history.h"
#include "tests/ui/ui_fixture.h"
#include "ui/agreement_text.h"
#include "ui/license_dialog.h"

#include <cstring>

namespace {

const char* const Caption = "License Agreement";

// The agreement box is the dialog's child with id 0.
HWND AgreementBox(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == 0) {
            return child;
        }
    }
    return nullptr;
}

class LicenseDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Machine.CreateBackdrop();
        BeginScript();
    }
    INT_PTR RunDialog() {
        return DialogBoxParamA(ModuleInstance, "License", BackdropWindow, LicenseDialogProc, 0);
    }
    BackdropMachine Machine;
};

TEST_F(LicenseDialogTest, AgreementBoxIsMadeAsSpecifiedAndFollowsTheClientArea) {
    ScriptWaitForWindow(Caption);
    ScriptRun([&] {
        HWND dialog = WindowCaptioned(Caption);
        ASSERT_NE(dialog, nullptr);
        HWND box = AgreementBox(dialog);
        ASSERT_NE(box, nullptr);
        char className[32] = {};
        GetClassNameA(box, className, sizeof className);
        EXPECT_STRCASEEQ(className, "Edit");
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE)), 0x50200804u);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(box, GWL_EXSTYLE)) & WS_EX_CLIENTEDGE,
                  WS_EX_CLIENTEDGE);
        EXPECT_EQ(GetParent(box), dialog);

        std::string text(static_cast<size_t>(GetWindowTextLengthA(box)) + 1, '\0');
        GetWindowTextA(box, text.data(), static_cast<int>(text.size()));
        text.pop_back();
        EXPECT_EQ(text, AgreementText);

        RECT client{};
        GetClientRect(dialog, &client);
        RECT bounds{};
        GetWindowRect(box, &bounds);
        POINT origin{bounds.left, bounds.top};
        ScreenToClient(dialog, &origin);
        EXPECT_EQ(origin.x, 10);
        EXPECT_EQ(origin.y, 10);
        EXPECT_EQ(bounds.right - bounds.left, client.right - 20);
        EXPECT_EQ(bounds.bottom - bounds.top, client.bottom - 90);

        // No font is set, so the box draws in the system's default font.
        EXPECT_EQ(SendMessageA(box, WM_GETFONT, 0, 0), 0);
        // Too long to show at once: the scroll bar has work to do.
        EXPECT_GT(SendMessageA(box, EM_GETLINECOUNT, 0, 0), 30);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
    });
    ScriptPressKey(VK_RETURN);
    EXPECT_EQ(RunDialog(), 1);
}

TEST_F(LicenseDialogTest, EnterAgreesAtOnce) {
    ScriptWaitForWindow(Caption);
    ScriptPressKey(VK_RETURN);
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_TRUE(MessageBoxHistory().empty());
}

TEST_F(LicenseDialogTest, ExitEscAndTheCloseBoxAskAndNoKeepsTheTextWhereItWas) {
    int firstLine = -1;
    ScriptWaitForWindow(Caption);
    ScriptRun([&] {
        HWND box = AgreementBox(WindowCaptioned(Caption));
        SendMessageA(box, WM_VSCROLL, SB_PAGEDOWN, 0);
        SendMessageA(box, WM_VSCROLL, SB_PAGEDOWN, 0);
        firstLine = static_cast<int>(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_GT(firstLine, 0);
    });
    for (const char* way : {"Exit", "Esc", "close box"}) {
        if (std::strcmp(way, "Esc") == 0) {
            ScriptPressKey(VK_ESCAPE);
        } else {
            ScriptClick(way);
        }
        ScriptWaitForWindow("Exit Rembrix");
        ScriptClick("No");
        ScriptWaitForWindow(Caption);
        ScriptRun([&] {
            HWND box = AgreementBox(WindowCaptioned(Caption));
            EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
        });
    }
    ScriptClick("Exit");
    ScriptWaitForWindow("Exit Rembrix");
    ScriptClick("Yes");
    EXPECT_EQ(RunDialog(), 0);
    ASSERT_EQ(MessageBoxHistory().size(), 4u);
    for (const ShownMessageBox& box : MessageBoxHistory()) {
        EXPECT_EQ(box.Caption, "Exit Rembrix");
        EXPECT_EQ(box.Type, MB_YESNO);
    }
}

TEST(AgreementTextTest, IsCrLfSeparatedWithoutBareLineFeeds) {
    const std::string text = AgreementText;
    ASSERT_GT(text.size(), 2000u);
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n') {
            ASSERT_GT(at, 0u);
            EXPECT_EQ(text[at - 1], '\r') << at;
        }
        if (text[at] == '\r') {
            ASSERT_LT(at + 1, text.size());
            EXPECT_EQ(text[at + 1], '\n') << at;
        }
    }
    EXPECT_NE(text.find("Rembrix"), std::string::npos);
    EXPECT_NE(text.find("Mellowick"), std::string::npos);
}

} // namespace
