#include "platform/machine/controls/text_wrap.h"

#include "platform/machine/controls/control_drawing.h"

namespace {

void WrapParagraph(HDC dc, std::string_view text, size_t begin, size_t end, int width,
                   LongWordRule rule, std::vector<TextLine>& lines) {
    if (begin == end) {
        lines.push_back(TextLine{begin, 0});
        return;
    }
    auto widthOf = [&](size_t from, size_t to) {
        return MeasureTextWidth(dc, text.substr(from, to - from));
    };
    size_t lineStart = begin;
    size_t position = begin;
    bool lineHasWord = false;
    while (position < end) {
        size_t wordEnd = position;
        while (wordEnd < end && text[wordEnd] != ' ') {
            ++wordEnd;
        }
        size_t spaceEnd = wordEnd;
        while (spaceEnd < end && text[spaceEnd] == ' ') {
            ++spaceEnd;
        }
        const bool onlySpaces = wordEnd == position;
        if (onlySpaces || widthOf(lineStart, wordEnd) <= width) {
            lineHasWord = lineHasWord || !onlySpaces;
            position = spaceEnd;
            continue;
        }
        if (lineHasWord) {
            // The word goes to the next line; the spaces before it stay here.
            lines.push_back(TextLine{lineStart, position - lineStart});
            lineStart = position;
            lineHasWord = false;
            continue;
        }
        size_t lineEnd = spaceEnd;
        if (rule == LongWordRule::BreakInside) {
            lineEnd = position;
            while (lineEnd < wordEnd && widthOf(lineStart, lineEnd + 1) <= width) {
                ++lineEnd;
            }
            if (lineEnd == lineStart) {
                lineEnd = lineStart + 1;
            }
        }
        lines.push_back(TextLine{lineStart, lineEnd - lineStart});
        lineStart = lineEnd;
        position = lineEnd;
        lineHasWord = false;
    }
    if (lineStart < end) {
        lines.push_back(TextLine{lineStart, end - lineStart});
    }
}

} // namespace

std::vector<TextLine> WrapText(HDC dc, std::string_view text, int width, LongWordRule rule) {
    std::vector<TextLine> lines;
    size_t paragraphStart = 0;
    for (;;) {
        const size_t breakAt = text.find_first_of("\r\n", paragraphStart);
        const size_t paragraphEnd = breakAt == std::string_view::npos ? text.size() : breakAt;
        WrapParagraph(dc, text, paragraphStart, paragraphEnd, width, rule, lines);
        if (breakAt == std::string_view::npos) {
            break;
        }
        size_t next = breakAt + 1;
        if (text[breakAt] == '\r' && next < text.size() && text[next] == '\n') {
            ++next;
        }
        paragraphStart = next;
    }
    return lines;
}

std::string DisplayedText(std::string_view text) {
    std::string shown(text);
    for (char& character : shown) {
        if (character == '\t') {
            character = ' ';
        }
    }
    return shown;
}
