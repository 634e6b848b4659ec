#include "platform/machine/frontend/sdl_input.h"

#include "platform/api/user32.h"
#include "platform/machine/frontend/keyboard_layout.h"

int VirtualKeyFromSdlKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + static_cast<int>(key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return '0' + static_cast<int>(key - SDLK_0);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return VK_NUMPAD0 + 1 + static_cast<int>(key - SDLK_KP_1);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<int>(key - SDLK_F1);
    }
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
        return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    default:
        return 0;
    }
}

std::optional<InputEvent> InputEventFromSdlEvent(const SDL_Event& event) {
    InputEvent input;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        input.VirtualKey = VirtualKeyFromSdlKey(event.key.keysym.sym);
        if (input.VirtualKey == 0) {
            return std::nullopt;
        }
        input.EventKind =
            event.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
        const Uint16 modifiers = event.key.keysym.mod;
        input.Shift = (modifiers & KMOD_SHIFT) != 0;
        const bool keypadDigit =
            input.VirtualKey >= VK_NUMPAD0 && input.VirtualKey <= VK_NUMPAD0 + 9;
        if ((modifiers & (KMOD_CTRL | KMOD_ALT)) == 0 && (!keypadDigit || (modifiers & KMOD_NUM))) {
            input.Character =
                CharacterForKey(input.VirtualKey, input.Shift, (modifiers & KMOD_CAPS) != 0);
        }
        return input;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) {
            return std::nullopt;
        }
        input.EventKind = event.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Kind::MouseDown
                                                            : InputEvent::Kind::MouseUp;
        input.X = event.button.x;
        input.Y = event.button.y;
        return input;
    case SDL_MOUSEMOTION:
        input.EventKind = InputEvent::Kind::MouseMove;
        input.X = event.motion.x;
        input.Y = event.motion.y;
        return input;
    default:
        return std::nullopt;
    }
}
