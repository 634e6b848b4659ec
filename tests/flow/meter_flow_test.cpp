// The gathering meter in a real run: measured against its fixed total, it
// passes 100 % on a large first volume and then keeps that picture while the
// later volumes are copied.
#include "tests/flow/flow_fixture.h"

#include "stages/volume_gathering.h"
#include "tests/stages/meter_dialog.h"

namespace {

TEST_F(FlowTest, TheGatheringMeterRunsPast100OnTheFirstVolumeAndThenHoldsStill) {
    PackageRecipe recipe;
    recipe.MainProgram = NoiseBytes(2100000, 31);
    recipe.Files = {{"Uninstal.exe", SampleBytes(3000, 32)}};
    recipe.VolumeSizes = {1990000, 50000};
    Prepare(recipe);
    ASSERT_EQ(Package.Volumes.size(), 3u);
    ASSERT_EQ(std::filesystem::file_size(Package.Volumes[1]), 50000u);
    ASSERT_GT(std::filesystem::file_size(Package.Volumes[2]), 0u);
    const std::filesystem::path aside = Disk / "aside.003";
    std::filesystem::rename(Package.Volumes[2], aside);
    InstallerSettings settings = DefaultInstallerSettings();
    settings.VolumeCount = 3;

    ScriptAcceptDestination();
    ScriptAgreeLicense();
    ScriptWaitForWindow(ProductCaption);
    ScriptRun([] {
        // The first volume was drawn under the rule "always": 1,990,000 of
        // 1,895,000 bytes shows 105 %, the bar running past the meter.
        EXPECT_EQ(Meter.LastPercent, 105);
        EXPECT_TRUE(MeterShowsText("105%"));
        EXPECT_EQ(MeterPixel(Meter.MeterRight + 2, Meter.MeterTop), RGB(255, 0, 0));
        // The second was copied under "on change up to 100": nothing drawn.
        EXPECT_EQ(Meter.Percent, 108);
    });
    ScriptCopyFile(aside, Package.Volumes[2]);
    ScriptClick("OK");
    ScriptGroupOk();
    ScriptAnswerFinalQuestion("No");

    const InstallOutcome outcome = RunInstallerInProcess(settings);

    ASSERT_EQ(outcome.ExitCode, 0) << outcome.FatalText;
    EXPECT_TRUE(ScriptFinished());
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Please Insert Disk number 3",
                                                      SuccessQuestion()}));
    EXPECT_EQ(ReadHostFile(Installed("Rembrix.Exe")), recipe.MainProgram);
    EXPECT_EQ(ReadHostFile(Installed("Uninstal.exe")), recipe.Files[0].Bytes);
}

} // namespace
