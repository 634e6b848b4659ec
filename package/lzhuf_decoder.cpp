#include "package/lzhuf_decoder.h"

#include "package/lzhuf_model.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Everything one call works with, obtained in one piece. The decoding loop
// keeps the bit state and ring position in locals and inlines the tree walk:
// per symbol the work is a chain of dependent table loads down the tree and
// back up it, which is what bounds the speed (measured alternatives, such as
// walking back up a remembered path, gained under 5%).
struct DecoderStorage {
    LzhufTree Tree;
    uint8_t Ring[RingSize];
};

// The input bit stream. The refill rule (one byte whenever 8 bits or fewer
// are left) fixes exactly when the read callback runs, and that callback
// drains the installer's message queue, so it is kept as it is.
struct BitInput {
    ReadBlockFn Read;
    uint32_t Buffer = 0; // the next bit in bit 15; bits above 15 always clear
    uint32_t Count = 0;

    void Refill() {
        while (Count <= 8) {
            uint8_t byte = 0;
            uint16_t actual = 0;
            Read(&byte, 1, actual);
            if (actual != 1) {
                byte = 0;
            }
            Buffer |= uint32_t{byte} << (8 - Count);
            Count += 8;
        }
    }

    unsigned ReadBit() {
        if (Count <= 8) {
            Refill();
        }
        const unsigned bit = Buffer >> 15;
        Buffer = (Buffer << 1) & 0xFFFF;
        --Count;
        return bit;
    }

    unsigned ReadByte() {
        if (Count <= 8) {
            Refill();
        }
        const unsigned byte = Buffer >> 8;
        Buffer = (Buffer << 8) & 0xFFFF;
        Count -= 8;
        return byte;
    }
};

// Walks the tree from the root, one input bit per level (0 the first child,
// 1 the second), and counts the symbol found.
int DecodeSymbol(LzhufTree& tree, BitInput& input) {
    int node = tree.NodeChild[RootNode];
    while (node < NodeCount) {
        node = tree.NodeChild[node + static_cast<int>(input.ReadBit())];
    }
    const int symbol = node - NodeCount;
    UpdateTree(tree, symbol);
    return symbol;
}

// The match's distance code (0 to 4095): the match begins that many bytes
// plus one behind the write position. The first 8 bits hold the whole prefix
// code and the start of the lower 6 bits; the rest follow one by one.
int DecodeDistance(BitInput& input) {
    unsigned bits = input.ReadByte();
    const int upper = LzhufPositionTables.Code[bits];
    const int remaining = LzhufPositionTables.Length[bits] - 2;
    for (int count = 0; count < remaining; ++count) {
        bits = (bits << 1) | input.ReadBit();
    }
    return upper * 64 + static_cast<int>(bits & 63);
}

} // namespace

void UnpackStream(int32_t unpackedSize, ReadBlockFn readFn, WriteBlockFn writeFn) {
    BitInput input{readFn};
    const std::unique_ptr<DecoderStorage> storage(new (std::nothrow) DecoderStorage);
    if (!storage) {
        throw ElzhException(LzhNoMemoryMessage);
    }
    LzhufTree& tree = storage->Tree;
    uint8_t* const ring = storage->Ring;
    InitTree(tree);
    std::memset(ring, RingPresetByte, RingSize);
    int ringPos = RingPresetLength;
    int32_t outputCount = 0;

    uint16_t ignored = 0;
    while (outputCount < unpackedSize && KeepGoing != 0) {
        const int symbol = DecodeSymbol(tree, input);
        if (symbol < FirstMatchSymbol) {
            const auto byte = static_cast<uint8_t>(symbol);
            writeFn(&byte, 1, ignored);
            ring[ringPos] = byte;
            ringPos = (ringPos + 1) & RingMask;
            ++outputCount;
            continue;
        }
        const int distance = DecodeDistance(input);
        const int length = symbol - FirstMatchSymbol + MinMatchLength;
        // Each byte is fetched after the one before was stored, so a match
        // that overlaps its own output repeats it.
        int from = (ringPos - distance - 1) & RingMask;
        for (int copied = 0; copied < length; ++copied) {
            const uint8_t byte = ring[from];
            writeFn(&byte, 1, ignored);
            ring[ringPos] = byte;
            ringPos = (ringPos + 1) & RingMask;
            from = (from + 1) & RingMask;
        }
        outputCount += length;
    }
}
