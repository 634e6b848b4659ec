#include "platform/machine/controls/character_case.h"

char UpperCaseWindows1252(char character) {
    const unsigned char code = static_cast<unsigned char>(character);
    if ((code >= 'a' && code <= 'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7)) {
        return static_cast<char>(code - 0x20);
    }
    switch (code) {
    case 0x9A: // š
        return static_cast<char>(0x8A);
    case 0x9C: // œ
        return static_cast<char>(0x8C);
    case 0x9E: // ž
        return static_cast<char>(0x8E);
    case 0xFF: // ÿ
        return static_cast<char>(0x9F);
    default:
        return character;
    }
}
