// The real setup program as a child process: the exit codes after a finished
// and an abandoned installation, after a fatal I/O error and when the
// machine's scripted user gives out.
#include "tests/flow/flow_fixture.h"
#include "tests/support/setup_process.h"


namespace {

const std::filesystem::path SetupProgram = std::filesystem::path(REMBRIX_BINARY_DIR) / "rembrix-setup";

class ExitCodeTest : public ::testing::Test {
  protected:
    ~ExitCodeTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(Disk, ignored);
        std::filesystem::remove_all(MachineFolder, ignored);
    }

    // A package whose setup file is the real setup program with a trailer.
    void Prepare(PackageRecipe recipe) {
        recipe.SetupImage = ReadHostFile(SetupProgram);
        Package = BuildPackage(Disk, recipe);
        std::filesystem::permissions(Package.SetupFile, std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
    }

    // Runs the package's setup file on this test's machine with `script`.
    SetupRun Run(const std::string& script) {
        return RunSetupProcess(Package.SetupFile, MachineFolder, script, Disk);
    }

    // The host folder of the proposed installation directory on this
    // test's machine.
    std::filesystem::path Destination() const {
        return MachineFolder / "drive_c" / "Program Files" / "Rembrix";
    }

    // Reads the uninstall entry from the machine's registry, as the machine
    // itself loads it.
    std::string UninstallDisplayName() {
        MachineConfig config;
        config.Folder = MachineFolder;
        config.FrontEnd = "headless";
        StartMachine(config);
        TRegIniFile registry("Software");
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        registry.OpenKey("Software\\microsoft\\windows\\currentversion\\uninstall", false);
        return registry.ReadString("Rembrix", "DisplayName", "<missing>");
    }

    std::filesystem::path Disk = MakeTemporaryFolder("disk");
    std::filesystem::path MachineFolder = MakeTemporaryFolder("child-machine");
    BuiltPackage Package;
};

const char* const AcceptUpToGathering = "wait \"Destination Directory\"\n"
                                        "key enter\n"
                                        "wait \"License Agreement\"\n"
                                        "key enter\n";

TEST_F(ExitCodeTest, AFinishedInstallationEndsWithZero) {
    Prepare(SmallPackageRecipe());

    const SetupRun result = Run(std::string(AcceptUpToGathering) +
                                   "wait \"Program Group\"\n"
                                   "key enter\n"
                                   "wait \"Rembrix\"\n"
                                   "click \"No\"\n");

    EXPECT_EQ(result.ExitCode, 0) << result.ErrorOutput;
    EXPECT_EQ(ReadHostFile(Destination() / "Rembrix.Exe"),
              std::vector<uint8_t>(Package.Bundle.begin(),
                                   Package.Bundle.begin() + Package.Entries.front().Offset));
    EXPECT_EQ(UninstallDisplayName(), "Rembrix");
}

TEST_F(ExitCodeTest, AnAbandonedInstallationEndsWithZero) {
    Prepare(SmallPackageRecipe());

    const SetupRun result = Run("wait \"Destination Directory\"\n"
                                   "click \"Cancel\"\n"
                                   "wait \"Exit Rembrix\"\n"
                                   "click \"Yes\"\n"
                                   "wait \"Rembrix\"\n"
                                   "click \"OK\"\n");

    EXPECT_EQ(result.ExitCode, 0) << result.ErrorOutput;
    EXPECT_EQ(UninstallDisplayName(), "<missing>");
}

TEST_F(ExitCodeTest, AMissingFirstVolumeIsAFatalErrorWithExitCodeOne) {
    Prepare(SmallPackageRecipe());
    std::filesystem::remove(Package.Volumes[0]);

    // Were the error not fatal, accepting the defaults would answer the
    // termination message and the program would end with 0.
    const SetupRun result = Run(std::string(AcceptUpToGathering) + "end accept-defaults\n");

    EXPECT_EQ(result.ExitCode, 1) << result.ErrorOutput;
    EXPECT_NE(result.ErrorOutput.find("Rembrix.001"), std::string::npos) << result.ErrorOutput;
    EXPECT_TRUE(std::filesystem::exists(Destination()));
    EXPECT_FALSE(std::filesystem::exists(Destination() / "Rembrix._ZV"));
    EXPECT_EQ(UninstallDisplayName(), "<missing>");
}

TEST_F(ExitCodeTest, AFatalErrorDuringPlacementLeavesThePartialFilesInPlace) {
    PackageRecipe recipe = SmallPackageRecipe();
    // The second entry's offset cannot be reached: placing it is a fatal
    // I/O error after the bundle was written and the first file placed.
    BuiltPackage sound = BuildPackage(Disk / "sound", recipe);
    std::vector<FileEntry> entries = sound.Entries;
    entries[1].Offset = -5;
    recipe.TrailerEntries = entries;
    Prepare(recipe);

    const SetupRun result = Run(std::string(AcceptUpToGathering) + "end accept-defaults\n");

    EXPECT_EQ(result.ExitCode, 1) << result.ErrorOutput;
    EXPECT_NE(result.ErrorOutput.find("Rembrix.Exe"), std::string::npos) << result.ErrorOutput;
    // No clean-up ran: the whole bundle, never cut back, is still there.
    EXPECT_EQ(ReadHostFile(Destination() / "Rembrix.Exe"), Package.Bundle);
    EXPECT_TRUE(std::filesystem::exists(Destination() / "Uninstal.exe"));
    EXPECT_EQ(UninstallDisplayName(), "<missing>");
}

TEST_F(ExitCodeTest, AScriptThatEndsWhileTheProgramWaitsEndsWithThree) {
    Prepare(SmallPackageRecipe());

    const SetupRun result = Run("wait \"Destination Directory\"\n");

    EXPECT_EQ(result.ExitCode, 3) << result.ErrorOutput;
    EXPECT_NE(result.ErrorOutput.find("Destination Directory"), std::string::npos)
        << result.ErrorOutput;
}

} // namespace
