// A plain, slow LZHUF decoder written straight from the format's rules, for
// checking the installer's UnpackStream and the packer's encoder against. It
// works on whole buffers, keeps its bits in a plain counter, and records
// every match that copies a ring position which no byte has been written to
// and which is not one of the preset spaces (0 to 4035).
#pragma once

#include "package/lzhuf_model.h"

#include <cstdint>
#include <memory>
#include <vector>

struct ReferenceDecoding {
    std::vector<uint8_t> Output;
    // Matches that read a position of 4036 to 4095 before it was written.
    int UnwrittenReads = 0;
    // Input bytes taken, and those of them asked for beyond the stream's end.
    size_t BytesTaken = 0;
    int BytesPastEnd = 0;
    int Symbols = 0;
};

inline ReferenceDecoding ReferenceDecode(const std::vector<uint8_t>& stream, int32_t size) {
    ReferenceDecoding result;
    auto tree = std::make_unique<LzhufTree>();
    InitTree(*tree);
    std::vector<uint8_t> ring(RingSize, RingPresetByte);
    std::vector<uint8_t> known(RingSize, 0);
    for (int position = 0; position < RingPresetLength; ++position) {
        known[position] = 1;
    }
    size_t nextByte = 0;
    uint32_t bits = 0;
    int bitCount = 0;
    auto readBit = [&]() -> int {
        if (bitCount == 0) {
            if (nextByte < stream.size()) {
                bits = stream[nextByte];
            } else {
                bits = 0;
                ++result.BytesPastEnd;
            }
            ++nextByte;
            bitCount = 8;
        }
        --bitCount;
        return static_cast<int>((bits >> bitCount) & 1);
    };
    int writePosition = RingPresetLength;
    auto output = [&](uint8_t byte) {
        result.Output.push_back(byte);
        ring[writePosition] = byte;
        known[writePosition] = 1;
        writePosition = (writePosition + 1) % RingSize;
    };
    while (static_cast<int64_t>(result.Output.size()) < size) {
        int node = tree->NodeChild[RootNode];
        while (node < NodeCount) {
            node = tree->NodeChild[node + readBit()];
        }
        const int symbol = node - NodeCount;
        UpdateTree(*tree, symbol);
        ++result.Symbols;
        if (symbol < 256) {
            output(static_cast<uint8_t>(symbol));
            continue;
        }
        int first8 = 0;
        for (int bit = 0; bit < 8; ++bit) {
            first8 = first8 * 2 + readBit();
        }
        const int upper = LzhufPositionTables.Code[first8];
        int rest = first8;
        for (int bit = 0; bit < LzhufPositionTables.Length[first8] - 2; ++bit) {
            rest = rest * 2 + readBit();
        }
        const int distanceCode = upper * 64 + rest % 64;
        const int from = ((writePosition - distanceCode - 1) % RingSize + RingSize) % RingSize;
        for (int k = 0; k < symbol - 253; ++k) {
            const int position = (from + k) % RingSize;
            if (!known[position]) {
                ++result.UnwrittenReads;
            }
            output(ring[position]);
        }
    }
    result.BytesTaken = nextByte;
    return result;
}
