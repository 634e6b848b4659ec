// The window front end on SDL's dummy video driver: a real SDL window and
// event queue without a display.
#include "tests/frontend/sample_dialog.h"

#include "platform/machine/frontend/front_end.h"
#include "platform/machine/input_source.h"
#include "platform/machine/window_surfaces.h"
#include "tests/support/test_machine.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

MachineConfig WindowConfig() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    MachineConfig config;
    config.FrontEnd = "window";
    config.ScreenWidth = 400;
    config.ScreenHeight = 300;
    return config;
}

void PushMouseButton(Uint32 type, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

} // namespace

TEST(WindowFrontEnd, ShowsTheScreenAndFeedsTheMouseToTheMachine) {
    TestMachine machine(WindowConfig());
    ASSERT_EQ(CurrentFrontEnd(), FrontEndKind::Window);
    const HWND owner = PrepareSampleDesktop();

    Surface shown;
    Surface composed;
    bool clicked = false;
    SetInputSource([&](bool mayBlock) {
        if (!clicked) {
            clicked = true;
            // The window shows the composed screen pixel for pixel, once a
            // frame's time has passed since it last showed it.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            PresentFrontEnd();
            EXPECT_TRUE(ReadFrontEndPixels(shown));
            composed.Resize(400, 300);
            ComposeScreen(composed);
            RECT ok{};
            GetWindowRect(GetDlgItem(FindWindowA(nullptr, "Sample"), IDOK), &ok);
            PushMouseButton(SDL_MOUSEBUTTONDOWN, (ok.left + ok.right) / 2,
                            (ok.top + ok.bottom) / 2);
            PushMouseButton(SDL_MOUSEBUTTONUP, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
        }
        return PollFrontEnd(mayBlock);
    });
    EXPECT_EQ(RunSampleDialog(owner), IDOK);
    ASSERT_EQ(shown.Width, 400);
    ASSERT_EQ(shown.Height, 300);
    EXPECT_EQ(shown.Pixels, composed.Pixels);
    EXPECT_EQ(shown.At(399, 299), PixelFromColorref(SampleBackdropColor));
}

TEST(WindowFrontEndDeathTest, ClosingTheWindowEndsTheProgramWithCode2) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TestMachine machine(WindowConfig());
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            PollFrontEnd(false);
        },
        ::testing::ExitedWithCode(2), "window was closed");
}

TEST(FrontEndChoice, AutoIsHeadlessWithoutADisplay) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    MachineConfig config;
    config.FrontEnd = "auto";
    {
        TestMachine machine(config);
        EXPECT_EQ(CurrentFrontEnd(), FrontEndKind::Headless);
        EXPECT_FALSE(PollInputSource(false));
    }
    if (display != nullptr) {
        setenv("DISPLAY", saved.c_str(), 1);
    }
}
