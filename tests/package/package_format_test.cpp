#include "package/package_format.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(PackageFormat, VolumesAreNamedFromTheFirst) {
    EXPECT_EQ(VolumeName("Rembrix.001", 1), "Rembrix.001");
    EXPECT_EQ(VolumeName("Rembrix.001", 2), "Rembrix.002");
    EXPECT_EQ(VolumeName("Rembrix.001", 4), "Rembrix.004");
    EXPECT_EQ(VolumeName("Disk", 3), "Disk.003") << "a name without extension gets one";
    EXPECT_EQ(VolumeName("my.pkg.001", 2), "my.pkg.002") << "only the last extension changes";
}

TEST(PackageFormat, NumbersAreLittleEndianAndSigned) {
    struct Case {
        int32_t value;
        uint8_t bytes[4];
    };
    const Case cases[] = {
        {0, {0, 0, 0, 0}},
        {3102402, {0xC2, 0x56, 0x2F, 0x00}},
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {INT32_MIN, {0, 0, 0, 0x80}},
    };
    for (const Case& c : cases) {
        uint8_t encoded[4];
        EncodeInt32(c.value, encoded);
        EXPECT_EQ(0, std::memcmp(encoded, c.bytes, 4)) << c.value;
        EXPECT_EQ(DecodeInt32(c.bytes), c.value);
    }
}

TEST(PackageFormat, EncodedTrailerParsesBack) {
    const std::vector<FileEntry> entries = {
        {"Uninstal.exe", 320000, 179200}, {"Exactly19Chars1.dll", 499200, 0}, {"x", 499200, 5}};
    const std::vector<uint8_t> trailer = EncodeSetupTrailer(entries, 499205);
    ASSERT_EQ(trailer.size(), 3u * 28 + 5);
    EXPECT_EQ(trailer[28], 19) << "the second entry's length byte";
    EXPECT_EQ(trailer[28 + 20], 0x00) << "its Offset follows the name at byte 20";
    EXPECT_EQ(trailer[28 + 21], 0x9E) << "499,200 is 0x00079E00";

    std::vector<uint8_t> file = {'M', 'Z', 1, 2, 3};
    file.insert(file.end(), trailer.begin(), trailer.end());
    ParsedTrailer parsed;
    ASSERT_EQ(ParseSetupTrailer(file.data(), file.size(), parsed), TrailerParseResult::Parsed);
    EXPECT_EQ(parsed.UnpackedSize, 499205);
    ASSERT_EQ(parsed.Entries.size(), 3u);
    for (size_t index = 0; index < entries.size(); ++index) {
        EXPECT_EQ(parsed.Entries[index].Name, entries[index].Name);
        EXPECT_EQ(parsed.Entries[index].Offset, entries[index].Offset);
        EXPECT_EQ(parsed.Entries[index].Size, entries[index].Size);
    }
    EXPECT_TRUE(FindTrailerProblems(parsed).empty());
}

TEST(PackageFormat, ParserRefusesTooFewBytes) {
    const std::vector<uint8_t> four = {0, 0, 0, 0};
    const std::vector<uint8_t> claimsOne = {9, 9, 9, 1, 0, 0, 0, 0};
    const std::vector<uint8_t> emptyTable = {0, 7, 0, 0, 0};
    ParsedTrailer parsed;
    EXPECT_EQ(ParseSetupTrailer(four.data(), four.size(), parsed),
              TrailerParseResult::TooShortForTail);
    EXPECT_EQ(ParseSetupTrailer(claimsOne.data(), claimsOne.size(), parsed),
              TrailerParseResult::TooShortForEntries);
    ASSERT_EQ(ParseSetupTrailer(emptyTable.data(), emptyTable.size(), parsed),
              TrailerParseResult::Parsed);
    EXPECT_TRUE(parsed.Entries.empty());
    EXPECT_EQ(parsed.UnpackedSize, 7);
}

TEST(PackageFormat, PlainFileNames) {
    for (const char* name :
         {"Rembrix.hlp", "a", "File_id.diz", "Name with space.x", "N1234567890123456.8"}) {
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
    for (const char* name :
         {"", ".", "..", "dir\\a.dll", "dir/a.dll", "C:a.dll", "a*.dll", "a?.dll", "a\"b", "a<b",
          "a>b", "a|b", "trailing.", "trailing ", "Twenty_characters.dl", "tab\tname"}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
}

TEST(PackageFormat, ProblemsOfADamagedTable) {
    ParsedTrailer trailer;
    trailer.UnpackedSize = 1000;
    EXPECT_EQ(FindTrailerProblems(trailer).size(), 1u) << "no entries";

    trailer.Entries = {{"Good.dll", 100, 900},
                       {"Past.end", 900, 101},
                       {"Neg.dll", -1, 5},
                       {"..", 10, 10},
                       {"", 0, 0}};
    trailer.NameLengths = {8, 8, 7, 2, 0};
    const std::vector<std::string> problems = FindTrailerProblems(trailer);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_NE(problems[0].find("entry 1"), std::string::npos);
    EXPECT_NE(problems[1].find("entry 2"), std::string::npos);
    EXPECT_NE(problems[2].find("entry 3"), std::string::npos);
    EXPECT_NE(problems[3].find("entry 4"), std::string::npos);

    trailer.Entries = {{"Main.dll", 0, 0}};
    trailer.NameLengths = {25};
    EXPECT_EQ(FindTrailerProblems(trailer).size(), 1u) << "a stored length over 19";
}

} // namespace
