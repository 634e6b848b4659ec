// The installer's only decompressor: LZHUF (LZSS over a 4,096-byte ring,
// literals and match lengths in one adaptive Huffman code, match positions in
// a fixed prefix code for the upper 6 bits plus 6 plain bits). The model it
// shares with the packer's encoder is in lzhuf_model.h.
//
// The stream has no header and stores no length: the caller says how many
// bytes to produce. Input bits are taken most significant bit first, byte
// after byte.
#pragma once

#include "app/install_state.h"
#include "platform/runtime/errors.h"

#include <cstdint>
#include <string>

// The decoder's own error; its message is one of the two texts below.
class ElzhException : public Exception {
  public:
    explicit ElzhException(const std::string& message) : Exception(message) {}
};

inline constexpr const char* LzhNoMemoryMessage = "LZH : Cannot get memory for dictionary tables";
inline constexpr const char* LzhFreeFailedMessage =
    "LZH : Error freeing memory for dictionary tables";

// Decodes one stream, pulling input through `readFn` and pushing output
// through `writeFn`, one byte per call in both directions.
//
// Returns when `unpackedSize` bytes or more have been written, or when
// KeepGoing (tested once before every symbol) is 0; the caller tells the two
// apart by KeepGoing. A match that has begun is always written in full, so
// the output can exceed `unpackedSize` by up to 59 bytes. An `unpackedSize`
// of 0 or less calls neither callback.
//
// readFn: asked for exactly 1 byte per call. The byte is used only when
//   `actual` comes back as 1; any other value (end of input, a host that has
//   stopped delivering) counts as a byte 0, and decoding goes on. So a short
//   or corrupt stream is never an error: it decodes to some bytes. At the end
//   of a well-formed stream the decoder may ask for one byte more than the
//   stream holds.
// writeFn: given exactly 1 byte per call, never 0; `actual` is ignored.
// Errors raised by either callback pass through unchanged, after the
//   decoder's storage is released. The callbacks must not start another
//   decode.
//
// Raises ElzhException(LzhNoMemoryMessage) when the working storage (ring and
// tree, obtained once per call from the heap) cannot be had; no callback has
// been called then. Releasing it cannot fail here, so LzhFreeFailedMessage is
// never raised.
//
// Whatever the input, every access stays inside the decoder's tables. The
// ring starts as spaces in all 4,096 positions, so that even a malformed
// stream decodes exactly as LHA's "-lh1-" extractors decode it.
void UnpackStream(int32_t unpackedSize, ReadBlockFn readFn, WriteBlockFn writeFn);
