// Where a top-level window's frame, caption bar and close box lie, and
// their painting into the window's surface. They are painted whenever they
// change (creation, size, caption text, activation, the close box's state),
// not through messages: the program never draws them itself.
#include "platform/api/gdi32.h"
#include "platform/machine/user/non_client_style.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_metrics.h"
#include "platform/machine/user/window_records.h"
#include "platform/machine/window_surfaces.h"

namespace {

HFONT CaptionFontHandle = nullptr;

// The caption is the dialog font in bold.
HFONT CaptionFontOnce() {
    if (CaptionFontHandle == nullptr) {
        CaptionFontHandle =
            CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
    }
    return CaptionFontHandle;
}

bool HasCloseBox(const WindowRecord& record) {
    return !record.IsChild() && NonClientInsetsOf(record.Style, record.ExStyle).HasCaption &&
           (record.Style & WS_SYSMENU);
}

RECT CaptionBarInWindow(const WindowRecord& record) {
    const FrameInsets insets = NonClientInsetsOf(record.Style, record.ExStyle);
    const LONG width = record.Bounds.right - record.Bounds.left;
    return RECT{insets.FrameWidth, insets.FrameWidth, width - insets.FrameWidth,
                insets.FrameWidth + CaptionBarHeight};
}

// Draws through an ordinary window device context that reaches the whole
// window for as long as it lives.
class NonClientCanvas {
  public:
    explicit NonClientCanvas(HWND window, const RECT& whole) : Window(window), Whole(whole) {
        BeginNonClientDrawing(window, whole);
        Context = GetDC(window);
    }
    ~NonClientCanvas() {
        if (Context) {
            ReleaseDC(Window, Context);
        }
        EndNonClientDrawing();
    }
    NonClientCanvas(const NonClientCanvas&) = delete;
    NonClientCanvas& operator=(const NonClientCanvas&) = delete;

    HDC Handle() const { return Context; }
    void ClipTo(const RECT& area) const { BeginNonClientDrawing(Window, area); }
    void Unclip() const { BeginNonClientDrawing(Window, Whole); }

  private:
    HWND Window;
    RECT Whole;
    HDC Context = nullptr;
};

} // namespace

HFONT NonClientCaptionFont() {
    return CaptionFontOnce();
}

void ResetNonClientResources() {
    // The drawing objects went with the drawing part's own reset.
    CaptionFontHandle = nullptr;
}

bool CloseBoxRectInWindow(const WindowRecord& record, RECT& box) {
    if (!HasCloseBox(record)) {
        return false;
    }
    const RECT bar = CaptionBarInWindow(record);
    const LONG right = bar.right - CloseBoxMargin;
    const LONG top = bar.top + CloseBoxMargin;
    box = RECT{right - CloseBoxWidth, top, right, top + CloseBoxHeight};
    return true;
}

bool CloseBoxScreenRect(const WindowRecord& record, RECT& box) {
    if (!CloseBoxRectInWindow(record, box)) {
        return false;
    }
    const RECT screen = ScreenRectOf(record);
    box = RECT{box.left + screen.left, box.top + screen.top, box.right + screen.left,
               box.bottom + screen.top};
    return true;
}

void PaintNonClient(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || record->IsChild() || !record->Pixels) {
        return;
    }
    const FrameInsets insets = NonClientInsetsOf(record->Style, record->ExStyle);
    if (insets.FrameWidth == 0 && !insets.HasCaption) {
        return;
    }
    const RECT whole{0, 0, record->Bounds.right - record->Bounds.left,
                     record->Bounds.bottom - record->Bounds.top};
    const bool active = WindowManager().Active == window;
    const std::string caption = record->Text;
    RECT closeBox{};
    const bool hasCloseBox = CloseBoxRectInWindow(*record, closeBox);
    const bool closeBoxEnabled = !record->CloseBoxDisabled;
    const HFONT font = insets.HasCaption ? NonClientCaptionFont() : nullptr;

    NonClientCanvas canvas(window, whole);
    const HDC dc = canvas.Handle();
    if (dc == nullptr) {
        return;
    }
    if (insets.FrameWidth == DialogFrameWidth) {
        DrawDialogFrame(dc, whole);
    } else if (insets.FrameWidth == ThinBorderWidth) {
        DrawThinBorder(dc, whole);
    }
    if (insets.HasCaption) {
        const RECT bar{insets.FrameWidth, insets.FrameWidth, whole.right - insets.FrameWidth,
                       insets.FrameWidth + CaptionBarHeight};
        DrawCaptionBar(dc, bar, active);
        RECT textArea = bar;
        if (hasCloseBox) {
            textArea.right = closeBox.left - CloseBoxMargin;
        }
        canvas.ClipTo(textArea);
        DrawCaptionText(dc, textArea, caption, font, active);
        canvas.Unclip();
        if (hasCloseBox) {
            DrawCloseBox(dc, closeBox, closeBoxEnabled);
        }
        DrawCaptionSeparator(dc, RECT{bar.left, bar.bottom, bar.right, bar.bottom + 1});
    }
    MarkScreenChanged();
}
