#include "package/lzhuf_decoder.h"
#include "tests/package/memory_streams.h"
#include "tools/lzhuf_symbol_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <random>

// The decoder obtains its storage with the non-throwing operator new; this
// test program replaces the allocation functions to refuse that storage on
// demand and to see that it is given back.
namespace {
bool RefuseNothrowAllocations = false;
void* LastNothrowBlock = nullptr;
bool LastNothrowBlockReleased = false;

void NoteRelease(void* block) {
    if (block != nullptr && block == LastNothrowBlock) {
        LastNothrowBlockReleased = true;
        LastNothrowBlock = nullptr;
    }
}
} // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (RefuseNothrowAllocations) {
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    LastNothrowBlock = block;
    LastNothrowBlockReleased = false;
    return block;
}

void operator delete(void* block) noexcept {
    NoteRelease(block);
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    NoteRelease(block);
    std::free(block);
}

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

std::vector<uint8_t> Text(const char* text) {
    return std::vector<uint8_t>(text, text + std::char_traits<char>::length(text));
}

TEST(UnpackStream, DecodesTheKnownByteStrings) {
    struct Case {
        std::vector<uint8_t> stream;
        int32_t size;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {Bytes({0xF6, 0xFB, 0xBD, 0xE0}), 3, Text("abc")},
        {Bytes({0xF6, 0xFB, 0xA3, 0x40, 0x20}), 6, Text("ababab")},
        {Bytes({0x8C, 0x00, 0x00}), 3, Text("   ")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeFromMemory(c.stream, c.size), c.expected);
        EXPECT_EQ(Streams.WriteCalls, c.expected.size());
        EXPECT_LE(Streams.ShortReads, 1u) << "at most one byte past a well-formed stream";
    }
    // "abc" fills 27 bits; the decoder then asks for a fifth byte, which is missing.
    DecodeFromMemory(cases[0].stream, 3);
    EXPECT_EQ(Streams.ReadCalls, 5u);
    EXPECT_EQ(Streams.ShortReads, 1u);
}

TEST(UnpackStream, ZeroBitsDecodeToALiteralThenASixtyByteMatch) {
    // From a reader that never delivers, the output always ends on a symbol:
    // the literal 0x74, then a 60-byte match of the byte before.
    struct Case {
        int32_t size;
        size_t written;
    };
    for (const Case c : {Case{1, 1}, Case{2, 61}, Case{16, 61}, Case{61, 61}}) {
        const std::vector<uint8_t> output = DecodeFromMemory({}, c.size);
        EXPECT_EQ(output, std::vector<uint8_t>(c.written, 0x74)) << "size " << c.size;
        EXPECT_EQ(Streams.ReadCalls, Streams.ShortReads);
    }
}

TEST(UnpackStream, NonPositiveSizeCallsNoCallbackButStillTakesAndReturnsItsTables) {
    for (const int32_t size : {0, -1, INT32_MIN}) {
        LastNothrowBlock = nullptr;
        LastNothrowBlockReleased = false;
        DecodeFromMemory(Bytes({0xF6, 0xFB}), size);
        EXPECT_EQ(Streams.ReadCalls, 0u);
        EXPECT_EQ(Streams.WriteCalls, 0u);
        EXPECT_TRUE(LastNothrowBlockReleased) << "size " << size;
    }
}

TEST(UnpackStream, StopsOnlyBetweenSymbols) {
    struct Case {
        const char* what;
        size_t clearAfterWrite; // KeepGoing is cleared after this many bytes
        size_t expectedBytes;
    };
    const Case cases[] = {
        {"cleared before the first symbol", 0, 0},
        {"cleared by the first literal", 1, 1},
        {"cleared inside the 60-byte match", 5, 61},
        {"cleared by the match's last byte", 61, 61},
    };
    for (const Case& c : cases) {
        Streams = MemoryStreams{};
        KeepGoing = c.clearAfterWrite == 0 ? 0 : 1;
        Streams.AfterWrite = [&c] {
            if (Streams.Output.size() == c.clearAfterWrite) {
                KeepGoing = 0;
            }
        };
        UnpackStream(1000, ReadFromMemory, WriteToMemory);
        EXPECT_EQ(Streams.Output.size(), c.expectedBytes) << c.what;
        EXPECT_EQ(KeepGoing, 0) << c.what;
    }
}

TEST(UnpackStream, ReportsStorageThatCannotBeObtainedBeforeAnyCallback) {
    Streams = MemoryStreams{};
    Streams.Input = Bytes({0xF6, 0xFB, 0xBD, 0xE0});
    KeepGoing = 1;
    RefuseNothrowAllocations = true;
    try {
        UnpackStream(3, ReadFromMemory, WriteToMemory);
        RefuseNothrowAllocations = false;
        FAIL() << "no error raised";
    } catch (const ElzhException& error) {
        RefuseNothrowAllocations = false;
        EXPECT_STREQ(error.what(), "LZH : Cannot get memory for dictionary tables");
    }
    EXPECT_EQ(Streams.ReadCalls, 0u);
    EXPECT_EQ(Streams.WriteCalls, 0u);
}

TEST(UnpackStream, LetsACallbackErrorPassAfterReleasingItsTables) {
    Streams = MemoryStreams{};
    Streams.Input = Bytes({0xF6, 0xFB, 0xBD, 0xE0});
    Streams.AfterWrite = [] {
        if (Streams.Output.size() == 2) {
            throw EInOutError("WriteFile", "C:\\Rembrix.Exe", "disk full");
        }
    };
    KeepGoing = 1;
    LastNothrowBlockReleased = false;
    try {
        UnpackStream(3, ReadFromMemory, WriteToMemory);
        FAIL() << "the callback's error was swallowed";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Reason, "disk full");
    }
    EXPECT_EQ(Streams.Output, Text("ab"));
    EXPECT_TRUE(LastNothrowBlockReleased);
}

TEST(UnpackStream, RingStartsAsSpacesAndDistance4095ReachesTheWritePosition) {
    // A match before anything reached positions 4037 to 4039 copies spaces
    // there: the whole ring is preset.
    EXPECT_EQ(DecodeFromMemory(ComposeLzhufStream({{'x'}, {256, 4095}}), 4), Text("x   "));

    // After 4,096 bytes, distance code 4095 copies the byte written 4,096
    // bytes before the current one, and on from there.
    std::mt19937 random(7);
    std::vector<LzhufSymbol> symbols;
    std::vector<uint8_t> expected;
    for (int index = 0; index < RingSize; ++index) {
        const auto byte = static_cast<uint8_t>(random());
        symbols.push_back({byte});
        expected.push_back(byte);
    }
    symbols.push_back({313, 4095});
    expected.insert(expected.end(), expected.begin(), expected.begin() + 60);
    EXPECT_EQ(DecodeFromMemory(ComposeLzhufStream(symbols), RingSize + 60), expected);
}

TEST(UnpackStream, EachCallStartsAfresh) {
    const std::vector<uint8_t> stream = ComposeLzhufStream({{'q'}, {'r'}, {260, 1}, {'s'}});
    const std::vector<uint8_t> first = DecodeFromMemory(stream, 10);
    EXPECT_EQ(first, Text("qrqrqrqrqs"));
    EXPECT_EQ(DecodeFromMemory(stream, 10), first);
}

} // namespace
