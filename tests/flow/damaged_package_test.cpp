// Packages that must not install as if nothing were wrong: unsafe names, a
// bundle shorter than its table, an archive that ends early or cannot be
// read, a bundle that cannot be written; and the table without entries.
#include "tests/flow/flow_fixture.h"

#include "app/messages.h"
#include "platform/machine/fault_injection.h"

namespace {

const char* const TerminatedText = "The Installation process has been terminated.";

class DamagedPackageTest : public FlowTest {
  protected:
    // Runs the user's steps up to the message that says why, and the
    // termination message after it.
    InstallOutcome RunToAbandon() {
        ScriptAcceptDestination();
        ScriptAgreeLicense();
        ScriptAnswerMessageBox(ProductCaption, "OK");
        ScriptAnswerMessageBox(ProductCaption, "OK");
        return RunInstallerInProcess();
    }

    // The abandoned run told the user `reason` and then that it ended, and
    // neither the archive nor the main program remained.
    void ExpectAbandonedWith(const InstallOutcome& outcome, const std::string& reason) {
        ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
        EXPECT_TRUE(ScriptFinished());
        EXPECT_TRUE(Aborted);
        EXPECT_EQ(ShownTexts(), (std::vector<std::string>{reason, TerminatedText}));
        const ShownMessageBox& report = MessageBoxHistory().front();
        EXPECT_EQ(report.Caption, "Rembrix");
        EXPECT_EQ(report.Type, MB_OK | MB_ICONERROR);
        EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix._ZV")));
        EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix.Exe")));
        EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
    }
};

TEST_F(DamagedPackageTest, NamesThatAreNotPlainFileNamesAreRefusedBeforeAnythingIsCopied) {
    const std::string names[] = {"",      "..\\Evil.dll", "Sub/Evil.dll", "C:Evil.dll",
                                 ".",     "..",           "\\WINDOWS",    std::string("a\0b", 3)};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(Disk);
        PackageRecipe recipe = SmallPackageRecipe();
        std::vector<FileEntry> entries;
        int32_t offset = static_cast<int32_t>(recipe.MainProgram.size());
        for (const PackedFile& file : recipe.Files) {
            entries.push_back({file.Name, offset, static_cast<int32_t>(file.Bytes.size())});
            offset += static_cast<int32_t>(file.Bytes.size());
        }
        entries[2].Name = name;
        recipe.TrailerEntries = entries;
        Prepare(recipe);

        const InstallOutcome outcome = RunToAbandon();

        ExpectAbandonedWith(outcome, UnsafeFileNameMessage(name));
        EXPECT_TRUE(std::filesystem::is_empty(HostPath(DestinationDir)));
        EXPECT_FALSE(std::filesystem::exists(HostPath("C:\\Program Files\\Evil.dll")));
    }
}

TEST_F(DamagedPackageTest, ABundleShorterThanItsTableIsNotReportedAsInstalled) {
    PackageRecipe recipe = SmallPackageRecipe();
    Prepare(recipe);
    std::vector<FileEntry> entries = Package.Entries;
    // The last file claims 5000 bytes more than the bundle holds.
    entries.back().Size += 5000;
    recipe.TrailerEntries = entries;
    std::filesystem::remove_all(Disk);
    Prepare(recipe);

    const InstallOutcome outcome = RunToAbandon();

    ExpectAbandonedWith(outcome, BundleShortMessage("Rembrix.hlp"));
    // The short file is removed; the files placed before it stay.
    EXPECT_FALSE(std::filesystem::exists(HostPath("C:\\WINDOWS\\Help\\Rembrix.hlp")));
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix.hlp")));
    EXPECT_EQ(ReadHostFile(Installed("Engine.dll")), PackedBytes(1));
}

TEST_F(DamagedPackageTest, AnArchiveThatEndsWellBeforeTheBundleIsRefused) {
    PackageRecipe recipe = SmallPackageRecipe();
    recipe.CutStreamBytes = 4000;
    Prepare(recipe);

    const InstallOutcome outcome = RunToAbandon();

    ExpectAbandonedWith(outcome, ArchiveEndedEarlyMessage());
    EXPECT_FALSE(std::filesystem::exists(Installed("Engine.dll")));
}

TEST_F(DamagedPackageTest, AFailingReadOfTheArchiveStopsUnpacking) {
    Prepare(SmallPackageRecipe());
    FailReadsFrom("C:\\Program Files\\Rembrix\\Rembrix._ZV", 3000);

    const InstallOutcome outcome = RunToAbandon();

    ExpectAbandonedWith(outcome,
                        ArchiveUnreadableMessage("C:\\Program Files\\Rembrix\\Rembrix._ZV"));
}

TEST_F(DamagedPackageTest, AFullDiskWhileTheBundleIsWrittenStopsUnpacking) {
    int64_t bundleSize = static_cast<int64_t>(SmallPackageRecipe().MainProgram.size());
    for (const PackedFile& file : SmallPackageRecipe().Files) {
        bundleSize += static_cast<int64_t>(file.Bytes.size());
    }
    // Full at the first block, in the middle, and in the final flush.
    const int64_t lastFullBlocks = (bundleSize - 1) / 2048 * 2048;
    for (const int64_t room : {int64_t{0}, int64_t{5000}, lastFullBlocks + 28}) {
        SCOPED_TRACE(room);
        std::filesystem::remove_all(Disk);
        Prepare(SmallPackageRecipe());
        FillDiskAfter("C:\\Program Files\\Rembrix\\Rembrix.Exe", room);

        const InstallOutcome outcome = RunToAbandon();

        ExpectAbandonedWith(outcome,
                            BundleWriteFailedMessage("C:\\Program Files\\Rembrix\\Rembrix.Exe"));
    }
}

TEST_F(DamagedPackageTest, AFailingWriteOfTheBundleStopsUnpacking) {
    Prepare(SmallPackageRecipe());
    FailWritesTo("C:\\Program Files\\Rembrix\\Rembrix.Exe");

    const InstallOutcome outcome = RunToAbandon();

    ExpectAbandonedWith(outcome,
                        BundleWriteFailedMessage("C:\\Program Files\\Rembrix\\Rembrix.Exe"));
}

TEST_F(FlowTest, ATableWithoutEntriesInstallsTheWholeBundleAsTheMainProgram) {
    PackageRecipe recipe;
    recipe.MainProgram = SampleBytes(70000, 21);
    // The decoder may write up to 59 bytes past the size it was asked for;
    // the main program is cut to exactly that size.
    recipe.TrailerUnpackedSize = 70000 - 10;
    Prepare(recipe);
    ScriptWholeInstall("", "No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_FALSE(Aborted);
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")),
              std::vector<uint8_t>(recipe.MainProgram.begin(), recipe.MainProgram.end() - 10));
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(HostPath(DestinationDir))) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "Rembrix.Exe");
    }
    EXPECT_EQ(files, 1u);
    EXPECT_TRUE(std::filesystem::is_empty(HostPath("C:\\WINDOWS\\Help")));
}

} // namespace
