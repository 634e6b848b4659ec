// The stage table's rule for each dialog template that is missing.
#include "tests/flow/flow_fixture.h"

#include "platform/machine/resources.h"

#include <functional>

namespace {

const char* const TerminatedText = "The Installation process has been terminated.";

TEST_F(FlowTest, WithoutTheMainTemplateTheProgramEndsSilently) {
    Prepare(SmallPackageRecipe());
    HideResource("MAIN");

    const InstallOutcome outcome = RunInstallerInProcess();

    EXPECT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(MessageBoxHistory().empty());
    EXPECT_FALSE(Aborted);
    EXPECT_EQ(InputBuffer, nullptr);
    EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
}

TEST_F(FlowTest, WithoutTheLicenseTemplateTheDestinationLeadsStraightToGathering) {
    Prepare(SmallPackageRecipe());
    HideResource("LICENSE");
    ScriptAcceptDestination();
    ScriptGroupOk();
    ScriptAnswerFinalQuestion("No");

    const InstallOutcome outcome = RunInstallerInProcess();

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(ScriptFinished());
    EXPECT_FALSE(Aborted);
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), MainProgramBytes());
    EXPECT_EQ(UninstallValue("DisplayName"), "Rembrix");
}

struct AbandoningTemplate {
    const char* Name;
    // The user's steps up to the point where the stage would run.
    std::function<void()> Script;
    // Whether file placement ran before the chain was abandoned.
    bool FilesPlaced;
};

TEST_F(FlowTest, WithoutAProgressOrGroupTemplateTheChainIsAbandonedThere) {
    const AbandoningTemplate cases[] = {
        {"IPROGRESS", [] { ScriptAcceptDestination(); ScriptAgreeLicense(); }, false},
        {"PROGRESS", [] { ScriptAcceptDestination(); ScriptAgreeLicense(); }, false},
        {"GROUP", [] { ScriptAcceptDestination(); ScriptAgreeLicense(); }, true},
    };
    for (const AbandoningTemplate& hidden : cases) {
        SCOPED_TRACE(hidden.Name);
        std::filesystem::remove_all(Disk);
        Prepare(SmallPackageRecipe());
        HideResource(hidden.Name);
        hidden.Script();
        ScriptAnswerMessageBox(ProductCaption, "OK");

        const InstallOutcome outcome = RunInstallerInProcess();

        ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
        EXPECT_TRUE(ScriptFinished());
        EXPECT_TRUE(Aborted);
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{TerminatedText});
        EXPECT_EQ(MessageBoxHistory().front().Owner, BackdropWindow);
        EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix._ZV")));
        EXPECT_FALSE(std::filesystem::exists(Installed("Rembrix.Exe")));
        // Files that placement wrote stay; only the archive and the main
        // program are removed.
        EXPECT_EQ(std::filesystem::exists(Installed("Engine.dll")), hidden.FilesPlaced);
        EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
    }
}

} // namespace
