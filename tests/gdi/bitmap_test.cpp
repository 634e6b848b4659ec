#include "platform/machine/gdi/bitmap_import.h"
#include "platform/machine/gdi/bmp_decoder.h"
#include "platform/machine/resources.h"
#include "tests/gdi/bmp_builder.h"
#include "tests/gdi/canvas.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

// The sixteen colours of the classic 4-bit palette.
const std::vector<uint32_t> ClassicPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// A 5 x 3 image using every palette index at least once, odd width so rows
// carry padding and a half-used last byte.
BmpRecipe FourBitLogo() {
    BmpRecipe recipe;
    recipe.Width = 5;
    recipe.Height = 3;
    recipe.BitsPerPixel = 4;
    recipe.Palette = ClassicPalette;
    recipe.Rows = {{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9}, {10, 11, 12, 13, 15}};
    return recipe;
}

// The pixels the recipe describes, as 0x00RRGGBB.
Surface Expected(const BmpRecipe& recipe) {
    Surface image;
    image.Resize(recipe.Width, recipe.Height);
    for (int y = 0; y < recipe.Height; ++y) {
        for (int x = 0; x < recipe.Width; ++x) {
            const uint32_t value = recipe.Rows[y][x];
            image.At(x, y) = recipe.BitsPerPixel <= 8 ? recipe.Palette[value] : value;
        }
    }
    return image;
}

class BitmapTest : public ::testing::Test {
  protected:
    TestMachine Machine;
};

TEST_F(BitmapTest, DecodesEveryPaletteDepthAndRowOrder) {
    std::vector<std::pair<const char*, BmpRecipe>> cases;
    cases.emplace_back("4-bit bottom-up", FourBitLogo());
    BmpRecipe topDown = FourBitLogo();
    topDown.TopDown = true;
    cases.emplace_back("4-bit top-down", topDown);
    BmpRecipe core = FourBitLogo();
    core.CoreHeader = true;
    cases.emplace_back("4-bit core header", core);
    BmpRecipe mono;
    mono.Width = 11;
    mono.Height = 2;
    mono.BitsPerPixel = 1;
    mono.Palette = {0x102030, 0xF0E0D0};
    mono.Rows = {{1, 0, 1, 1, 0, 0, 0, 1, 1, 0, 1}, {0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0}};
    cases.emplace_back("1-bit", mono);
    BmpRecipe eight;
    eight.Width = 3;
    eight.Height = 2;
    eight.BitsPerPixel = 8;
    for (uint32_t index = 0; index < 200; ++index) {
        eight.Palette.push_back(index * 0x010101);
    }
    eight.Rows = {{0, 199, 100}, {7, 8, 9}};
    cases.emplace_back("8-bit, short palette", eight);
    BmpRecipe truecolor;
    truecolor.Width = 3;
    truecolor.Height = 2;
    truecolor.BitsPerPixel = 24;
    truecolor.Rows = {{0x123456, 0xABCDEF, 0x000001}, {0xFF0000, 0x00FF00, 0x0000FF}};
    cases.emplace_back("24-bit", truecolor);
    BmpRecipe thirtyTwo = truecolor;
    thirtyTwo.BitsPerPixel = 32;
    thirtyTwo.TopDown = true;
    cases.emplace_back("32-bit top-down", thirtyTwo);

    for (const auto& [name, recipe] : cases) {
        Surface image;
        std::string problem;
        ASSERT_TRUE(DecodeBmp(BuildBmp(recipe), image, problem)) << name << ": " << problem;
        const Surface expected = Expected(recipe);
        EXPECT_EQ(image.Width, expected.Width) << name;
        EXPECT_EQ(image.Height, expected.Height) << name;
        EXPECT_EQ(image.Pixels, expected.Pixels) << name;
    }
}

TEST_F(BitmapTest, AFourBitBitmapIsBlittedExactly) {
    const BmpRecipe recipe = FourBitLogo();
    HBITMAP logo = CreateBitmapFromBmp(BuildBmp(recipe));
    ASSERT_NE(logo, nullptr);
    BITMAP description{};
    ASSERT_EQ(GetObjectA(logo, sizeof description, &description),
              static_cast<int>(sizeof description));
    EXPECT_EQ(description.bmWidth, 5);
    EXPECT_EQ(description.bmHeight, 3);

    // As the backdrop does it: a memory context holding the bitmap, copied
    // into the target with SRCCOPY, the memory context deleted after.
    Canvas screen(9, 6, RGB(1, 1, 1));
    HDC memory = CreateCompatibleDC(screen.Dc);
    SelectObject(memory, logo);
    EXPECT_TRUE(BitBlt(screen.Dc, 3, 2, 5, 3, memory, 0, 0, SRCCOPY));
    EXPECT_TRUE(DeleteDC(memory));
    const Surface expected = Expected(recipe);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 9; ++x) {
            const bool inside = x >= 3 && x < 8 && y >= 2 && y < 5;
            const COLORREF want =
                inside ? ColorrefFromPixel(expected.At(x - 3, y - 2)) : RGB(1, 1, 1);
            EXPECT_EQ(GetPixel(screen.Dc, x, y), want) << x << "," << y;
        }
    }
    // Released by the deleted context, the bitmap can go.
    EXPECT_TRUE(DeleteObject(logo));
}

TEST_F(BitmapTest, BitBltCopiesOnlyWhatBothSidesHold) {
    Canvas source(4, 3, RGB(0, 0, 0));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            SetPixel(source.Dc, x, y, RGB(10 * x + 1, 10 * y + 1, 0));
        }
    }
    struct Case {
        const char* Name;
        int X, Y, Width, Height, SourceX, SourceY;
    };
    const Case cases[] = {
        {"inside", 1, 1, 4, 3, 0, 0},
        {"off the target's top left", -2, -1, 4, 3, 0, 0},
        {"off the target's bottom right", 4, 3, 4, 3, 0, 0},
        {"source partly outside", 0, 0, 4, 3, 2, 1},
        {"source wholly outside", 0, 0, 4, 3, 10, 10},
        {"negative source", 0, 0, 4, 3, -1, -2},
        {"larger than both", -1, -1, 20, 20, 0, 0},
        {"empty", 0, 0, 0, 3, 0, 0},
    };
    const COLORREF untouched = RGB(255, 255, 255);
    for (const Case& c : cases) {
        Canvas target(6, 5, untouched);
        EXPECT_TRUE(BitBlt(target.Dc, c.X, c.Y, c.Width, c.Height, source.Dc, c.SourceX, c.SourceY,
                           SRCCOPY))
            << c.Name;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                const int sx = x - c.X + c.SourceX;
                const int sy = y - c.Y + c.SourceY;
                const bool copied = x >= c.X && x < c.X + c.Width && y >= c.Y &&
                                    y < c.Y + c.Height && sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
                const COLORREF want = copied ? RGB(10 * sx + 1, 10 * sy + 1, 0) : untouched;
                EXPECT_EQ(GetPixel(target.Dc, x, y), want) << c.Name << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(BitmapTest, BitBltWithinOneBitmapHandlesOverlap) {
    Canvas canvas(6, 1, RGB(0, 0, 0));
    for (int x = 0; x < 6; ++x) {
        SetPixel(canvas.Dc, x, 0, RGB(x, 0, 0));
    }
    EXPECT_TRUE(BitBlt(canvas.Dc, 1, 0, 5, 1, canvas.Dc, 0, 0, SRCCOPY));
    const int expectedRed[] = {0, 0, 1, 2, 3, 4};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(GetPixel(canvas.Dc, x, 0), RGB(expectedRed[x], 0, 0)) << x;
    }
    // Other raster operations are not done, and change nothing.
    EXPECT_FALSE(BitBlt(canvas.Dc, 0, 0, 6, 1, canvas.Dc, 1, 0, 0x00EE0086u));
    EXPECT_EQ(GetPixel(canvas.Dc, 0, 0), RGB(0, 0, 0));
}

TEST_F(BitmapTest, MalformedFilesAreRefusedWithAReason) {
    const std::vector<uint8_t> good = BuildBmp(FourBitLogo());
    auto refused = [](std::vector<uint8_t> bytes) {
        Surface image;
        std::string problem;
        const bool decoded = DecodeBmp(bytes, image, problem);
        EXPECT_TRUE(image.Pixels.empty() || decoded);
        return !decoded && !problem.empty();
    };
    auto patched = [&](size_t at, std::initializer_list<uint8_t> values) {
        std::vector<uint8_t> bytes = good;
        for (uint8_t value : values) {
            bytes[at++] = value;
        }
        return bytes;
    };
    EXPECT_TRUE(refused({}));
    EXPECT_TRUE(refused(patched(0, {'X'})));                     // signature
    EXPECT_TRUE(refused(patched(10, {0xFF, 0xFF, 0, 0})));       // pixels beyond the end
    EXPECT_TRUE(refused(patched(14, {99, 0, 0, 0})));            // header size
    EXPECT_TRUE(refused(patched(18, {0, 0, 0, 0})));             // width 0
    EXPECT_TRUE(refused(patched(18, {0xFF, 0xFF, 0xFF, 0x7F}))); // huge width
    EXPECT_TRUE(refused(patched(22, {0, 0, 0, 0x80})));          // most negative height
    EXPECT_TRUE(refused(patched(26, {2, 0})));                   // two planes
    EXPECT_TRUE(refused(patched(28, {3, 0})));                   // 3 bits per pixel
    EXPECT_TRUE(refused(patched(30, {2, 0, 0, 0})));             // run-length compressed
    // A colour count beyond what the depth allows is capped, not trusted.
    EXPECT_FALSE(refused(patched(46, {0xFF, 0xFF, 0xFF, 0xFF})));
    // A file without the last row's one byte of padding is still read; every
    // shorter cut is refused, never read past.
    EXPECT_FALSE(refused(std::vector<uint8_t>(good.begin(), good.end() - 1)));
    for (size_t length = 0; length < good.size() - 1; ++length) {
        EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + length))) << length;
    }
}

TEST_F(BitmapTest, PaletteIndicesBeyondThePaletteAreBlack) {
    BmpRecipe recipe = FourBitLogo();
    recipe.Palette.resize(4);
    recipe.Rows = {{0, 1, 2, 3, 4}, {15, 3, 3, 3, 3}, {3, 3, 3, 3, 3}};
    Surface image;
    std::string problem;
    ASSERT_TRUE(DecodeBmp(BuildBmp(recipe), image, problem)) << problem;
    EXPECT_EQ(image.At(3, 0), 0x808000u);
    EXPECT_EQ(image.At(4, 0), 0u);
    EXPECT_EQ(image.At(0, 1), 0u);
}

} // namespace

namespace {

TEST_F(BitmapTest, LoadBitmapReadsABitmapResourceByName) {
    const BmpRecipe recipe = FourBitLogo();
    const auto file = Machine.Scratch() / "test logo.bmp";
    const std::vector<uint8_t> bytes = BuildBmp(recipe);
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    AddResourceScriptForTesting("TESTLOGO BITMAP \"" + file.string() + "\"\n");
    HBITMAP loaded = LoadBitmapA(GetModuleHandleA(nullptr), "testlogo");
    ASSERT_NE(loaded, nullptr);
    const Surface* pixels = BitmapPixels(loaded);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels->Pixels, Expected(recipe).Pixels);
    EXPECT_TRUE(DeleteObject(loaded));

    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), "no such bitmap"), nullptr);
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), nullptr), nullptr);
    // A resource that is not a bitmap the decoder reads gives no bitmap.
    const auto broken = Machine.Scratch() / "broken.bmp";
    std::ofstream(broken) << "BM but nothing else";
    AddResourceScriptForTesting("BROKEN BITMAP \"" + broken.string() + "\"\n");
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), "BROKEN"), nullptr);
}

TEST_F(BitmapTest, TheProgramsLogoIsA204By66Bitmap) {
    HBITMAP logo = LoadBitmapA(GetModuleHandleA(nullptr), "logo");
    ASSERT_NE(logo, nullptr);
    BITMAP description{};
    GetObjectA(logo, sizeof description, &description);
    EXPECT_EQ(description.bmWidth, 204);
    EXPECT_EQ(description.bmHeight, 66);
    DeleteObject(logo);
    HideResource("LOGO");
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), "logo"), nullptr);
}

} // namespace
