// The look of message box icons.
#pragma once

#include "platform/api/win32_types.h"

constexpr int MessageBoxIconSize = 32;

// The error icon: a red disc with a dark rim and a white cross, in the
// 32 x 32 square whose top-left corner is (left, top).
void DrawErrorIcon(HDC dc, int left, int top);
