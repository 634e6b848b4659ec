// Throughput of the LZHUF codec on a product-shaped corpus of about 3 MB
// (executable-like code, text, help text, some incompressible data), in MB/s
// of bundle, with the compression ratio as a counter; and, for comparison,
// Debian's `lha` extracting the same stream (a whole process run each time).
#include "app/install_state.h"
#include "package/lzhuf_decoder.h"
#include "tests/package/lha_archive.h"
#include "tests/package/sample_product.h"
#include "tools/lzhuf_encoder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

enum CorpusKind { MixedCorpus, TextCorpus, ExecutableCorpus, RandomCorpus };

const std::vector<uint8_t>& Corpus(int kind) {
    static const std::vector<SampleFile> product = MakeSampleProduct(1.0, 1);
    static const std::vector<uint8_t> corpora[] = {
        JoinSampleBundle(product),
        JoinSampleBundle({product[8], product[9]}),
        JoinSampleBundle({product[0], product[2], product[7]}),
        [] {
            std::vector<uint8_t> bytes(1 << 20);
            uint32_t state = 1;
            for (uint8_t& byte : bytes) {
                state = state * 1664525u + 1013904223u;
                byte = static_cast<uint8_t>(state >> 24);
            }
            return bytes;
        }(),
    };
    return corpora[kind];
}

const std::vector<uint8_t>& CompressedCorpus(int kind) {
    static std::vector<uint8_t> streams[4];
    if (streams[kind].empty()) {
        const std::vector<uint8_t>& data = Corpus(kind);
        streams[kind] = EncodeLzhuf(data.data(), data.size());
    }
    return streams[kind];
}

const char* CorpusLabel(int kind) {
    static const char* const labels[] = {"mixed", "text", "executable", "random"};
    return labels[kind];
}

// The decoder's callbacks, as cheap as a host can make them: a pointer bump
// on each side (the installer's adapters add a buffer refill per 2 KB).
const uint8_t* InputNext = nullptr;
const uint8_t* InputEnd = nullptr;
uint8_t* OutputNext = nullptr;

void ReadNextByte(uint8_t* buffer, uint16_t, uint16_t& actual) {
    if (InputNext < InputEnd) {
        *buffer = *InputNext++;
        actual = 1;
    } else {
        actual = 0;
    }
}

void WriteNextByte(const uint8_t* buffer, uint16_t, uint16_t& actual) {
    *OutputNext++ = *buffer;
    actual = 1;
}

void SetCorpusCounters(benchmark::State& state, int kind) {
    const double original = static_cast<double>(Corpus(kind).size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(original));
    state.counters["ratio"] = static_cast<double>(CompressedCorpus(kind).size()) / original;
    state.counters["MB"] = original / 1e6;
    state.SetLabel(CorpusLabel(kind));
}

void DecodeCorpus(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const std::vector<uint8_t>& data = Corpus(kind);
    const std::vector<uint8_t>& stream = CompressedCorpus(kind);
    std::vector<uint8_t> output(data.size() + LookAhead);
    KeepGoing = 1;
    for (auto _ : state) {
        InputNext = stream.data();
        InputEnd = stream.data() + stream.size();
        OutputNext = output.data();
        UnpackStream(static_cast<int32_t>(data.size()), ReadNextByte, WriteNextByte);
        benchmark::DoNotOptimize(output.data());
    }
    if (std::memcmp(output.data(), data.data(), data.size()) != 0) {
        state.SkipWithError("decoded bytes differ from the corpus");
    }
    SetCorpusCounters(state, kind);
}

void EncodeCorpus(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const std::vector<uint8_t>& data = Corpus(kind);
    EncoderOptions options;
    options.MaxChainLength = static_cast<int>(state.range(1));
    size_t compressed = 0;
    for (auto _ : state) {
        compressed = EncodeLzhuf(data.data(), data.size(), options).size();
        benchmark::DoNotOptimize(compressed);
    }
    SetCorpusCounters(state, kind);
    state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(data.size());
    state.counters["chain"] = static_cast<double>(options.MaxChainLength);
}

// `lha` printing the same stream's member to /dev/null: process start,
// decoding and its CRC check, timed from outside as wall time.
void LhaExtractCorpus(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    if (std::system("command -v lha >/dev/null 2>&1") != 0) {
        state.SkipWithError("lha (Debian package lhasa) is not installed");
        return;
    }
    const std::vector<uint8_t>& data = Corpus(kind);
    const std::vector<uint8_t> archive = WrapInLhaArchive(
        "corpus.bin", CompressedCorpus(kind), static_cast<uint32_t>(data.size()), LhaCrc16(data));
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("rembrix-codec-bench-" + std::to_string(getpid()) + ".lzh");
    {
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(archive.data()),
                   static_cast<std::streamsize>(archive.size()));
    }
    const std::string command = "lha pq '" + path.string() + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("lha failed");
            break;
        }
    }
    std::filesystem::remove(path);
    SetCorpusCounters(state, kind);
}

} // namespace

BENCHMARK(DecodeCorpus)
    ->Arg(MixedCorpus)
    ->Arg(TextCorpus)
    ->Arg(ExecutableCorpus)
    ->Arg(RandomCorpus)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LhaExtractCorpus)
    ->Arg(MixedCorpus)
    ->Arg(TextCorpus)
    ->Arg(ExecutableCorpus)
    ->Arg(RandomCorpus)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(EncodeCorpus)
    ->Args({MixedCorpus, 128})
    ->Args({MixedCorpus, 16})
    ->Args({MixedCorpus, 1024})
    ->Args({TextCorpus, 128})
    ->Args({ExecutableCorpus, 128})
    ->Args({RandomCorpus, 128})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
