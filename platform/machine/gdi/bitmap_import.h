// Bitmaps made from outside pixels, and their pixels read back. Internal to
// the machine: LoadBitmapA builds on it, and tests use it to make a bitmap
// from a .bmp file they built.
#pragma once

#include "platform/api/win32_types.h"
#include "platform/machine/surface.h"

#include <cstdint>
#include <span>

// A new colour bitmap holding the decoded .bmp file; null when the bytes are
// not a bitmap the decoder understands (see bmp_decoder.h).
HBITMAP CreateBitmapFromBmp(std::span<const uint8_t> bytes);

// The pixels of a live bitmap; null for any other handle. Valid until the
// bitmap is deleted.
const Surface* BitmapPixels(HBITMAP bitmap);
