#include "package/lzhuf_decoder.h"

#include "package/lzhuf_model.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Everything one call works with, obtained in one piece.
struct DecoderStorage {
    LzhufTree Tree;
    // The positions that the last symbol's walk from the root visited. No
    // walk is longer than the count of internal nodes.
    int16_t Path[SymbolCount];
    uint8_t Ring[RingSize];
};

// The input bits: the next one in bit 15 of Buffer, Count of them valid.
// The refill rule (one byte whenever 8 bits or fewer are left, before a bit
// or a byte is taken) fixes exactly when the read callback runs, and the
// installer's callback drains the message queue, so the rule is kept as it is
// rather than reading further ahead.
struct BitInput {
    uint32_t Buffer = 0; // bits above 15 always clear
    uint32_t Count = 0;
};

// Kept out of the decoding loops, and taking and giving the bit state by
// value, so that the loops hold it in registers.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
BitInput RefillBits(BitInput input, ReadBlockFn readFn) {
    while (input.Count <= 8) {
        uint8_t byte = 0;
        uint16_t actual = 0;
        readFn(&byte, 1, actual);
        if (actual != 1) {
            byte = 0;
        }
        input.Buffer |= uint32_t{byte} << (8 - input.Count);
        input.Count += 8;
    }
    return input;
}

// Walks the tree from the root, one input bit per level (0 the first child,
// 1 the second), and counts the symbol found (UpdateTree). The counting
// follows the remembered path back up instead of the parent links, which
// saves a dependent load per level, until a node changes place; from there on
// (and whenever a rebuild is due) it is UpdateTree's own walk.
int DecodeSymbol(DecoderStorage& storage, BitInput& input, ReadBlockFn readFn) {
    LzhufTree& tree = storage.Tree;
    int16_t* const path = storage.Path;
    int depth = 0;
    int position = RootNode;
    int value = tree.NodeChild[RootNode];
    while (value < NodeCount) {
        path[depth++] = static_cast<int16_t>(position);
        if (input.Count <= 8) {
            input = RefillBits(input, readFn);
        }
        position = value + static_cast<int>(input.Buffer >> 15);
        input.Buffer = (input.Buffer << 1) & 0xFFFF;
        --input.Count;
        value = tree.NodeChild[position];
    }
    const int symbol = value - NodeCount;
    if (tree.NodeFreq[RootNode] == MaxFreq) {
        UpdateTree(tree, symbol);
        return symbol;
    }
    // position is the symbol's leaf; path[depth - 1] its parent, path[0] the root.
    int node = position;
    for (;;) {
        const int moved = CountNode(tree, node);
        if (moved != node) {
            const int parent = tree.NodeParent[moved];
            if (parent != 0) {
                CountUpFrom(tree, parent);
            }
            break;
        }
        if (depth == 0) {
            break;
        }
        node = path[--depth];
    }
    return symbol;
}

// The match's distance code (0 to 4095): the match begins that many bytes
// plus one behind the write position. The first 8 bits hold the whole prefix
// code and the start of the lower 6 bits; the rest follow one by one.
int DecodeDistance(BitInput& input, ReadBlockFn readFn) {
    if (input.Count <= 8) {
        input = RefillBits(input, readFn);
    }
    unsigned bits = input.Buffer >> 8;
    input.Buffer = (input.Buffer << 8) & 0xFFFF;
    input.Count -= 8;
    const int upper = LzhufPositionTables.Code[bits];
    const int remaining = LzhufPositionTables.Length[bits] - 2;
    for (int count = 0; count < remaining; ++count) {
        if (input.Count <= 8) {
            input = RefillBits(input, readFn);
        }
        bits = (bits << 1) | (input.Buffer >> 15);
        input.Buffer = (input.Buffer << 1) & 0xFFFF;
        --input.Count;
    }
    return upper * 64 + static_cast<int>(bits & 63);
}

} // namespace

void UnpackStream(int32_t unpackedSize, ReadBlockFn readFn, WriteBlockFn writeFn) {
    BitInput input;
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
        const int symbol = DecodeSymbol(*storage, input, readFn);
        if (symbol < FirstMatchSymbol) {
            const auto byte = static_cast<uint8_t>(symbol);
            writeFn(&byte, 1, ignored);
            ring[ringPos] = byte;
            ringPos = (ringPos + 1) & RingMask;
            ++outputCount;
            continue;
        }
        const int distance = DecodeDistance(input, readFn);
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
