// The backdrop's pixels: the gradient band by band, the title's shadow, the
// logo and the notice line where they belong, and nothing left behind by a
// paint.
#include "platform/machine/gdi/gdi_state.h"
#include "platform/machine/resources.h"
#include "tests/ui/ui_fixture.h"

#include <functional>

namespace {

uint32_t Pixel(int red, int green, int blue) {
    return (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) |
           static_cast<uint32_t>(blue);
}

// The column left of the title, the logo and the notice line shows nothing
// but the gradient.
constexpr int GradientColumn = 5;

struct GradientCase {
    const char* Name;
    int Width;
    int Height;
    COLORREF Top;
    COLORREF Bottom;
    std::function<uint32_t(int row)> Expected;
};

TEST(BackdropTest, GradientRunsBandByBand) {
    const GradientCase cases[] = {
        // 255 steps on 768 rows: bands of 3, black from row 765.
        {"blue to black, 768 rows", 1024, 768, RGB(0, 0, 255), RGB(0, 0, 0),
         [](int row) { return Pixel(0, 0, std::max(0, 255 - row / 3)); }},
        // 480 / 255 = 1: one row per step, black from row 255 on.
        {"blue to black, 480 rows", 640, 480, RGB(0, 0, 255), RGB(0, 0, 0),
         [](int row) { return Pixel(0, 0, std::max(0, 255 - row)); }},
        // More steps than rows: a step every row, the last row still blue 56.
        {"blue to black, 200 rows", 320, 200, RGB(0, 0, 255), RGB(0, 0, 0),
         [](int row) { return Pixel(0, 0, 255 - row); }},
        {"equal colours", 640, 480, RGB(10, 120, 200), RGB(10, 120, 200),
         [](int) { return Pixel(10, 120, 200); }},
        {"upward channel", 1024, 768, RGB(0, 0, 0), RGB(0, 0, 255),
         [](int row) { return Pixel(0, 0, std::min(255, row / 3)); }},
        // Channels move together, one step per band, each stopping at its
        // target: red falls over all 255 bands, green rises for 128.
        {"two channels", 1024, 768, RGB(255, 0, 0), RGB(0, 128, 0),
         [](int row) { return Pixel(std::max(0, 255 - row / 3), std::min(128, row / 3), 0); }},
    };
    for (const GradientCase& c : cases) {
        SCOPED_TRACE(c.Name);
        BackdropMachine machine(c.Width, c.Height);
        Settings.BackdropTopColor = c.Top;
        Settings.BackdropBottomColor = c.Bottom;
        machine.CreateBackdrop();
        const Surface screen = machine.PaintedScreen();
        ASSERT_EQ(screen.Height, c.Height);
        int mismatches = 0;
        for (int row = 0; row < c.Height; ++row) {
            if (screen.At(GradientColumn, row) != c.Expected(row) && mismatches++ < 5) {
                ADD_FAILURE() << "row " << row << ": " << std::hex << screen.At(GradientColumn, row)
                              << " instead of " << c.Expected(row);
            }
            // Each row is one colour across, where nothing else is drawn.
            if (row > 100 && row < c.Height - 72) {
                EXPECT_EQ(screen.At(c.Width - 1, row), screen.At(GradientColumn, row)) << row;
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(BackdropTest, LastRowOfATooShortScreenIsNotYetTheBottomColour) {
    BackdropMachine machine(320, 200);
    machine.CreateBackdrop();
    EXPECT_EQ(machine.PaintedScreen().At(GradientColumn, 199), Pixel(0, 0, 56));
}

// Counts the pixels of `colour` in the area where the title and its shadow
// are drawn.
int CountInTitleArea(const Surface& screen, uint32_t colour) {
    int count = 0;
    for (int y = 20; y < 100; ++y) {
        for (int x = 15; x < 600; ++x) {
            count += screen.At(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(BackdropTest, ShadowIsBlackUnderLightTitlesAndWhiteUnderDarkOnes) {
    struct Case {
        const char* Name;
        COLORREF Title;
        COLORREF Shadow;
    };
    const Case cases[] = {
        {"yellow, luminance 227", RGB(255, 255, 0), RGB(0, 0, 0)},
        {"white", RGB(255, 255, 255), RGB(0, 0, 0)},
        {"blue, luminance 28", RGB(0, 0, 255), RGB(255, 255, 255)},
        {"black", RGB(0, 0, 0), RGB(255, 255, 255)},
        // 0.3 * 128 + 0.59 * 128 + 0.11 * 127 = 127.89, rounded 128: black.
        {"just light enough", RGB(128, 128, 127), RGB(0, 0, 0)},
        // 0.3 * 127 + 0.59 * 128 + 0.11 * 127 = 127.59, rounded 128: black.
        {"rounded up", RGB(127, 128, 127), RGB(0, 0, 0)},
        // 0.3 * 127 + 0.59 * 127 + 0.11 * 127 = 127: white.
        {"just too dark", RGB(127, 127, 127), RGB(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(TitleShadowColor(c.Title), c.Shadow);
        BackdropMachine machine;
        Settings.TitleColor = c.Title;
        machine.CreateBackdrop();
        const Surface screen = machine.PaintedScreen();
        const uint32_t shadow = PixelFromColorref(c.Shadow);
        const uint32_t title = PixelFromColorref(c.Title);
        const uint32_t otherShadow = shadow == 0 ? 0xFFFFFF : 0;
        // Neither black nor white is in the gradient up there, so the
        // shadow's colour shows only where the shadow was drawn.
        EXPECT_GT(CountInTitleArea(screen, shadow), 300);
        if (otherShadow != title) {
            EXPECT_EQ(CountInTitleArea(screen, otherShadow), 0);
        }
        EXPECT_GT(CountInTitleArea(screen, title), 300);
    }
}

// The shadow lies 2 pixels right of and 3 below the title: the shadow is
// drawn first and the title over it, so the topmost title-coloured pixel is
// at least 3 rows above the topmost shadow pixel, and the leftmost 2 columns
// left of it.
TEST(BackdropTest, ShadowIsOffsetByTwoAcrossAndThreeDown) {
    BackdropMachine machine;
    machine.CreateBackdrop();
    const Surface screen = machine.PaintedScreen();
    auto bounds = [&](uint32_t colour) {
        RECT box{10000, 10000, -1, -1};
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 700; ++x) {
                if (screen.At(x, y) == colour) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                }
            }
        }
        return box;
    };
    const RECT title = bounds(Pixel(255, 255, 0));
    const RECT shadow = bounds(Pixel(0, 0, 0));
    ASSERT_GE(title.right, 0);
    ASSERT_GE(shadow.right, 0);
    EXPECT_EQ(shadow.bottom - title.bottom, 3);
    EXPECT_EQ(shadow.right - title.right, 2);
    EXPECT_GE(title.left, 22);
    EXPECT_GE(title.top, 25);
}

// The logo bitmap's own pixels, decoded from the resource.
Surface LogoPixels() {
    const std::vector<uint8_t>* file = FindBitmapResource("LOGO");
    Surface logo;
    if (file == nullptr) {
        ADD_FAILURE() << "no LOGO bitmap resource";
        return logo;
    }
    const auto& bytes = *file;
    auto word32 = [&](size_t at) {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
               (static_cast<uint32_t>(bytes[at + 3]) << 24);
    };
    const uint32_t offset = word32(10);
    const int width = static_cast<int>(word32(18));
    const int height = static_cast<int>(word32(22));
    EXPECT_EQ(width, 204);
    EXPECT_EQ(height, 66);
    EXPECT_EQ(bytes[28], 4); // bits per pixel
    const size_t rowBytes = ((static_cast<size_t>(width) * 4 + 31) / 32) * 4;
    logo.Resize(width, height);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uint8_t pair = bytes[row + static_cast<size_t>(x / 2)];
            const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            const size_t entry = 54 + static_cast<size_t>(index) * 4;
            logo.At(x, y) = Pixel(bytes[entry + 2], bytes[entry + 1], bytes[entry]);
        }
    }
    return logo;
}

TEST(BackdropTest, LogoAndNoticeSitAtTheBottom) {
    struct Case {
        int Width;
        int Height;
        POINT Logo;
        POINT Notice;
    };
    const Case cases[] = {
        {1024, 768, {410, 696}, {774, 748}},
        {640, 480, {218, 408}, {390, 460}},
    };
    const Surface logo = LogoPixels();
    ASSERT_EQ(logo.Width, 204);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
        BackdropMachine machine(c.Width, c.Height);
        machine.CreateBackdrop();
        const Surface screen = machine.PaintedScreen();

        // The notice line is drawn after the logo and, on a narrow screen,
        // over its right end; everywhere else the logo is exact.
        auto underNotice = [&](int x, int y) { return x >= c.Notice.x && y >= c.Notice.y; };
        int differing = 0;
        for (int y = 0; y < logo.Height; ++y) {
            for (int x = 0; x < logo.Width; ++x) {
                if (!underNotice(c.Logo.x + x, c.Logo.y + y)) {
                    differing += screen.At(c.Logo.x + x, c.Logo.y + y) != logo.At(x, y) ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(differing, 0);
        // Only the 204 x 66 area is copied: the row below and the columns
        // beside it are gradient again.
        for (int y = c.Logo.y; y < c.Logo.y + logo.Height; ++y) {
            EXPECT_EQ(screen.At(c.Logo.x - 1, y), screen.At(GradientColumn, y));
            if (!underNotice(c.Logo.x + logo.Width, y)) {
                EXPECT_EQ(screen.At(c.Logo.x + logo.Width, y), screen.At(GradientColumn, y));
            }
        }
        for (int x = c.Logo.x; x < std::min<int>(c.Logo.x + logo.Width, c.Notice.x); ++x) {
            EXPECT_EQ(screen.At(x, c.Logo.y + logo.Height),
                      screen.At(GradientColumn, c.Logo.y + logo.Height));
        }

        // The notice line: in the title colour, starting at its point and
        // nowhere left of or above it.
        const uint32_t yellow = Pixel(255, 255, 0);
        int inside = 0;
        int outside = 0;
        for (int y = c.Height - 40; y < c.Height; ++y) {
            for (int x = c.Logo.x + logo.Width; x < c.Width; ++x) {
                if (screen.At(x, y) == yellow) {
                    (x >= c.Notice.x && y >= c.Notice.y ? inside : outside)++;
                }
            }
        }
        EXPECT_GT(inside, 20);
        EXPECT_EQ(outside, 0);
        int nearStart = 0;
        for (int y = c.Notice.y; y < c.Height; ++y) {
            for (int x = c.Notice.x; x < c.Notice.x + 8; ++x) {
                nearStart += screen.At(x, y) == yellow ? 1 : 0;
            }
        }
        EXPECT_GT(nearStart, 0);
    }
}

TEST(BackdropTest, NoticeLineIsInTheTitleColour) {
    BackdropMachine machine(640, 480);
    Settings.TitleColor = RGB(0, 255, 0);
    machine.CreateBackdrop();
    const Surface screen = machine.PaintedScreen();
    int green = 0;
    for (int y = 460; y < 480; ++y) {
        for (int x = 390; x < 640; ++x) {
            green += screen.At(x, y) == Pixel(0, 255, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(green, 20);
}

TEST(BackdropTest, PaintingReleasesEverythingItMade) {
    BackdropMachine machine;
    machine.CreateBackdrop();
    machine.PaintedScreen();
    const int objects = LiveGdiObjectCount();
    const int contexts = LiveDeviceContextCount();
    for (int paint = 0; paint < 3; ++paint) {
        PaintBackdrop();
    }
    EXPECT_EQ(LiveGdiObjectCount(), objects);
    EXPECT_EQ(LiveDeviceContextCount(), contexts);
}

// The whole window is drawn on every paint, whatever part was uncovered.
TEST(BackdropTest, RepaintsWhenUncovered) {
    BackdropMachine machine(640, 480);
    machine.CreateBackdrop();
    const Surface before = machine.PaintedScreen();
    HDC dc = GetDC(BackdropWindow);
    RECT spot{0, 0, 50, 50};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &spot, red);
    DeleteObject(red);
    ReleaseDC(BackdropWindow, dc);
    InvalidateRect(BackdropWindow, &spot, TRUE);
    const Surface after = machine.PaintedScreen();
    EXPECT_EQ(after.At(GradientColumn, GradientColumn), before.At(GradientColumn, GradientColumn));
}

// WM_DESTROY posts WM_QUIT to the backdrop itself; WM_CLOSE posts one too and
// its default processing destroys the window (which takes the window's
// posted messages with it).
TEST(BackdropTest, DestroyAndClosePostQuitAndCloseDestroys) {
    BackdropMachine machine(640, 480);
    machine.CreateBackdrop();
    machine.PaintedScreen();
    SendMessageA(BackdropWindow, WM_DESTROY, 0, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.hwnd, BackdropWindow);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(message.lParam, 0);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(IsWindow(BackdropWindow));

    SendMessageA(BackdropWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(BackdropWindow));
}

} // namespace
