// A progress template shown with nothing but the meter open, so that tests
// can draw on it and read back the dialog's pixels.
#pragma once

#include "platform/machine/scripted_user.h"
#include "platform/win32.h"
#include "stages/progress_meter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

inline HWND MeterDialog = nullptr;

inline INT_PTR MeterTestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        MeterDialog = dialog;
        OpenMeter(dialog);
    } else if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        CloseMeter(dialog);
        EndDialog(dialog, 1);
    }
    return FALSE;
}

// Shows the dialog of `templateName` with its meter open, runs `checks` once
// the dialog has painted itself and waits for input, then clicks Cancel,
// which closes the meter and ends the dialog.
inline void WithMeterDialog(const char* templateName, const std::function<void()>& checks) {
    BeginScript();
    ScriptWaitForWindow("Progress");
    ScriptRun([&checks] { checks(); });
    ScriptClick("Cancel");
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), templateName, nullptr, MeterTestDialogProc, 0);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(ScriptFinished());
}

// The pixel of the dialog's client area, as a COLORREF.
inline COLORREF MeterPixel(int x, int y) {
    return GetPixel(Meter.MeterDC, x, y);
}

// Paints the meter rectangle and a margin of 3 pixels around it in a colour
// that nothing else uses, so that a drawing that did not happen shows.
inline void PaintSentinel() {
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    const RECT area{Meter.MeterLeft, Meter.MeterTop, Meter.MeterRight + 3, Meter.MeterBottom};
    FillRect(Meter.MeterDC, &area, green);
    DeleteObject(green);
}

// How dark a pixel is: 255 less its brightest channel. A black glyph pixel
// has the same darkness over red as over white, whatever its coverage.
inline int Darkness(COLORREF color) {
    return 255 - std::max({GetRValue(color), GetGValue(color), GetBValue(color)});
}

// True when the meter shows exactly `text` at its text position: the
// darkness of every pixel of the meter from TextX on equals that of the text
// drawn alone in black on white with the meter's font.
inline bool MeterShowsText(const std::string& text) {
    const int width = Meter.MeterRight - Meter.TextX;
    const int height = Meter.MeterBottom - Meter.MeterTop;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(Meter.MeterDC, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    const RECT all{0, 0, width, height};
    FillRect(memory, &all, white);
    HFONT font = CreateFontA(16, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    HGDIOBJ oldFont = SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(0, 0, 0));
    TextOutA(memory, 0, Meter.TextY - Meter.MeterTop, text.c_str(), static_cast<int>(text.size()));
    bool same = true;
    int inked = 0;
    for (int y = 0; y < height && same; ++y) {
        for (int x = 0; x < width; ++x) {
            const int expected = Darkness(GetPixel(memory, x, y));
            inked += expected > 0 ? 1 : 0;
            if (Darkness(MeterPixel(Meter.TextX + x, Meter.MeterTop + y)) != expected) {
                same = false;
                break;
            }
        }
    }
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(font);
    DeleteObject(white);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return same && inked > 0;
}

// The integer nearest to numerator / denominator, a half to the even one.
inline int64_t RoundHalfEven(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    const int64_t twice = 2 * (numerator - quotient * denominator);
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}
