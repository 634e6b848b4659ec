#include "stages/progress_meter.h"

#include "app/dialog_helpers.h"
#include "app/install_state.h"

#include <cmath>
#include <string>

ProgressMeter Meter;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

// The integer nearest to numerator / denominator, an exact half to the even
// neighbour. The product is formed first: both factors are at most 32 bits,
// so it is exact in a double, and the quotient is then correctly rounded,
// which makes a true half come out as an exact half.
int32_t NearestQuotient(int64_t numerator, int32_t denominator) {
    return static_cast<int32_t>(
        std::nearbyint(static_cast<double>(numerator) / static_cast<double>(denominator)));
}

} // namespace

void OpenMeter(HWND dialog) {
    Meter.MeterDC = GetDC(dialog);

    RECT control{};
    RECT window{};
    GetWindowRect(GetDlgItem(dialog, MeterFrameId), &control);
    GetWindowRect(dialog, &window);
    const int border = GetSystemMetrics(SM_CXBORDER);
    const int top = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYBORDER);
    // Derived from the two window rectangles with the thin-border and caption
    // metrics, which puts the bar 2 pixels inside the frame: only differences
    // of the rectangles count, so centring the dialog afterwards is harmless.
    Meter.MeterLeft = control.left - window.left - border;
    Meter.MeterTop = control.top - window.top - top;
    Meter.MeterRight = control.right - window.left - border - 4;
    Meter.MeterBottom = control.bottom - window.top - top - 4;
    Meter.TextX = (Meter.MeterRight - Meter.MeterLeft) / 2 + Meter.MeterLeft - 10;
    Meter.TextY = (Meter.MeterBottom - Meter.MeterTop) / 2 + Meter.MeterTop - 8;
    Meter.MeterWidth = Meter.MeterRight - Meter.MeterLeft + 1;

    Meter.RedPen = CreatePen(PS_SOLID, 1, Red);
    Meter.WhitePen = CreatePen(PS_SOLID, 1, White);
    Meter.SavedPen = SelectObject(Meter.MeterDC, Meter.RedPen);
    Meter.RedBrush = CreateSolidBrush(Red);
    Meter.WhiteBrush = CreateSolidBrush(White);
    Meter.SavedBrush = SelectObject(Meter.MeterDC, Meter.RedBrush);

    CenterOnScreen(dialog);
    KeepGoing = 1;

    SetBkMode(Meter.MeterDC, TRANSPARENT);
    Meter.MeterFont = CreateFontA(16, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH, "Arial");
    Meter.SavedFont = SelectObject(Meter.MeterDC, Meter.MeterFont);
    SetTextColor(Meter.MeterDC, Black);
}

void DrawMeter(int32_t done, int32_t total, MeterRule rule) {
    const int32_t doneX =
        Meter.MeterLeft + NearestQuotient(static_cast<int64_t>(done) * Meter.MeterWidth, total);
    Meter.Percent = NearestQuotient(static_cast<int64_t>(done) * 100, total);

    if (rule == MeterRule::Always) {
        Meter.LastPercent = -1;
    }
    if (Meter.Percent == Meter.LastPercent) {
        return;
    }
    if (rule == MeterRule::OnChangeUpTo100 && Meter.Percent > 100) {
        return;
    }

    SelectObject(Meter.MeterDC, Meter.RedBrush);
    SelectObject(Meter.MeterDC, Meter.RedPen);
    Rectangle(Meter.MeterDC, Meter.MeterLeft, Meter.MeterTop, doneX, Meter.MeterBottom);
    Meter.LastPercent = Meter.Percent;

    // The white objects stay selected; the next drawing selects red again.
    SelectObject(Meter.MeterDC, Meter.WhiteBrush);
    SelectObject(Meter.MeterDC, Meter.WhitePen);
    Rectangle(Meter.MeterDC, doneX, Meter.MeterTop, Meter.MeterRight, Meter.MeterBottom);

    const std::string text = std::to_string(Meter.Percent) + "%";
    TextOutA(Meter.MeterDC, Meter.TextX, Meter.TextY, text.c_str(), static_cast<int>(text.size()));
}

void CloseMeter(HWND dialog) {
    SelectObject(Meter.MeterDC, Meter.SavedFont);
    DeleteObject(Meter.MeterFont);
    SelectObject(Meter.MeterDC, Meter.SavedPen);
    SelectObject(Meter.MeterDC, Meter.SavedBrush);
    DeleteObject(Meter.RedPen);
    DeleteObject(Meter.WhitePen);
    DeleteObject(Meter.RedBrush);
    DeleteObject(Meter.WhiteBrush);
    ReleaseDC(dialog, Meter.MeterDC);
}

void ResetMeter() {
    Meter = ProgressMeter{};
}
