// Whole installations of packer-built packages, driven by the scripted user.
#include "tests/flow/flow_fixture.h"

#include "platform/machine/shell/shell_history.h"
#include "stages/progress_meter.h"
#include "stages/unpacking.h"

#include <cmath>

namespace {

TEST_F(FlowTest, AllVolumesPresentInstallsEveryFileWithoutAPrompt) {
    Prepare(SmallPackageRecipe());
    ScriptWholeInstall("", "Yes");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(ScriptFinished());
    EXPECT_FALSE(Aborted);
    EXPECT_EQ(DestinationDir, ProposedDestination);
    // No disk prompt: the final question is the only message box.
    ASSERT_EQ(MessageBoxHistory().size(), 1u);
    const ShownMessageBox& question = MessageBoxHistory().front();
    EXPECT_EQ(question.Text, SuccessQuestion());
    EXPECT_EQ(question.Caption, "Rembrix");
    EXPECT_EQ(question.Type, MB_YESNO);
    EXPECT_EQ(question.Owner, nullptr);

    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
    EXPECT_EQ(std::filesystem::file_size(Installed("Rembrix.Exe")),
              static_cast<uintmax_t>(Package.Entries.front().Offset));
    for (size_t index = 0; index < Package.Entries.size(); ++index) {
        const std::string& name = Package.Entries[index].Name;
        const std::filesystem::path target = name == "Rembrix.hlp"
                                                 ? HostPath("C:\\WINDOWS\\Help\\Rembrix.hlp")
                                                 : Installed(name);
        EXPECT_EQ(ReadHostFile(target), PackedBytes(index)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix.hlp")));
    EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix._ZV")));
    EXPECT_TRUE(FileTable.empty());

    EXPECT_EQ(UninstallValue("DisplayName"), "Rembrix");
    EXPECT_EQ(UninstallValue("UnInstallString"), "C:\\Program Files\\Rembrix\\UnInstal.Exe");

    ASSERT_EQ(ShellExecuteHistory().size(), 1u);
    const ShellExecuteRequest& launch = ShellExecuteHistory().front();
    EXPECT_EQ(launch.Owner, BackdropWindow);
    EXPECT_FALSE(launch.Verb.has_value());
    EXPECT_EQ(launch.File, "C:\\Program Files\\Rembrix\\Rembrix.Exe");
    EXPECT_FALSE(launch.Parameters.has_value());
    EXPECT_EQ(launch.Directory, "C:\\Program Files\\Rembrix");
    EXPECT_EQ(launch.ShowCommand, SW_SHOW);
    EXPECT_EQ(FileOpenMode, 2);
}

TEST_F(FlowTest, NoToTheFinalQuestionStartsNothing) {
    Prepare(SmallPackageRecipe());
    ScriptWholeInstall("", "No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(ShellExecuteHistory().empty());
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
    EXPECT_EQ(UninstallValue("DisplayName"), "Rembrix");
}

TEST_F(FlowTest, DestinationWithATrailingBackslashGivesOneBackslashInTheUninstallString) {
    Prepare(SmallPackageRecipe());
    ScriptWholeInstall("C:\\REMBRIX\\", "No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_EQ(DestinationDir, "C:\\REMBRIX\\");
    EXPECT_EQ(UninstallValue("UnInstallString"), "C:\\REMBRIX\\UnInstal.Exe");
    EXPECT_EQ(ReadHostFile(HostPath("C:\\REMBRIX\\Rembrix.Exe")), MainProgramBytes());
}

TEST_F(FlowTest, OneToFourVolumesInstallTheSameFiles) {
    for (int volumes = 1; volumes <= 4; ++volumes) {
        SCOPED_TRACE(volumes);
        PackageRecipe recipe = SmallPackageRecipe();
        recipe.VolumeCount = volumes;
        std::filesystem::remove_all(Disk);
        Prepare(recipe);
        ScriptWholeInstall("", "No");
        InstallerSettings settings = DefaultInstallerSettings();
        settings.VolumeCount = volumes;

        const InstallOutcome outcome = RunInstallerInProcess(settings);

        ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
        EXPECT_EQ(MessageBoxHistory().size(), 1u);
        EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
        EXPECT_EQ(ReadHostFile(Installed("Engine.dll")), PackedBytes(1));
        EXPECT_EQ(Settings.VolumeFileName, "Rembrix.00" + std::to_string(volumes));
    }
}

TEST_F(FlowTest, ProgramGroupCancelledLeavesOutOnlyTheShortcut) {
    Prepare(SmallPackageRecipe());
    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptWaitForWindow(GroupCaption);
    ScriptClick("Cancel");
    ScriptAnswerFinalQuestion("No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_FALSE(Aborted);
    EXPECT_EQ(DialogResult, 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{SuccessQuestion()});
    EXPECT_EQ(UninstallValue("DisplayName"), "Rembrix");
    const std::filesystem::path programs =
        HostPath("C:\\WINDOWS\\Start Menu\\Programs");
    for (const auto& entry : std::filesystem::directory_iterator(programs)) {
        EXPECT_NE(entry.path().extension(), ".LNK") << entry.path();
    }
}

TEST_F(FlowTest, ProgramGroupOkWritesTheShortcut) {
    Prepare(SmallPackageRecipe());
    ScriptWholeInstall("", "No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    ASSERT_FALSE(GroupName.empty());
    const std::string folder = StartWithSystem ? "C:\\WINDOWS\\Start Menu\\Programs\\StartUp"
                                               : "C:\\WINDOWS\\Start Menu\\Programs";
    EXPECT_TRUE(std::filesystem::exists(HostPath(JoinPath(folder, GroupName + ".LNK"))));
}

TEST_F(FlowTest, UnpackingMeterLastMovesAtTheLastFullBlock) {
    Prepare(SmallPackageRecipe());
    ScriptWholeInstall("", "No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    // The final flush writes the last partial block without a meter update.
    const int32_t size = static_cast<int32_t>(Package.Bundle.size());
    const int32_t lastFlush = (size - 1) / 2048 * 2048;
    EXPECT_EQ(BytesWritten, lastFlush);
    EXPECT_EQ(Meter.LastPercent,
              static_cast<int32_t>(std::nearbyint(lastFlush * 100.0 / size)));
}

} // namespace
