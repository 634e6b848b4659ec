#include "platform/machine/gdi/font_faces.h"
#include "tests/gdi/canvas.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const COLORREF White = RGB(255, 255, 255);
const COLORREF Red = RGB(255, 0, 0);
const COLORREF Green = RGB(0, 255, 0);

class TextTest : public ::testing::Test {
  protected:
    TestMachine Machine;
};

HFONT MakeFont(int height, const char* face, int weight = 0, bool italic = false) {
    return CreateFontA(height, 0, 0, 0, weight, italic ? 1 : 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                       face);
}

SIZE Extent(HDC dc, const std::string& text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size));
    return size;
}

TEXTMETRICA Metrics(HDC dc) {
    TEXTMETRICA metrics{};
    EXPECT_TRUE(GetTextMetricsA(dc, &metrics));
    return metrics;
}

TEST_F(TextTest, TransparentTextLandsInItsCellInTheTextColour) {
    Canvas canvas(140, 50, White);
    HFONT font = MakeFont(16, "Arial");
    SelectObject(canvas.Dc, font);
    SetBkMode(canvas.Dc, TRANSPARENT);
    SetTextColor(canvas.Dc, Red);
    const std::string text = "Hello 42%";
    ASSERT_TRUE(TextOutA(canvas.Dc, 20, 10, text.c_str(), static_cast<int>(text.size())));

    const SIZE extent = Extent(canvas.Dc, text);
    const TEXTMETRICA metrics = Metrics(canvas.Dc);
    EXPECT_EQ(extent.cy, metrics.tmHeight);
    const RECT ink = canvas.Changed(White);
    // The ink lies within the cell, starting near its left edge, spanning
    // about the measured width, with capitals reaching up near the top.
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.left, 22);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.top, 10 + metrics.tmInternalLeading + 1);
    EXPECT_LE(ink.right, 20 + extent.cx + 1);
    EXPECT_GE(ink.right, 20 + extent.cx - 3);
    EXPECT_LE(ink.bottom, 10 + metrics.tmHeight);
    // Only the text colour and its blends with white: no background fill.
    EXPECT_GT(canvas.Count(Red), 20);
    EXPECT_EQ(GetPixel(canvas.Dc, 20, 10), White);
    for (int y = ink.top; y < ink.bottom; ++y) {
        for (int x = ink.left; x < ink.right; ++x) {
            const COLORREF pixel = GetPixel(canvas.Dc, x, y);
            EXPECT_EQ(GetRValue(pixel), 255) << x << "," << y;
            EXPECT_EQ(GetGValue(pixel), GetBValue(pixel)) << x << "," << y;
        }
    }
    SelectObject(canvas.Dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(TextTest, OpaqueTextFillsExactlyItsCellWithTheBackgroundColour) {
    Canvas canvas(100, 40, White);
    HFONT font = MakeFont(-13, "MS Sans Serif");
    SelectObject(canvas.Dc, font);
    SetBkMode(canvas.Dc, OPAQUE);
    SetBkColor(canvas.Dc, Green);
    SetTextColor(canvas.Dc, Red);
    ASSERT_TRUE(TextOutA(canvas.Dc, 5, 7, "Cancel", 6));
    const SIZE extent = Extent(canvas.Dc, "Cancel");
    EXPECT_EQ(canvas.Changed(White).left, 5);
    EXPECT_EQ(canvas.Changed(White).top, 7);
    EXPECT_EQ(canvas.Changed(White).right, 5 + extent.cx);
    EXPECT_EQ(canvas.Changed(White).bottom, 7 + extent.cy);
    // The cell's corners are background; the glyphs are in the text colour.
    EXPECT_EQ(GetPixel(canvas.Dc, 5, 7), Green);
    EXPECT_EQ(GetPixel(canvas.Dc, 5 + extent.cx - 1, 7 + extent.cy - 1), Green);
    EXPECT_GT(canvas.Count(Red), 10);
    EXPECT_EQ(canvas.Count(White), 100 * 40 - extent.cx * extent.cy);
}

TEST_F(TextTest, ExtentsAddUpAndMatchTheDrawnWidth) {
    Canvas canvas(400, 30, White);
    HFONT font = MakeFont(-16, "Arial");
    SelectObject(canvas.Dc, font);
    SetBkMode(canvas.Dc, TRANSPARENT);
    // No kerning: the width of a text is the sum of its characters' widths.
    EXPECT_EQ(Extent(canvas.Dc, "AVATAR").cx,
              Extent(canvas.Dc, "AV").cx + Extent(canvas.Dc, "ATAR").cx);
    EXPECT_GT(Extent(canvas.Dc, "WWWW").cx, Extent(canvas.Dc, "iiii").cx);
    EXPECT_EQ(Extent(canvas.Dc, "").cx, 0);
    for (const std::string text : {"H", "HHHH", "Installation", "MMMMMMMMMMMMMMMMMMMM"}) {
        Canvas line(400, 30, White);
        SelectObject(line.Dc, font);
        SetBkMode(line.Dc, TRANSPARENT);
        TextOutA(line.Dc, 10, 5, text.c_str(), static_cast<int>(text.size()));
        const RECT ink = line.Changed(White);
        const int drawn = ink.right - 10;
        EXPECT_NEAR(drawn, Extent(canvas.Dc, text).cx, 3) << text;
        SelectObject(line.Dc, GetStockObject(SYSTEM_FONT));
    }
    SelectObject(canvas.Dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(TextTest, HeightIsReadAsWindowsReadsIt) {
    struct Case {
        int Height;
        int CellHeight;      // expected tmHeight, or 0 to skip
        int CharacterHeight; // expected tmHeight - tmInternalLeading, or 0
    };
    const Case cases[] = {{16, 16, 0},  {44, 44, 0},  {12, 12, 0},
                          {-16, 0, 16}, {-11, 0, 11}, {0, 13, 0}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Case& c : cases) {
        HFONT font = MakeFont(c.Height, "Arial");
        SelectObject(dc, font);
        const TEXTMETRICA metrics = Metrics(dc);
        EXPECT_EQ(metrics.tmHeight, metrics.tmAscent + metrics.tmDescent) << c.Height;
        if (c.CellHeight) {
            EXPECT_EQ(metrics.tmHeight, c.CellHeight) << c.Height;
        }
        if (c.CharacterHeight) {
            EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, c.CharacterHeight) << c.Height;
        }
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    DeleteDC(dc);
}

TEST_F(TextTest, WeightAndItalicChangeTheRendering) {
    HDC dc = CreateCompatibleDC(nullptr);
    auto measure = [&](int weight, bool italic) {
        HFONT font = MakeFont(44, "Times New Roman", weight, italic);
        SelectObject(dc, font);
        const TEXTMETRICA metrics = Metrics(dc);
        EXPECT_EQ(metrics.tmWeight, weight == 0 ? 400 : weight);
        EXPECT_EQ(metrics.tmItalic != 0, italic);
        const SIZE size = Extent(dc, "Rembrix Installation");
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
        return size.cx;
    };
    EXPECT_GT(measure(900, false), measure(400, false));
    EXPECT_NE(measure(900, true), measure(900, false));
    DeleteDC(dc);
}

TEST_F(TextTest, WindowsFaceNamesResolveToFixedSubstitutes) {
    struct Case {
        const char* Face;
        const char* Family;
    };
    const Case cases[] = {{"Times New Roman", "Liberation Serif"},
                          {"Arial", "Liberation Sans"},
                          {"MS Sans Serif", "Liberation Sans"},
                          {"ms sans serif", "Liberation Sans"},
                          {"Small", "Liberation Sans"},
                          {"Courier New", "Liberation Mono"},
                          {"", "Liberation Sans"},
                          {"No Such Face Anywhere", "Liberation Sans"}};
    for (const Case& c : cases) {
        FontRequest request;
        request.Height = 16;
        request.FaceName = c.Face;
        const auto font = OpenFontInstance(request);
        ASSERT_NE(font, nullptr) << c.Face;
        EXPECT_EQ(FontFamilyOf(*font), c.Family) << c.Face;
    }
    FontRequest heavyItalic;
    heavyItalic.Height = 44;
    heavyItalic.Weight = 900;
    heavyItalic.Italic = true;
    heavyItalic.FaceName = "Times New Roman";
    const auto font = OpenFontInstance(heavyItalic);
    ASSERT_NE(font, nullptr);
    EXPECT_NE(FontFileOf(*font).find("LiberationSerif-BoldItalic"), std::string::npos);
}

TEST_F(TextTest, TextIsWindows1252) {
    EXPECT_EQ(CodePointFromWindows1252('A'), 0x41u);
    EXPECT_EQ(CodePointFromWindows1252(0x80), 0x20ACu); // euro sign
    EXPECT_EQ(CodePointFromWindows1252(0x96), 0x2013u); // en dash
    EXPECT_EQ(CodePointFromWindows1252(0xE9), 0xE9u);   // e acute
    EXPECT_EQ(CodePointFromWindows1252(0x81), 0x81u);   // unassigned
    Canvas euro(30, 30, White);
    Canvas letterE(30, 30, White);
    HFONT font = MakeFont(-20, "Arial");
    for (Canvas* canvas : {&euro, &letterE}) {
        SelectObject(canvas->Dc, font);
        SetTextColor(canvas->Dc, Red);
    }
    TextOutA(euro.Dc, 2, 2, "\x80", 1);
    TextOutA(letterE.Dc, 2, 2, "C", 1);
    EXPECT_GT(euro.Count(Red), 5);
    EXPECT_NE(euro.Picture({{White, '.'}, {Red, '#'}}),
              letterE.Picture({{White, '.'}, {Red, '#'}}));
    for (Canvas* canvas : {&euro, &letterE}) {
        SelectObject(canvas->Dc, GetStockObject(SYSTEM_FONT));
    }
    DeleteObject(font);
}

TEST_F(TextTest, TextIsClippedToTheBitmapAndBadArgumentsFail) {
    Canvas canvas(12, 8, White);
    SetTextColor(canvas.Dc, Red);
    // Mostly off the bitmap in every direction: draws what shows, no more.
    EXPECT_TRUE(TextOutA(canvas.Dc, -30, -5, "WWWWWWWW", 8));
    EXPECT_TRUE(TextOutA(canvas.Dc, 8, 6, "WWWWWWWW", 8));
    EXPECT_TRUE(TextOutA(canvas.Dc, 2000000000, 2000000000, "W", 1));
    EXPECT_TRUE(TextOutA(canvas.Dc, 0, 0, "", 0));
    EXPECT_FALSE(TextOutA(canvas.Dc, 0, 0, "W", -1));
    EXPECT_FALSE(TextOutA(canvas.Dc, 0, 0, nullptr, 3));
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32A(canvas.Dc, "W", 1, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(canvas.Dc, "W", -2, &size));
    EXPECT_FALSE(GetTextMetricsA(canvas.Dc, nullptr));
    // The default font of a new context is the System font, and it draws.
    EXPECT_EQ(Metrics(canvas.Dc).tmHeight, 16);
    EXPECT_GT(canvas.Count(Red), 0);
}

} // namespace
