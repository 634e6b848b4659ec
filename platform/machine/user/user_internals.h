// The functions the window manager's files call on each other. Internal to
// platform/machine/user (and the message box history beside it).
#pragma once

#include "platform/api/user32.h"
#include "platform/machine/user/rectangles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct WindowRecord;
struct WindowClassRecord;

// A fresh surface shows the dialog face colour until it is painted.
constexpr uint32_t FaceColorPixel = 0xC0C0C0;

// window_registry.cpp
HWND NewWindowHandle();
std::shared_ptr<const WindowClassRecord> FindWindowClass(LPCSTR nameOrAtom);

// window_geometry.cpp: rectangles of a window, the non-client area counted
// in.
RECT ScreenRectOf(const WindowRecord& record);
POINT ClientOriginOnScreen(const WindowRecord& record);
RECT ClientRectOf(const WindowRecord& record);

// z_order.cpp
struct TopLevelSnapshot {
    struct Entry {
        HWND Window;
        RECT Bounds;
        bool Visible;
    };
    std::vector<Entry> Windows; // bottom first
};
TopLevelSnapshot TakeTopLevelSnapshot();
// After `changed` was shown, hidden, moved, sized, restacked or destroyed:
// invalidates what that uncovered, below it and in it.
void ExposeAfterTopLevelChange(const TopLevelSnapshot& before, HWND changed);
void AddTopLevel(HWND window);
void RemoveTopLevel(HWND window);
// To the top, with the windows it owns above it.
void RaiseTopLevel(HWND window);
void PlaceTopLevelBelow(HWND window, HWND above);
bool IsOwnedBy(HWND window, HWND owner);

// painting.cpp
void InvalidateClientArea(HWND window, const RECT& area, bool erase);
void InvalidateWholeWindow(HWND window);
void InvalidateScreenArea(HWND window, const RECT& screenArea);
void ClearUpdate(WindowRecord& record);
void ClearUpdateOfTree(HWND window);
// The next window to get WM_PAINT (within `filter` when given); null when
// none waits.
HWND FindWindowToPaint(HWND filter);
void SendPaintMessage(HWND window);
// What the default erase fills: the area of the paint in progress, or the
// whole client area.
RECT EraseAreaOf(const WindowRecord& record);

// focus_and_activation.cpp
void ChangeFocus(HWND window);
// Recomputes the active window (the topmost visible, enabled top-level
// window); a window that becomes active gets its focus back.
void RefreshActivation();
HWND ActiveWindow();
// Where key messages go: the focus window when it lies in the active
// window, else the active window's remembered focus, else the active window.
HWND KeyboardTarget();

// message_queue.cpp
void DropPostedMessagesFor(HWND window);
// Key messages carry the typed character in bits 16-23 of lParam (where
// Windows keeps the scan code) and Shift in bit 25, so that
// TranslateMessage and the dialog keyboard interface see what the input
// source saw.
constexpr uint32_t KeyShiftBit = 1u << 25;
LPARAM KeyMessageParameter(char character, bool shift, bool keyUp);
char CharacterOfKeyMessage(LPARAM lParam);
bool ShiftOfKeyMessage(LPARAM lParam);

// input_routing.cpp
// Polls the input source without blocking, at most every few milliseconds
// however often it is called; true when it polled.
bool PollInputAtBoundedRate();
POINT CursorPosition();
// The window's caption in quotes, for messages about waiting.
std::string DescribeWaitingWindow(HWND window);

// non_client_painting.cpp
void PaintNonClient(HWND window);
bool CloseBoxRectInWindow(const WindowRecord& record, RECT& box);
bool CloseBoxScreenRect(const WindowRecord& record, RECT& box);
HFONT NonClientCaptionFont();

// screen_composition.cpp: while set, `window`'s device contexts reach its
// whole surface, clipped to `clip` (window coordinates).
void BeginNonClientDrawing(HWND window, const RECT& clip);
void EndNonClientDrawing();

// dialog_keyboard.cpp: the next (or previous) control after `from` that
// takes the focus by Tab; the first (or last) when `from` is not in the
// dialog. Null when no control takes it.
HWND NextDialogTabItem(HWND dialog, HWND from, bool backwards);

// message_box_history.cpp
size_t RecordMessageBoxShown(HWND owner, const std::string& caption, const std::string& text,
                             UINT type);
void SetMessageBoxAnswer(size_t index, int answer);
void ResetMessageBoxHistory();
