// The pure parts of the controls: line breaking, scroll bar geometry and
// upper-casing, checked against measured text and exact rectangles.
#include "platform/machine/controls/character_case.h"
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/controls/scroll_bar.h"
#include "platform/machine/controls/text_wrap.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TextWrapTest : public ::testing::Test {
  protected:
    TextWrapTest() {
        Dc = CreateCompatibleDC(nullptr);
        Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
        SelectObject(Dc, Font);
    }
    ~TextWrapTest() override { DeleteDC(Dc); }

    std::vector<std::string> Wrap(const std::string& text, int width, LongWordRule rule) {
        std::vector<std::string> shown;
        for (const TextLine& line : WrapText(Dc, text, width, rule)) {
            shown.push_back(text.substr(line.Start, line.Length));
        }
        return shown;
    }

    int Width(const std::string& text) { return MeasureTextWidth(Dc, text); }

    TestMachine Machine;
    HDC Dc = nullptr;
    HFONT Font = nullptr;
};

using Lines = std::vector<std::string>;

TEST_F(TextWrapTest, BreaksAtSpacesAndLineBreaks) {
    ASSERT_GT(Width("one two"), 0);
    struct Case {
        std::string Text;
        int Width;
        Lines Expected;
    };
    const Case cases[] = {
        {"one two three", Width("one two"), {"one two ", "three"}},
        {"one two three", Width("one two") - 1, {"one ", "two ", "three"}},
        {"one two three", 1000, {"one two three"}},
        {"a\r\nb", 1000, {"a", "b"}},
        {"a\nb\rc", 1000, {"a", "b", "c"}},
        {"a\r\n\r\nb", 1000, {"a", "", "b"}},
        {"a\r\n", 1000, {"a", ""}},
        {"", 1000, {""}},
        {"   indented", 1000, {"   indented"}},
        {"x  y", Width("x"), {"x  ", "y"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Wrap(c.Text, c.Width, LongWordRule::BreakInside), c.Expected)
            << "text \"" << c.Text << "\" width " << c.Width;
    }
}

TEST_F(TextWrapTest, LongWordsBreakInsideOrKeepTheirLine) {
    // One letter throughout, so every piece of four fits exactly.
    const std::string word = "nnnnnnnnnn";
    EXPECT_EQ(Wrap(word, Width("nnnn"), LongWordRule::BreakInside), (Lines{"nnnn", "nnnn", "nn"}));
    EXPECT_EQ(Wrap("x " + word + " y", Width("nnnn"), LongWordRule::Clip),
              (Lines{"x ", word + " ", "y"}));
    // However narrow the width, every line takes at least one character.
    EXPECT_EQ(Wrap("abc", 0, LongWordRule::BreakInside), (Lines{"a", "b", "c"}));
}

TEST_F(TextWrapTest, EveryWrappedLineFitsItsWidth) {
    const std::string text =
        "You must agree to the terms of the above License Agreement to install and use "
        "Rembrix. If you do not agree, click on the Exit button.";
    for (int width : {60, 120, 200, 369}) {
        const Lines lines = Wrap(text, width, LongWordRule::BreakInside);
        std::string joined;
        for (const std::string& line : lines) {
            const std::string visible = line.substr(0, line.find_last_not_of(' ') + 1);
            EXPECT_LE(Width(visible), width) << "line \"" << line << "\"";
            joined += line;
        }
        EXPECT_EQ(joined, text) << "width " << width;
    }
}

TEST(ScrollBarGeometry, ArrowsTrackAndProportionalThumb) {
    const RECT bar{0, 0, 16, 100};
    const ScrollBarLayout top = LayOutScrollBar(bar, 0, 10, 5);
    EXPECT_EQ(top.UpArrow.bottom, 16);
    EXPECT_EQ(top.DownArrow.top, 84);
    ASSERT_TRUE(top.HasThumb);
    // 68 pixels of track; 5 of 15 positions visible.
    EXPECT_EQ(top.Thumb.top, 16);
    EXPECT_EQ(top.Thumb.bottom, 16 + 22);
    const ScrollBarLayout bottom = LayOutScrollBar(bar, 10, 10, 5);
    EXPECT_EQ(bottom.Thumb.bottom, 84);

    struct Hit {
        const ScrollBarLayout* Layout;
        int Y;
        ScrollBarPart Expected;
    };
    const Hit hits[] = {
        {&top, 5, ScrollBarPart::UpArrow},    {&top, 95, ScrollBarPart::DownArrow},
        {&top, 20, ScrollBarPart::Thumb},     {&top, 50, ScrollBarPart::PageDown},
        {&bottom, 20, ScrollBarPart::PageUp}, {&bottom, 70, ScrollBarPart::Thumb},
    };
    for (const Hit& hit : hits) {
        EXPECT_EQ(HitTestScrollBar(*hit.Layout, 8, hit.Y), hit.Expected) << "y " << hit.Y;
    }
    EXPECT_EQ(HitTestScrollBar(top, 20, 50), ScrollBarPart::None);

    // 46 pixels of travel for 10 positions.
    EXPECT_EQ(PositionForThumbTop(top, 16), 0);
    EXPECT_EQ(PositionForThumbTop(top, 16 + 23), 5);
    EXPECT_EQ(PositionForThumbTop(top, 200), 10);
    EXPECT_EQ(PositionForThumbTop(top, -50), 0);
}

TEST(ScrollBarGeometry, NothingToScrollOrTooShort) {
    const ScrollBarLayout still = LayOutScrollBar(RECT{0, 0, 16, 100}, 0, 0, 5);
    EXPECT_FALSE(still.HasThumb);
    EXPECT_EQ(HitTestScrollBar(still, 8, 50), ScrollBarPart::None);
    EXPECT_EQ(HitTestScrollBar(still, 8, 5), ScrollBarPart::UpArrow);

    const ScrollBarLayout shortBar = LayOutScrollBar(RECT{0, 0, 16, 20}, 0, 10, 1);
    EXPECT_EQ(shortBar.UpArrow.bottom, 10);
    EXPECT_EQ(shortBar.DownArrow.top, 10);
    EXPECT_FALSE(shortBar.HasThumb);
}

TEST(CharacterCase, UpperCasesWindows1252Letters) {
    struct Case {
        unsigned char In;
        unsigned char Out;
    };
    const Case cases[] = {
        {'a', 'A'},   {'z', 'Z'}, {'A', 'A'},   {'1', '1'},
        {'\\', '\\'}, {':', ':'}, {0xE9, 0xC9}, // é
        {0xE0, 0xC0},                           // à
        {0xFE, 0xDE},                           // þ
        {0xF7, 0xF7},                           // ÷ is no letter
        {0xDF, 0xDF},                           // ß has no single upper-case form here
        {0xB5, 0xB5},                           // µ neither
        {0x9A, 0x8A},                           // š
        {0x9C, 0x8C},                           // œ
        {0x9E, 0x8E},                           // ž
        {0xFF, 0x9F},                           // ÿ
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<unsigned char>(UpperCaseWindows1252(static_cast<char>(c.In))), c.Out)
            << "code " << int(c.In);
    }
}

} // namespace
