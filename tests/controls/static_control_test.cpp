// The STATIC control's pixels: wrapped text rows inside its rectangle on the
// dialog face, and the black frame that leaves its inside to the parent.
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/controls/text_wrap.h"
#include "tests/controls/control_test_window.h"

namespace {

using StaticTest = ControlTest;

const char* const DestinationPrompt =
    "Please enter the drive and directory folder where you would like Rembrix to be located. "
    "To accept the default drive and directory simply press ENTER.";

TEST_F(StaticTest, TextWrapsIntoRowsInsideTheRectangle) {
    const RECT bounds{20, 20, 20 + 287, 20 + 54};
    HWND label = Create("STATIC", DestinationPrompt, WS_GROUP | SS_LEFT, -1, bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;

    HDC measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, DialogFont);
    const int lineHeight = MeasureLineHeight(measure);
    const int rows =
        static_cast<int>(WrapText(measure, DestinationPrompt, width, LongWordRule::Clip).size());
    DeleteDC(measure);
    ASSERT_EQ(rows, 3);

    const Surface screen = Screen();
    for (int row = 0; row < rows; ++row) {
        EXPECT_TRUE(
            AnyDarkPixel(screen, label, RECT{0, row * lineHeight, width, (row + 1) * lineHeight}))
            << "row " << row;
    }
    EXPECT_FALSE(AnyDarkPixel(screen, label, RECT{0, rows * lineHeight, width, height}));
    // The text stands on the dialog face; the parent around it is untouched.
    EXPECT_EQ(PixelOf(screen, label, width - 1, height - 1), RGB(192, 192, 192));
    EXPECT_EQ(PixelOf(screen, label, -1, -1), ParentColor);
    EXPECT_EQ(PixelOf(screen, label, width, height), ParentColor);

    SendMessageA(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    EXPECT_FALSE(AnyDarkPixel(Screen(), label, RECT{0, 0, width, height}))
        << "new text is shown at once";
    EXPECT_EQ(SendMessageA(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_F(StaticTest, BlackFrameIsOnePixelAndLeavesItsInsideAlone) {
    const RECT bounds{23, 40, 23 + 246, 40 + 20};
    HWND frame = Create("STATIC", "frame", SS_BLACKFRAME, 101, bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const Surface screen = Screen();
    for (int x = 0; x < width; ++x) {
        EXPECT_EQ(PixelOf(screen, frame, x, 0), RGB(0, 0, 0)) << "top x " << x;
        EXPECT_EQ(PixelOf(screen, frame, x, height - 1), RGB(0, 0, 0)) << "bottom x " << x;
    }
    for (int y = 0; y < height; ++y) {
        EXPECT_EQ(PixelOf(screen, frame, 0, y), RGB(0, 0, 0)) << "left y " << y;
        EXPECT_EQ(PixelOf(screen, frame, width - 1, y), RGB(0, 0, 0)) << "right y " << y;
    }
    // No text, and what the parent painted inside stays.
    for (int y = 1; y < height - 1; ++y) {
        for (int x = 1; x < width - 1; ++x) {
            ASSERT_EQ(PixelOf(screen, frame, x, y), ParentColor) << x << "," << y;
        }
    }
    EXPECT_EQ(PixelOf(screen, frame, -1, 0), ParentColor);
}

} // namespace
