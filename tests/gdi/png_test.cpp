#include "platform/machine/png_writer.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

namespace {

TEST(PngFiles, RoundTripKeepsEveryPixel) {
    const auto folder = MakeTemporaryFolder("png");
    Surface surface;
    surface.Resize(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            surface.At(x, y) = static_cast<uint32_t>((x * 37) << 16 | (y * 51) << 8 | (x * y * 9));
        }
    }
    const auto path = folder / "round trip.png";
    WritePng(surface, path);
    const Surface read = ReadPng(path);
    EXPECT_EQ(read.Width, 7);
    EXPECT_EQ(read.Height, 5);
    EXPECT_EQ(read.Pixels, surface.Pixels);
    // Writing again replaces the file.
    surface.At(0, 0) = 0xABCDEF;
    WritePng(surface, path);
    EXPECT_EQ(ReadPng(path).At(0, 0), 0xABCDEFu);
    std::filesystem::remove_all(folder);
}

TEST(PngFiles, FailuresRaiseWithThePath) {
    const auto folder = MakeTemporaryFolder("png");
    Surface surface;
    surface.Resize(2, 2);
    const auto missingFolder = folder / "no such folder" / "shot.png";
    try {
        WritePng(surface, missingFolder);
        FAIL() << "writing into a missing folder succeeded";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("shot.png"), std::string::npos) << error.what();
    }
    EXPECT_THROW(WritePng(Surface{}, folder / "empty.png"), std::runtime_error);
    Surface inconsistent;
    inconsistent.Width = 3;
    inconsistent.Height = 3;
    EXPECT_THROW(WritePng(inconsistent, folder / "bad.png"), std::runtime_error);

    EXPECT_THROW(ReadPng(folder / "absent.png"), std::runtime_error);
    std::ofstream(folder / "garbage.png") << "not a png at all";
    EXPECT_THROW(ReadPng(folder / "garbage.png"), std::runtime_error);
    WritePng(surface, folder / "whole.png");
    std::filesystem::resize_file(folder / "whole.png", 40);
    EXPECT_THROW(ReadPng(folder / "whole.png"), std::runtime_error);
    std::filesystem::remove_all(folder);
}

} // namespace
