// The packer's encoder against the installer's decoder, and both against a
// plain decoder written from the format's rules.
#include "tests/package/memory_streams.h"
#include "tests/package/reference_decoder.h"
#include "tests/package/sample_product.h"
#include "tools/lzhuf_encoder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct NamedData {
    std::string Name;
    std::vector<uint8_t> Bytes;
};

std::vector<NamedData> VariedData() {
    std::mt19937 random(3);
    std::vector<NamedData> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"one byte", {0x41}});
    cases.push_back({"two bytes", {0x20, 0x20}});
    cases.push_back({"spaces, matching the preset ring", std::vector<uint8_t>(5000, 0x20)});
    cases.push_back({"zeros", std::vector<uint8_t>(300000, 0)});
    std::vector<uint8_t> randomBytes(70000);
    for (uint8_t& byte : randomBytes) {
        byte = static_cast<uint8_t>(random());
    }
    cases.push_back({"random", randomBytes});
    std::vector<uint8_t> period4096(3 * RingSize + 77);
    for (size_t index = 0; index < period4096.size(); ++index) {
        period4096[index] = randomBytes[index % RingSize];
    }
    cases.push_back({"repeats exactly one window back", period4096});
    std::vector<uint8_t> text;
    const std::string line = "Rembrix draws shapes, lines and text on layered pages.\r\n";
    while (text.size() < 100000) {
        text.insert(text.end(), line.begin(), line.end());
        text.push_back(static_cast<uint8_t>('0' + random() % 10));
    }
    cases.push_back({"text", text});
    cases.push_back({"sample product at a third", JoinSampleBundle(MakeSampleProduct(0.33))});
    return cases;
}

void ExpectRoundTrip(const std::vector<uint8_t>& data, const EncoderOptions& options,
                     const std::string& what) {
    const std::vector<uint8_t> stream = EncodeLzhuf(data.data(), data.size(), options);
    const auto size = static_cast<int32_t>(data.size());

    const ReferenceDecoding reference = ReferenceDecode(stream, size);
    EXPECT_TRUE(reference.Output == data) << what << ": the plain decoder disagrees";
    EXPECT_EQ(reference.UnwrittenReads, 0) << what << ": a match read an unwritten ring position";
    EXPECT_EQ(reference.BytesPastEnd, 0) << what;
    EXPECT_EQ(reference.BytesTaken, stream.size()) << what << ": bytes left over";

    const std::vector<uint8_t> decoded = DecodeFromMemory(stream, size);
    EXPECT_EQ(decoded.size(), data.size()) << what;
    EXPECT_TRUE(decoded == data) << what << ": UnpackStream disagrees";
    EXPECT_LE(Streams.ShortReads, 1u) << what;
}

TEST(RoundTrip, VariedDataComesBackExactly) {
    for (const NamedData& data : VariedData()) {
        ExpectRoundTrip(data.Bytes, EncoderOptions{}, data.Name);
    }
}

TEST(RoundTrip, EveryMatchFinderSettingMakesAValidStream) {
    const std::vector<uint8_t> data = JoinSampleBundle(MakeSampleProduct(0.05, 9));
    for (const EncoderOptions options :
         {EncoderOptions{1, false}, EncoderOptions{4, true}, EncoderOptions{4096, true}}) {
        ExpectRoundTrip(data, options,
                        "chain " + std::to_string(options.MaxChainLength) +
                            (options.LazyMatching ? " lazy" : " greedy"));
    }
}

TEST(RoundTrip, SeveralMegabytesWithManyRebuilds) {
    // About 3 MB of mixed data: the tree is rebuilt about ninety times.
    const std::vector<uint8_t> data = JoinSampleBundle(MakeSampleProduct(1.0, 5));
    const std::vector<uint8_t> stream = EncodeLzhuf(data.data(), data.size());
    EXPECT_LT(stream.size(), data.size() * 3 / 4) << "the match finder hardly compresses";
    const std::vector<uint8_t> decoded =
        DecodeFromMemory(stream, static_cast<int32_t>(data.size()));
    EXPECT_TRUE(decoded == data);
    EXPECT_LE(Streams.ShortReads, 1u);
}

TEST(RoundTrip, StreamingInPiecesGivesTheSameStreamAsOneCall) {
    const std::vector<uint8_t> data = JoinSampleBundle(MakeSampleProduct(0.2, 4));
    const std::vector<uint8_t> whole = EncodeLzhuf(data.data(), data.size());
    std::vector<uint8_t> pieces;
    size_t chunks = 0;
    LzhufEncoder encoder([&](const uint8_t* bytes, size_t count) {
        pieces.insert(pieces.end(), bytes, bytes + count);
        ++chunks;
    });
    std::mt19937 random(1);
    for (size_t position = 0; position < data.size();) {
        const size_t piece = std::min<size_t>(data.size() - position, 1 + random() % 70000);
        encoder.Write(data.data() + position, piece);
        position += piece;
    }
    encoder.Finish();
    EXPECT_EQ(encoder.InputCount(), data.size());
    EXPECT_EQ(encoder.OutputCount(), pieces.size());
    EXPECT_GT(chunks, 1u);
    EXPECT_TRUE(pieces == whole);
}

} // namespace
