#include "platform/machine/frontend/keyboard_layout.h"
#include "platform/machine/frontend/sdl_input.h"

#include "platform/api/user32.h"

#include <gtest/gtest.h>

TEST(KeyboardLayout, EveryPrintableCharacterComesBackFromItsKey) {
    for (int code = 0x20; code < 0x7F; ++code) {
        const char character = static_cast<char>(code);
        const KeyStroke key = KeyForCharacter(character);
        EXPECT_NE(key.VirtualKey, VK_PACKET) << character;
        EXPECT_EQ(CharacterForKey(key.VirtualKey, key.Shift), character) << character;
    }
}

TEST(KeyboardLayout, KeysOfThePathCharactersAndControls) {
    struct Case {
        char character;
        int virtualKey;
        bool shift;
    };
    const Case cases[] = {
        {'\\', VK_OEM_5, false}, {':', VK_OEM_1, true},      {'a', 'A', false},
        {'R', 'R', true},        {'7', '7', false},          {'(', '9', true},
        {' ', VK_SPACE, false},  {'\t', VK_TAB, false},      {'\n', VK_RETURN, false},
        {'\b', VK_BACK, false},  {'\xE9', VK_PACKET, false},
    };
    for (const Case& c : cases) {
        const KeyStroke key = KeyForCharacter(c.character);
        EXPECT_EQ(key.VirtualKey, c.virtualKey) << int(c.character);
        EXPECT_EQ(key.Shift, c.shift) << int(c.character);
    }
    EXPECT_EQ(CharacterForKey(VK_RETURN, false), '\r');
    EXPECT_EQ(CharacterForKey(VK_ESCAPE, false), '\x1B');
    EXPECT_EQ(CharacterForKey(VK_LEFT, false), 0);
    EXPECT_EQ(CharacterForKey('Q', false, true), 'Q');
    EXPECT_EQ(CharacterForKey('Q', true, true), 'q');
}

namespace {

SDL_Event KeyEvent(Uint32 type, SDL_Keycode key, Uint16 modifiers) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    return event;
}

} // namespace

TEST(SdlInput, KeysCarryTheirCharacterWithShiftApplied) {
    struct Case {
        SDL_Keycode key;
        Uint16 modifiers;
        int virtualKey;
        char character;
        bool shift;
    };
    const Case cases[] = {
        {SDLK_a, KMOD_NONE, 'A', 'a', false},
        {SDLK_a, KMOD_LSHIFT, 'A', 'A', true},
        {SDLK_a, KMOD_CAPS, 'A', 'A', false},
        {SDLK_a, KMOD_LCTRL, 'A', 0, false},
        {SDLK_1, KMOD_RSHIFT, '1', '!', true},
        {SDLK_BACKSLASH, KMOD_NONE, VK_OEM_5, '\\', false},
        {SDLK_SEMICOLON, KMOD_LSHIFT, VK_OEM_1, ':', true},
        {SDLK_RETURN, KMOD_NONE, VK_RETURN, '\r', false},
        {SDLK_KP_ENTER, KMOD_NONE, VK_RETURN, '\r', false},
        {SDLK_TAB, KMOD_LSHIFT, VK_TAB, '\t', true},
        {SDLK_ESCAPE, KMOD_NONE, VK_ESCAPE, '\x1B', false},
        {SDLK_BACKSPACE, KMOD_NONE, VK_BACK, '\b', false},
        {SDLK_DOWN, KMOD_NONE, VK_DOWN, 0, false},
        {SDLK_KP_5, KMOD_NUM, VK_NUMPAD0 + 5, '5', false},
        {SDLK_KP_5, KMOD_NONE, VK_NUMPAD0 + 5, 0, false},
    };
    for (const Case& c : cases) {
        const auto input = InputEventFromSdlEvent(KeyEvent(SDL_KEYDOWN, c.key, c.modifiers));
        ASSERT_TRUE(input) << c.key;
        EXPECT_EQ(input->EventKind, InputEvent::Kind::KeyDown);
        EXPECT_EQ(input->VirtualKey, c.virtualKey) << c.key;
        EXPECT_EQ(input->Character, c.character) << c.key;
        EXPECT_EQ(input->Shift, c.shift) << c.key;
    }
    const auto released = InputEventFromSdlEvent(KeyEvent(SDL_KEYUP, SDLK_z, KMOD_NONE));
    ASSERT_TRUE(released);
    EXPECT_EQ(released->EventKind, InputEvent::Kind::KeyUp);
    EXPECT_EQ(released->VirtualKey, 'Z');
    EXPECT_FALSE(InputEventFromSdlEvent(KeyEvent(SDL_KEYDOWN, SDLK_CAPSLOCK, KMOD_NONE)));
}

TEST(SdlInput, LeftButtonAndMotionAtTheirPoint) {
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.button = SDL_BUTTON_LEFT;
    press.button.x = 312;
    press.button.y = 407;
    auto input = InputEventFromSdlEvent(press);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->EventKind, InputEvent::Kind::MouseDown);
    EXPECT_EQ(input->X, 312);
    EXPECT_EQ(input->Y, 407);

    press.type = SDL_MOUSEBUTTONUP;
    input = InputEventFromSdlEvent(press);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->EventKind, InputEvent::Kind::MouseUp);

    press.button.button = SDL_BUTTON_RIGHT;
    EXPECT_FALSE(InputEventFromSdlEvent(press));

    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 5;
    motion.motion.y = 6;
    input = InputEventFromSdlEvent(motion);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->EventKind, InputEvent::Kind::MouseMove);
    EXPECT_EQ(input->X, 5);
    EXPECT_EQ(input->Y, 6);
}
