#include "platform/machine/window_surfaces.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

namespace {

LRESULT PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowDcTest : public ::testing::Test {
  protected:
    WindowDcTest() : Machine(200, 150) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "GdiTestWindow";
        RegisterClassA(&windowClass);
    }

    static HWND MakeWindow(DWORD style, int x, int y, int width, int height) {
        return CreateWindowExA(0, "GdiTestWindow", "Drawing", style | WS_VISIBLE, x, y, width,
                               height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }

    static uint32_t ScreenPixel(int x, int y) {
        Surface screen;
        ComposeScreen(screen);
        return screen.At(x, y);
    }

    static void Fill(HDC dc, RECT area, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        EXPECT_NE(FillRect(dc, &area, brush), 0);
        DeleteObject(brush);
    }

    TestMachine Machine;
};

TEST_F(WindowDcTest, DrawingLandsInTheClientAreaWhereverTheWindowIs) {
    HWND window = MakeWindow(WS_POPUP | WS_CAPTION, 20, 10, 80, 60);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    const uint64_t before = ScreenGeneration();
    Fill(dc, RECT{0, 0, 3, 2}, RGB(255, 0, 0));
    EXPECT_GT(ScreenGeneration(), before);
    EXPECT_EQ(ScreenPixel(clientOrigin.x, clientOrigin.y), 0xFF0000u);
    EXPECT_EQ(ScreenPixel(clientOrigin.x + 2, clientOrigin.y + 1), 0xFF0000u);
    EXPECT_NE(ScreenPixel(clientOrigin.x + 3, clientOrigin.y), 0xFF0000u);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));

    // Drawing cannot reach the caption above the client area.
    EXPECT_EQ(SetPixel(dc, 0, -1, RGB(0, 255, 0)), CLR_INVALID);
    EXPECT_NE(ScreenPixel(clientOrigin.x, clientOrigin.y - 1), 0x00FF00u);

    // The same context follows the window when it moves.
    SetWindowPos(window, HWND_TOP, 60, 50, 0, 0, SWP_NOSIZE);
    POINT moved{0, 0};
    ClientToScreen(window, &moved);
    ASSERT_NE(moved.x, clientOrigin.x);
    Fill(dc, RECT{10, 10, 12, 12}, RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(moved.x + 10, moved.y + 10), 0x0000FFu);
    EXPECT_EQ(ScreenPixel(moved.x, moved.y), 0xFF0000u);

    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(ReleaseDC(window, dc), 0);
    DestroyWindow(window);
}

TEST_F(WindowDcTest, ALowerWindowsDrawingLeavesTheWindowAboveIntact) {
    HWND lower = MakeWindow(WS_POPUP, 0, 0, 200, 150);
    HWND upper = MakeWindow(WS_POPUP, 50, 40, 60, 50);
    HDC upperDc = GetDC(upper);
    Fill(upperDc, RECT{0, 0, 60, 50}, RGB(0, 255, 0));
    ReleaseDC(upper, upperDc);
    HDC lowerDc = GetDC(lower);
    Fill(lowerDc, RECT{0, 0, 200, 150}, RGB(255, 0, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    SelectObject(lowerDc, pen);
    Rectangle(lowerDc, 40, 30, 120, 100);
    ReleaseDC(lower, lowerDc);
    DeleteObject(pen);
    EXPECT_EQ(ScreenPixel(70, 60), 0x00FF00u);
    EXPECT_EQ(ScreenPixel(50, 40), 0x00FF00u);
    EXPECT_EQ(ScreenPixel(40, 60), 0x0000FFu);
    EXPECT_EQ(ScreenPixel(10, 10), 0xFF0000u);
    DestroyWindow(upper);
    DestroyWindow(lower);
}

TEST_F(WindowDcTest, AContextOfADestroyedWindowFailsUntilReleased) {
    HWND window = MakeWindow(WS_POPUP, 0, 0, 50, 50);
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(dc, brush);
    DestroyWindow(window);
    RECT area{0, 0, 5, 5};
    EXPECT_EQ(FillRect(dc, &area, brush), 0);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 5, 5));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "x", 1));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    // Releasing still works and lets go of the selected brush.
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetDC(window), nullptr);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x4321)), nullptr);
}

TEST_F(WindowDcTest, EachWindowContextStartsFromTheDefaults) {
    HWND window = MakeWindow(WS_POPUP, 0, 0, 50, 50);
    HDC first = GetDC(window);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(first, pen);
    SetBkMode(first, TRANSPARENT);
    ReleaseDC(window, first);
    HDC second = GetDC(window);
    EXPECT_EQ(SelectObject(second, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SetBkMode(second, OPAQUE), OPAQUE);
    ReleaseDC(window, second);
    EXPECT_TRUE(DeleteObject(pen));
    DestroyWindow(window);
}

TEST_F(WindowDcTest, TheScreenContextIsAnOffScreenSurfaceOfScreenSize) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(SetPixel(screen, 199, 149, RGB(9, 8, 7)), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(screen, 199, 149), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(screen, 200, 149), CLR_INVALID);
    // Kept for later screen contexts, never shown on the composed screen.
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    HDC again = GetDC(nullptr);
    EXPECT_EQ(GetPixel(again, 199, 149), RGB(9, 8, 7));
    EXPECT_NE(ScreenPixel(199, 149), 0x090807u);
    // A memory context made from it copies from it.
    HDC memory = CreateCompatibleDC(again);
    HBITMAP bitmap = CreateCompatibleBitmap(again, 2, 2);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(memory, 0, 0, 2, 2, again, 198, 148, SRCCOPY));
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(9, 8, 7));
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, again);
}

} // namespace
