// Breaking a text into lines that fit a width, as static text and multi-line
// edit boxes show it.
#pragma once

#include "platform/win32.h"

#include <string>
#include <string_view>
#include <vector>

// One line of a wrapped text: `Length` characters from `Start`, without the
// line break that may follow. Spaces at which the line was broken stay on the
// line (they hang past the width without counting).
struct TextLine {
    size_t Start = 0;
    size_t Length = 0;
};

enum class LongWordRule {
    BreakInside, // a word wider than the width is split between characters
    Clip,        // a word wider than the width keeps its line and is cut off
};

// The lines of `text` in the font selected into `dc`, no wider than `width`
// pixels where words allow. "\r\n", a lone "\r" and a lone "\n" end a line;
// lines break after spaces. An empty text gives one empty line, and a text
// that ends with a line break ends with an empty line. Every line holds at
// least one character of its paragraph, however narrow the width.
std::vector<TextLine> WrapText(HDC dc, std::string_view text, int width, LongWordRule rule);

// The text as it is measured and drawn: tab characters show as spaces (same
// length, so positions stay valid).
std::string DisplayedText(std::string_view text);
