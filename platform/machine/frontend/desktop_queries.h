// What the scripted user sees of the desktop and how its hands reach it,
// through the machine's public Win32 API and DeliverInputEvent.
#pragma once

#include "platform/api/user32.h"

#include <optional>
#include <string>

// The window that takes keyboard input: the topmost visible, enabled
// top-level window; null when there is none.
HWND ActiveTopLevelWindow();

// A window's text; "" for a null window.
std::string WindowCaption(HWND window);

// How failures describe the active window: its caption in quotes, or that
// there is none.
std::string DescribeActiveWindow();

// A control's text as a person reads it: '&' marks the next character as a
// mnemonic and "&&" is a plain '&'.
std::string TextWithoutMnemonics(const std::string& text);

// The first descendant of `topLevel` whose id is `controlId` when given,
// otherwise whose text without mnemonics is `text`; visible ones are preferred.
// Null when none.
HWND FindControl(HWND topLevel, const std::string& text, std::optional<int> controlId);

// The screen point at the middle of the close box in a top-level window's
// caption bar; false when the window has no caption bar with a close box.
bool FindCloseBoxCentre(HWND topLevel, POINT& centre);

// One key pressed and released, carrying the character it types.
void DeliverKeyPress(int virtualKey, bool shift, char character);

// The left mouse button pressed and released at a screen point (after moving
// there).
void DeliverClick(POINT screenPoint);
