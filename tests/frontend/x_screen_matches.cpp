// Waits until the X server's screen shows exactly the pixels of a PNG file:
// the window front end's picture as the display really has it, compared with
// a headless screenshot. Exits 0 when it does, 1 when it still differs after
// the time given (saving the last capture beside the expected file as
// "<name>.x-capture.png"), 2 on a usage or display error.
// Usage: x_screen_matches EXPECTED.png [SECONDS]
#include "platform/machine/png_writer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

uint32_t Channel(unsigned long pixel, unsigned long mask) {
    return static_cast<uint32_t>((pixel & mask) >> ShiftOf(mask)) & 0xFF;
}

bool CaptureRoot(Display* display, Surface& capture) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    capture.Resize(attributes.width, attributes.height);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            capture.At(x, y) = (Channel(pixel, image->red_mask) << 16) |
                               (Channel(pixel, image->green_mask) << 8) |
                               Channel(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return true;
}

long DifferingPixels(const Surface& expected, const Surface& capture) {
    if (expected.Width != capture.Width || expected.Height != capture.Height) {
        return -1;
    }
    long differing = 0;
    for (size_t index = 0; index < expected.Pixels.size(); ++index) {
        differing += expected.Pixels[index] != capture.Pixels[index] ? 1 : 0;
    }
    return differing;
}

} // namespace

int main(int argumentCount, char** arguments) {
    if (argumentCount < 2) {
        std::fputs("usage: x_screen_matches EXPECTED.png [SECONDS]\n", stderr);
        return 2;
    }
    const std::string expectedPath = arguments[1];
    const int seconds = argumentCount > 2 ? std::atoi(arguments[2]) : 20;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x_screen_matches: cannot open the display\n", stderr);
        return 2;
    }
    const Surface expected = ReadPng(expectedPath);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    Surface capture;
    long differing = -1;
    do {
        if (CaptureRoot(display, capture)) {
            differing = DifferingPixels(expected, capture);
            if (differing == 0) {
                XCloseDisplay(display);
                return 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    XCloseDisplay(display);
    const std::string capturePath = expectedPath + ".x-capture.png";
    if (capture.Width > 0) {
        WritePng(capture, capturePath);
    }
    std::fprintf(stderr,
                 "x_screen_matches: after %d s the screen (%dx%d) still differs from %s (%dx%d) "
                 "in %ld pixels; last capture: %s\n",
                 seconds, capture.Width, capture.Height, expectedPath.c_str(), expected.Width,
                 expected.Height, differing, capturePath.c_str());
    return 1;
}
