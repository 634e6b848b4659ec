// Screenshots of the backdrop with each dialog over it, saved into the build
// folder's screenshots/ for a person to look at; the test itself checks that
// each was written and shows the dialog over the backdrop.
#include "tests/ui/ui_fixture.h"
#include "ui/destination_dialog.h"
#include "ui/group_dialog.h"
#include "ui/license_dialog.h"

namespace {

struct DialogShot {
    const char* Template;
    DLGPROC Procedure;
    const char* Caption;
    const char* File;
};

TEST(ScreenshotTest, EveryDialogOverTheBackdrop) {
    const DialogShot shots[] = {
        {"Main", DestinationDialogProc, "Destination Directory", "destination"},
        {"License", LicenseDialogProc, "License Agreement", "license"},
        {"Group", GroupDialogProc, "Program Group", "group"},
    };
    for (const auto& size : {std::pair{1024, 768}, std::pair{640, 480}}) {
        for (const DialogShot& shot : shots) {
            SCOPED_TRACE(shot.File);
            BackdropMachine machine(size.first, size.second);
            machine.CreateBackdrop();
            const auto png =
                ScreenshotFolder() / (std::string(shot.File) + "-" + std::to_string(size.first) +
                                      "x" + std::to_string(size.second) + ".png");
            std::filesystem::remove(png);
            BeginScript();
            ScriptWaitForWindow(shot.Caption);
            ScriptSaveScreenshot(png);
            ScriptRun([&] {
                Surface screen;
                ComposeScreen(screen);
                HWND dialog = WindowCaptioned(shot.Caption);
                RECT bounds{};
                GetWindowRect(dialog, &bounds);
                // The dialog lies inside the screen, over the painted backdrop.
                EXPECT_GE(bounds.left, 0);
                EXPECT_GE(bounds.top, 0);
                EXPECT_LE(bounds.right, size.first);
                EXPECT_LE(bounds.bottom, size.second);
                // Blue at the top left: the backdrop was painted under it.
                EXPECT_EQ(screen.At(2, 2) & 0xFFFF00u, 0u);
                EXPECT_GE(screen.At(2, 2) & 0xFFu, 250u);
            });
            ScriptPressKey(VK_RETURN);
            DialogBoxParamA(ModuleInstance, shot.Template, BackdropWindow, shot.Procedure, 0);
            EXPECT_TRUE(std::filesystem::is_regular_file(png));
        }
    }
}

} // namespace
