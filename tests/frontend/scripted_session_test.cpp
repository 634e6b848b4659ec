#include "tests/frontend/sample_dialog.h"

#include "platform/machine/message_box_history.h"
#include "platform/machine/png_writer.h"
#include "platform/machine/scripted_user.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>

namespace {

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

class ScriptedSession : public ::testing::Test {
  protected:
    ScriptedSession() : Machine(ScreenWidth, ScreenHeight) { Owner = PrepareSampleDesktop(); }

    // The failure the steps end in while the sample dialog runs; "" when none.
    std::string FailureOfSampleDialog() {
        try {
            RunSampleDialog(Owner);
        } catch (const ScriptedUserFailure& failure) {
            return failure.what();
        }
        return "";
    }

    TestMachine Machine;
    HWND Owner = nullptr;
};

uint32_t Pixel(COLORREF color) {
    return PixelFromColorref(color);
}

} // namespace

TEST_F(ScriptedSession, TypesTabsClicksAndSavesTheScreen) {
    const auto screenshot = Machine.Scratch() / "shots" / "sample.png";
    BeginScript();
    ScriptWaitForWindow("Sample", 5000);
    // Backspace takes back one character; the tab moves the focus, so the
    // text after it must reach the second box.
    ScriptTypeText("C:\\Rembrix: A&B \xE9x");
    ScriptPressKey(VK_BACK);
    ScriptTypeText("\tsecond");
    ScriptClick("&Start with the system");
    ScriptExpectText("101", "C:\\Rembrix: A&B \xE9");
    ScriptExpectText("102", "second");
    ScriptSaveScreenshot(screenshot);
    ScriptClick("OK");

    EXPECT_EQ(RunSampleDialog(Owner), IDOK);
    EXPECT_TRUE(ScriptFinished());
    const SampleDialogOutcome& outcome = SampleOutcome();
    EXPECT_EQ(outcome.Folder, "C:\\Rembrix: A&B \xE9");
    EXPECT_EQ(outcome.Second, "second");
    EXPECT_TRUE(outcome.Checked);

    // The screenshot shows the dialog, caption bar and all, over the painted
    // window.
    const Surface shot = ReadPng(screenshot);
    ASSERT_EQ(shot.Width, ScreenWidth);
    ASSERT_EQ(shot.Height, ScreenHeight);
    EXPECT_EQ(shot.At(ScreenWidth - 2, ScreenHeight - 2), Pixel(SampleBackdropColor));
    const RECT& dialog = outcome.Window;
    EXPECT_EQ(shot.At(dialog.right - 40, dialog.top + 5), Pixel(RGB(0, 0, 128)));
    EXPECT_EQ(shot.At(dialog.left + 8, dialog.bottom - 8), Pixel(RGB(192, 192, 192)));
}

TEST_F(ScriptedSession, EndsTheDialogByEachWayAPersonWould) {
    struct Case {
        const char* name;
        std::function<void()> steps;
        INT_PTR endCode;
    };
    const Case cases[] = {
        {"click OK", [] { ScriptClick("OK"); }, IDOK},
        {"click by id", [] { ScriptClick("2"); }, IDCANCEL},
        {"close box", [] { ScriptClick("close box"); }, IDCANCEL},
        {"enter", [] { ScriptPressKey(VK_RETURN); }, IDOK},
        {"escape", [] { ScriptPressKey(VK_ESCAPE); }, IDCANCEL},
        {"shift+tab to Cancel, space",
         [] {
             ScriptPressKey(VK_TAB, true);
             ScriptPressKey(VK_SPACE);
         },
         IDCANCEL},
    };
    for (const Case& c : cases) {
        BeginScript();
        ScriptWaitForWindow("Sample", 5000);
        c.steps();
        EXPECT_EQ(RunSampleDialog(Owner), c.endCode) << c.name;
        EXPECT_TRUE(ScriptFinished()) << c.name;
    }
}

TEST_F(ScriptedSession, FailuresNameWhatWasExpectedAndTheActiveWindow) {
    struct Case {
        const char* name;
        std::function<void()> steps;
        std::vector<std::string> messageParts;
    };
    const Case cases[] = {
        {"a window that never comes",
         [] { ScriptWaitForWindow("Rembrix Setup", 100); },
         {"waited 100 ms for the window 'Rembrix Setup'", "the active window is 'Sample'"}},
        {"a control that is not there",
         [] {
             ScriptWaitForWindow("Sample");
             ScriptClick("Browse...");
             ScriptClick("OK");
         },
         {"cannot click 'Browse...'", "the active window is 'Sample'"}},
        {"a text that differs",
         [] {
             ScriptWaitForWindow("Sample");
             ScriptTypeText("abc");
             ScriptExpectText("101", "abd");
         },
         {"control 101 to show 'abd', but it shows 'abc'", "'Sample'"}},
        {"the script ends first",
         [] { ScriptWaitForWindow("Sample"); },
         {"the script ended while the program waits in 'Sample'"}},
    };
    for (const Case& c : cases) {
        BeginScript();
        c.steps();
        const auto started = std::chrono::steady_clock::now();
        const std::string message = FailureOfSampleDialog();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << c.name;
        for (const std::string& part : c.messageParts) {
            EXPECT_NE(message.find(part), std::string::npos) << c.name << ": " << message;
        }
        // The script is abandoned, and the dialog's modal loop left the
        // machine as it found it.
        EXPECT_TRUE(ScriptFinished()) << c.name;
        EXPECT_TRUE(IsWindowEnabled(Owner)) << c.name;
    }
}

TEST_F(ScriptedSession, AWaitOutlastsItsTimeoutWhileTheProgramIsBusy) {
    BeginScript();
    ScriptWaitForWindow("Sample", 50);
    ScriptClick("OK");
    // Work that polls the queue, as the copy and unpacking loops do, for
    // longer than the wait's timeout; only then does the dialog come.
    const auto busyUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    MSG message{};
    while (std::chrono::steady_clock::now() < busyUntil) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
    EXPECT_EQ(RunSampleDialog(Owner), IDOK);
    EXPECT_TRUE(ScriptFinished());
}

TEST_F(ScriptedSession, AcceptingDefaultsPressesEnterAndGivesUpOnACircle) {
    BeginScript();
    ScriptSetEndRule(ScriptEndRule::AcceptDefaults);
    EXPECT_EQ(RunSampleDialog(Owner), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Do you really want to terminate the Setup program?",
                          "Exit Rembrix", MB_YESNO),
              IDYES);

    // A dialog that refuses Enter would keep the run going for ever.
    SampleOutcome().RefuseOk = true;
    const std::string message = FailureOfSampleDialog();
    EXPECT_NE(message.find("accepting the defaults does not end"), std::string::npos) << message;
    EXPECT_NE(message.find("'Sample'"), std::string::npos) << message;
}

TEST_F(ScriptedSession, AnswersMessageBoxesAndRunsCodeThatOpensThem) {
    BeginScript();
    ScriptAnswerMessageBox("", "OK");
    EXPECT_EQ(MessageBoxA(Owner, "Please insert disk 2.", "", MB_OKCANCEL), IDOK);

    // Code run by the script opens a box; the steps after it answer it from
    // inside that box's own modal loop.
    int innerAnswer = 0;
    BeginScript();
    ScriptWaitForWindow("Sample");
    ScriptRun([&] { innerAnswer = MessageBoxA(nullptr, "Go on?", "Exit Rembrix", MB_YESNO); });
    ScriptAnswerMessageBox("Exit Rembrix", "&No");
    ScriptClick("Cancel");
    EXPECT_EQ(RunSampleDialog(Owner), IDCANCEL);
    EXPECT_EQ(innerAnswer, IDNO);
    ASSERT_FALSE(MessageBoxHistory().empty());
    EXPECT_EQ(MessageBoxHistory().back().Answer, IDNO);
}

TEST_F(ScriptedSession, CopiesAFileIntoPlaceWhenItsTurnComes) {
    const auto disk = Machine.Scratch() / "disk2" / "Rembrix.002";
    const auto source = Machine.Scratch() / "Rembrix.002";
    std::ofstream(source) << "volume two";
    bool presentBefore = true;
    BeginScript();
    ScriptWaitForWindow("Sample");
    ScriptRun([&] { presentBefore = std::filesystem::exists(disk); });
    ScriptCopyFile(source, disk);
    ScriptClick("OK");
    EXPECT_EQ(RunSampleDialog(Owner), IDOK);
    EXPECT_FALSE(presentBefore);
    std::ifstream copied(disk);
    std::string contents;
    std::getline(copied, contents);
    EXPECT_EQ(contents, "volume two");
}

TEST(ScriptedMachine, RunsTheScriptFileItsSettingsName) {
    const auto folder = MakeTemporaryFolder("script");
    {
        std::ofstream script(folder / "run.txt");
        script << "# fills the sample dialog\n"
                  "wait \"Sample\" timeout 5000\n"
                  "type \"C:\\\\Rembrix\"\n"
                  "screenshot \"sample.png\"\n"
                  "click \"OK\"\n";
    }
    MachineConfig config;
    config.FrontEnd = "headless";
    config.ScreenWidth = ScreenWidth;
    config.ScreenHeight = ScreenHeight;
    config.UserScript = folder / "run.txt";
    config.ScreenshotFolder = folder / "shots";
    TestMachine machine(config);
    const HWND owner = PrepareSampleDesktop();
    EXPECT_EQ(RunSampleDialog(owner), IDOK);
    EXPECT_EQ(SampleOutcome().Folder, "C:\\Rembrix");
    EXPECT_EQ(ReadPng(folder / "shots" / "sample.png").Width, ScreenWidth);
    std::filesystem::remove_all(folder);
}

TEST(ScriptedMachine, ABadScriptFileStopsTheMachineStartNamingTheLine) {
    const auto folder = MakeTemporaryFolder("script");
    std::ofstream(folder / "bad.txt") << "wait \"Sample\"\nclick OK\n";
    MachineConfig config;
    config.Folder = folder / "machine";
    config.FrontEnd = "headless";
    config.UserScript = folder / "bad.txt";
    try {
        TestMachine machine(config);
        ADD_FAILURE() << "the machine started";
    } catch (const ScriptedUserFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("script line 2"), std::string::npos)
            << failure.what();
    }
    std::filesystem::remove_all(folder);
}
