// User input entering the machine: from the real window's mouse and keyboard,
// from the scripted user, or from a test's own hand.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

struct InputEvent {
    enum class Kind { KeyDown, KeyUp, MouseDown, MouseUp, MouseMove };
    Kind EventKind = Kind::KeyDown;
    int VirtualKey = 0; // VK_ code for key events
    char Character = 0; // the character the key types (Windows-1252), 0 for none
    bool Shift = false;
    int X = 0; // screen coordinates for mouse events
    int Y = 0;
};

// Turns the event into the messages Windows would queue: key messages to the
// focus window of the active top-level window, mouse messages to the window
// under the point (hit-tested on the composed screen). Implemented by the
// window manager.
void DeliverInputEvent(const InputEvent& event);

// The machine's input source. Called with mayBlock true by modal loops whose
// queue is empty (it may wait for input), false by PeekMessageA (it must not).
// Returns false when it will never deliver anything again.
using InputSource = std::function<bool(bool mayBlock)>;

void SetInputSource(InputSource source);
bool PollInputSource(bool mayBlock);

// Raised by a modal loop that waits for input which can never come (a headless
// run whose script has ended). The message names the window waited in.
class MachineInputExhausted : public std::runtime_error {
  public:
    explicit MachineInputExhausted(const std::string& message) : std::runtime_error(message) {}
};
