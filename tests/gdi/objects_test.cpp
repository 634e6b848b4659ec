#include "platform/machine/gdi/gdi_state.h"
#include "platform/machine/machine.h"
#include "tests/gdi/canvas.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class ObjectsTest : public ::testing::Test {
  protected:
    TestMachine Machine;
};

BITMAP DescribeBitmap(HGDIOBJ bitmap) {
    BITMAP description{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof description, &description),
              static_cast<int>(sizeof description));
    return description;
}

TEST_F(ObjectsTest, SelectObjectReturnsThePreviousObjectOfThatKind) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HPEN firstPen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HPEN secondPen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    HFONT font = CreateFontA(16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 7, 5);

    // A new context starts with the stock defaults and a 1 x 1 bitmap.
    EXPECT_EQ(SelectObject(dc, firstPen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
    HGDIOBJ defaultBitmap = SelectObject(dc, bitmap);
    ASSERT_NE(defaultBitmap, nullptr);
    EXPECT_EQ(DescribeBitmap(defaultBitmap).bmWidth, 1);
    EXPECT_EQ(DescribeBitmap(defaultBitmap).bmHeight, 1);

    // Each kind has its own slot: a pen replaces only the pen.
    EXPECT_EQ(SelectObject(dc, secondPen), firstPen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), brush);
    EXPECT_EQ(SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT)), font);
    EXPECT_EQ(SelectObject(dc, defaultBitmap), bitmap);
    EXPECT_EQ(SelectObject(dc, firstPen), secondPen);

    EXPECT_TRUE(DeleteDC(dc));
    for (HGDIOBJ object :
         std::initializer_list<HGDIOBJ>{firstPen, secondPen, brush, font, bitmap}) {
        EXPECT_TRUE(DeleteObject(object));
    }
    EXPECT_EQ(LiveGdiObjectCount(), 0);
    EXPECT_EQ(LiveDeviceContextCount(), 0);
}

TEST_F(ObjectsTest, DeletingASelectedObjectFailsAndKeepsItUsable) {
    Canvas canvas(4, 3, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ stockBrush = SelectObject(canvas.Dc, brush);
    EXPECT_FALSE(DeleteObject(brush));
    // Still selected and still drawing.
    HPEN nullPen = static_cast<HPEN>(GetStockObject(NULL_PEN));
    SelectObject(canvas.Dc, nullPen);
    Rectangle(canvas.Dc, 0, 0, 5, 4);
    EXPECT_EQ(canvas.Count(RGB(0, 0, 255)), 12);
    // Once deselected it can go, and then the handle is dead everywhere.
    EXPECT_EQ(SelectObject(canvas.Dc, stockBrush), brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(SelectObject(canvas.Dc, brush), nullptr);
    RECT all{0, 0, 4, 3};
    EXPECT_EQ(FillRect(canvas.Dc, &all, brush), 0);

    // A bitmap selected into a context cannot be deleted either.
    EXPECT_FALSE(DeleteObject(canvas.Bitmap));
}

TEST_F(ObjectsTest, ABitmapGoesIntoOneMemoryContextAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 2, 2);
    HGDIOBJ firstDefault = SelectObject(first, bitmap);
    EXPECT_NE(firstDefault, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(SelectObject(screen, bitmap), nullptr);
    // Deleting the context lets go of the bitmap.
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST_F(ObjectsTest, ContextsAreEndedOnlyTheirOwnWay) {
    HDC memory = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, memory), 0);
    EXPECT_FALSE(DeleteDC(screen));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    EXPECT_EQ(LiveDeviceContextCount(), 0);
}

TEST_F(ObjectsTest, StockObjectsSurviveDeletion) {
    for (int index : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN,
                      BLACK_PEN, NULL_PEN, ANSI_VAR_FONT, SYSTEM_FONT, DEFAULT_GUI_FONT}) {
        HGDIOBJ stock = GetStockObject(index);
        ASSERT_NE(stock, nullptr) << index;
        EXPECT_EQ(GetStockObject(index), stock) << index;
        EXPECT_TRUE(DeleteObject(stock)) << index;
    }
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    Canvas canvas(2, 1, RGB(0, 0, 0));
    RECT all{0, 0, 2, 1};
    EXPECT_NE(FillRect(canvas.Dc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))), 0);
    EXPECT_EQ(canvas.Count(RGB(192, 192, 192)), 2);
}

// Every call given a handle that is not what it needs fails cleanly: a
// made-up value, a deleted object, an object of another kind.
TEST_F(ObjectsTest, BadHandlesFailEveryCall) {
    HDC deletedDc = CreateCompatibleDC(nullptr);
    DeleteDC(deletedDc);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HBRUSH deletedBrush = CreateSolidBrush(0);
    DeleteObject(deletedBrush);
    Canvas canvas(2, 2, RGB(0, 0, 0));
    RECT area{0, 0, 1, 1};
    SIZE size{};
    TEXTMETRICA metrics{};
    for (HDC bad : {reinterpret_cast<HDC>(0x1234), deletedDc, reinterpret_cast<HDC>(pen)}) {
        EXPECT_EQ(SelectObject(bad, pen), nullptr);
        EXPECT_EQ(SetBkMode(bad, TRANSPARENT), 0);
        EXPECT_EQ(SetBkColor(bad, 0), CLR_INVALID);
        EXPECT_EQ(SetTextColor(bad, 0), CLR_INVALID);
        EXPECT_FALSE(Rectangle(bad, 0, 0, 2, 2));
        EXPECT_EQ(FillRect(bad, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
        EXPECT_FALSE(MoveToEx(bad, 0, 0, nullptr));
        EXPECT_FALSE(LineTo(bad, 1, 1));
        EXPECT_EQ(SetPixel(bad, 0, 0, 0), CLR_INVALID);
        EXPECT_EQ(GetPixel(bad, 0, 0), CLR_INVALID);
        EXPECT_FALSE(TextOutA(bad, 0, 0, "x", 1));
        EXPECT_FALSE(GetTextExtentPoint32A(bad, "x", 1, &size));
        EXPECT_FALSE(GetTextMetricsA(bad, &metrics));
        EXPECT_EQ(CreateCompatibleDC(bad), nullptr);
        EXPECT_EQ(CreateCompatibleBitmap(bad, 2, 2), nullptr);
        EXPECT_FALSE(BitBlt(bad, 0, 0, 1, 1, canvas.Dc, 0, 0, SRCCOPY));
        EXPECT_FALSE(BitBlt(canvas.Dc, 0, 0, 1, 1, bad, 0, 0, SRCCOPY));
        EXPECT_FALSE(DeleteDC(bad));
        EXPECT_EQ(ReleaseDC(nullptr, bad), 0);
    }
    for (HGDIOBJ bad : {reinterpret_cast<HGDIOBJ>(0x1234), static_cast<HGDIOBJ>(deletedBrush),
                        reinterpret_cast<HGDIOBJ>(canvas.Dc), static_cast<HGDIOBJ>(nullptr)}) {
        EXPECT_EQ(SelectObject(canvas.Dc, bad), nullptr);
        EXPECT_FALSE(DeleteObject(bad));
        BITMAP description{};
        EXPECT_EQ(GetObjectA(bad, sizeof description, &description), 0);
    }
    EXPECT_EQ(FillRect(canvas.Dc, &area, deletedBrush), 0);
    EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 4);
    DeleteObject(pen);
}

TEST_F(ObjectsTest, GetObjectDescribesBitmapsOnly) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 7, 5);
    const BITMAP description = DescribeBitmap(bitmap);
    EXPECT_EQ(description.bmWidth, 7);
    EXPECT_EQ(description.bmHeight, 5);
    EXPECT_EQ(description.bmPlanes, 1);
    EXPECT_EQ(description.bmBitsPixel, 32);
    EXPECT_EQ(description.bmWidthBytes, 28);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    BITMAP tooSmall{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP) - 1, &tooSmall), 0);
    EXPECT_EQ(GetObjectA(GetStockObject(BLACK_PEN), sizeof tooSmall, &tooSmall), 0);
    // Zero size gives the 1 x 1 default; negative and huge sizes give none.
    HBITMAP empty = CreateCompatibleBitmap(dc, 0, 5);
    EXPECT_EQ(DescribeBitmap(empty).bmWidth, 1);
    EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 100000, 100000), nullptr);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(ObjectsTest, ContextStateCallsReturnThePreviousValue) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(dc, 0), RGB(1, 2, 3));
    EXPECT_EQ(SetTextColor(dc, RGB(4, 5, 6)), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(dc, 0), RGB(4, 5, 6));
    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
    DeleteDC(dc);
}

TEST_F(ObjectsTest, ResetEndsEveryObjectAndContext) {
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldStock = GetStockObject(WHITE_BRUSH);
    ResetGdi();
    EXPECT_EQ(LiveGdiObjectCount(), 0);
    EXPECT_EQ(LiveDeviceContextCount(), 0);
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_FALSE(DeleteDC(dc));
    // Stock objects come back, with handles no earlier object had.
    EXPECT_NE(GetStockObject(WHITE_BRUSH), nullptr);
    EXPECT_NE(GetStockObject(WHITE_BRUSH), oldStock);
    HPEN newPen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_NE(newPen, pen);
    DeleteObject(newPen);
}

} // namespace
