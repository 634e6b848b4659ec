#include "package/setup_trailer.h"

#include "app/install_state.h"
#include "package/package_format.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_layer.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

namespace {

// A machine whose running program is a setup file written by the test.
class SetupTrailerTest : public testing::Test {
  protected:
    SetupTrailerTest() : Folder(MakeTemporaryFolder("trailer")), Machine(ConfigFor(Folder)) {
        ResetInstallState();
    }
    ~SetupTrailerTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    static MachineConfig ConfigFor(const std::filesystem::path& folder) {
        MachineConfig config;
        config.FrontEnd = "headless";
        config.RunningProgram = folder / "SETUP.EXE";
        return config;
    }

    void WriteSetupFile(const std::vector<uint8_t>& bytes) {
        std::ofstream file(Folder / "SETUP.EXE", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    std::vector<FileEntry> Table() const { return {FileTable.begin(), FileTable.end()}; }

    std::filesystem::path Folder;
    TestMachine Machine;
};

// An executable image of `size` bytes that no trailer reader should look at.
std::vector<uint8_t> Image(size_t size) {
    std::vector<uint8_t> image(size);
    std::mt19937 random(5);
    for (uint8_t& byte : image) {
        byte = static_cast<uint8_t>(random());
    }
    if (size >= 2) {
        image[0] = 'M';
        image[1] = 'Z';
    }
    return image;
}

// One entry as stored, with `leftover` in the name bytes after the name.
void AppendEntry(std::vector<uint8_t>& bytes, const std::string& name, int32_t offset, int32_t size,
                 const std::string& leftover = "") {
    uint8_t entry[TrailerEntrySize] = {};
    entry[0] = static_cast<uint8_t>(name.size());
    std::string field = name + leftover;
    field.resize(MaxEntryNameLength, '\0');
    std::memcpy(entry + 1, field.data(), MaxEntryNameLength);
    EncodeInt32(offset, entry + 20);
    EncodeInt32(size, entry + 24);
    bytes.insert(bytes.end(), entry, entry + TrailerEntrySize);
}

void AppendTail(std::vector<uint8_t>& bytes, int entryCount, int32_t unpackedSize) {
    bytes.push_back(static_cast<uint8_t>(entryCount));
    uint8_t size[4];
    EncodeInt32(unpackedSize, size);
    bytes.insert(bytes.end(), size, size + 4);
}

struct ExampleEntry {
    const char* Name;
    int32_t Offset;
    int32_t Size;
    const char* Leftover;
};

// The package this installer ships: 12 entries, bundle 3,102,402 bytes.
const ExampleEntry ExampleEntries[] = {
    {"Uninstal.exe", 320000, 179200, ""},    {"RbxCore.dll", 499200, 405504, "l"},
    {"File_id.diz", 904704, 444, "ll"},      {"RbxView.dll", 905148, 221184, "z"},
    {"RbxPaint.dll", 1126332, 303104, "ll"}, {"RbxText.dll", 1429436, 159744, "ll"},
    {"RbxConv.EXE", 1589180, 613376, "l"},   {"Tutorial.hlp", 2202556, 322511, "LE"},
    {"Rembrix.hlp", 2525067, 208423, "p"},   {"Psapi.dll", 2733490, 18192, "lp"},
    {"RbxFilt.dll", 2751682, 299008, "hlp"}, {"RbxIo.dll", 3050690, 51712, "ll.dll"},
};

TEST_F(SetupTrailerTest, ReadsTheShippedPackagesTable) {
    std::vector<uint8_t> file = Image(94720);
    for (const ExampleEntry& entry : ExampleEntries) {
        AppendEntry(file, entry.Name, entry.Offset, entry.Size, entry.Leftover);
    }
    AppendTail(file, 12, 3102402);
    ASSERT_EQ(file.size(), 95061u);
    WriteSetupFile(file);

    ReadSetupTrailer();

    EXPECT_EQ(UnpackedSize, 3102402);
    const std::vector<FileEntry> table = Table();
    ASSERT_EQ(table.size(), 12u);
    for (size_t index = 0; index < table.size(); ++index) {
        EXPECT_EQ(table[index].Name, ExampleEntries[index].Name) << "entry " << index;
        EXPECT_EQ(table[index].Offset, ExampleEntries[index].Offset) << "entry " << index;
        EXPECT_EQ(table[index].Size, ExampleEntries[index].Size) << "entry " << index;
    }
    EXPECT_EQ(FileOpenMode, 2) << "the caller's open mode comes back";
}

TEST_F(SetupTrailerTest, NineteenCharacterNamesAndTheFullTableOf255) {
    std::vector<uint8_t> file = Image(1000);
    const std::string longName = "Nineteen_chars.dll";
    ASSERT_EQ(longName.size() + 1, 19u);
    for (int index = 0; index < MaxEntryCount; ++index) {
        const std::string name = index == 0 ? longName + "X" : "F" + std::to_string(index) + ".dat";
        AppendEntry(file, name, 1000 + index * 7, index, "junk-junk-junk-junk");
    }
    AppendTail(file, MaxEntryCount, -2);
    ASSERT_EQ(file.size() - 1000, 7145u) << "the whole trailer is 28 * 255 + 5 bytes";
    WriteSetupFile(file);

    ReadSetupTrailer();

    const std::vector<FileEntry> table = Table();
    ASSERT_EQ(table.size(), 255u);
    EXPECT_EQ(table.front().Name, "Nineteen_chars.dllX");
    EXPECT_EQ(table.front().Offset, 1000) << "the offset follows the 19-byte name directly";
    EXPECT_EQ(table[1].Name, "F1.dat") << "the bytes after a name are ignored";
    EXPECT_EQ(table.back().Name, "F254.dat");
    EXPECT_EQ(table.back().Offset, 1000 + 254 * 7);
    EXPECT_EQ(table.back().Size, 254);
    EXPECT_EQ(UnpackedSize, -2) << "taken as stored";
}

TEST_F(SetupTrailerTest, ReplacesAnEarlierTableAndTakesAnEmptyOne) {
    FileTable.push_back({"Stale.dll", 1, 2});
    std::vector<uint8_t> file = Image(64);
    AppendTail(file, 0, 4321);
    WriteSetupFile(file);

    ReadSetupTrailer();

    EXPECT_TRUE(FileTable.empty());
    EXPECT_EQ(UnpackedSize, 4321);
}

TEST_F(SetupTrailerTest, ANameLengthAbove19NeverReadsPastItsField) {
    std::vector<uint8_t> file = Image(100);
    AppendEntry(file, "Main.dll", 10, 20);
    file[100] = 200; // the length byte of the only entry
    AppendTail(file, 1, 30);
    WriteSetupFile(file);

    ReadSetupTrailer();

    ASSERT_EQ(FileTable.size(), 1u);
    EXPECT_EQ(FileTable.front().Name, std::string("Main.dll").append(11, '\0'));
    EXPECT_EQ(FileTable.front().Offset, 10);
}

TEST_F(SetupTrailerTest, AFileShorterThanItsTrailerIsAnInputOutputError) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> threeClaimedTwoThere = Image(20);
    AppendEntry(threeClaimedTwoThere, "A.dll", 0, 1);
    AppendEntry(threeClaimedTwoThere, "B.dll", 1, 1);
    AppendTail(threeClaimedTwoThere, 3, 2);
    std::vector<uint8_t> onlyTheEntries;
    AppendEntry(onlyTheEntries, "A.dll", 0, 1);
    AppendTail(onlyTheEntries, 2, 2);
    const Case cases[] = {
        {"an empty file", {}},
        {"three bytes", {1, 2, 3}},
        {"four bytes: no entry count", {1, 0, 0, 0}},
        {"three entries claimed, 76 bytes before the tail", threeClaimedTwoThere},
        {"two entries claimed, one there", onlyTheEntries},
    };
    for (const Case& c : cases) {
        WriteSetupFile(c.bytes);
        FileOpenMode = 1;
        EXPECT_THROW(ReadSetupTrailer(), EInOutError) << c.what;
        EXPECT_EQ(FileOpenMode, 1) << c.what;
    }
    std::filesystem::remove(Folder / "SETUP.EXE");
    EXPECT_THROW(ReadSetupTrailer(), EInOutError) << "a missing file";
}

TEST_F(SetupTrailerTest, AgreesWithTheInMemoryParserOnAnyTrailer) {
    std::mt19937 random(17);
    for (int round = 0; round < 20; ++round) {
        std::vector<uint8_t> file(200 + random() % 3000);
        for (uint8_t& byte : file) {
            byte = static_cast<uint8_t>(random());
        }
        file[file.size() - 5] = static_cast<uint8_t>(random() % 40);
        WriteSetupFile(file);
        ParsedTrailer parsed;
        const TrailerParseResult result = ParseSetupTrailer(file.data(), file.size(), parsed);
        if (result != TrailerParseResult::Parsed) {
            EXPECT_THROW(ReadSetupTrailer(), EInOutError) << "round " << round;
            continue;
        }
        ReadSetupTrailer();
        EXPECT_EQ(UnpackedSize, parsed.UnpackedSize);
        ASSERT_EQ(FileTable.size(), parsed.Entries.size()) << "round " << round;
        size_t index = 0;
        for (const FileEntry& entry : FileTable) {
            EXPECT_EQ(entry.Name, parsed.Entries[index].Name);
            EXPECT_EQ(entry.Offset, parsed.Entries[index].Offset);
            EXPECT_EQ(entry.Size, parsed.Entries[index].Size);
            ++index;
        }
    }
}

} // namespace
