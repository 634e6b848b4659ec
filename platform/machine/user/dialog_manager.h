// The dialog manager's internals, shared by dialogs from templates and
// message boxes: building a dialog window from a layout in pixels, its
// default message handling, and the modal loop.
#pragma once

#include "platform/api/user32.h"

#include <string>
#include <vector>

struct DialogItemLayout {
    std::string ClassName;
    std::string Text;
    int Id = 0;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    RECT Bounds{0, 0, 0, 0}; // pixels, in the dialog's client area
};

struct DialogLayout {
    DWORD Style = 0;
    DWORD ExStyle = 0;
    std::string Caption;
    // The client area's top-left corner on the screen and its size, in
    // pixels; the window adds its frame and caption around it.
    int ClientLeft = 0;
    int ClientTop = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
    // The font sent with WM_SETFONT to the dialog and its controls; null for
    // the system font. The dialog takes it over and deletes it at its end.
    HFONT Font = nullptr;
    std::vector<DialogItemLayout> Items;
};

// The dialog window class, registered on every reset of the window manager.
constexpr const char* DialogClassName = "#32770";
void RegisterDialogClass();

// Creates the dialog hidden, with its controls in layout order, sends
// WM_SETFONT and then WM_INITDIALOG (setting the focus to the first tab stop
// when the procedure answers nonzero). Null when the window or any control
// cannot be created.
HWND CreateDialogWindow(const DialogLayout& layout, HWND owner, DLGPROC procedure,
                        LPARAM initParam);

// Runs the dialog modally: the owner (and, when `disableAll`, every other
// top-level window) is disabled, the dialog shown, and every message of the
// thread dispatched until EndDialog; the dialog is destroyed and the
// windows enabled again on every way out, an exception included. Returns
// EndDialog's result. Raises MachineInputExhausted when the queue is empty
// and the input source will never deliver again.
INT_PTR RunModalDialog(HWND dialog, HWND owner, bool disableAll);

// The font of a dialog created by CreateDialogWindow; null for others.
HFONT DialogFontOf(HWND dialog);

// The classic dialog face brush, made on first use.
HBRUSH DialogFaceBrush();

// Windows' MulDiv: number * numerator / denominator, rounded to nearest with
// halves away from zero.
int MultiplyDivide(int number, int numerator, int denominator);

// Moves the focus within a dialog as its keyboard interface does: an edit
// control that gets it by keyboard has its text selected.
void SetDialogFocus(HWND control);
