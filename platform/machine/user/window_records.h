// The window manager's own records of windows and window classes, shared by
// the files of platform/machine/user. Nothing outside the window manager
// includes this: everyone else reaches windows through the Win32 API.
#pragma once

#include "platform/api/user32.h"
#include "platform/machine/surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct WindowClassRecord {
    std::string Name;
    ATOM Atom = 0;
    UINT Style = 0;
    WNDPROC Procedure = nullptr;
    HBRUSH Background = nullptr;
};

// What a window created by the dialog manager keeps beyond an ordinary window.
struct DialogRecord {
    DLGPROC Procedure = nullptr;
    HFONT Font = nullptr;
    bool OwnsFont = false;
    // EndDialog fixes the result once; later calls change nothing.
    bool Ended = false;
    INT_PTR Result = 0;
};

struct WindowRecord {
    HWND Handle = nullptr;
    std::shared_ptr<const WindowClassRecord> Class;
    WNDPROC Procedure = nullptr;
    std::string Text;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int Id = 0;
    // A child's parent; null for a top-level window.
    HWND Parent = nullptr;
    // A top-level window's owner (always top-level itself); null for none.
    HWND Owner = nullptr;
    // A child's rectangle in its parent's client coordinates; a top-level
    // window's rectangle on the screen.
    RECT Bounds{0, 0, 0, 0};
    // Children in z-order, the topmost (and first created) first.
    std::vector<HWND> Children;
    // A top-level window's pixels, the size of the whole window; children
    // draw into their top-level window's surface.
    std::unique_ptr<Surface> Pixels;

    // The part of the client area that waits for WM_PAINT, as one bounding
    // rectangle in client coordinates.
    bool NeedsPaint = false;
    bool NeedsErase = false;
    RECT UpdateArea{0, 0, 0, 0};
    // The area handed out by the latest BeginPaint; what the default erase
    // fills.
    RECT PaintArea{0, 0, 0, 0};
    // Set when BeginPaint or ValidateRect served a paint message.
    bool PaintServed = false;

    // A top-level window's focus window, given back to it when it becomes
    // the active window again.
    HWND SavedFocus = nullptr;
    bool CloseBoxDisabled = false;
    bool Destroying = false;
    // Shared with the modal loop, which reads the result after the window
    // is gone.
    std::shared_ptr<DialogRecord> Dialog;

    bool IsChild() const { return (Style & WS_CHILD) != 0; }
    bool IsVisibleFlag() const { return (Style & WS_VISIBLE) != 0; }
    bool IsEnabledFlag() const { return (Style & WS_DISABLED) == 0; }
};

struct WindowManagerState {
    std::unordered_map<HWND, std::unique_ptr<WindowRecord>> Windows;
    std::vector<std::shared_ptr<WindowClassRecord>> Classes;
    // Top-level windows, the bottom of the z-order first.
    std::vector<HWND> TopLevelOrder;
    HWND Focus = nullptr;
    HWND Active = nullptr;
    // Windows whose NeedsPaint is set; lets an empty PeekMessageA skip the
    // search for a window to paint.
    int WindowsNeedingPaint = 0;
};

WindowManagerState& WindowManager();

// The record of a live window; null for anything else, a destroyed window's
// handle included.
WindowRecord* FindWindowRecord(HWND window);

// The window itself when top-level, else its top-level ancestor; null when
// `window` is not a window.
WindowRecord* TopLevelRecordOf(HWND window);
HWND TopLevelOf(HWND window);

// True when `window` is `ancestor` or lies inside it.
bool IsSelfOrDescendant(HWND window, HWND ancestor);

// Calls the window's procedure; 0 when the window is gone.
LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Case-insensitive comparison of ASCII names (class names, resource names).
bool NamesEqual(const std::string& first, const char* second);

// Resets of the window manager's parts, called by ResetWindowManager.
void ResetMessageQueue();
void ResetInputRouting();
void ResetDialogManager();
void ResetNonClientResources();
