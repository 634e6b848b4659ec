// UnpackStream on arbitrary input: the first 4 bytes choose the size to
// produce (below 1 MB) and where KeepGoing is cleared, the rest is the stream.
// Checks that nothing reads or writes outside the decoder's tables (the
// sanitizers), that the output stops where it must, and that it matches the
// plain reference decoder byte for byte.
#include "app/install_state.h"
#include "package/lzhuf_decoder.h"
#include "tests/package/reference_decoder.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const uint8_t* InputNext = nullptr;
const uint8_t* InputEnd = nullptr;
std::vector<uint8_t> Output;
size_t StopAfter = 0;

void ReadInput(uint8_t* buffer, uint16_t count, uint16_t& actual) {
    if (count != 1) {
        std::abort();
    }
    if (InputNext < InputEnd) {
        *buffer = *InputNext++;
        actual = 1;
    } else {
        *buffer = 0xA5; // must be ignored: actual says nothing came
        actual = 0;
    }
}

void WriteOutput(const uint8_t* buffer, uint16_t count, uint16_t& actual) {
    if (count != 1) {
        std::abort();
    }
    Output.push_back(*buffer);
    actual = count;
    if (Output.size() == StopAfter) {
        KeepGoing = 0;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    const uint32_t choice = uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 |
                            uint32_t{data[3]} << 24;
    // Mostly small sizes, sometimes up to 1 MB; sometimes negative.
    int32_t wanted = static_cast<int32_t>(choice & 0xFFF);
    if ((choice & 0x00C00000) == 0x00C00000) {
        wanted = static_cast<int32_t>(choice & 0xFFFFF);
    } else if ((choice & 0x00F00000) == 0x00100000) {
        wanted = -wanted;
    }
    StopAfter = (choice >> 24) == 0 ? 0 : static_cast<size_t>(choice >> 24) * 37;
    InputNext = data + 4;
    InputEnd = data + size;
    Output.clear();
    KeepGoing = 1;
    UnpackStream(wanted, ReadInput, WriteOutput);

    if (wanted <= 0) {
        if (!Output.empty() || InputNext != data + 4) {
            std::abort();
        }
        return 0;
    }
    // The stop test comes before each symbol: at most one match more.
    const size_t limit = StopAfter != 0 && StopAfter < static_cast<size_t>(wanted)
                             ? StopAfter
                             : static_cast<size_t>(wanted);
    if (Output.size() < limit && KeepGoing != 0) {
        std::abort();
    }
    if (Output.size() > limit + LookAhead - 1) {
        std::abort();
    }
    const std::vector<uint8_t> stream(data + 4, data + size);
    const ReferenceDecoding reference =
        ReferenceDecode(stream, static_cast<int32_t>(Output.size()));
    if (reference.Output.size() < Output.size() ||
        std::memcmp(reference.Output.data(), Output.data(), Output.size()) != 0) {
        std::abort();
    }
    return 0;
}
