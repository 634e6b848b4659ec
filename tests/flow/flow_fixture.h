// A whole installation on a fresh machine: a package built by the packer on
// its own distribution disk, the machine whose running program is that
// package's setup file, and the scripted user.
#pragma once

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/join_path.h"
#include "platform/machine/message_box_history.h"
#include "platform/machine/scripted_user.h"
#include "platform/runtime/reg_ini_file.h"
#include "tests/support/package_fixture.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The default installation directory that the destination dialog proposes
// on a fresh machine.
inline const char* const ProposedDestination = "C:\\Program Files\\Rembrix";

// A small package: a main program and four files, one of them a help file.
inline PackageRecipe SmallPackageRecipe() {
    PackageRecipe recipe;
    recipe.MainProgram = SampleBytes(9000, 1);
    recipe.Files = {{"Uninstal.exe", SampleBytes(5000, 2)},
                  {"Engine.dll", SampleBytes(12000, 3)},
                  {"File_id.diz", SampleBytes(444, 4)},
                  {"Rembrix.hlp", SampleBytes(3000, 5)}};
    recipe.VolumeCount = 2;
    return recipe;
}

class FlowTest : public ::testing::Test {
  protected:
    ~FlowTest() override {
        Machine.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Disk, ignored);
    }

    // Builds the package on the disk and starts a machine that runs it.
    void Prepare(const PackageRecipe& recipe) {
        Package = BuildPackage(Disk, recipe);
        Machine = std::make_unique<TestMachine>(InstallMachineConfig(Package.SetupFile));
        BeginScript();
    }

    // The host path of `name` in the installation directory.
    std::filesystem::path Installed(const std::string& name) const {
        return HostPath(JoinPath(DestinationDir, name));
    }

    // The bytes of packed file `index` as the bundle holds them.
    std::vector<uint8_t> PackedBytes(size_t index) const {
        const FileEntry& entry = Package.Entries[index];
        return std::vector<uint8_t>(Package.Bundle.begin() + entry.Offset,
                                    Package.Bundle.begin() + entry.Offset + entry.Size);
    }

    std::vector<uint8_t> MainProgramBytes() const {
        return std::vector<uint8_t>(Package.Bundle.begin(),
                                    Package.Bundle.begin() + Package.Entries.front().Offset);
    }

    // The texts of every message box shown so far, in order.
    static std::vector<std::string> ShownTexts() {
        std::vector<std::string> texts;
        for (const ShownMessageBox& box : MessageBoxHistory()) {
            texts.push_back(box.Text);
        }
        return texts;
    }

    static std::string UninstallValue(const std::string& name) {
        TRegIniFile registry("Software");
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        registry.OpenKey("Software\\microsoft\\windows\\currentversion\\uninstall", false);
        return registry.ReadString("Rembrix", name, "<missing>");
    }

    std::filesystem::path Disk = MakeTemporaryFolder("disk");
    BuiltPackage Package;
    std::unique_ptr<TestMachine> Machine;
};

inline std::string SuccessQuestion() {
    return DefaultInstallerSettings().SuccessPrefix + "Rembrix?";
}
