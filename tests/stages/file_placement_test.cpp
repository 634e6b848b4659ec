// File placement on a bundle written by the test: where each file goes, what
// is kept, the copy's block boundaries, the cut, and a bundle that is short.
#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/run_installer.h"
#include "stages/file_placement.h"
#include "stages/stage_failure.h"
#include "tests/support/package_fixture.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::vector<uint8_t> OldBytes = {'o', 'l', 'd'};

class FilePlacementTest : public ::testing::Test {
  protected:
    FilePlacementTest() {
        ResetRunState();
        DestinationDir = "C:\\Dest";
        std::filesystem::create_directories(HostPath(DestinationDir));
        GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
        KeepGoing = 1;
    }

    // Writes a bundle of `mainSize` bytes followed by the files, and lists
    // the files in FileTable in that order.
    void WriteBundle(size_t mainSize, const std::vector<PackedFile>& files) {
        Bundle = SampleBytes(mainSize, 30);
        FileTable.clear();
        for (const PackedFile& file : files) {
            FileTable.push_back({file.Name, static_cast<int32_t>(Bundle.size()),
                                 static_cast<int32_t>(file.Bytes.size())});
            Bundle.insert(Bundle.end(), file.Bytes.begin(), file.Bytes.end());
        }
        WriteHostFile(Destination("Rembrix.Exe"), Bundle);
    }

    static std::filesystem::path Destination(const std::string& name) {
        return HostPath("C:\\Dest\\" + name);
    }

    TestMachine Machine;
    std::vector<uint8_t> Bundle;
};

TEST_F(FilePlacementTest, EachExtensionGoesWhereThePlacementTableSays) {
    struct Case {
        std::string Name;
        bool PresentBefore;
        std::string Target; // Windows path the file must end up at
        bool Kept;          // the earlier file stays untouched
    };
    const Case cases[] = {
        {"Keep.LIB", true, "C:\\Dest\\Keep.LIB", true},
        {"lower.lib", true, "C:\\Dest\\lower.lib", true},
        {"Data.DTP", true, "C:\\Dest\\Data.DTP", true},
        {"Fresh.LIB", false, "C:\\Dest\\Fresh.LIB", false},
        {"Fresh.dtp", false, "C:\\Dest\\Fresh.dtp", false},
        {"Engine.dll", true, "C:\\Dest\\Engine.dll", false},
        {"Manual.HLP", false, "C:\\WINDOWS\\Help\\Manual.HLP", false},
        {"Other.hlp", true, "C:\\WINDOWS\\Help\\Other.hlp", false},
        {"NoExtension", false, "C:\\Dest\\NoExtension", false},
        {"Lib.LIB.txt", true, "C:\\Dest\\Lib.LIB.txt", false},
    };
    std::vector<PackedFile> files;
    uint32_t seed = 40;
    for (const Case& entry : cases) {
        files.push_back({entry.Name, SampleBytes(3000 + seed, seed)});
        ++seed;
        if (entry.PresentBefore) {
            WriteHostFile(Destination(entry.Name), OldBytes);
        }
    }
    WriteHostFile(Destination("Keep.LIB"), OldBytes);
    const auto keptTime = std::filesystem::last_write_time(Destination("Keep.LIB"));
    WriteBundle(5000, files);

    PlaceFiles();

    for (size_t index = 0; index < std::size(cases); ++index) {
        const Case& entry = cases[index];
        SCOPED_TRACE(entry.Name);
        const std::vector<uint8_t> expected = entry.Kept ? OldBytes : files[index].Bytes;
        EXPECT_EQ(ReadHostFile(HostPath(entry.Target)), expected);
    }
    EXPECT_EQ(std::filesystem::last_write_time(Destination("Keep.LIB")), keptTime);
    // A help file is never written to the destination as well.
    EXPECT_FALSE(std::filesystem::exists(Destination("Manual.HLP")));
    EXPECT_EQ(ReadHostFile(Destination("Other.hlp")), OldBytes);
    EXPECT_EQ(std::filesystem::file_size(Destination("Rembrix.Exe")), 5000u);
    EXPECT_TRUE(FileTable.empty());
    EXPECT_EQ(KeepGoing, 1);
    EXPECT_EQ(PendingFailure, StageFailure::None);
}

TEST_F(FilePlacementTest, HelpFilesLandInTheDestinationWhenTheHelpFolderIsMissing) {
    std::filesystem::remove_all(HostPath("C:\\WINDOWS\\Help"));
    const std::vector<uint8_t> help = SampleBytes(4000, 50);
    WriteBundle(100, {{"Manual.hlp", help}});

    PlaceFiles();

    EXPECT_EQ(ReadHostFile(Destination("Manual.hlp")), help);
}

TEST_F(FilePlacementTest, AWindowsDirectoryAtADriveRootGivesNoDoubledBackslash) {
    std::strcpy(WindowsDir, "C:\\");
    std::filesystem::create_directories(HostPath("C:\\Help"));
    const std::vector<uint8_t> help = SampleBytes(100, 51);
    WriteBundle(100, {{"Root.hlp", help}});

    PlaceFiles();

    EXPECT_EQ(PlacementTarget("Root.hlp"), "C:\\Help\\Root.hlp");
    EXPECT_EQ(ReadHostFile(HostPath("C:\\Help\\Root.hlp")), help);
}

TEST_F(FilePlacementTest, FilesAroundTheBlockSizeAreCopiedExactly) {
    std::vector<PackedFile> files;
    for (const size_t size : {size_t{0}, size_t{1}, size_t{2047}, size_t{2048}, size_t{2049},
                              size_t{4096}, size_t{4097}, size_t{10000}}) {
        files.push_back({"File" + std::to_string(size) + ".bin", SampleBytes(size, 60)});
    }
    WriteBundle(3000, files);

    PlaceFiles();

    for (const PackedFile& file : files) {
        SCOPED_TRACE(file.Name);
        ASSERT_TRUE(std::filesystem::exists(Destination(file.Name)));
        EXPECT_EQ(ReadHostFile(Destination(file.Name)), file.Bytes);
    }
    EXPECT_EQ(std::filesystem::file_size(Destination("Rembrix.Exe")), 3000u);
}

TEST_F(FilePlacementTest, TheBundleIsCutAtTheFirstEntryInTableOrder) {
    const std::vector<uint8_t> first = SampleBytes(700, 70);
    const std::vector<uint8_t> second = SampleBytes(800, 71);
    WriteBundle(1000, {{"Second.bin", second}, {"First.bin", first}});
    // List them in the other order: the cut follows the table, not the
    // smallest offset.
    FileTable.reverse();

    PlaceFiles();

    EXPECT_EQ(ReadHostFile(Destination("First.bin")), first);
    EXPECT_EQ(ReadHostFile(Destination("Second.bin")), second);
    EXPECT_EQ(std::filesystem::file_size(Destination("Rembrix.Exe")), 1800u);
}

TEST_F(FilePlacementTest, ATargetThatCannotBeCreatedAnywhereIsSkipped) {
    std::filesystem::create_directories(Destination("Taken.txt"));
    const std::vector<uint8_t> after = SampleBytes(500, 81);
    WriteBundle(1000, {{"Taken.txt", SampleBytes(500, 80)}, {"After.txt", after}});

    PlaceFiles();

    EXPECT_TRUE(std::filesystem::is_directory(Destination("Taken.txt")));
    EXPECT_EQ(ReadHostFile(Destination("After.txt")), after);
    EXPECT_EQ(std::filesystem::file_size(Destination("Rembrix.Exe")), 1000u);
    EXPECT_EQ(KeepGoing, 1);
}

TEST_F(FilePlacementTest, ABundleThatEndsBeforeAnEntryStopsThePlacement) {
    for (const int32_t missing : {1, 2048, 5000}) {
        SCOPED_TRACE(missing);
        ResetRunState();
        DestinationDir = "C:\\Dest";
        GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
        KeepGoing = 1;
        const std::vector<uint8_t> whole = SampleBytes(6000, 90);
        WriteBundle(1000, {{"Whole.bin", whole}, {"Short.bin", SampleBytes(6000, 91)},
                           {"Never.bin", SampleBytes(10, 92)}});
        std::filesystem::remove(Destination("Short.bin"));
        std::filesystem::resize_file(Destination("Rembrix.Exe"), 13000 - missing);
        // Readable, so it would be written if placement went on.
        FileTable.back().Offset = 1000;

        PlaceFiles();

        EXPECT_EQ(KeepGoing, 0);
        EXPECT_EQ(PendingFailure, StageFailure::BundleShort);
        EXPECT_EQ(PendingFailureSubject, "Short.bin");
        EXPECT_EQ(ReadHostFile(Destination("Whole.bin")), whole);
        EXPECT_FALSE(std::filesystem::exists(Destination("Short.bin")));
        EXPECT_FALSE(std::filesystem::exists(Destination("Never.bin")));
        EXPECT_TRUE(FileTable.empty());
        // Not cut back: the run is abandoned and the bundle removed.
        EXPECT_EQ(std::filesystem::file_size(Destination("Rembrix.Exe")),
                  static_cast<uintmax_t>(13000 - missing));
    }
}

TEST_F(FilePlacementTest, AnEmptyBundleStopsAtTheFirstNonEmptyEntry) {
    WriteHostFile(Destination("Rembrix.Exe"), {});
    FileTable = {{"Empty.bin", 0, 0}, {"Data.bin", 0, 10}};

    PlaceFiles();

    EXPECT_EQ(PendingFailure, StageFailure::BundleShort);
    EXPECT_EQ(PendingFailureSubject, "Data.bin");
    EXPECT_TRUE(std::filesystem::exists(Destination("Empty.bin")));
}

TEST_F(FilePlacementTest, ATableWithoutEntriesKeepsTheBundleUpToItsSize) {
    Bundle = SampleBytes(5000, 95);
    WriteHostFile(Destination("Rembrix.Exe"), Bundle);
    UnpackedSize = 4970;

    PlaceFiles();

    EXPECT_EQ(ReadHostFile(Destination("Rembrix.Exe")),
              std::vector<uint8_t>(Bundle.begin(), Bundle.begin() + 4970));
    EXPECT_EQ(PendingFailure, StageFailure::None);
    EXPECT_EQ(KeepGoing, 1);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(HostPath(DestinationDir))) {
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(FilePlacementTest, ATableWithoutEntriesAndAShortBundleIsNotInstalled) {
    WriteHostFile(Destination("Rembrix.Exe"), SampleBytes(100, 96));
    UnpackedSize = 4970;

    PlaceFiles();

    EXPECT_EQ(PendingFailure, StageFailure::BundleShort);
    EXPECT_EQ(KeepGoing, 0);
}

} // namespace
