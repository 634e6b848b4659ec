#include "tests/gdi/canvas.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const COLORREF Background = RGB(0, 0, 0);
const COLORREF PenColor = RGB(255, 0, 0);
const COLORREF BrushColor = RGB(0, 0, 255);
const std::map<COLORREF, char> Legend = {{Background, '.'}, {PenColor, 'P'}, {BrushColor, 'B'}};

struct RectangleCase {
    const char* Name;
    int PenStyle;
    int PenWidth;
    bool HollowBrush;
    RECT Shape;
    std::string Expected;
};

class ShapesTest : public ::testing::Test {
  protected:
    TestMachine Machine;
};

TEST_F(ShapesTest, RectangleLeavesOutRightAndBottomEdges) {
    // clang-format off
    const RectangleCase cases[] = {
        {"one-pixel pen and brush", PS_SOLID, 1, false, {1, 1, 5, 4},
         Rows({"......",
               ".PPPP.",
               ".PBBP.",
               ".PPPP.",
               "......"})},
        {"null pen: one pixel smaller, brush only", PS_NULL, 1, false, {1, 1, 5, 4},
         Rows({"......",
               ".BBB..",
               ".BBB..",
               "......",
               "......"})},
        {"null brush: outline only", PS_SOLID, 1, true, {1, 1, 5, 4},
         Rows({"......",
               ".PPPP.",
               ".P..P.",
               ".PPPP.",
               "......"})},
        {"one pixel", PS_SOLID, 1, false, {2, 2, 3, 3},
         Rows({"......",
               "......",
               "..P...",
               "......",
               "......"})},
        {"two wide: no inside", PS_SOLID, 1, false, {1, 1, 3, 4},
         Rows({"......",
               ".PP...",
               ".PP...",
               ".PP...",
               "......"})},
        {"empty width", PS_SOLID, 1, false, {2, 1, 2, 4},
         Rows({"......",
               "......",
               "......",
               "......",
               "......"})},
        {"inverted", PS_SOLID, 1, false, {5, 4, 1, 1},
         Rows({"......",
               "......",
               "......",
               "......",
               "......"})},
        {"partly off the bitmap", PS_SOLID, 1, false, {-2, -2, 3, 3},
         Rows({"BBP...",
               "BBP...",
               "PPP...",
               "......",
               "......"})},
        {"pen width 3, centred on the outline", PS_SOLID, 3, false, {2, 2, 5, 4},
         Rows({"......",
               ".PPPPP",
               ".PPPPP",
               ".PPPPP",
               ".PPPPP"})},
    };
    // clang-format on
    for (const RectangleCase& c : cases) {
        Canvas canvas(6, 5, Background);
        HPEN pen = CreatePen(c.PenStyle, c.PenWidth, PenColor);
        HBRUSH brush = c.HollowBrush ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                     : CreateSolidBrush(BrushColor);
        HGDIOBJ oldPen = SelectObject(canvas.Dc, pen);
        HGDIOBJ oldBrush = SelectObject(canvas.Dc, brush);
        EXPECT_TRUE(Rectangle(canvas.Dc, c.Shape.left, c.Shape.top, c.Shape.right, c.Shape.bottom))
            << c.Name;
        EXPECT_EQ(canvas.Picture(Legend), c.Expected) << c.Name;
        SelectObject(canvas.Dc, oldPen);
        SelectObject(canvas.Dc, oldBrush);
        EXPECT_TRUE(DeleteObject(pen));
        EXPECT_TRUE(DeleteObject(brush));
    }
}

TEST_F(ShapesTest, WidePenBandSurroundsTheBrush) {
    Canvas canvas(9, 9, Background);
    HPEN pen = CreatePen(PS_SOLID, 3, PenColor);
    HBRUSH brush = CreateSolidBrush(BrushColor);
    SelectObject(canvas.Dc, pen);
    SelectObject(canvas.Dc, brush);
    Rectangle(canvas.Dc, 2, 2, 7, 7);
    // clang-format off
    EXPECT_EQ(canvas.Picture(Legend), Rows({".........",
                                            ".PPPPPPP.",
                                            ".PPPPPPP.",
                                            ".PPPPPPP.",
                                            ".PPPBPPP.",
                                            ".PPPPPPP.",
                                            ".PPPPPPP.",
                                            ".PPPPPPP.",
                                            "........."}));
    // clang-format on
}

TEST_F(ShapesTest, MeterStyleDrawingUsesWhatIsSelectedAtEachCall) {
    // Red done part then white rest, each rectangle with its own pen and
    // brush; the two share no pixel column.
    const COLORREF white = RGB(255, 255, 255);
    Canvas canvas(10, 4, Background);
    HPEN redPen = CreatePen(PS_SOLID, 1, PenColor);
    HPEN whitePen = CreatePen(PS_SOLID, 1, white);
    HBRUSH redBrush = CreateSolidBrush(PenColor);
    HBRUSH whiteBrush = CreateSolidBrush(white);
    SelectObject(canvas.Dc, redBrush);
    SelectObject(canvas.Dc, redPen);
    Rectangle(canvas.Dc, 1, 0, 5, 4);
    SelectObject(canvas.Dc, whiteBrush);
    SelectObject(canvas.Dc, whitePen);
    Rectangle(canvas.Dc, 5, 0, 9, 4);
    const std::map<COLORREF, char> legend = {{Background, '.'}, {PenColor, 'R'}, {white, 'W'}};
    EXPECT_EQ(canvas.Picture(legend),
              Rows({".RRRRWWWW.", ".RRRRWWWW.", ".RRRRWWWW.", ".RRRRWWWW."}));
}

TEST_F(ShapesTest, FillRectCoversLeftTopAndExcludesRightBottom) {
    Canvas canvas(5, 4, Background);
    HBRUSH brush = CreateSolidBrush(BrushColor);
    RECT area{1, 1, 4, 3};
    EXPECT_NE(FillRect(canvas.Dc, &area, brush), 0);
    RECT inverted{4, 3, 1, 1};
    EXPECT_NE(FillRect(canvas.Dc, &inverted, brush), 0);
    EXPECT_EQ(canvas.Picture(Legend), Rows({".....", ".BBB.", ".BBB.", "....."}));
    // The pen and the selected brush play no part.
    EXPECT_EQ(FillRect(canvas.Dc, &area, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_PEN))), 0);
    EXPECT_EQ(FillRect(canvas.Dc, nullptr, brush), 0);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(FillRect(canvas.Dc, &area, brush), 0);
}

TEST_F(ShapesTest, LinesLeaveOutTheirEndPoint) {
    Canvas canvas(6, 5, Background);
    HPEN pen = CreatePen(PS_SOLID, 1, PenColor);
    SelectObject(canvas.Dc, pen);
    POINT previous{-1, -1};
    EXPECT_TRUE(MoveToEx(canvas.Dc, 0, 0, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_EQ(previous.y, 0);
    EXPECT_TRUE(LineTo(canvas.Dc, 4, 0)); // along the top row
    EXPECT_TRUE(LineTo(canvas.Dc, 4, 3)); // continues from the end point
    EXPECT_TRUE(LineTo(canvas.Dc, 1, 0)); // diagonal back up
    EXPECT_EQ(canvas.Picture(Legend), Rows({"PPPPP.", "..P.P.", "...PP.", "....P.", "......"}));
    MoveToEx(canvas.Dc, 0, 0, &previous);
    EXPECT_EQ(previous.x, 1);
    EXPECT_EQ(previous.y, 0);
}

TEST_F(ShapesTest, FarAwayLineEndsAreClippedNotWalked) {
    Canvas canvas(6, 3, Background);
    SelectObject(canvas.Dc, CreatePen(PS_SOLID, 1, PenColor));
    MoveToEx(canvas.Dc, -100000000, 1, nullptr);
    EXPECT_TRUE(LineTo(canvas.Dc, 100000000, 1));
    EXPECT_EQ(canvas.Picture(Legend), Rows({"......", "PPPPPP", "......"}));
    // Beyond the coordinate range GDI documents nothing is drawn.
    MoveToEx(canvas.Dc, -2000000000, 0, nullptr);
    EXPECT_FALSE(LineTo(canvas.Dc, 2000000000, 0));
    EXPECT_EQ(canvas.Count(PenColor), 6);
}

TEST_F(ShapesTest, PixelsInsideAndOutsideTheBitmap) {
    Canvas canvas(3, 2, Background);
    EXPECT_EQ(SetPixel(canvas.Dc, 2, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(canvas.Dc, 2, 1), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(canvas.Dc, 0, 0), Background);
    for (POINT outside : {POINT{3, 0}, POINT{0, 2}, POINT{-1, 0}, POINT{0, -1}}) {
        EXPECT_EQ(SetPixel(canvas.Dc, outside.x, outside.y, PenColor), CLR_INVALID);
        EXPECT_EQ(GetPixel(canvas.Dc, outside.x, outside.y), CLR_INVALID);
    }
    EXPECT_EQ(canvas.Count(PenColor), 0);
}

} // namespace
