// WM_PAINT and the composed screen: who is painted when, what a repaint
// erases, and what stays on top.
#include "tests/user/user_test_support.h"

namespace {

class PaintingTest : public UserTest {
  protected:
    PaintingTest() { AddResourceScriptForTesting(TestDialogScript); }

    static INT_PTR QuietDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_COMMAND) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }

    static void FillClient(HWND window, RECT area, COLORREF color) {
        HDC dc = GetDC(window);
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        ReleaseDC(window, dc);
    }
};

constexpr COLORREF Green = RGB(0, 200, 0);
constexpr COLORREF Face = RGB(192, 192, 192);

TEST_F(PaintingTest, AVisibleWindowIsPaintedOnceThenOnlyWhenUncovered) {
    PaintLog below;
    PaintLog above;
    const HWND lower = CreatePaintingWindow(below, RECT{0, 0, 300, 200});
    Pump();
    EXPECT_EQ(below.Paints, 1);
    Pump();
    EXPECT_EQ(below.Paints, 1);

    const HWND upper = CreatePaintingWindow(above, RECT{50, 40, 150, 100});
    Pump();
    EXPECT_EQ(above.Paints, 1);
    EXPECT_EQ(below.Paints, 1) << "a window appearing above covers, it uncovers nothing";

    // Moving the window above uncovers the area it left.
    SetWindowPos(upper, HWND_TOP, 60, 40, 0, 0, SWP_NOSIZE);
    Pump();
    EXPECT_EQ(below.Paints, 2);
    EXPECT_EQ(below.LastArea.left, 50);
    EXPECT_EQ(below.LastArea.top, 40);
    EXPECT_EQ(below.LastArea.right, 150);
    EXPECT_EQ(below.LastArea.bottom, 100);
    EXPECT_EQ(above.Paints, 1) << "a move keeps the window's own pixels";

    ShowWindow(upper, SW_HIDE);
    Pump();
    EXPECT_EQ(below.Paints, 3);
    ShowWindow(upper, SW_SHOW);
    Pump();
    EXPECT_EQ(above.Paints, 2);
    DestroyWindow(upper);
    Pump();
    EXPECT_EQ(below.Paints, 4);

    // Raising a covered window paints the part that was covered.
    PaintLog third;
    const HWND cover = CreatePaintingWindow(third, RECT{0, 0, 100, 100});
    Pump();
    SetWindowPos(lower, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EXPECT_EQ(FindWindowA(nullptr, nullptr), lower);
    EXPECT_EQ(GetWindow(lower, GW_HWNDNEXT), cover);
    Pump();
    EXPECT_EQ(below.Paints, 5);
    EXPECT_EQ(below.LastArea.right, 100);
    EXPECT_EQ(below.LastArea.bottom, 100);
}

TEST_F(PaintingTest, InvalidateRectAndUpdateWindow) {
    PaintLog log;
    const HWND window = CreatePaintingWindow(log, RECT{0, 0, 200, 200});
    UpdateWindow(window);
    EXPECT_EQ(log.Paints, 1);
    const RECT part{10, 20, 30, 40};
    InvalidateRect(window, &part, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(log.Paints, 2);
    EXPECT_EQ(log.LastArea.left, 10);
    EXPECT_EQ(log.LastArea.bottom, 40);
    InvalidateRect(window, nullptr, TRUE);
    ValidateRect(window, nullptr);
    Pump();
    EXPECT_EQ(log.Paints, 2);
}

TEST_F(PaintingTest, AProcedureThatNeverValidatesIsNotAskedForever) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) -> LRESULT {
        return message == WM_PAINT ? 0 : DefWindowProcA(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = "Lazy";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "Lazy", "Lazy", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                    nullptr, nullptr);
    MSG message{};
    int paints = 0;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && paints < 10) {
        DispatchMessageA(&message);
        ++paints;
    }
    EXPECT_EQ(paints, 1);
}

TEST_F(PaintingTest, TheModalLoopDispatchesTheOwnersPaint) {
    PaintLog log;
    const HWND owner = CreatePaintingWindow(log, RECT{0, 0, 640, 480});
    Then([&log] {
        EXPECT_EQ(log.Paints, 1);
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(DialogBoxParamA(nullptr, "TestDialog", owner, QuietDialogProc, 0), IDCANCEL);
    // The dialog's disappearance uncovers the owner; the next loop paints it.
    Pump();
    EXPECT_EQ(log.Paints, 2);
}

TEST_F(PaintingTest, ADialogKeepsItsPixelsWhenTheWindowBeneathRepaints) {
    PaintLog log;
    const HWND owner = CreatePaintingWindow(log, RECT{0, 0, 640, 480});
    Then([owner, &log] {
        const HWND dialog = ActiveWindow();
        FillClient(dialog, RECT{0, 0, 10, 10}, Green);
        // The backdrop is painted again while the dialog is up.
        log.Fill = RGB(0, 0, 255);
        InvalidateRect(owner, nullptr, TRUE);
        Pump();
        EXPECT_EQ(log.Paints, 2);
        const Surface screen = Screen();
        POINT origin{0, 0};
        ClientToScreen(dialog, &origin);
        EXPECT_EQ(ScreenPixel(screen, origin.x + 5, origin.y + 5), Green);
        EXPECT_EQ(ScreenPixel(screen, origin.x + 290, origin.y + 150), Face);
        RECT frame{};
        GetWindowRect(dialog, &frame);
        EXPECT_EQ(ScreenPixel(screen, frame.left - 1, frame.top + 30), RGB(0, 0, 255));
        EXPECT_EQ(ScreenPixel(screen, frame.left + 10, frame.top + 10), RGB(0, 0, 128));
        Key(VK_ESCAPE);
    });
    DialogBoxParamA(nullptr, "TestDialog", owner, QuietDialogProc, 0);
}

TEST_F(PaintingTest, UncoveringADialogErasesWhatWasDrawnThereOnly) {
    Then([this] {
        const HWND dialog = ActiveWindow();
        FillClient(dialog, RECT{0, 0, 100, 10}, Green);
        POINT origin{0, 0};
        ClientToScreen(dialog, &origin);
        // A window passes over the dialog's left part and goes away.
        static PaintLog passing;
        const HWND over =
            CreatePaintingWindow(passing, RECT{origin.x, origin.y, origin.x + 40, origin.y + 40});
        Pump();
        DestroyWindow(over);
        Pump();
        const Surface screen = Screen();
        EXPECT_EQ(ScreenPixel(screen, origin.x + 5, origin.y + 5), Face) << "uncovered: erased";
        EXPECT_EQ(ScreenPixel(screen, origin.x + 80, origin.y + 5), Green) << "never covered";
        Key(VK_ESCAPE);
    });
    DialogBoxParamA(nullptr, "TestDialog", nullptr, QuietDialogProc, 0);
}

TEST_F(PaintingTest, TheDesktopShowsWhereNoWindowIs) {
    const Surface empty = Screen();
    EXPECT_EQ(empty.Width, 640);
    EXPECT_EQ(empty.Height, 480);
    EXPECT_EQ(ScreenPixel(empty, 0, 0), RGB(0, 128, 128));
    PaintLog log;
    CreatePaintingWindow(log, RECT{600, 440, 700, 500});
    Pump();
    const Surface screen = Screen();
    EXPECT_EQ(ScreenPixel(screen, 639, 479), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(screen, 599, 479), RGB(0, 128, 128));
}

TEST_F(PaintingTest, ScreenGenerationMovesWithEveryChange) {
    const uint64_t start = ScreenGeneration();
    PaintLog log;
    const HWND window = CreatePaintingWindow(log, RECT{0, 0, 50, 50});
    const uint64_t created = ScreenGeneration();
    EXPECT_GT(created, start);
    Pump();
    EXPECT_GT(ScreenGeneration(), created);
    const uint64_t painted = ScreenGeneration();
    SetWindowPos(window, HWND_TOP, 5, 5, 0, 0, SWP_NOSIZE);
    EXPECT_GT(ScreenGeneration(), painted);
}

} // namespace
