// The program group dialog: the shortcut's name and the Startup check box.
#include "platform/machine/message_box_history.h"
#include "tests/ui/ui_fixture.h"
#include "ui/group_dialog.h"

namespace {

const char* const Caption = "Program Group";
constexpr int NameEdit = 102;
constexpr int StartupCheck = 103;

class GroupDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Machine.CreateBackdrop();
        BeginScript();
    }
    INT_PTR RunDialog() {
        return DialogBoxParamA(ModuleInstance, "Group", BackdropWindow, GroupDialogProc, 0);
    }
    BackdropMachine Machine;
};

TEST_F(GroupDialogTest, EnterTakesTheDefaults) {
    StartWithSystem = false;
    ScriptWaitForWindow(Caption);
    ScriptRun([&] {
        HWND dialog = WindowCaptioned(Caption);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
    });
    ScriptPressKey(VK_RETURN);
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_EQ(GroupName, "Rembrix");
    EXPECT_TRUE(StartWithSystem);
}

TEST_F(GroupDialogTest, ClearingTheCheckBoxAndNamingTheGroup) {
    struct Case {
        const char* Name;
        bool ClearCheck;
        const char* Typed; // null: keep the proposal
        const char* GroupName;
        bool StartWithSystem;
    };
    const Case cases[] = {
        {"cleared check box", true, nullptr, "Rembrix", false},
        {"own name", false, "My Tools", "My Tools", true},
        {"empty name", false, "", "", true},
        {"any characters", true, "A\\B:*?", "A\\B:*?", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        BeginScript();
        ScriptWaitForWindow(Caption);
        if (c.ClearCheck) {
            ScriptClick(std::to_string(StartupCheck));
        }
        if (c.Typed != nullptr) {
            ScriptClick(std::to_string(NameEdit));
            ScriptReplaceText(c.Typed, 20);
        }
        ScriptClick("OK");
        EXPECT_EQ(RunDialog(), 1);
        EXPECT_EQ(GroupName, c.GroupName);
        EXPECT_EQ(StartWithSystem, c.StartWithSystem);
    }
}

TEST_F(GroupDialogTest, CancelEndsWithoutAQuestionAndKeepsTheCheckBoxValue) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        BeginScript();
        StartWithSystem = false;
        GroupName = "Earlier";
        ScriptWaitForWindow(Caption);
        ScriptClick(std::to_string(NameEdit));
        ScriptReplaceText("Typed", 20);
        if (way == 0) {
            ScriptClick("Cancel");
        } else if (way == 1) {
            ScriptPressKey(VK_ESCAPE);
        } else {
            ScriptClick("close box");
        }
        EXPECT_EQ(RunDialog(), 0);
        EXPECT_EQ(GroupName, "Rembrix");
        EXPECT_FALSE(StartWithSystem);
    }
    EXPECT_TRUE(MessageBoxHistory().empty());
}

TEST_F(GroupDialogTest, NameAndCheckBoxAreResetAtEveryStart) {
    ScriptWaitForWindow(Caption);
    ScriptClick(std::to_string(StartupCheck));
    ScriptClick(std::to_string(NameEdit));
    ScriptReplaceText("Other", 20);
    ScriptClick("OK");
    ASSERT_EQ(RunDialog(), 1);
    ASSERT_EQ(GroupName, "Other");

    BeginScript();
    ScriptWaitForWindow(Caption);
    ScriptRun([&] {
        HWND dialog = WindowCaptioned(Caption);
        EXPECT_EQ(ControlText(dialog, NameEdit), "Rembrix");
        EXPECT_EQ(IsDlgButtonChecked(dialog, StartupCheck), static_cast<UINT>(BST_CHECKED));
    });
    ScriptPressKey(VK_RETURN);
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_EQ(GroupName, "Rembrix");
    EXPECT_TRUE(StartWithSystem);
}

} // namespace
