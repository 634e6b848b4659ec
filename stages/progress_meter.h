// The progress meter of the two progress dialogs: a bar, red for the part
// done and white for the rest, with the whole percentage in its middle. It is
// not a control: it is painted straight onto the dialog over the frame
// control with id 101, and only DrawMeter paints it (a repaint of the dialog
// erases it until the next drawing).
#pragma once

#include "platform/win32.h"

#include <cstdint>

// The id of the frame control that both progress templates carry.
constexpr int MeterFrameId = 101;

// When DrawMeter draws.
enum class MeterRule {
    OnChange,        // when the percentage differs from the last one drawn
    Always,          // on every call
    OnChangeUpTo100, // when it differs from the last one drawn and is at most 100
};

struct ProgressMeter {
    HDC MeterDC = nullptr;
    // The meter rectangle in MeterDC's coordinates.
    int32_t MeterLeft = 0;
    int32_t MeterTop = 0;
    int32_t MeterRight = 0;
    int32_t MeterBottom = 0;
    // MeterRight - MeterLeft + 1: the width of the done part at 100 %.
    int32_t MeterWidth = 0;
    // Where the percentage text goes; it does not follow the bar.
    int32_t TextX = 0;
    int32_t TextY = 0;
    HPEN RedPen = nullptr;
    HPEN WhitePen = nullptr;
    HBRUSH RedBrush = nullptr;
    HBRUSH WhiteBrush = nullptr;
    HFONT MeterFont = nullptr;
    HGDIOBJ SavedPen = nullptr;
    HGDIOBJ SavedBrush = nullptr;
    HGDIOBJ SavedFont = nullptr;
    // The percentage of the latest update, drawn or not.
    int32_t Percent = 0;
    // The percentage of the latest drawing. One value for the whole run:
    // opening the meter does not reset it, so the unpacking stage's first
    // drawing waits for a percentage that differs from the gathering stage's
    // last one.
    int32_t LastPercent = 0;
};

// The one meter, owned by one progress dialog at a time.
extern ProgressMeter Meter;

// Called from the dialog's WM_INITDIALOG. Takes the dialog's device context,
// derives the meter rectangle from the window rectangles of control 101 and
// of the dialog, creates and selects the drawing objects, centres the dialog
// on the screen and sets KeepGoing to 1. Tests no GDI result.
void OpenMeter(HWND dialog);

// Draws the progress `done` of `total` (total > 0) under `rule`. The pixel
// count and the percentage are each the integer nearest to the exact
// quotient, an exact half going to the even neighbour (12.5 gives 12,
// 13.5 gives 14). `done` may exceed `total`: the bar then runs past the
// meter's right edge and the text shows more than 100 %.
void DrawMeter(int32_t done, int32_t total, MeterRule rule);

// Called just before the dialog ends: restores the device context's objects,
// deletes the meter's own and releases the device context.
void CloseMeter(HWND dialog);

// Puts the meter back to its state at program start (LastPercent 0); for
// tests that run the installer more than once in one process.
void ResetMeter();
