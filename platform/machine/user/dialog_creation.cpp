// Dialogs from templates: the conversion of dialog units to pixels and the
// building of the dialog window and its controls.
#include "platform/api/gdi32.h"
#include "platform/machine/machine.h"
#include "platform/machine/resources.h"
#include "platform/machine/user/dialog_manager.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_metrics.h"
#include "platform/machine/user/window_records.h"

#include <cstdlib>

namespace {

// Base units of 8-point "MS Sans Serif" at 96 DPI, fixed so that layouts
// come out the same on every machine whatever font stands in for it.
constexpr int BaseUnitX = 6;
constexpr int BaseUnitY = 13;

int HorizontalPixels(int dialogUnits) {
    return MultiplyDivide(dialogUnits, BaseUnitX, 4);
}

int VerticalPixels(int dialogUnits) {
    return MultiplyDivide(dialogUnits, BaseUnitY, 8);
}

std::string TemplateName(LPCSTR name) {
    if (name == nullptr) {
        return "";
    }
    if (IS_INTRESOURCE(name)) {
        return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
    }
    return name;
}

DialogLayout LayoutFromTemplate(const DialogTemplate& dialog, HWND owner) {
    DialogLayout layout;
    layout.Style = dialog.Style;
    layout.ExStyle = dialog.ExStyle;
    layout.Caption = dialog.Caption;
    // The template's position is relative to the owner's client area.
    POINT origin{0, 0};
    if (owner != nullptr) {
        ClientToScreen(owner, &origin);
    }
    layout.ClientLeft = static_cast<int>(origin.x) + HorizontalPixels(dialog.X);
    layout.ClientTop = static_cast<int>(origin.y) + VerticalPixels(dialog.Y);
    layout.ClientWidth = HorizontalPixels(dialog.Width);
    layout.ClientHeight = VerticalPixels(dialog.Height);
    if (dialog.Style & DS_SETFONT) {
        // Point size to a character height at 96 DPI, as Windows reads a
        // negative font height.
        layout.Font = CreateFontA(-MultiplyDivide(dialog.FontPointSize, 96, 72), 0, 0, 0, FW_NORMAL,
                                  0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH, dialog.FontFace.c_str());
    }
    for (const DialogControlTemplate& control : dialog.Controls) {
        DialogItemLayout item;
        item.ClassName = control.ClassName;
        item.Text = control.Text;
        // Control ids are 16-bit in a template: -1 is 65535.
        item.Id = control.Id & 0xFFFF;
        item.Style = control.Style;
        item.ExStyle = control.ExStyle;
        const int left = HorizontalPixels(control.X);
        const int top = VerticalPixels(control.Y);
        item.Bounds = RECT{left, top, left + HorizontalPixels(control.Width),
                           top + VerticalPixels(control.Height)};
        layout.Items.push_back(item);
    }
    return layout;
}

HWND FirstTabStop(HWND dialog) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (!record) {
        return nullptr;
    }
    for (HWND child : record->Children) {
        const WindowRecord* control = FindWindowRecord(child);
        if (control && (control->Style & WS_TABSTOP) && control->IsEnabledFlag() &&
            control->IsVisibleFlag()) {
            return child;
        }
    }
    return nullptr;
}

} // namespace

int MultiplyDivide(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude =
        (std::llabs(product) + half) / std::llabs(static_cast<long long>(denominator));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

HWND CreateDialogWindow(const DialogLayout& layout, HWND owner, DLGPROC procedure,
                        LPARAM initParam) {
    DWORD exStyle = layout.ExStyle;
    if (layout.Style & DS_MODALFRAME) {
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    // Hidden until WM_INITDIALOG has been answered and the modal loop shows it.
    const DWORD style = layout.Style & ~static_cast<DWORD>(WS_VISIBLE);
    const FrameInsets insets = NonClientInsetsOf(style, exStyle);
    const HWND dialog = CreateWindowExA(
        exStyle, DialogClassName, layout.Caption.c_str(), style, layout.ClientLeft - insets.Left,
        layout.ClientTop - insets.Top, layout.ClientWidth + insets.Left + insets.Right,
        layout.ClientHeight + insets.Top + insets.Bottom, owner, nullptr, nullptr, nullptr);
    if (dialog == nullptr) {
        if (layout.Font) {
            DeleteObject(layout.Font);
        }
        return nullptr;
    }
    WindowRecord* record = FindWindowRecord(dialog);
    record->Dialog = std::make_shared<DialogRecord>();
    record->Dialog->Font = layout.Font;
    record->Dialog->OwnsFont = layout.Font != nullptr;
    record->Dialog->Procedure = procedure;

    const WPARAM font = reinterpret_cast<WPARAM>(layout.Font);
    if (layout.Font) {
        SendMessageA(dialog, WM_SETFONT, font, FALSE);
    }
    for (const DialogItemLayout& item : layout.Items) {
        const HWND control = CreateWindowExA(
            item.ExStyle, item.ClassName.c_str(), item.Text.c_str(), item.Style | WS_CHILD,
            static_cast<int>(item.Bounds.left), static_cast<int>(item.Bounds.top),
            static_cast<int>(item.Bounds.right - item.Bounds.left),
            static_cast<int>(item.Bounds.bottom - item.Bounds.top), dialog,
            reinterpret_cast<HMENU>(static_cast<intptr_t>(item.Id)), nullptr, nullptr);
        if (control == nullptr || !FindWindowRecord(dialog)) {
            DestroyWindow(dialog);
            return nullptr;
        }
        if (layout.Font) {
            SendMessageA(control, WM_SETFONT, font, FALSE);
        }
    }
    const HWND firstTabStop = FirstTabStop(dialog);
    const LRESULT setDefaultFocus =
        SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), initParam);
    if (!FindWindowRecord(dialog)) {
        return nullptr;
    }
    if (setDefaultFocus && firstTabStop && FindWindowRecord(firstTabStop)) {
        SetDialogFocus(firstTabStop);
    }
    return dialog;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
    (void)instance;
    EnsureMachineStarted();
    const DialogTemplate* dialogTemplate = FindDialogTemplate(TemplateName(templateName));
    if (dialogTemplate == nullptr) {
        return -1;
    }
    const HWND ownerWindow = TopLevelOf(owner);
    const HWND dialog = CreateDialogWindow(LayoutFromTemplate(*dialogTemplate, ownerWindow),
                                           ownerWindow, dialogProc, initParam);
    if (dialog == nullptr) {
        return -1;
    }
    return RunModalDialog(dialog, ownerWindow, false);
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (!record || !record->Dialog || rect == nullptr) {
        return FALSE;
    }
    rect->left = HorizontalPixels(static_cast<int>(rect->left));
    rect->right = HorizontalPixels(static_cast<int>(rect->right));
    rect->top = VerticalPixels(static_cast<int>(rect->top));
    rect->bottom = VerticalPixels(static_cast<int>(rect->bottom));
    return TRUE;
}

HFONT DialogFontOf(HWND dialog) {
    const WindowRecord* record = FindWindowRecord(dialog);
    return record && record->Dialog ? record->Dialog->Font : nullptr;
}
