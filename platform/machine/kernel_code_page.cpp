#include "platform/machine/kernel_code_page.h"

namespace {

// Code points of 0x80-0x9F; the undefined bytes keep their own value.
constexpr char32_t HighControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at `position`; false for an invalid one, in
// which case `position` moves past one byte.
bool DecodeUtf8(const std::string& text, std::size_t& position, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[position]);
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++position;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++position;
        return false;
    }
    if (position + static_cast<std::size_t>(length) > text.size()) {
        ++position;
        return false;
    }
    for (int index = 1; index < length; ++index) {
        const auto next =
            static_cast<unsigned char>(text[position + static_cast<std::size_t>(index)]);
        if ((next & 0xC0) != 0x80) {
            ++position;
            return false;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++position;
        return false;
    }
    position += static_cast<std::size_t>(length);
    codePoint = value;
    return true;
}

unsigned char FoldAnsiByte(unsigned char byte) {
    if (byte >= 'a' && byte <= 'z') {
        return static_cast<unsigned char>(byte - 'a' + 'A');
    }
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) {
        return static_cast<unsigned char>(byte - 0x20);
    }
    switch (byte) {
    case 0x9A:
        return 0x8A; // š
    case 0x9C:
        return 0x8C; // œ
    case 0x9E:
        return 0x8E; // ž
    case 0xFF:
        return 0x9F; // ÿ
    default:
        return byte;
    }
}

} // namespace

char32_t CodePointFromAnsi(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return HighControlRange[byte - 0x80];
    }
    return byte;
}

bool AnsiFromCodePoint(char32_t codePoint, unsigned char& byte) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        byte = static_cast<unsigned char>(codePoint);
        return true;
    }
    for (unsigned index = 0; index < 32; ++index) {
        if (HighControlRange[index] == codePoint) {
            byte = static_cast<unsigned char>(0x80 + index);
            return true;
        }
    }
    return false;
}

std::string Utf8FromAnsi(const std::string& ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (const char c : ansi) {
        AppendUtf8(out, CodePointFromAnsi(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string AnsiFromUtf8(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t position = 0;
    while (position < utf8.size()) {
        char32_t codePoint = 0;
        unsigned char byte = '?';
        if (!DecodeUtf8(utf8, position, codePoint) || !AnsiFromCodePoint(codePoint, byte)) {
            byte = '?';
        }
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

bool IsAnsiRepresentable(const std::string& utf8) {
    std::size_t position = 0;
    while (position < utf8.size()) {
        char32_t codePoint = 0;
        unsigned char byte = 0;
        if (!DecodeUtf8(utf8, position, codePoint) || !AnsiFromCodePoint(codePoint, byte)) {
            return false;
        }
    }
    return true;
}

std::u32string CodePointsFromUtf8(const std::string& utf8) {
    std::u32string out;
    std::size_t position = 0;
    while (position < utf8.size()) {
        char32_t codePoint = 0;
        out.push_back(DecodeUtf8(utf8, position, codePoint) ? codePoint : char32_t{0xFFFD});
    }
    return out;
}

std::string Utf8FromCodePoints(const std::u32string& codePoints) {
    std::string out;
    for (const char32_t codePoint : codePoints) {
        AppendUtf8(out, codePoint);
    }
    return out;
}

std::string FoldAnsiCase(const std::string& ansi) {
    std::string out = ansi;
    for (char& c : out) {
        c = static_cast<char>(FoldAnsiByte(static_cast<unsigned char>(c)));
    }
    return out;
}

bool EqualIgnoringAnsiCase(const std::string& left, const std::string& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t index = 0; index < left.size(); ++index) {
        if (FoldAnsiByte(static_cast<unsigned char>(left[index])) !=
            FoldAnsiByte(static_cast<unsigned char>(right[index]))) {
            return false;
        }
    }
    return true;
}
