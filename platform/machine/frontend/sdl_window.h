// The window front end: an SDL2 window on the host's display that shows the
// machine's screen 1:1 and feeds its mouse and keyboard to the machine.
#pragma once

#include "platform/machine/surface.h"

#include <string>

// Starts SDL's video on the host; false when it cannot (no display).
bool StartSdlVideo();

// Opens the window at the screen's size (keeps an open one of that size).
// False, with SDL's reason in `reason`, when it cannot be opened.
bool OpenSdlWindow(int width, int height, std::string& reason);

void CloseSdlWindow();

// Handles the window's pending events: mouse and keyboard go to
// DeliverInputEvent, one button or key at a time so that the program routes
// each with the focus the ones before it left; closing the window ends the
// process with exit code 2. With `mayBlock`, waits a few milliseconds for an
// event when none is pending.
void PumpSdlWindow(bool mayBlock);

// Shows the composed screen when it changed since last shown (or the window
// was uncovered), at most about 60 times a second.
void PresentSdlWindow();

// The pixels the window shows now (0x00RRGGBB); false when no window is open.
bool ReadSdlWindowPixels(Surface& shown);
