#include "platform/machine/png_writer.h"

#include <png.h>

#include <cstring>
#include <stdexcept>
#include <vector>

// Both directions use libpng's simplified interface, which reports errors
// through the image structure instead of a long jump across C++ frames.

void WritePng(const Surface& surface, const std::filesystem::path& path) {
    const size_t pixelCount = static_cast<size_t>(surface.Width) * surface.Height;
    if (surface.Width <= 0 || surface.Height <= 0 || surface.Pixels.size() != pixelCount) {
        throw std::runtime_error("cannot write " + path.string() + " as PNG: the surface is " +
                                 std::to_string(surface.Width) + " x " +
                                 std::to_string(surface.Height) + " with " +
                                 std::to_string(surface.Pixels.size()) + " pixels");
    }
    std::vector<uint8_t> rgb(pixelCount * 3);
    for (size_t index = 0; index < pixelCount; ++index) {
        const uint32_t pixel = surface.Pixels[index];
        rgb[index * 3] = static_cast<uint8_t>(pixel >> 16);
        rgb[index * 3 + 1] = static_cast<uint8_t>(pixel >> 8);
        rgb[index * 3 + 2] = static_cast<uint8_t>(pixel);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(surface.Width);
    image.height = static_cast<png_uint_32>(surface.Height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) {
        const std::string reason = image.message;
        png_image_free(&image);
        throw std::runtime_error("cannot write " + path.string() + " as PNG: " + reason);
    }
}

Surface ReadPng(const std::filesystem::path& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        const std::string reason = image.message;
        png_image_free(&image);
        throw std::runtime_error("cannot read PNG " + path.string() + ": " + reason);
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        const std::string reason = image.message;
        png_image_free(&image);
        throw std::runtime_error("cannot read PNG " + path.string() + ": " + reason);
    }
    Surface surface;
    surface.Resize(static_cast<int>(image.width), static_cast<int>(image.height));
    for (size_t index = 0; index < surface.Pixels.size(); ++index) {
        surface.Pixels[index] = (static_cast<uint32_t>(rgb[index * 3]) << 16) |
                                (static_cast<uint32_t>(rgb[index * 3 + 1]) << 8) |
                                rgb[index * 3 + 2];
    }
    return surface;
}
