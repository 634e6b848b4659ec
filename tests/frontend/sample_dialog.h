// A small dialog over a painted window, shared by the front-end tests and the
// sample program: an edit box for a folder, a second edit box, a check box,
// OK and Cancel.
#pragma once

#include "platform/machine/resources.h"
#include "platform/win32.h"

#include <string>

inline constexpr const char* SampleDialogResources = R"(
SAMPLE DIALOG 40, 30, 200, 96
STYLE WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
CAPTION "Sample"
FONT 8, "MS Sans Serif"
BEGIN
    CONTROL "Install into:", -1, "STATIC", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8, 120, 8
    CONTROL "", 101, "EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 20, 184, 12
    CONTROL "", 102, "EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 38, 184, 12
    CONTROL "&Start with the system", 103, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 56, 120, 10
    CONTROL "OK", 1, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 46, 74, 50, 14
    CONTROL "Cancel", 2, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 104, 74, 50, 14
END
)";

inline constexpr int SampleFolderEdit = 101;
inline constexpr int SampleSecondEdit = 102;
inline constexpr int SampleCheckBox = 103;
inline constexpr COLORREF SampleBackdropColor = RGB(0, 96, 64);

// What the dialog saw when it ended with OK.
struct SampleDialogOutcome {
    std::string Folder;
    std::string Second;
    bool Checked = false;
    RECT Window{};
    // OK does nothing while this is set, like a dialog that refuses its input.
    bool RefuseOk = false;
};

inline SampleDialogOutcome& SampleOutcome() {
    static SampleDialogOutcome outcome;
    return outcome;
}

inline std::string SampleItemText(HWND dialog, int id) {
    char text[256] = {};
    GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
    return text;
}

inline INT_PTR SampleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetFocus(GetDlgItem(dialog, SampleFolderEdit));
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        SampleDialogOutcome& outcome = SampleOutcome();
        if (!outcome.RefuseOk) {
            outcome.Folder = SampleItemText(dialog, SampleFolderEdit);
            outcome.Second = SampleItemText(dialog, SampleSecondEdit);
            outcome.Checked = IsDlgButtonChecked(dialog, SampleCheckBox) == BST_CHECKED;
            GetWindowRect(dialog, &outcome.Window);
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

inline LRESULT SampleBackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        const HBRUSH brush = CreateSolidBrush(SampleBackdropColor);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 0));
        TextOutA(dc, 16, 16, "Sample backdrop", 15);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Adds the dialog's template to the machine (call after every machine start)
// and creates the painted window it is shown over, covering the screen.
inline HWND PrepareSampleDesktop() {
    AddResourceScriptForTesting(SampleDialogResources);
    SampleOutcome() = SampleDialogOutcome{};
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SampleBackdropProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SampleBackdrop";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "SampleBackdrop", "Installation", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline INT_PTR RunSampleDialog(HWND owner) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), "Sample", owner, SampleDialogProc, 0);
}
