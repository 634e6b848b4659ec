#include "package/lzhuf_decoder.h"

#include "package/lzhuf_model.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Everything one call works with, obtained in one piece.
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

int DecodeSymbol(LzhufTree& tree, BitInput& input) {
    int node = tree.NodeChild[RootNode];
    while (node < NodeCount) {
        node = tree.NodeChild[node + static_cast<int>(input.ReadBit())];
    }
    const int symbol = node - NodeCount;
    UpdateTree(tree, symbol);
    return symbol;
}

// The match's distance back from the write position, less one (0 to 4095).
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
        int from = (ringPos - distance - 1) & RingMask;
        const int length = symbol - FirstMatchSymbol + MinMatchLength;
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
