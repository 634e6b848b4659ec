#include "ui/backdrop.h"

#include "app/install_state.h"
#include "app/installer_settings.h"

#include <cmath>
#include <cstdlib>

namespace {

// Where the logo bitmap lands and how much of it is copied.
constexpr int LogoWidth = 204;
constexpr int LogoHeight = 66;

void FillWithColor(HDC dc, const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// One step of a channel toward its target; it never passes the target, so it
// stays inside 0 to 255.
int StepToward(int channel, int target) {
    if (channel < target) {
        return channel + 1;
    }
    if (channel > target) {
        return channel - 1;
    }
    return channel;
}

// One FillRect per row with a fresh brush each: the bands are as high as the
// screen height divided by the largest channel difference.
void PaintGradient(HDC dc) {
    int red = GetRValue(Settings.BackdropTopColor);
    int green = GetGValue(Settings.BackdropTopColor);
    int blue = GetBValue(Settings.BackdropTopColor);
    const int targetRed = GetRValue(Settings.BackdropBottomColor);
    const int targetGreen = GetGValue(Settings.BackdropBottomColor);
    const int targetBlue = GetBValue(Settings.BackdropBottomColor);

    int steps = std::abs(red - targetRed);
    if (std::abs(green - targetGreen) > steps) {
        steps = std::abs(green - targetGreen);
    }
    if (std::abs(blue - targetBlue) > steps) {
        steps = std::abs(blue - targetBlue);
    }

    if (steps == 0) {
        FillWithColor(dc, RECT{0, 0, ScreenWidth, ScreenHeight}, Settings.BackdropTopColor);
        return;
    }

    const int rowsPerStep = ScreenHeight / steps;
    int counter = 0;
    for (int row = 0; row < ScreenHeight; ++row) {
        FillWithColor(dc, RECT{0, row, ScreenWidth, row + 1}, RGB(red, green, blue));
        ++counter;
        if (counter >= rowsPerStep) {
            counter = 0;
            red = StepToward(red, targetRed);
            green = StepToward(green, targetGreen);
            blue = StepToward(blue, targetBlue);
        }
    }
}

HFONT MakeFont(int height, bool italic, const char* face) {
    return CreateFontA(height, 0, 0, 0, FW_HEAVY, italic ? TRUE : FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       face);
}

void PaintTitle(HDC dc) {
    HFONT titleFont = MakeFont(44, true, "Times New Roman");
    HGDIOBJ keptFont = SelectObject(dc, titleFont);
    const auto& title = Settings.BackdropTitle;
    const int length = static_cast<int>(title.size());
    SetTextColor(dc, TitleShadowColor(Settings.TitleColor));
    TextOutA(dc, 24, 28, title.c_str(), length);
    SetTextColor(dc, Settings.TitleColor);
    TextOutA(dc, 22, 25, title.c_str(), length);
    SelectObject(dc, keptFont);
    DeleteObject(titleFont);
}

void PaintLogo(HDC dc) {
    HDC memory = CreateCompatibleDC(dc);
    SelectObject(memory, LogoBitmap);
    BitBlt(dc, ScreenWidth / 2 - LogoWidth / 2, ScreenHeight - 72, LogoWidth, LogoHeight, memory, 0,
           0, SRCCOPY);
    DeleteDC(memory);
}

// Drawn in whatever text colour the title left selected, which is the
// title colour.
void PaintNotice(HDC dc) {
    HFONT noticeFont = MakeFont(12, false, "Small");
    HGDIOBJ keptFont = SelectObject(dc, noticeFont);
    TextOutA(dc, ScreenWidth - 250, ScreenHeight - 20, Settings.NoticeText.c_str(),
             static_cast<int>(Settings.NoticeText.size()));
    SelectObject(dc, keptFont);
    DeleteObject(noticeFont);
}

} // namespace

COLORREF TitleShadowColor(COLORREF titleColor) {
    const double luminance =
        0.3 * GetRValue(titleColor) + 0.59 * GetGValue(titleColor) + 0.11 * GetBValue(titleColor);
    return std::lround(luminance) > 127 ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

void PaintBackdrop() {
    HDC dc = GetDC(BackdropWindow);
    PaintGradient(dc);
    SetBkMode(dc, TRANSPARENT);
    PaintTitle(dc);
    PaintLogo(dc);
    PaintNotice(dc);
    ReleaseDC(BackdropWindow, dc);
}

LRESULT BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
        PostMessageA(window, WM_QUIT, 0, 0);
        break;
    case WM_PAINT:
        PaintBackdrop();
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
