// Decoding a Windows .bmp file (the bytes of a bitmap resource) into pixels.
// Internal to the machine.
//
// Understood: the 14-byte BITMAPFILEHEADER, then a BITMAPCOREHEADER (12
// bytes) or a BITMAPINFOHEADER (40 bytes) or one of its longer successors
// (V4, V5); 1, 4 and 8 bits per pixel with a palette, 16 (5-5-5 or
// bit-field masks), 24 and 32 bits per pixel; rows bottom-up (positive
// height) or top-down (negative height). Run-length compressed files are
// refused.
#pragma once

#include "platform/machine/surface.h"

#include <cstdint>
#include <span>
#include <string>

// Fills `image` from the file's bytes and returns true; on a malformed,
// truncated or unsupported file returns false with the reason in `problem`
// and leaves `image` empty. Every offset and size in the file is checked
// against the bytes given, so no input makes it read outside them. A
// palette index beyond the palette's entries gives a black pixel.
bool DecodeBmp(std::span<const uint8_t> bytes, Surface& image, std::string& problem);
