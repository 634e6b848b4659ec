#include "tools/lzhuf_symbol_writer.h"

#include <array>

namespace {

constexpr size_t OutputChunkSize = size_t{1} << 16;

// The prefix code of each upper-6-bit position value, read off the decoder's
// table: the value is the first table index of that upper value, cut to the
// code's length.
struct PositionEncoding {
    std::array<uint8_t, 64> Code;
    std::array<uint8_t, 64> Length;
};

constexpr PositionEncoding MakePositionEncoding() {
    PositionEncoding encoding{};
    for (int index = 255; index >= 0; --index) {
        const int upper = LzhufPositionTables.Code[index];
        const int length = LzhufPositionTables.Length[index];
        encoding.Code[upper] = static_cast<uint8_t>(index >> (8 - length));
        encoding.Length[upper] = static_cast<uint8_t>(length);
    }
    return encoding;
}

constexpr PositionEncoding PositionEncodingTable = MakePositionEncoding();

static_assert(PositionEncodingTable.Code[0] == 0 && PositionEncodingTable.Length[0] == 3);
static_assert(PositionEncodingTable.Code[63] == 255 && PositionEncodingTable.Length[63] == 8);

} // namespace

LzhufSymbolWriter::LzhufSymbolWriter(Sink sink) : Output(std::move(sink)) {
    InitTree(Tree);
    Pending.reserve(OutputChunkSize + 8);
}

void LzhufSymbolWriter::PutBits(uint32_t bits, int count) {
    BitBuffer = (BitBuffer << count) | bits;
    BitCount += count;
    while (BitCount >= 8) {
        BitCount -= 8;
        Pending.push_back(static_cast<uint8_t>(BitBuffer >> BitCount));
    }
    BitBuffer &= (uint64_t{1} << BitCount) - 1;
    if (Pending.size() >= OutputChunkSize) {
        FlushOutput();
    }
}

void LzhufSymbolWriter::FlushOutput() {
    if (!Pending.empty()) {
        Output(Pending.data(), Pending.size());
        Written += Pending.size();
        Pending.clear();
    }
}

// The path from the root down to the symbol's leaf, as the decoder walks it:
// 0 for a node's first child, 1 for its second.
void LzhufSymbolWriter::PutSymbol(int symbol) {
    uint64_t code = 0;
    int length = 0;
    for (int node = Tree.NodeParent[NodeCount + symbol]; node != RootNode;) {
        const int parent = Tree.NodeParent[node];
        code |= static_cast<uint64_t>(node - Tree.NodeChild[parent]) << length;
        ++length;
        node = parent;
    }
    // With a root frequency of at most 32,768 the tree is far shallower than
    // 48 levels; the split only keeps each put within 24 bits.
    while (length > 24) {
        const int upperLength = length - 24 > 24 ? 24 : length - 24;
        PutBits(static_cast<uint32_t>(code >> (length - upperLength)), upperLength);
        length -= upperLength;
        code &= (uint64_t{1} << length) - 1;
    }
    PutBits(static_cast<uint32_t>(code), length);
    UpdateTree(Tree, symbol);
}

void LzhufSymbolWriter::PutLiteral(uint8_t byte) {
    PutSymbol(byte);
}

void LzhufSymbolWriter::PutMatch(int length, int distanceCode) {
    PutSymbol(FirstMatchSymbol + length - MinMatchLength);
    const int upper = (distanceCode >> 6) & 63;
    const int codeLength = PositionEncodingTable.Length[upper];
    PutBits(static_cast<uint32_t>(PositionEncodingTable.Code[upper]) << 6 |
                static_cast<uint32_t>(distanceCode & 63),
            codeLength + 6);
}

void LzhufSymbolWriter::Finish() {
    if (BitCount > 0) {
        PutBits(0, 8 - BitCount);
    }
    FlushOutput();
}

std::vector<uint8_t> ComposeLzhufStream(const std::vector<LzhufSymbol>& symbols) {
    std::vector<uint8_t> stream;
    LzhufSymbolWriter writer([&stream](const uint8_t* bytes, size_t count) {
        stream.insert(stream.end(), bytes, bytes + count);
    });
    for (const LzhufSymbol& symbol : symbols) {
        if (symbol.Symbol < FirstMatchSymbol) {
            writer.PutLiteral(static_cast<uint8_t>(symbol.Symbol));
        } else {
            writer.PutMatch(symbol.Symbol - FirstMatchSymbol + MinMatchLength, symbol.DistanceCode);
        }
    }
    writer.Finish();
    return stream;
}
