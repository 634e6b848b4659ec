// Whole installations as a person makes them: the real setup program, its
// trailer appended by the packer, started as a child process on a fresh
// machine, the second volume on a second disk folder, driven by a script of
// the scripted user. One table of scripted answers and expected outcomes.
#include "platform/runtime/reg_ini_file.h"
#include "tests/flow/flow_fixture.h"
#include "tests/support/setup_process.h"

#include <algorithm>
#include <chrono>
#include <thread>


namespace {

namespace fs = std::filesystem;

const fs::path SetupProgram = fs::path(REMBRIX_BINARY_DIR) / "rembrix-setup";
const std::vector<uint8_t> EarlierMainProgram = {'o', 'l', 'd', ' ', 'e', 'x', 'e'};
const char* const MarkerName = "Started.txt";

// The main program: a script the machine's ShellExecuteA can run on the
// host, leaving a marker beside itself.
std::vector<uint8_t> MarkerWritingProgram() {
    const std::string text = std::string("#!/bin/sh\necho started > \"$(dirname \"$0\")/") +
                             MarkerName + "\"\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Script lines shared by the cases. `{disk2}` stands for the second disk's
// volume, `{disk1}` for where the program looks for it.
const std::string AcceptDestination = "wait \"Destination Directory\"\nkey enter\n";
const std::string AgreeLicense = "wait \"License Agreement\"\nkey enter\n";
const std::string InsertDiskTwo = "wait \"Rembrix\" timeout 60000\n"
                                  "expect 65535 \"Please Insert Disk number 2\"\n"
                                  "copy \"{disk2}\" \"{disk1}\"\n"
                                  "click \"OK\"\n";
const std::string ConfirmExit = "wait \"Exit Rembrix\"\n"
                                "expect 65535 \"Do you really want to terminate the Setup program?\"\n"
                                "click \"Yes\"\n";
const std::string Terminated = "wait \"Rembrix\"\n"
                               "expect 65535 \"The Installation process has been terminated.\"\n"
                               "click \"OK\"\n";
const std::string GroupOk = "wait \"Program Group\" timeout 120000\nkey enter\n";
const std::string GroupCancel = "wait \"Program Group\" timeout 120000\nclick \"Cancel\"\n";
const std::string FinalYes = "wait \"Rembrix\" timeout 60000\nclick \"Yes\"\n";
const std::string FinalNo = "wait \"Rembrix\" timeout 60000\nclick \"No\"\n";

enum class Files {
    None,       // not one file of the package in the destination
    Installed,  // every file byte for byte, the archive gone
    LeftAlone,  // as before the run: the earlier program kept, no archive
};

struct InstallCase {
    const char* Name;
    bool FirstVolumeMissing;
    std::string Script;
    int ExitCode;
    Files Outcome;
    bool UninstallEntry;
    bool Shortcut;
    bool ProgramStarted;
    const char* ErrorNames; // a text standard error must hold, or nullptr for none
};

const InstallCase Cases[] = {
    {"FullInstallStartsTheProgram", false,
     AcceptDestination + AgreeLicense + InsertDiskTwo + GroupOk + FinalYes, 0, Files::Installed,
     true, true, true, nullptr},
    {"CancelAtTheDestinationKeepsTheEarlierProgram", false,
     "wait \"Destination Directory\"\nclick \"Cancel\"\n" + ConfirmExit + Terminated, 0,
     Files::LeftAlone, false, false, false, nullptr},
    {"ExitAtTheLicenseKeepsTheEarlierProgram", false,
     AcceptDestination + "wait \"License Agreement\"\nclick \"Exit\"\n" + ConfirmExit + Terminated,
     0, Files::LeftAlone, false, false, false, nullptr},
    {"CancelAtTheDiskPromptRemovesOnlyThePartialArchive", false,
     AcceptDestination + AgreeLicense +
         "wait \"Rembrix\" timeout 60000\n"
         "expect 65535 \"Please Insert Disk number 2\"\n"
         "click \"Cancel\"\n" +
         Terminated,
     0, Files::LeftAlone, false, false, false, nullptr},
    {"CancelInTheProgramGroupFinishesWithoutAShortcut", false,
     AcceptDestination + AgreeLicense + InsertDiskTwo + GroupCancel + FinalNo, 0, Files::Installed,
     true, false, false, nullptr},
    // Were the error not fatal, accepting the defaults would answer the
    // termination message and the program would end with 0.
    {"MissingFirstVolumeIsFatalAndCleansNothingUp", true,
     AcceptDestination + AgreeLicense + "end accept-defaults\n", 1, Files::LeftAlone, false, false,
     false, "Rembrix.001"},
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const InstallCase& installCase, std::ostream* out) { *out << installCase.Name; }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

bool Contains(const std::vector<uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

class WholeInstallTest : public ::testing::TestWithParam<InstallCase> {
  protected:
    ~WholeInstallTest() override {
        std::error_code ignored;
        fs::remove_all(DiskOne, ignored);
        fs::remove_all(DiskTwo, ignored);
        fs::remove_all(MachineFolder, ignored);
    }

    // The package on two disks: the setup file and the first volume on the
    // first, the second volume on the second.
    void Prepare() {
        PackageRecipe recipe = SmallPackageRecipe();
        recipe.MainProgram = MarkerWritingProgram();
        recipe.SetupImage = ReadHostFile(SetupProgram);
        Package = BuildPackage(DiskOne, recipe);
        fs::permissions(Package.SetupFile, fs::perms::owner_exec, fs::perm_options::add);
        ASSERT_EQ(Package.Volumes.size(), 2u);
        fs::rename(Package.Volumes[1], DiskTwo / Package.Volumes[1].filename());
    }

    // Runs the setup file with `script` on this test's machine, from the
    // first disk as its current folder; keeps what it wrote to stderr.
    int Run(const std::string& script) {
        const SetupRun run =
            RunSetupProcess(Package.SetupFile, MachineFolder, script, DiskTwo, DiskOne);
        ErrorOutput = run.ErrorOutput;
        return run.ExitCode;
    }

    // Starts this test's machine in this process: the first start lays down
    // a fresh Windows tree, a later one loads what the child saved.
    void StartThisMachine() {
        MachineConfig config;
        config.Folder = MachineFolder;
        config.FrontEnd = "headless";
        StartMachine(config);
    }

    fs::path Destination() const { return MachineFolder / "drive_c" / "Program Files" / "Rembrix"; }

    std::vector<uint8_t> Bytes(size_t first, size_t end) const {
        return std::vector<uint8_t>(Package.Bundle.begin() + static_cast<std::ptrdiff_t>(first),
                                    Package.Bundle.begin() + static_cast<std::ptrdiff_t>(end));
    }

    // The uninstall entry's value `name`, read back from the machine's
    // saved registry as a new run of the machine loads it.
    std::string UninstallValue(const std::string& name) {
        StartThisMachine();
        TRegIniFile registry("Software");
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        registry.OpenKey("Software\\microsoft\\windows\\currentversion\\uninstall", false);
        return registry.ReadString("Rembrix", name, "<missing>");
    }

    std::vector<fs::path> Shortcuts() const {
        std::vector<fs::path> found;
        const fs::path root = MachineFolder / "drive_c";
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            std::string extension = entry.path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
            if (entry.is_regular_file() && extension == ".lnk") {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    // The started program runs detached: give it a moment to leave its mark,
    // up to five seconds when it should, half a second when it should not.
    bool ProgramLeftItsMarker(bool expected) const {
        const fs::path marker = Destination() / MarkerName;
        for (int tries = 0; tries < (expected ? 100 : 10) && !fs::exists(marker); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return fs::exists(marker);
    }

    fs::path DiskOne = MakeTemporaryFolder("disk1");
    fs::path DiskTwo = MakeTemporaryFolder("disk2");
    fs::path MachineFolder = MakeTemporaryFolder("process-machine");
    BuiltPackage Package;
    std::string ErrorOutput;
};

TEST_P(WholeInstallTest, EndsAsTheScriptedUserLeadsIt) {
    const InstallCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Prepare());
    const fs::path volumeOne = Package.Volumes[0];
    if (c.FirstVolumeMissing) {
        fs::remove(volumeOne);
    }
    // An earlier installation's main program on an otherwise fresh machine;
    // only a run that placed the new one may replace it.
    StartThisMachine();
    WriteHostFile(Destination() / "Rembrix.Exe", EarlierMainProgram);
    const std::string script =
        Replace(Replace(c.Script, "{disk2}", (DiskTwo / "Rembrix.002").string()), "{disk1}",
                (DiskOne / "Rembrix.002").string());

    const int exitCode = Run(script);

    ASSERT_EQ(exitCode, c.ExitCode) << ErrorOutput;
    if (c.ErrorNames != nullptr) {
        EXPECT_NE(ErrorOutput.find(c.ErrorNames), std::string::npos) << ErrorOutput;
    } else {
        EXPECT_EQ(ErrorOutput, "");
    }
    EXPECT_FALSE(fs::exists(Destination() / "Rembrix._ZV"));
    switch (c.Outcome) {
    case Files::Installed:
        EXPECT_EQ(ReadHostFile(Destination() / "Rembrix.Exe"), MarkerWritingProgram());
        for (size_t index = 0; index + 1 < Package.Entries.size(); ++index) {
            const FileEntry& entry = Package.Entries[index];
            const size_t offset = static_cast<size_t>(entry.Offset);
            const fs::path folder =
                entry.Name == "Rembrix.hlp" ? MachineFolder / "drive_c" / "WINDOWS" / "HELP"
                                            : Destination();
            EXPECT_EQ(ReadHostFile(folder / entry.Name),
                      Bytes(offset, offset + static_cast<size_t>(entry.Size)))
                << entry.Name;
        }
        break;
    case Files::LeftAlone:
        EXPECT_EQ(ReadHostFile(Destination() / "Rembrix.Exe"), EarlierMainProgram);
        [[fallthrough]];
    case Files::None:
        for (const PackedFile& file : SmallPackageRecipe().Files) {
            EXPECT_FALSE(fs::exists(Destination() / file.Name)) << file.Name;
        }
        break;
    }
    // The volumes are the user's disks: never touched.
    EXPECT_EQ(fs::exists(volumeOne), !c.FirstVolumeMissing);
    EXPECT_TRUE(fs::exists(DiskTwo / "Rembrix.002"));

    const std::vector<fs::path> shortcuts = Shortcuts();
    if (c.Shortcut) {
        ASSERT_EQ(shortcuts.size(), 1u);
        EXPECT_EQ(shortcuts[0].filename(), "Rembrix.LNK");
        EXPECT_TRUE(Contains(ReadHostFile(shortcuts[0]), "C:\\Program Files\\Rembrix\\Rembrix.Exe"));
    } else {
        EXPECT_TRUE(shortcuts.empty()) << shortcuts.front();
    }
    EXPECT_EQ(ProgramLeftItsMarker(c.ProgramStarted), c.ProgramStarted);
    if (c.UninstallEntry) {
        EXPECT_EQ(UninstallValue("DisplayName"), "Rembrix");
        EXPECT_EQ(UninstallValue("UnInstallString"), "C:\\Program Files\\Rembrix\\UnInstal.Exe");
    } else {
        EXPECT_EQ(UninstallValue("DisplayName"), "<missing>");
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, WholeInstallTest, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<InstallCase>& param) {
                             return std::string(param.param.Name);
                         });

} // namespace
