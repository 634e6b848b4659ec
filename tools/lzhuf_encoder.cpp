#include "tools/lzhuf_encoder.h"

#include "tools/lzhuf_symbol_writer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int HashBits = 15;
constexpr int64_t NoPosition = -1;
// Bytes that must lie ahead of the cursor before a search is made while more
// input may come: the longest match, plus one for the lazy look one step on.
constexpr int64_t WantedLookAhead = LookAhead + 1;
constexpr size_t WindowBufferSize = size_t{1} << 18;

struct Match {
    int Length = 0;
    int64_t Distance = 0; // how far back the source starts: 1 to 4096
};

} // namespace

struct LzhufEncoder::State {
    explicit State(Sink sink) : Coder(std::move(sink)) {}

    LzhufSymbolWriter Coder;
    EncoderOptions Options;

    // Virtual positions: 0 to 4035 are the preset spaces, input byte i sits at
    // 4036 + i. A virtual position is also its ring position modulo 4096.
    std::vector<uint8_t> Window = std::vector<uint8_t>(WindowBufferSize);
    int64_t WindowStart = 0; // virtual position of Window[0]
    int64_t WindowEnd = 0;   // virtual position after the last byte held
    int64_t Cursor = 0;      // next position to encode
    int64_t InsertedEnd = 0; // positions below this are in the hash chains
    std::vector<int64_t> HashHead = std::vector<int64_t>(size_t{1} << HashBits, NoPosition);
    std::array<int64_t, RingSize> HashPrevious{};

    // A search already made one position ahead by the lazy look.
    int64_t CachedPosition = NoPosition;
    Match CachedMatch;

    bool Finished = false;

    const uint8_t* At(int64_t position) const { return Window.data() + (position - WindowStart); }

    uint32_t HashAt(int64_t position) const {
        const uint8_t* bytes = At(position);
        const uint32_t key = uint32_t{bytes[0]} << 16 | uint32_t{bytes[1]} << 8 | bytes[2];
        return (key * 2654435761u) >> (32 - HashBits);
    }

    // Enters every position below `end` into the chains; each needs its
    // three bytes present.
    void InsertUpTo(int64_t end) {
        for (; InsertedEnd < end; ++InsertedEnd) {
            const uint32_t hash = HashAt(InsertedEnd);
            HashPrevious[static_cast<size_t>(InsertedEnd & RingMask)] = HashHead[hash];
            HashHead[hash] = InsertedEnd;
        }
    }

    // The longest match for the bytes at `position`, at most `limit` long,
    // nearest first among equals. Every source lies at virtual position 0 or
    // later (written or preset) and at most 4,096 bytes back.
    Match FindMatch(int64_t position, int limit) {
        Match best;
        if (limit < MinMatchLength) {
            return best;
        }
        InsertUpTo(position);
        const uint8_t* target = At(position);
        int64_t candidate = HashHead[HashAt(position)];
        for (int chain = Options.MaxChainLength; chain > 0 && candidate != NoPosition; --chain) {
            if (position - candidate > RingSize) {
                break;
            }
            const uint8_t* source = At(candidate);
            if (source[best.Length] == target[best.Length] && source[0] == target[0]) {
                int length = 0;
                while (length < limit && source[length] == target[length]) {
                    ++length;
                }
                if (length > best.Length) {
                    best.Length = length;
                    best.Distance = position - candidate;
                    if (length == limit) {
                        break;
                    }
                }
            }
            const int64_t next = HashPrevious[static_cast<size_t>(candidate & RingMask)];
            if (next >= candidate) {
                break;
            }
            candidate = next;
        }
        if (best.Length < MinMatchLength) {
            best.Length = 0;
        }
        return best;
    }

    Match MatchAt(int64_t position) {
        if (position == CachedPosition) {
            return CachedMatch;
        }
        const int limit = static_cast<int>(std::min<int64_t>(LookAhead, WindowEnd - position));
        return FindMatch(position, limit);
    }

    void PutLiteral(int64_t position) { Coder.PutLiteral(*At(position)); }

    // Encodes while enough input lies ahead (or all of it, once `final`).
    void Encode(bool final) {
        while (Cursor < WindowEnd && (final || WindowEnd - Cursor >= WantedLookAhead)) {
            const Match here = MatchAt(Cursor);
            if (here.Length == 0) {
                PutLiteral(Cursor);
                ++Cursor;
                continue;
            }
            if (Options.LazyMatching && here.Length < LookAhead && Cursor + 1 < WindowEnd) {
                const Match next = MatchAt(Cursor + 1);
                CachedPosition = Cursor + 1;
                CachedMatch = next;
                if (next.Length > here.Length) {
                    PutLiteral(Cursor);
                    ++Cursor;
                    continue;
                }
            }
            Coder.PutMatch(here.Length, static_cast<int>(here.Distance - 1));
            Cursor += here.Length;
        }
    }

    // Drops what lies more than a window behind, to make room for input.
    void MakeRoom() {
        const int64_t keepFrom = std::max(WindowStart, std::min(InsertedEnd, Cursor - RingSize));
        const auto dropped = static_cast<size_t>(keepFrom - WindowStart);
        if (dropped == 0) {
            return;
        }
        std::memmove(Window.data(), Window.data() + dropped,
                     static_cast<size_t>(WindowEnd - keepFrom));
        WindowStart = keepFrom;
    }
};

LzhufEncoder::LzhufEncoder(Sink sink, EncoderOptions options)
    : state(std::make_unique<State>(std::move(sink))) {
    state->Options = options;
    state->Options.MaxChainLength = std::max(1, state->Options.MaxChainLength);
    std::memset(state->Window.data(), RingPresetByte, RingPresetLength);
    state->WindowEnd = RingPresetLength;
    state->Cursor = RingPresetLength;
}

LzhufEncoder::~LzhufEncoder() = default;

void LzhufEncoder::Write(const uint8_t* data, size_t count) {
    State& s = *state;
    while (count > 0) {
        size_t room = s.Window.size() - static_cast<size_t>(s.WindowEnd - s.WindowStart);
        if (room == 0) {
            s.MakeRoom();
            room = s.Window.size() - static_cast<size_t>(s.WindowEnd - s.WindowStart);
        }
        const size_t taken = std::min(room, count);
        std::memcpy(s.Window.data() + (s.WindowEnd - s.WindowStart), data, taken);
        s.WindowEnd += static_cast<int64_t>(taken);
        data += taken;
        count -= taken;
        s.Encode(false);
    }
}

void LzhufEncoder::Finish() {
    State& s = *state;
    if (s.Finished) {
        return;
    }
    s.Encode(true);
    s.Coder.Finish();
    s.Finished = true;
}

uint64_t LzhufEncoder::InputCount() const {
    return static_cast<uint64_t>(state->WindowEnd - RingPresetLength);
}

uint64_t LzhufEncoder::OutputCount() const {
    return state->Coder.OutputCount();
}

std::vector<uint8_t> EncodeLzhuf(const uint8_t* data, size_t size, EncoderOptions options) {
    std::vector<uint8_t> stream;
    LzhufEncoder encoder(
        [&stream](const uint8_t* bytes, size_t count) {
            stream.insert(stream.end(), bytes, bytes + count);
        },
        options);
    encoder.Write(data, size);
    encoder.Finish();
    return stream;
}
