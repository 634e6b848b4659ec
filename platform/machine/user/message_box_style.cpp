#include "platform/machine/user/message_box_style.h"

#include "platform/machine/user/non_client_style.h"

#include <cmath>

namespace {

constexpr COLORREF IconRim = 0x00000080;  // RGB(128, 0, 0)
constexpr COLORREF IconDisc = 0x000000FF; // RGB(255, 0, 0)
constexpr COLORREF IconCross = 0x00FFFFFF;

// A filled disc centred in the icon square, drawn as one span per row.
void FillDisc(HDC dc, int left, int top, double radius, COLORREF color) {
    const double centre = MessageBoxIconSize / 2.0;
    for (int row = 0; row < MessageBoxIconSize; ++row) {
        const double dy = row + 0.5 - centre;
        if (std::fabs(dy) >= radius) {
            continue;
        }
        const double halfWidth = std::sqrt(radius * radius - dy * dy);
        const int from = static_cast<int>(std::lround(centre - halfWidth));
        const int to = static_cast<int>(std::lround(centre + halfWidth));
        FillSolidRect(dc, RECT{left + from, top + row, left + to, top + row + 1}, color);
    }
}

} // namespace

void DrawErrorIcon(HDC dc, int left, int top) {
    FillDisc(dc, left, top, 15.5, IconRim);
    FillDisc(dc, left, top, 14.5, IconDisc);
    // Two diagonals, three pixels thick, from (10, 10) to (21, 21) and
    // from (21, 10) to (10, 21).
    constexpr int crossStart = 10;
    constexpr int crossLength = 12;
    for (int step = 0; step < crossLength; ++step) {
        const int y = top + crossStart + step;
        const int falling = left + crossStart + step;
        const int rising = left + crossStart + crossLength - 1 - step;
        FillSolidRect(dc, RECT{falling - 1, y, falling + 2, y + 1}, IconCross);
        FillSolidRect(dc, RECT{rising - 1, y, rising + 2, y + 1}, IconCross);
    }
}
