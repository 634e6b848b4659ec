// The unpacking stage against the bare decoder, on the same archive of about
// 3 MB shaped like the product (program-like bytes, text, incompressible
// data). Throughput is in bytes of bundle per second.
//
//   BareDecoder       UnpackStream from memory to memory.
//   StageAdapters     UnpackStream through ReadArchiveBlock/WriteBundleBlock
//                     over the machine's files: 2048-byte blocks, the queue
//                     drained once per input byte, the meter computed per block.
//   UnpackingStage    the whole "Progress" dialog: the above, the meter drawn,
//                     the archive deleted and the files placed.
#include "app/install_state.h"
#include "app/run_installer.h"
#include "package/lzhuf_decoder.h"
#include "platform/runtime/file_layer.h"
#include "platform/win32.h"
#include "stages/unpacking.h"
#include "tests/support/package_fixture.h"
#include "tests/support/test_machine.h"
#include "tools/lzhuf_encoder.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

struct Corpus {
    std::vector<uint8_t> Bundle;
    std::vector<FileEntry> Entries;
    std::vector<uint8_t> Archive;
};

// Main program, libraries, help text and some packed data, about 3 MB.
const Corpus& ProductCorpus() {
    static const Corpus corpus = [] {
        Corpus built;
        const std::vector<std::pair<std::string, std::vector<uint8_t>>> parts = {
            {"", SampleBytes(320000, 1)},
            {"Uninstal.exe", SampleBytes(180000, 2)},
            {"Engine.dll", SampleBytes(900000, 3)},
            {"Rembrix.hlp", SampleBytes(530000, 4)},
            {"Viewer.EXE", SampleBytes(610000, 5)},
            {"Images.dat", NoiseBytes(560000, 6)},
        };
        for (const auto& [name, bytes] : parts) {
            if (!name.empty()) {
                built.Entries.push_back({name, static_cast<int32_t>(built.Bundle.size()),
                                         static_cast<int32_t>(bytes.size())});
            }
            built.Bundle.insert(built.Bundle.end(), bytes.begin(), bytes.end());
        }
        built.Archive = EncodeLzhuf(built.Bundle.data(), built.Bundle.size());
        return built;
    }();
    return corpus;
}

const uint8_t* MemoryInput = nullptr;
size_t MemoryInputSize = 0;
size_t MemoryInputPosition = 0;
uint8_t* MemoryOutput = nullptr;
size_t MemoryOutputPosition = 0;
size_t MemoryOutputCapacity = 0;

void ReadFromMemory(uint8_t* buffer, uint16_t count, uint16_t& actual) {
    const size_t available = MemoryInputSize - MemoryInputPosition;
    actual = static_cast<uint16_t>(std::min<size_t>(count, available));
    std::memcpy(buffer, MemoryInput + MemoryInputPosition, actual);
    MemoryInputPosition += actual;
}

void WriteToMemory(const uint8_t* buffer, uint16_t count, uint16_t& actual) {
    const size_t room = MemoryOutputCapacity - MemoryOutputPosition;
    actual = static_cast<uint16_t>(std::min<size_t>(count, room));
    std::memcpy(MemoryOutput + MemoryOutputPosition, buffer, actual);
    MemoryOutputPosition += actual;
}

void BareDecoder(benchmark::State& state) {
    const Corpus& corpus = ProductCorpus();
    std::vector<uint8_t> output(corpus.Bundle.size() + 64);
    for (auto _ : state) {
        MemoryInput = corpus.Archive.data();
        MemoryInputSize = corpus.Archive.size();
        MemoryInputPosition = 0;
        MemoryOutput = output.data();
        MemoryOutputCapacity = output.size();
        MemoryOutputPosition = 0;
        KeepGoing = 1;
        UnpackStream(static_cast<int32_t>(corpus.Bundle.size()), ReadFromMemory, WriteToMemory);
    }
    if (std::memcmp(output.data(), corpus.Bundle.data(), corpus.Bundle.size()) != 0) {
        state.SkipWithError("the decoded bundle differs");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(corpus.Bundle.size()));
}

// A machine with the archive in C:\Dest and the installer's state as the
// unpacking stage finds it.
void PrepareStage(const Corpus& corpus) {
    ResetRunState();
    DestinationDir = "C:\\Dest";
    std::filesystem::create_directories(HostPath(DestinationDir));
    GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
    InputBuffer = new uint8_t[UnpackBufferSize];
    OutputBuffer = new uint8_t[UnpackBufferSize];
    ReadCallback = ReadArchiveBlock;
    WriteCallback = WriteBundleBlock;
    UnpackedSize = static_cast<int32_t>(corpus.Bundle.size());
    FileTable.assign(corpus.Entries.begin(), corpus.Entries.end());
    WriteHostFile(HostPath("C:\\Dest\\Rembrix._ZV"), corpus.Archive);
}

void StageAdapters(benchmark::State& state) {
    const Corpus& corpus = ProductCorpus();
    TestMachine machine;
    for (auto _ : state) {
        state.PauseTiming();
        PrepareStage(corpus);
        ArchiveHandle = OpenHandleFileForReading("C:\\Dest\\Rembrix._ZV");
        BundleHandle = CreateHandleFile("C:\\Dest\\Rembrix.Exe");
        KeepGoing = 1;
        state.ResumeTiming();
        UnpackStream(UnpackedSize, ReadArchiveBlock, WriteBundleBlock);
        uint16_t ignored = 0;
        WriteBundleBlock(OutputBuffer, 0, ignored);
        CloseHandleFile(ArchiveHandle);
        CloseHandleFile(BundleHandle);
    }
    if (std::filesystem::file_size(HostPath("C:\\Dest\\Rembrix.Exe")) < corpus.Bundle.size()) {
        state.SkipWithError("the bundle is short");
    }
    ResetRunState();
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(corpus.Bundle.size()));
}

void UnpackingStage(benchmark::State& state) {
    const Corpus& corpus = ProductCorpus();
    TestMachine machine;
    for (auto _ : state) {
        state.PauseTiming();
        PrepareStage(corpus);
        state.ResumeTiming();
        const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), "Progress", nullptr,
                                               UnpackingDialogProc, 0);
        if (result != 1) {
            state.SkipWithError("the unpacking stage did not end with 1");
            break;
        }
    }
    ResetRunState();
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(corpus.Bundle.size()));
}

BENCHMARK(BareDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(StageAdapters)->Unit(benchmark::kMillisecond);
BENCHMARK(UnpackingStage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
