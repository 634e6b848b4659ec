// Giving up: in the dialogs before the copy, and with the exit question
// confirmed or declined while the progress dialogs work.
#include "tests/flow/flow_fixture.h"

#include "stages/unpacking.h"

namespace {

const char* const TerminatedText = "The Installation process has been terminated.";
const std::vector<uint8_t> EarlierMainProgram = {'o', 'l', 'd', ' ', 'e', 'x', 'e'};

// A package whose unpacking takes long enough for the user to click in it.
PackageRecipe LargePackageRecipe() {
    PackageRecipe recipe = SmallPackageRecipe();
    recipe.Files.push_back({"Large.dat", SampleBytes(1500000, 9)});
    return recipe;
}

class CancelTest : public FlowTest {
  protected:
    // An earlier installation's main program in the proposed directory.
    void PutEarlierInstallation() {
        WriteHostFile(HostPath(ProposedDestination) / "Rembrix.Exe", EarlierMainProgram);
    }

    std::vector<uint8_t> EarlierInstallation() const {
        return ReadHostFile(HostPath(JoinPath(ProposedDestination, "Rembrix.Exe")));
    }

    // Queues the Cancel click for the unpacking dialog: both progress
    // dialogs bear the same caption, so when the gathering dialog is the one
    // active at the first look, it is renamed out of the way first.
    static void ScriptClickCancelWhileUnpacking() {
        ScriptRun([] {
            if (ArchiveHandle <= 0) {
                SetWindowTextA(FindWindowA(nullptr, ProgressCaption), "Gathering");
            }
        });
        ScriptWaitForWindow(ProgressCaption);
        ScriptClick("Cancel");
    }
};

TEST_F(CancelTest, CancelledDestinationCleansUpNothingOfAnEarlierRunInTheProgramsOwnFolder) {
    Prepare(SmallPackageRecipe());
    // Files of these names beside the setup program are not this run's.
    WriteHostFile(Disk / "Rembrix.Exe", EarlierMainProgram);
    WriteHostFile(Disk / "Rembrix._ZV", EarlierMainProgram);
    ScriptWaitForWindow(DestinationCaption);
    ScriptClick("Cancel");
    ScriptAnswerMessageBox(ExitCaption, "Yes");
    ScriptAnswerMessageBox(ProductCaption, "OK");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(Aborted);
    EXPECT_EQ(HostPath(DestinationDir), HostPath(SourceDir));
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{
                                "Do you really want to terminate the Setup program?", TerminatedText}));
    EXPECT_EQ(MessageBoxHistory()[1].Owner, BackdropWindow);
    EXPECT_EQ(ReadHostFile(Disk / "Rembrix.Exe"), EarlierMainProgram);
    EXPECT_EQ(ReadHostFile(Disk / "Rembrix._ZV"), EarlierMainProgram);
    EXPECT_EQ(KeepGoing, 0);
}

TEST_F(CancelTest, ExitFromTheLicenseKeepsAnEarlierInstallation) {
    Prepare(SmallPackageRecipe());
    PutEarlierInstallation();
    ScriptAcceptDestination();
    ScriptWaitForWindow(LicenseCaption);
    ScriptClick("Exit");
    ScriptAnswerMessageBox(ExitCaption, "Yes");
    ScriptAnswerMessageBox(ProductCaption, "OK");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(Aborted);
    EXPECT_EQ(ShownTexts().back(), TerminatedText);
    EXPECT_EQ(EarlierInstallation(), EarlierMainProgram);
}

TEST_F(CancelTest, ExitConfirmedWhileGatheringRemovesTheArchiveAndKeepsAnEarlierProgram) {
    PackageRecipe recipe = SmallPackageRecipe();
    recipe.VolumeCount = 1;
    Prepare(recipe);
    // A first volume big enough for the user to click while it is copied;
    // its bytes never reach the decoder.
    WriteHostFile(Package.Volumes[0], SampleBytes(24 * 1024 * 1024, 11));
    PutEarlierInstallation();
    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptWaitForWindow(ProgressCaption);
    ScriptClick("Cancel");
    ScriptAnswerMessageBox(ExitCaption, "Yes");
    ScriptAnswerMessageBox(ProductCaption, "OK");
    InstallerSettings settings = DefaultInstallerSettings();
    settings.VolumeCount = 1;

    const InstallOutcome outcome = RunInstallerInProcess(settings);

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(Aborted);
    EXPECT_EQ(ShownTexts().back(), TerminatedText);
    // The unpacking stage never opened: its template's dialog did not run.
    EXPECT_EQ(ArchiveHandle, 0);
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix._ZV")));
    EXPECT_EQ(EarlierInstallation(), EarlierMainProgram);
    EXPECT_EQ(KeepGoing, 0);
}

TEST_F(CancelTest, ExitConfirmedWhileUnpackingRemovesTheArchiveAndThePartialProgram) {
    Prepare(LargePackageRecipe());
    PutEarlierInstallation();
    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptClickCancelWhileUnpacking();
    ScriptAnswerMessageBox(ExitCaption, "Yes");
    ScriptAnswerMessageBox(ProductCaption, "OK");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(ScriptFinished());
    EXPECT_TRUE(Aborted);
    EXPECT_EQ(ShownTexts().back(), TerminatedText);
    // Stopped before the end: the bundle never reached its full size.
    EXPECT_LT(BytesWritten, static_cast<int32_t>(Package.Bundle.size()) - 2048);
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix._ZV")));
    // The main program's file was this run's bundle, so it went too.
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix.Exe")));
    EXPECT_FALSE(std::filesystem::exists(Installed("Large.dat")));
    EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
}

TEST_F(CancelTest, ExitDeclinedWhileUnpackingChangesNothing) {
    Prepare(LargePackageRecipe());
    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptClickCancelWhileUnpacking();
    ScriptAnswerMessageBox(ExitCaption, "No");
    ScriptGroupOk();
    ScriptAnswerFinalQuestion("No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_FALSE(Aborted);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{
                                "Do you really want to terminate the Setup program?",
                                SuccessQuestion()}));
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
    EXPECT_EQ(ReadHostFile(Installed("Large.dat")), PackedBytes(4));
}

} // namespace
