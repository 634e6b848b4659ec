// The progress meter on the real progress templates, checked on the dialog's
// pixels: its place inside the frame, the bar, the text, the three redraw
// rules and the rounding.
#include "app/install_state.h"
#include "app/run_installer.h"
#include "tests/stages/meter_dialog.h"
#include "tests/support/test_machine.h"

#include <algorithm>

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Green = RGB(0, 255, 0);

class ProgressMeterTest : public ::testing::Test {
  protected:
    ProgressMeterTest() {
        ResetRunState();
        ScreenWidth = 1024;
        ScreenHeight = 768;
    }
    ~ProgressMeterTest() override { ResetRunState(); }

    TestMachine Machine;
};

// The bar on the meter's top row: red up to doneX, white from there to the
// meter's right edge.
void ExpectBar(int doneX) {
    const int y = Meter.MeterTop;
    for (int x = Meter.MeterLeft; x < Meter.MeterRight; ++x) {
        ASSERT_EQ(MeterPixel(x, y), x < doneX ? Red : White) << "x " << x;
    }
}

TEST_F(ProgressMeterTest, TheMeterLiesTwoPixelsInsideItsFrameAndArmsTheFlag) {
    for (const char* templateName : {"IProgress", "Progress"}) {
        SCOPED_TRACE(templateName);
        KeepGoing = 0;
        WithMeterDialog(templateName, [] {
            RECT frame{};
            GetWindowRect(GetDlgItem(MeterDialog, MeterFrameId), &frame);
            POINT topLeft{frame.left, frame.top};
            POINT bottomRight{frame.right, frame.bottom};
            ScreenToClient(MeterDialog, &topLeft);
            ScreenToClient(MeterDialog, &bottomRight);
            EXPECT_EQ(Meter.MeterLeft, topLeft.x + 2);
            EXPECT_EQ(Meter.MeterTop, topLeft.y + 2);
            EXPECT_EQ(Meter.MeterRight, bottomRight.x - 2);
            EXPECT_EQ(Meter.MeterBottom, bottomRight.y - 2);
            EXPECT_EQ(Meter.MeterWidth, Meter.MeterRight - Meter.MeterLeft + 1);
            EXPECT_EQ(Meter.TextX, (Meter.MeterRight - Meter.MeterLeft) / 2 + Meter.MeterLeft - 10);
            EXPECT_EQ(Meter.TextY, (Meter.MeterBottom - Meter.MeterTop) / 2 + Meter.MeterTop - 8);
            EXPECT_EQ(KeepGoing, 1);

            RECT window{};
            GetWindowRect(MeterDialog, &window);
            const int width = window.right - window.left;
            const int height = window.bottom - window.top;
            EXPECT_EQ(window.left, 1024 / 2 - width / 2);
            EXPECT_EQ(window.top, 768 / 2 - height / 2);
            // Until the first drawing the meter area shows the dialog itself.
            EXPECT_EQ(MeterPixel(Meter.MeterLeft, Meter.MeterTop), RGB(192, 192, 192));
        });
    }
}

TEST_F(ProgressMeterTest, EachRuleDrawsOrKeepsThePictureAsItShould) {
    struct Case {
        MeterRule Rule;
        int32_t LastPercent;
        int32_t Done;
        int32_t Total;
        bool Drawn;
        int32_t Percent;
    };
    const Case cases[] = {
        {MeterRule::OnChange, 0, 1, 8, true, 12},       // 12.5 goes to the even 12
        {MeterRule::OnChange, 0, 27, 200, true, 14},    // 13.5 goes to the even 14
        {MeterRule::OnChange, 12, 1, 8, false, 12},     // the same percentage again
        {MeterRule::OnChange, 12, 0, 100, true, 0},     // all white, "0%"
        {MeterRule::OnChange, 0, 100, 100, true, 100},  // all red
        {MeterRule::Always, 12, 1, 8, true, 12},        // drawn even when unchanged
        {MeterRule::Always, 50, 1040, 1000, true, 104}, // past the right edge
        {MeterRule::OnChangeUpTo100, 50, 1040, 1000, false, 104},
        {MeterRule::OnChangeUpTo100, 50, 1000, 1000, true, 100},
        {MeterRule::OnChangeUpTo100, 100, 1000, 1000, false, 100},
        {MeterRule::OnChange, 50, 1040, 1000, true, 104},
    };
    WithMeterDialog("IProgress", [&cases] {
        for (const Case& update : cases) {
            SCOPED_TRACE(std::to_string(update.Done) + "/" + std::to_string(update.Total) +
                         " rule " + std::to_string(static_cast<int>(update.Rule)));
            PaintSentinel();
            Meter.LastPercent = update.LastPercent;

            DrawMeter(update.Done, update.Total, update.Rule);

            EXPECT_EQ(Meter.Percent, update.Percent);
            if (!update.Drawn) {
                EXPECT_EQ(Meter.LastPercent, update.LastPercent);
                EXPECT_EQ(MeterPixel(Meter.MeterLeft, Meter.MeterTop), Green);
                EXPECT_EQ(MeterPixel(Meter.MeterRight - 1, Meter.MeterBottom - 1), Green);
                continue;
            }
            EXPECT_EQ(Meter.LastPercent, update.Percent);
            const int doneX = Meter.MeterLeft +
                              static_cast<int>(RoundHalfEven(
                                  int64_t{update.Done} * Meter.MeterWidth, update.Total));
            ExpectBar(doneX);
            // At 100 % and beyond the red part reaches the column past the
            // white part's last one, and beyond it.
            const int pastMeter = Meter.MeterRight + 2;
            EXPECT_EQ(MeterPixel(Meter.MeterRight, Meter.MeterTop),
                      doneX > Meter.MeterRight ? Red : Green);
            EXPECT_EQ(MeterPixel(pastMeter, Meter.MeterTop), doneX > pastMeter ? Red : Green);
            EXPECT_TRUE(MeterShowsText(std::to_string(update.Percent) + "%"));
        }
    });
}

TEST_F(ProgressMeterTest, TheTextStaysInItsPlaceAndTellsPercentagesApart) {
    WithMeterDialog("Progress", [] {
        DrawMeter(3, 4, MeterRule::Always);
        EXPECT_TRUE(MeterShowsText("75%"));
        EXPECT_FALSE(MeterShowsText("76%"));
        EXPECT_FALSE(MeterShowsText("15%"));
        DrawMeter(1, 4, MeterRule::Always);
        EXPECT_TRUE(MeterShowsText("25%"));
    });
}

TEST_F(ProgressMeterTest, ClosingTheMeterDeletesItsObjects) {
    WithMeterDialog("Progress", [] { DrawMeter(1, 2, MeterRule::Always); });

    // Each was put out of the device context first and deleted: deleting
    // it again fails.
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(Meter.RedPen), static_cast<HGDIOBJ>(Meter.WhitePen),
                           static_cast<HGDIOBJ>(Meter.RedBrush),
                           static_cast<HGDIOBJ>(Meter.WhiteBrush),
                           static_cast<HGDIOBJ>(Meter.MeterFont)}) {
        EXPECT_NE(object, nullptr);
        EXPECT_FALSE(DeleteObject(object));
    }
}

} // namespace
