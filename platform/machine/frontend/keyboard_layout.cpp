#include "platform/machine/frontend/keyboard_layout.h"

#include "platform/api/user32.h"

namespace {

struct PunctuationKey {
    int VirtualKey;
    char Plain;
    char Shifted;
};

constexpr PunctuationKey PunctuationKeys[] = {
    {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
};

// The characters above the digit keys 0 to 9.
constexpr char ShiftedDigits[] = ")!@#$%^&*(";

} // namespace

KeyStroke KeyForCharacter(char character) {
    if (character >= 'a' && character <= 'z') {
        return {character - 'a' + 'A', false};
    }
    if (character >= 'A' && character <= 'Z') {
        return {character, true};
    }
    if (character >= '0' && character <= '9') {
        return {character, false};
    }
    for (int digit = 0; digit < 10; ++digit) {
        if (ShiftedDigits[digit] == character) {
            return {'0' + digit, true};
        }
    }
    for (const PunctuationKey& key : PunctuationKeys) {
        if (key.Plain == character) {
            return {key.VirtualKey, false};
        }
        if (key.Shifted == character) {
            return {key.VirtualKey, true};
        }
    }
    switch (character) {
    case ' ':
        return {VK_SPACE, false};
    case '\t':
        return {VK_TAB, false};
    case '\r':
    case '\n':
        return {VK_RETURN, false};
    case '\b':
        return {VK_BACK, false};
    case '\x1B':
        return {VK_ESCAPE, false};
    default:
        return {VK_PACKET, false};
    }
}

char CharacterForKey(int virtualKey, bool shift, bool capsLock) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        const bool upper = shift != capsLock;
        return static_cast<char>(upper ? virtualKey : virtualKey - 'A' + 'a');
    }
    if (virtualKey >= '0' && virtualKey <= '9') {
        return shift ? ShiftedDigits[virtualKey - '0'] : static_cast<char>(virtualKey);
    }
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9) {
        return static_cast<char>('0' + virtualKey - VK_NUMPAD0);
    }
    for (const PunctuationKey& key : PunctuationKeys) {
        if (key.VirtualKey == virtualKey) {
            return shift ? key.Shifted : key.Plain;
        }
    }
    switch (virtualKey) {
    case VK_SPACE:
        return ' ';
    case VK_TAB:
        return '\t';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return '\b';
    case VK_ESCAPE:
        return '\x1B';
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        return 0;
    }
}
