// The keyboard the machine's user types on: a US layout. Maps the characters
// a person types to the keys that produce them and back, for the scripted
// user and the window front end alike.
#pragma once

// Virtual-key codes beyond those the program itself uses, as documented for
// Windows' virtual-key codes.
#ifndef VK_PRIOR
#define VK_PRIOR 0x21
#endif
#ifndef VK_NEXT
#define VK_NEXT 0x22
#endif
#ifndef VK_INSERT
#define VK_INSERT 0x2D
#endif
#ifndef VK_CONTROL
#define VK_CONTROL 0x11
#endif
#ifndef VK_MENU
#define VK_MENU 0x12
#endif
#ifndef VK_NUMPAD0
#define VK_NUMPAD0 0x60
#endif
#ifndef VK_MULTIPLY
#define VK_MULTIPLY 0x6A
#endif
#ifndef VK_ADD
#define VK_ADD 0x6B
#endif
#ifndef VK_SUBTRACT
#define VK_SUBTRACT 0x6D
#endif
#ifndef VK_DECIMAL
#define VK_DECIMAL 0x6E
#endif
#ifndef VK_DIVIDE
#define VK_DIVIDE 0x6F
#endif
#ifndef VK_F1
#define VK_F1 0x70
#endif
#ifndef VK_OEM_1
#define VK_OEM_1 0xBA
#endif
#ifndef VK_OEM_PLUS
#define VK_OEM_PLUS 0xBB
#endif
#ifndef VK_OEM_COMMA
#define VK_OEM_COMMA 0xBC
#endif
#ifndef VK_OEM_MINUS
#define VK_OEM_MINUS 0xBD
#endif
#ifndef VK_OEM_PERIOD
#define VK_OEM_PERIOD 0xBE
#endif
#ifndef VK_OEM_2
#define VK_OEM_2 0xBF
#endif
#ifndef VK_OEM_3
#define VK_OEM_3 0xC0
#endif
#ifndef VK_OEM_4
#define VK_OEM_4 0xDB
#endif
#ifndef VK_OEM_5
#define VK_OEM_5 0xDC
#endif
#ifndef VK_OEM_6
#define VK_OEM_6 0xDD
#endif
#ifndef VK_OEM_7
#define VK_OEM_7 0xDE
#endif
// Windows' code for a character that no key of the layout types.
#ifndef VK_PACKET
#define VK_PACKET 0xE7
#endif

// A key and whether Shift is held for it.
struct KeyStroke {
    int VirtualKey = 0;
    bool Shift = false;
};

// The key that types `character` (Windows-1252). Tab, carriage return, line
// feed and backspace give their keys; a character no key types (beyond
// ASCII) gives VK_PACKET, which carries the character as it is.
KeyStroke KeyForCharacter(char character);

// The character a key types with or without Shift, as Windows' TranslateMessage
// makes it: letters, digits and punctuation, space, and the control characters
// of Enter ('\r'), Tab ('\t'), Backspace ('\b') and Esc (0x1B); 0 for a key
// that types nothing (arrows, Shift itself). `capsLock` turns letters over.
char CharacterForKey(int virtualKey, bool shift, bool capsLock = false);
