// The coding half of the packer's LZHUF encoder: turns literals and matches
// into the bit stream that UnpackStream reads, keeping the same adaptive tree
// (package/lzhuf_model.h). It decides nothing about which matches to use; the
// match finder (lzhuf_encoder.h) does, and tests use it to compose streams
// symbol by symbol.
#pragma once

#include "package/lzhuf_model.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class LzhufSymbolWriter {
  public:
    // Receives compressed bytes in chunks, in order.
    using Sink = std::function<void(const uint8_t* bytes, size_t count)>;

    explicit LzhufSymbolWriter(Sink sink);
    LzhufSymbolWriter(const LzhufSymbolWriter&) = delete;
    LzhufSymbolWriter& operator=(const LzhufSymbolWriter&) = delete;

    // One literal byte.
    void PutLiteral(uint8_t byte);
    // One match: `length` 3 to 60 bytes copied from `distanceCode` + 1 bytes
    // behind the write position (`distanceCode` 0 to 4095). Requires both in
    // range; which bytes the decoder then copies is the caller's concern.
    void PutMatch(int length, int distanceCode);
    // Completes the last byte with zero bits and hands everything to the sink.
    void Finish();

    // Compressed bytes produced so far, including those not yet handed over.
    uint64_t OutputCount() const { return Written + Pending.size(); }

  private:
    void PutBits(uint32_t bits, int count);
    void PutSymbol(int symbol);
    void FlushOutput();

    Sink Output;
    LzhufTree Tree;
    uint64_t BitBuffer = 0; // pending bits, right-aligned, fewer than 8
    int BitCount = 0;
    std::vector<uint8_t> Pending;
    uint64_t Written = 0;
};

// A whole stream composed from (symbol, distance code) pairs, for tests and
// tools that need a stream with exactly these symbols. Symbols below 256 are
// literals and ignore their distance code.
struct LzhufSymbol {
    int Symbol;
    int DistanceCode = 0;
};
std::vector<uint8_t> ComposeLzhufStream(const std::vector<LzhufSymbol>& symbols);
