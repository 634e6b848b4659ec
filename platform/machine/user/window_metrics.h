// The non-client geometry of windows, classic Windows at 96 DPI: what
// GetSystemMetrics reports and what the frames and caption bars are drawn
// with are the same numbers, since the progress meter computes its place
// from the metrics and must land inside the frame control it belongs to.
#pragma once

#include "platform/api/user32.h"

// A thin border (WS_BORDER alone).
constexpr int ThinBorderWidth = 1;
// The frame of a dialog-frame window (WS_DLGFRAME, WS_CAPTION or a modal
// frame): three lines on every side.
constexpr int DialogFrameWidth = 3;
// The caption: an 18-pixel bar and the 1-pixel line below it.
constexpr int CaptionBarHeight = 18;
constexpr int CaptionHeight = CaptionBarHeight + 1;
// The close box sits in the caption bar, this far from the bar's right and
// top edges.
constexpr int CloseBoxWidth = 16;
constexpr int CloseBoxHeight = 14;
constexpr int CloseBoxMargin = 2;
constexpr int VerticalScrollBarWidth = 16;

// How far the client area lies inside the window rectangle on each side.
struct FrameInsets {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int FrameWidth = 0;
    bool HasCaption = false;
};

// Child windows have no non-client area of their own: controls draw their
// borders inside their client area.
FrameInsets NonClientInsetsOf(DWORD style, DWORD exStyle);
