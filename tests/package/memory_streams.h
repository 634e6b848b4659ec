// Decoder callbacks over memory, for tests: the callbacks are plain
// functions, so their source and sink are process-wide.
#pragma once

#include "app/install_state.h"
#include "package/lzhuf_decoder.h"

#include <cstdint>
#include <functional>
#include <vector>

struct MemoryStreams {
    std::vector<uint8_t> Input;
    size_t InputPosition = 0;
    size_t ReadCalls = 0;
    // Calls that found the input used up.
    size_t ShortReads = 0;
    std::vector<uint8_t> Output;
    size_t WriteCalls = 0;
    // Runs after each byte is taken by the writer (to clear KeepGoing, throw...).
    std::function<void()> AfterWrite;
};

inline MemoryStreams Streams;

inline void ReadFromMemory(uint8_t* buffer, uint16_t count, uint16_t& actual) {
    ++Streams.ReadCalls;
    uint16_t delivered = 0;
    while (delivered < count && Streams.InputPosition < Streams.Input.size()) {
        buffer[delivered++] = Streams.Input[Streams.InputPosition++];
    }
    if (delivered < count) {
        ++Streams.ShortReads;
    }
    actual = delivered;
}

inline void WriteToMemory(const uint8_t* buffer, uint16_t count, uint16_t& actual) {
    ++Streams.WriteCalls;
    Streams.Output.insert(Streams.Output.end(), buffer, buffer + count);
    actual = count;
    if (Streams.AfterWrite) {
        Streams.AfterWrite();
    }
}

// Decodes `stream` into `size` bytes (more when the last match runs past it)
// with KeepGoing set, through fresh memory streams.
inline std::vector<uint8_t> DecodeFromMemory(const std::vector<uint8_t>& stream, int32_t size) {
    Streams = MemoryStreams{};
    Streams.Input = stream;
    KeepGoing = 1;
    UnpackStream(size, ReadFromMemory, WriteToMemory);
    return Streams.Output;
}
