// The gathering stage asking for the second disk.
#include "tests/flow/flow_fixture.h"

namespace {

const char* const DiskTwoPrompt = "Please Insert Disk number 2";

class DiskPromptTest : public FlowTest {
  protected:
    // Builds the small package and takes its second volume off the disk.
    void PrepareWithoutSecondVolume() {
        Prepare(SmallPackageRecipe());
        SecondVolume = Aside / "Rembrix.002";
        std::filesystem::rename(Package.Volumes[1], SecondVolume);
    }

    void InsertSecondDisk() { ScriptCopyFile(SecondVolume, Package.Volumes[1]); }

    ~DiskPromptTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(Aside, ignored);
    }

    std::filesystem::path Aside = MakeTemporaryFolder("aside");
    std::filesystem::path SecondVolume;
};

TEST_F(DiskPromptTest, OkWithoutTheDiskSaysWrongDiskAndAsksAgainUntilItIsThere) {
    PrepareWithoutSecondVolume();
    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptAnswerMessageBox(ProductCaption, "OK");
    ScriptAnswerMessageBox("", "OK");
    InsertSecondDisk();
    ScriptAnswerMessageBox(ProductCaption, "OK");
    ScriptGroupOk();
    ScriptAnswerFinalQuestion("No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(ScriptFinished());
    const std::vector<ShownMessageBox>& boxes = MessageBoxHistory();
    ASSERT_EQ(boxes.size(), 4u);
    for (size_t index : {size_t{0}, size_t{2}}) {
        EXPECT_EQ(boxes[index].Text, DiskTwoPrompt);
        EXPECT_EQ(boxes[index].Caption, "Rembrix");
        EXPECT_EQ(boxes[index].Type, MB_OKCANCEL);
        EXPECT_NE(boxes[index].Owner, nullptr);
        EXPECT_NE(boxes[index].Owner, BackdropWindow);
        EXPECT_EQ(boxes[index].Answer, IDOK);
    }
    EXPECT_EQ(boxes[1].Text,
              "This is not the appropriate disk.\r\nPlease insert the correct disk and Press Enter");
    EXPECT_EQ(boxes[1].Caption, "");
    EXPECT_EQ(boxes[1].Type, MB_OK);
    EXPECT_EQ(boxes[1].Owner, boxes[0].Owner);
    EXPECT_EQ(boxes[3].Text, SuccessQuestion());

    EXPECT_EQ(Settings.VolumeFileName, "Rembrix.002");
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
    for (size_t index = 0; index + 1 < Package.Entries.size(); ++index) {
        EXPECT_EQ(ReadHostFile(Installed(Package.Entries[index].Name)), PackedBytes(index));
    }
}

TEST_F(DiskPromptTest, CancelWhileTheDiskIsMissingAbandonsAndCleansUp) {
    PrepareWithoutSecondVolume();
    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptAnswerMessageBox(ProductCaption, "Cancel");
    ScriptAnswerMessageBox(ProductCaption, "OK");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(ScriptFinished());
    EXPECT_TRUE(Aborted);
    EXPECT_EQ(KeepGoing, 0);
    const std::vector<ShownMessageBox>& boxes = MessageBoxHistory();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text, DiskTwoPrompt);
    EXPECT_EQ(boxes[0].Answer, IDCANCEL);
    EXPECT_EQ(boxes[1].Text, "The Installation process has been terminated.");
    EXPECT_EQ(boxes[1].Caption, "Rembrix");
    EXPECT_EQ(boxes[1].Type, MB_OK);
    EXPECT_EQ(boxes[1].Owner, BackdropWindow);
    // The partly gathered archive was this run's and is gone; the unpacking
    // stage never ran.
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix._ZV")));
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix.Exe")));
    EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
    EXPECT_FALSE(FileTable.empty());
}

TEST_F(DiskPromptTest, CancelAfterTheDiskArrivedCopiesIt) {
    PrepareWithoutSecondVolume();
    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptWaitForWindow(ProductCaption);
    InsertSecondDisk();
    ScriptClick("Cancel");
    ScriptGroupOk();
    ScriptAnswerFinalQuestion("No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_FALSE(Aborted);
    ASSERT_EQ(MessageBoxHistory().size(), 2u);
    EXPECT_EQ(MessageBoxHistory()[0].Answer, IDCANCEL);
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
}

TEST_F(DiskPromptTest, SixVolumesInTheSettingsGatherFourAndAskForNoFifth) {
    PackageRecipe recipe = SmallPackageRecipe();
    recipe.VolumeCount = 4;
    Prepare(recipe);
    ScriptWholeInstall("", "No");
    InstallerSettings settings = DefaultInstallerSettings();
    settings.VolumeCount = 6;

    const InstallOutcome outcome = RunInstallerInProcess(settings);

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{SuccessQuestion()});
    EXPECT_EQ(Settings.VolumeFileName, "Rembrix.004");
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
}

} // namespace
