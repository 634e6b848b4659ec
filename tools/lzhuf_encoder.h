// The packer's LZHUF encoder: produces exactly the stream that the
// installer's UnpackStream reads, sharing its model (package/lzhuf_model.h):
// the same preset ring, adaptive tree with its updates and rebuilds, position
// code and most-significant-bit-first order. The last byte is completed with
// zero bits; no length is written (the setup trailer carries it).
//
// Matches are found with hash chains over the 4,096-byte window, up to 60
// bytes long, with one step of lazy evaluation. A match only ever copies bytes
// that the decoder has written or preset: the preset spaces at ring positions
// 0 to 4035 may be used, positions 4036 to 4095 only once written.
#pragma once

#include "package/lzhuf_model.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct EncoderOptions {
    // How many earlier positions of the same hash are tried per match search.
    int MaxChainLength = 128;
    // Defer a match by one byte when the next position matches longer.
    bool LazyMatching = true;
};

// Streaming encoder: Write any number of times, then Finish once.
class LzhufEncoder {
  public:
    // Receives compressed bytes in chunks, in order.
    using Sink = std::function<void(const uint8_t* bytes, size_t count)>;

    explicit LzhufEncoder(Sink sink, EncoderOptions options = {});
    ~LzhufEncoder();
    LzhufEncoder(const LzhufEncoder&) = delete;
    LzhufEncoder& operator=(const LzhufEncoder&) = delete;

    // Adds `count` bytes of input; may hand compressed bytes to the sink.
    void Write(const uint8_t* data, size_t count);
    // Encodes the rest, completes the last byte with zero bits and hands
    // everything left to the sink. No Write may follow.
    void Finish();

    uint64_t InputCount() const;
    uint64_t OutputCount() const;

  private:
    struct State;
    std::unique_ptr<State> state;
};

// The whole stream for `size` bytes at `data`, in one call.
std::vector<uint8_t> EncodeLzhuf(const uint8_t* data, size_t size, EncoderOptions options = {});
