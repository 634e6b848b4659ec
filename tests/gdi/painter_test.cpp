#include "platform/machine/gdi/bitmap_import.h"
#include "platform/machine/gdi/painter.h"
#include "tests/gdi/canvas.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

namespace {

class PainterTest : public ::testing::Test {
  protected:
    TestMachine Machine;
};

// The machine's own painting gives the same pixels as the drawing API.
TEST_F(PainterTest, PaintsWhatTheApiWouldAtTheTargetsOrigin) {
    const COLORREF background = RGB(200, 200, 200);
    Canvas byApi(90, 30, background);
    Canvas byPainter(90, 30, background);
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");

    SelectObject(byApi.Dc, font);
    SetBkMode(byApi.Dc, TRANSPARENT);
    SetTextColor(byApi.Dc, RGB(0, 0, 128));
    TextOutA(byApi.Dc, 13, 9, "Setup", 5);
    SelectObject(byApi.Dc, GetStockObject(NULL_BRUSH));
    Rectangle(byApi.Dc, 2, 3, 80, 28);
    RECT fill{60, 5, 70, 9};
    FillRect(byApi.Dc, &fill, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));

    // The painter's target is the bitmap, with an origin of (3, 2): the
    // same drawing given 3 and 2 less lands on the same pixels.
    ClientDrawTarget target;
    ASSERT_TRUE(LocateDeviceContextTarget(byPainter.Dc, target));
    target.OriginX = 3;
    target.OriginY = 2;
    EXPECT_TRUE(PaintText(target, font, 10, 7, "Setup", RGB(0, 0, 128)));
    PaintFrame(target, RECT{-1, 1, 77, 26}, RGB(0, 0, 0));
    PaintFill(target, RECT{57, 3, 67, 7}, RGB(128, 128, 128));

    EXPECT_EQ(BitmapPixels(byPainter.Bitmap)->Pixels, BitmapPixels(byApi.Bitmap)->Pixels);

    SIZE measured{};
    SIZE extent{};
    EXPECT_TRUE(MeasureText(font, "Setup", measured));
    GetTextExtentPoint32A(byApi.Dc, "Setup", 5, &extent);
    EXPECT_EQ(measured.cx, extent.cx);
    EXPECT_EQ(measured.cy, extent.cy);
    TEXTMETRICA viaPainter{};
    TEXTMETRICA viaApi{};
    EXPECT_TRUE(ReadFontMetrics(font, viaPainter));
    GetTextMetricsA(byApi.Dc, &viaApi);
    EXPECT_EQ(viaPainter.tmHeight, viaApi.tmHeight);
    EXPECT_EQ(viaPainter.tmAscent, viaApi.tmAscent);
    EXPECT_EQ(viaPainter.tmWeight, FW_BOLD);

    SelectObject(byApi.Dc, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(DeleteObject(font));
    // A dead font handle paints and measures nothing.
    EXPECT_FALSE(PaintText(target, font, 0, 0, "x", RGB(0, 0, 0)));
    EXPECT_FALSE(MeasureText(font, "x", measured));
    EXPECT_FALSE(ReadFontMetrics(font, viaPainter));
    EXPECT_FALSE(LocateDeviceContextTarget(reinterpret_cast<HDC>(0x99), target));
}

} // namespace
