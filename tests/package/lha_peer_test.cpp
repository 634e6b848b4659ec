// Debian's `lha` as an independent decoder of the packer's streams, and a
// second opinion on what arbitrary bytes decode to. Used only as an
// installed program.
#include "tests/package/lha_archive.h"
#include "tests/package/memory_streams.h"
#include "tests/package/reference_decoder.h"
#include "tests/package/sample_product.h"
#include "tests/support/test_machine.h"
#include "tools/lzhuf_encoder.h"
#include "tools/lzhuf_symbol_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace {

bool LhaInstalled() {
    return std::system("command -v lha >/dev/null 2>&1") == 0;
}

// What `lha` printed for the archive's one member, and whether it succeeded.
struct LhaResult {
    bool Ran = false;
    std::vector<uint8_t> Output;
    std::string Errors;
};

LhaResult ExtractWithLha(const std::vector<uint8_t>& archive) {
    const std::filesystem::path folder = MakeTemporaryFolder("lha");
    const std::filesystem::path archivePath = folder / "peer.lzh";
    {
        std::ofstream file(archivePath, std::ios::binary);
        file.write(reinterpret_cast<const char*>(archive.data()),
                   static_cast<std::streamsize>(archive.size()));
    }
    const std::string command =
        "cd '" + folder.string() + "' && lha pq peer.lzh > out.bin 2> err.txt";
    LhaResult result;
    result.Ran = std::system(command.c_str()) == 0;
    std::ifstream output(folder / "out.bin", std::ios::binary);
    result.Output.assign(std::istreambuf_iterator<char>(output), {});
    std::ifstream errors(folder / "err.txt");
    result.Errors.assign(std::istreambuf_iterator<char>(errors), {});
    std::filesystem::remove_all(folder);
    return result;
}

TEST(LhaPeer, ExtractsThePackersStreamsByteForByte) {
    if (!LhaInstalled()) {
        GTEST_SKIP() << "lha (Debian package lhasa) is not installed";
    }
    std::mt19937 random(21);
    std::vector<uint8_t> randomBytes(20000);
    for (uint8_t& byte : randomBytes) {
        byte = static_cast<uint8_t>(random());
    }
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
        {"one byte", {0x7A}},
        {"spaces", std::vector<uint8_t>(9000, 0x20)},
        {"zeros", std::vector<uint8_t>(150000, 0)},
        {"random", randomBytes},
        {"sample product", JoinSampleBundle(MakeSampleProduct(0.4, 2))},
    };
    for (const auto& [name, data] : cases) {
        const std::vector<uint8_t> stream = EncodeLzhuf(data.data(), data.size());
        const LhaResult lha = ExtractWithLha(WrapInLhaArchive(
            "peer.bin", stream, static_cast<uint32_t>(data.size()), LhaCrc16(data)));
        EXPECT_TRUE(lha.Ran) << name << ": " << lha.Errors;
        EXPECT_EQ(lha.Output.size(), data.size()) << name;
        EXPECT_TRUE(lha.Output == data) << name;
    }
}

TEST(LhaPeer, ArbitraryBytesDecodeAlikeInBoth) {
    if (!LhaInstalled()) {
        GTEST_SKIP() << "lha (Debian package lhasa) is not installed";
    }
    std::mt19937 random(33);
    int unwrittenReads = 0;
    // Random bits seldom reach back into the ring's last 60 positions before
    // they are written; a few rounds begin with matches that do.
    const std::vector<std::vector<LzhufSymbol>> openings = {
        {{'x'}, {313, 4095}}, {{259, 4090}}, {{'a'}, {'b'}, {300, 4060}, {270, 4036}}};
    for (size_t round = 0; round < 24; ++round) {
        std::vector<uint8_t> input =
            round < openings.size() ? ComposeLzhufStream(openings[round]) : std::vector<uint8_t>{};
        const size_t randomPart = 1 + random() % 3000;
        for (size_t index = 0; index < randomPart; ++index) {
            input.push_back(static_cast<uint8_t>(random() % 4 == 0 ? 0 : random()));
        }
        const auto size = static_cast<int32_t>(1 + random() % 20000);
        // lha ends where its input ends, while UnpackStream reads zero bits on:
        // give both enough zero bytes (a symbol with its position takes well
        // under 8 bytes), and cut the match that may run past the size.
        std::vector<uint8_t> padded = input;
        padded.resize(input.size() + 8 * static_cast<size_t>(size), 0);
        std::vector<uint8_t> ours = DecodeFromMemory(padded, size);
        ASSERT_GE(ours.size(), static_cast<size_t>(size));
        ours.resize(static_cast<size_t>(size));
        unwrittenReads += ReferenceDecode(padded, size).UnwrittenReads;

        const LhaResult lha = ExtractWithLha(
            WrapInLhaArchive("noise.bin", padded, static_cast<uint32_t>(size), LhaCrc16(ours)));
        EXPECT_TRUE(lha.Ran) << "round " << round << ": " << lha.Errors;
        EXPECT_TRUE(lha.Output == ours) << "round " << round << ": " << lha.Output.size()
                                        << " bytes from lha, " << ours.size() << " from us";
    }
    EXPECT_GT(unwrittenReads, 0) << "no round read the not-yet-written end of the ring";
}

} // namespace
