// The window front end's translation of SDL's mouse and keyboard events into
// the machine's input events.
#pragma once

#include "platform/machine/input_source.h"

#include <SDL.h>

#include <optional>

// The virtual-key code of an SDL key; 0 for a key the machine does not know.
int VirtualKeyFromSdlKey(SDL_Keycode key);

// The input event for an SDL event: key down/up with the character typed
// (Shift and Caps Lock applied; none while Ctrl or Alt is held), left mouse
// button down/up and mouse motion in window coordinates, which are the
// screen's (the window shows it 1:1). Nothing for other events.
std::optional<InputEvent> InputEventFromSdlEvent(const SDL_Event& event);
