// The model that an LZHUF decoder and a matching encoder must share exactly:
// the constants, the fixed position code and the adaptive Huffman tree with
// its update and rebuild rules, tie-breaks included. One wrong tie-break and
// the two sides drift apart silently, so both use these same functions.
//
// The tree keeps its nodes sorted by frequency (the root last, at RootNode).
// Each internal node's two children sit next to each other; a leaf stores
// NodeCount + symbol in place of a child index.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

constexpr int RingSize = 4096;
constexpr int RingMask = RingSize - 1;
// Longest match.
constexpr int LookAhead = 60;
// A match is at least MatchThreshold + 1 bytes long.
constexpr int MatchThreshold = 2;
constexpr int MinMatchLength = MatchThreshold + 1;
// Symbols 0 to 255 are literal bytes; 256 to 313 are matches of 3 to 60 bytes.
constexpr int SymbolCount = 256 - MatchThreshold + LookAhead;
constexpr int FirstMatchSymbol = 256;
constexpr int NodeCount = 2 * SymbolCount - 1;
constexpr int RootNode = NodeCount - 1;
// Root frequency at which the tree is rebuilt before the next update.
constexpr unsigned MaxFreq = 0x8000;
// Ring positions 0 to RingPresetLength - 1 start as spaces and are the
// encoder's to use; the first byte of output goes to RingPresetLength.
constexpr int RingPresetLength = RingSize - LookAhead;
constexpr uint8_t RingPresetByte = 0x20;

static_assert(SymbolCount == 314 && NodeCount == 627 && RootNode == 626);

// The fixed prefix code of a match position's upper 6 bits, indexed by the
// first 8 bits read: the code's value and its length in bits.
struct PositionTables {
    std::array<uint8_t, 256> Code;
    std::array<uint8_t, 256> Length;
};

constexpr PositionTables MakePositionTables() {
    // Upper values 0, 1-3, 4-11, 12-23, 24-47, 48-63 take 3 to 8 bits.
    constexpr int groupEnd[6] = {1, 4, 12, 24, 48, 64};
    PositionTables tables{};
    int index = 0;
    int upper = 0;
    for (int group = 0; group < 6; ++group) {
        const int codeLength = group + 3;
        const int entriesEach = 1 << (8 - codeLength);
        for (; upper < groupEnd[group]; ++upper) {
            for (int entry = 0; entry < entriesEach; ++entry, ++index) {
                tables.Code[index] = static_cast<uint8_t>(upper);
                tables.Length[index] = static_cast<uint8_t>(codeLength);
            }
        }
    }
    return tables;
}

inline constexpr PositionTables LzhufPositionTables = MakePositionTables();

static_assert(LzhufPositionTables.Code[80] == 4 && LzhufPositionTables.Length[80] == 5);
static_assert(LzhufPositionTables.Code[255] == 63 && LzhufPositionTables.Length[255] == 8);

// The adaptive code tree. NodeFreq[NodeCount] is a sentinel (0xFFFF) that
// stops every upward scan; NodeParent[NodeCount + s] is the leaf of symbol s.
// Every value fits 16 bits (no frequency passes 0xFFFF: the root, the largest,
// stays at or below MaxFreq), but the entries are 32 bits wide: measured,
// 16-bit entries made the decoder about 7% slower, for the same values.
struct LzhufTree {
    uint32_t NodeFreq[NodeCount + 1];
    int32_t NodeChild[NodeCount];
    int32_t NodeParent[NodeCount + SymbolCount];
};

// Every symbol a leaf of frequency 1, paired off bottom-up into a full tree.
inline void InitTree(LzhufTree& tree) {
    for (int symbol = 0; symbol < SymbolCount; ++symbol) {
        tree.NodeFreq[symbol] = 1;
        tree.NodeChild[symbol] = symbol + NodeCount;
        tree.NodeParent[symbol + NodeCount] = symbol;
    }
    for (int node = SymbolCount, child = 0; node < NodeCount; ++node, child += 2) {
        tree.NodeFreq[node] = tree.NodeFreq[child] + tree.NodeFreq[child + 1];
        tree.NodeChild[node] = child;
        tree.NodeParent[child] = tree.NodeParent[child + 1] = node;
    }
    tree.NodeFreq[NodeCount] = 0xFFFF;
    tree.NodeParent[RootNode] = 0;
}

// Halves every leaf's frequency (rounding up) and rebuilds the internal nodes
// from scratch; a new node goes after every node of equal frequency.
inline void RebuildTree(LzhufTree& tree) {
    int leaf = 0;
    for (int node = 0; node < NodeCount; ++node) {
        if (tree.NodeChild[node] >= NodeCount) {
            tree.NodeFreq[leaf] = (tree.NodeFreq[node] + 1u) / 2u;
            tree.NodeChild[leaf] = tree.NodeChild[node];
            ++leaf;
        }
    }
    for (int node = SymbolCount, child = 0; node < NodeCount; ++node, child += 2) {
        const unsigned freq = tree.NodeFreq[child] + tree.NodeFreq[child + 1];
        tree.NodeFreq[node] = freq;
        int place = node - 1;
        while (freq < tree.NodeFreq[place]) {
            --place;
        }
        ++place;
        const size_t moved = static_cast<size_t>(node - place);
        std::memmove(&tree.NodeFreq[place + 1], &tree.NodeFreq[place],
                     moved * sizeof(tree.NodeFreq[0]));
        std::memmove(&tree.NodeChild[place + 1], &tree.NodeChild[place],
                     moved * sizeof(tree.NodeChild[0]));
        tree.NodeFreq[place] = freq;
        tree.NodeChild[place] = child;
    }
    for (int node = 0; node < NodeCount; ++node) {
        const int child = tree.NodeChild[node];
        tree.NodeParent[child] = node;
        if (child < NodeCount) {
            tree.NodeParent[child + 1] = node;
        }
    }
}

// Adds 1 to the frequency of `node`. When that breaks the order, the node
// trades places (with its subtree) with the last node still below its new
// frequency. Returns where the node's subtree now is.
inline int CountNode(LzhufTree& tree, int node) {
    const unsigned freq = ++tree.NodeFreq[node];
    if (tree.NodeFreq[node + 1] >= freq) {
        return node;
    }
    int last = node + 1;
    while (tree.NodeFreq[last + 1] < freq) {
        ++last;
    }
    tree.NodeFreq[node] = tree.NodeFreq[last];
    tree.NodeFreq[last] = freq;

    const int child = tree.NodeChild[node];
    tree.NodeParent[child] = last;
    if (child < NodeCount) {
        tree.NodeParent[child + 1] = last;
    }
    const int otherChild = tree.NodeChild[last];
    tree.NodeChild[last] = child;
    tree.NodeParent[otherChild] = node;
    if (otherChild < NodeCount) {
        tree.NodeParent[otherChild + 1] = node;
    }
    tree.NodeChild[node] = otherChild;
    return last;
}

// Counts `node` and every node above it, up to and including the root (whose
// parent entry is 0; node 0 is always a leaf, never a parent).
inline void CountUpFrom(LzhufTree& tree, int node) {
    do {
        node = tree.NodeParent[CountNode(tree, node)];
    } while (node != 0);
}

// Counts one more occurrence of `symbol` (0 to 313), from its leaf up to the
// root. Rebuilds first when the root has reached MaxFreq, so the root never
// passes it: the rebuild comes on the update after the one that reached it.
inline void UpdateTree(LzhufTree& tree, int symbol) {
    if (tree.NodeFreq[RootNode] == MaxFreq) {
        RebuildTree(tree);
    }
    CountUpFrom(tree, tree.NodeParent[NodeCount + symbol]);
}
