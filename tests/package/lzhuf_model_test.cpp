#include "package/lzhuf_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

// Every rule the tree must keep after any update or rebuild: frequencies in
// non-decreasing order with the root last, each internal node the sum of its
// two adjacent children, parents pointing back, every symbol on one leaf.
std::string FindTreeFault(const LzhufTree& tree) {
    if (tree.NodeFreq[NodeCount] != 0xFFFF || tree.NodeParent[RootNode] != 0) {
        return "sentinel or root parent changed";
    }
    std::vector<int> leafOf(SymbolCount, -1);
    for (int node = 0; node < NodeCount; ++node) {
        if (node > 0 && tree.NodeFreq[node - 1] > tree.NodeFreq[node]) {
            return "frequency order broken at " + std::to_string(node);
        }
        const int child = tree.NodeChild[node];
        if (child >= NodeCount) {
            const int symbol = child - NodeCount;
            if (symbol >= SymbolCount || leafOf[symbol] != -1) {
                return "bad or repeated leaf at " + std::to_string(node);
            }
            leafOf[symbol] = node;
            if (tree.NodeParent[child] != node) {
                return "leaf index of symbol " + std::to_string(symbol) + " is stale";
            }
            continue;
        }
        if (child < 0 || child + 1 >= node) {
            return "child not below its parent at " + std::to_string(node);
        }
        if (tree.NodeFreq[node] != tree.NodeFreq[child] + tree.NodeFreq[child + 1]) {
            return "node " + std::to_string(node) + " is not the sum of its children";
        }
        if (tree.NodeParent[child] != node || tree.NodeParent[child + 1] != node) {
            return "parent link of the children of " + std::to_string(node) + " is stale";
        }
    }
    return "";
}

TEST(LzhufModel, PositionTablesFollowTheGroupRule) {
    // Upper values 0 | 1-3 | 4-11 | 12-23 | 24-47 | 48-63 take 3 to 8 bits and
    // 32, 16, 8, 4, 2, 1 table entries each, in ascending order.
    int index = 0;
    for (int upper = 0; upper < 64; ++upper) {
        const int length = upper < 1    ? 3
                           : upper < 4  ? 4
                           : upper < 12 ? 5
                           : upper < 24 ? 6
                           : upper < 48 ? 7
                                        : 8;
        for (int entry = 0; entry < 1 << (8 - length); ++entry, ++index) {
            ASSERT_EQ(LzhufPositionTables.Code[index], upper) << "index " << index;
            ASSERT_EQ(LzhufPositionTables.Length[index], length) << "index " << index;
        }
    }
    EXPECT_EQ(index, 256);
}

TEST(LzhufModel, RebuildComesOnTheUpdateAfterTheRootReaches32768) {
    auto tree = std::make_unique<LzhufTree>();
    InitTree(*tree);
    ASSERT_EQ(tree->NodeFreq[RootNode], SymbolCount);
    const int updatesToMax = static_cast<int>(MaxFreq) - SymbolCount;
    for (int update = 0; update < updatesToMax; ++update) {
        UpdateTree(*tree, 'a');
    }
    EXPECT_EQ(tree->NodeFreq[RootNode], MaxFreq) << "reaching the limit must not rebuild yet";
    EXPECT_EQ(tree->NodeFreq[tree->NodeParent[NodeCount + 'a']], 1 + updatesToMax);

    UpdateTree(*tree, 'b');
    // Halved rounding up: 'a' 32,455 -> 16,228, every other leaf stays 1; then 'b' + 1.
    const int aFreq = (1 + updatesToMax + 1) / 2;
    EXPECT_EQ(tree->NodeFreq[tree->NodeParent[NodeCount + 'a']], aFreq);
    EXPECT_EQ(tree->NodeFreq[tree->NodeParent[NodeCount + 'b']], 2);
    EXPECT_EQ(tree->NodeFreq[RootNode], aFreq + (SymbolCount - 1) + 1);
    EXPECT_EQ(FindTreeFault(*tree), "");
}

TEST(LzhufModel, RebuildOfAFreshTreeGivesItBack) {
    // All leaves 1 and every sum already in place: the new nodes go after the
    // equal ones, so nothing moves.
    auto fresh = std::make_unique<LzhufTree>();
    auto rebuilt = std::make_unique<LzhufTree>();
    InitTree(*fresh);
    InitTree(*rebuilt);
    RebuildTree(*rebuilt);
    EXPECT_EQ(0, std::memcmp(fresh.get(), rebuilt.get(), sizeof(LzhufTree)));
}

TEST(LzhufModel, TreeKeepsItsShapeThroughUpdatesAndRebuilds) {
    struct Case {
        const char* what;
        double skew; // higher: fewer distinct symbols, more rebuilds
    };
    for (const Case c : {Case{"uniform", 0.0}, Case{"skewed", 3.0}, Case{"very skewed", 12.0}}) {
        auto tree = std::make_unique<LzhufTree>();
        InitTree(*tree);
        std::mt19937 random(11);
        int rebuilds = 0;
        for (int update = 0; update < 200000; ++update) {
            const double u = std::generate_canonical<double, 32>(random);
            const int symbol =
                static_cast<int>(SymbolCount * std::pow(u, 1.0 + c.skew)) % SymbolCount;
            rebuilds += tree->NodeFreq[RootNode] == MaxFreq;
            UpdateTree(*tree, symbol);
            if (update % 997 == 0 || tree->NodeFreq[RootNode] < 400) {
                ASSERT_EQ(FindTreeFault(*tree), "") << c.what << " after update " << update;
            }
        }
        EXPECT_EQ(FindTreeFault(*tree), "") << c.what;
        EXPECT_GE(rebuilds, 5) << c.what;
    }
}

} // namespace
