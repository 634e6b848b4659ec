// The one message queue of the one thread: posted messages in order, then
// WM_QUIT, then WM_PAINT for windows with an update area, as Windows hands
// them out.
#include "platform/machine/input_source.h"
#include "platform/machine/machine.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

#include <algorithm>
#include <chrono>
#include <deque>

namespace {

std::deque<MSG> PostedMessages;
bool QuitPending = false;
int QuitCode = 0;

DWORD MillisecondsSinceStart() {
    static const auto start = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return message >= filterMin && message <= filterMax;
}

bool TakePostedMessage(MSG& message, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto posted = PostedMessages.begin(); posted != PostedMessages.end(); ++posted) {
        if (window != nullptr && !IsSelfOrDescendant(posted->hwnd, window)) {
            continue;
        }
        if (!InRange(posted->message, filterMin, filterMax)) {
            continue;
        }
        message = *posted;
        if (remove) {
            PostedMessages.erase(posted);
        }
        return true;
    }
    return false;
}

// Keys carry no character of their own on some input sources; these are
// the characters Windows translates them to.
char CharacterOfControlKey(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    case VK_RETURN:
        return '\r';
    case VK_ESCAPE:
        return '\x1b';
    default:
        return 0;
    }
}

} // namespace

void ResetMessageQueue() {
    PostedMessages.clear();
    QuitPending = false;
    QuitCode = 0;
}

void DropPostedMessagesFor(HWND window) {
    PostedMessages.erase(
        std::remove_if(PostedMessages.begin(), PostedMessages.end(),
                       [window](const MSG& message) { return message.hwnd == window; }),
        PostedMessages.end());
}

LPARAM KeyMessageParameter(char character, bool shift, bool keyUp) {
    DWORD value = 1u | (static_cast<DWORD>(static_cast<unsigned char>(character)) << 16);
    if (shift) {
        value |= KeyShiftBit;
    }
    if (keyUp) {
        value |= 0xC0000000u;
    }
    return static_cast<LPARAM>(value);
}

char CharacterOfKeyMessage(LPARAM lParam) {
    return static_cast<char>((static_cast<DWORD>(lParam) >> 16) & 0xFF);
}

bool ShiftOfKeyMessage(LPARAM lParam) {
    return (static_cast<DWORD>(lParam) & KeyShiftBit) != 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    EnsureMachineStarted();
    if (window != nullptr && !FindWindowRecord(window)) {
        return FALSE;
    }
    MSG posted{};
    posted.hwnd = window;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    posted.time = MillisecondsSinceStart();
    posted.pt = CursorPosition();
    PostedMessages.push_back(posted);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    QuitPending = true;
    QuitCode = exitCode;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcedure(window, message, wParam, lParam);
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    EnsureMachineStarted();
    if (message == nullptr) {
        return FALSE;
    }
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (TakePostedMessage(*message, window, filterMin, filterMax, remove)) {
        return TRUE;
    }
    if (PollInputAtBoundedRate() &&
        TakePostedMessage(*message, window, filterMin, filterMax, remove)) {
        return TRUE;
    }
    if (QuitPending && InRange(WM_QUIT, filterMin, filterMax)) {
        *message = MSG{};
        message->message = WM_QUIT;
        message->wParam = static_cast<WPARAM>(QuitCode);
        message->time = MillisecondsSinceStart();
        if (remove) {
            QuitPending = false;
        }
        return TRUE;
    }
    if (InRange(WM_PAINT, filterMin, filterMax)) {
        if (HWND painted = FindWindowToPaint(window)) {
            *message = MSG{};
            message->hwnd = painted;
            message->message = WM_PAINT;
            message->time = MillisecondsSinceStart();
            message->pt = CursorPosition();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    if (message == nullptr) {
        return -1;
    }
    while (!PeekMessageA(message, window, filterMin, filterMax, PM_REMOVE)) {
        if (!PollInputSource(true)) {
            throw MachineInputExhausted("GetMessageA waits for input that will never come (" +
                                        DescribeWaitingWindow(ActiveWindow()) + ")");
        }
    }
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* message) {
    if (message == nullptr) {
        return FALSE;
    }
    switch (message->message) {
    case WM_KEYDOWN: {
        char character = CharacterOfKeyMessage(message->lParam);
        if (character == 0) {
            character = CharacterOfControlKey(message->wParam);
        }
        if (character != 0) {
            // The character comes next, before anything posted after the key.
            MSG translated = *message;
            translated.message = WM_CHAR;
            translated.wParam = static_cast<unsigned char>(character);
            PostedMessages.push_front(translated);
        }
        return TRUE;
    }
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT DispatchMessageA(const MSG* message) {
    if (message == nullptr || message->hwnd == nullptr) {
        return 0;
    }
    if (message->message == WM_PAINT) {
        SendPaintMessage(message->hwnd);
        return 0;
    }
    return CallWindowProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}
