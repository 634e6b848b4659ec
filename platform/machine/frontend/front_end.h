// The front ends of the simulated machine: what shows its screen and where
// its user's input comes from. Headless (no window; the screen can still be
// saved as a PNG) or a real SDL2 window on the host's display.
#pragma once

#include "platform/machine/machine.h"
#include "platform/machine/surface.h"

#include <filesystem>

enum class FrontEndKind { Headless, Window };

// The front end the machine runs with since its last start.
FrontEndKind CurrentFrontEnd();

// True when the host seems to have a display (DISPLAY or WAYLAND_DISPLAY set)
// and SDL's video subsystem starts on it.
bool HostDisplayAvailable();

// Opens the front end that `config` asks for ("headless", "window", or "auto":
// a window when HostDisplayAvailable). Closes the window of an earlier start
// first. When "window" is asked for and cannot be opened, prints why and ends
// the process with exit code 2, as closing the window would; "auto" then
// prints why and stays headless.
void OpenFrontEnd(const MachineConfig& config);

// The front end as an input source (see InputSource): headless delivers
// nothing and answers false; the window feeds its mouse and keyboard events
// and answers true. With `mayBlock` it may wait a little for input.
bool PollFrontEnd(bool mayBlock);

// Shows the screen on the window when it changed since it was last shown and
// enough time has passed; nothing when headless.
void PresentFrontEnd();

// The pixels the window shows now; false when headless. For tests.
bool ReadFrontEndPixels(Surface& shown);

// Makes the machine's user (the front end, and the scripted user when it
// acts) the input source again.
void InstallMachineInput();

// Saves the composed screen as a PNG file at host path `png`. Raises
// std::runtime_error naming the file when it cannot be written.
void SaveScreenshot(const std::filesystem::path& png);
