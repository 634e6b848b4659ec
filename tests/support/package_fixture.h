// Packages for tests, built by the project's own packer parts (the encoder
// and the trailer format of tools/ and package/), and the pieces that run a
// whole installation of one on a fresh machine with the scripted user.
#pragma once

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "platform/machine/machine.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct PackedFile {
    std::string Name;
    std::vector<uint8_t> Bytes;
};

struct PackageRecipe {
    std::vector<uint8_t> MainProgram;
    std::vector<PackedFile> Files;
    // How many volume files the compressed stream is cut into (1 to 4), in
    // slices of equal size.
    int VolumeCount = 2;
    // When not empty, the sizes of the first volumes instead; the last
    // volume holds the rest of the stream.
    std::vector<size_t> VolumeSizes;
    // The setup program's image, before the trailer; a small stub when empty.
    std::vector<uint8_t> SetupImage;
    // When set, the trailer lists these entries and this size instead of the
    // files' own: for damaged packages.
    std::optional<std::vector<FileEntry>> TrailerEntries;
    std::optional<int32_t> TrailerUnpackedSize;
    // Bytes cut off the end of the compressed stream before it is split.
    size_t CutStreamBytes = 0;
};

struct BuiltPackage {
    std::filesystem::path Folder; // the distribution disk
    std::filesystem::path SetupFile;
    std::vector<std::filesystem::path> Volumes;
    std::vector<uint8_t> Bundle;  // main program followed by every file
    std::vector<FileEntry> Entries; // as the trailer lists them
    size_t StreamSize = 0;
};

// Writes the setup file "Setup.exe" and the volumes "Rembrix.001"... into
// `folder` (created when missing).
BuiltPackage BuildPackage(const std::filesystem::path& folder, const PackageRecipe& recipe);

// `size` deterministic bytes that compress like a program: runs of words,
// small numbers and some noise, varied by `seed`.
std::vector<uint8_t> SampleBytes(size_t size, uint32_t seed);

// `size` deterministic bytes that do not compress.
std::vector<uint8_t> NoiseBytes(size_t size, uint32_t seed);

std::vector<uint8_t> ReadHostFile(const std::filesystem::path& path);
void WriteHostFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// A headless machine whose running program is `setupFile`, so that the
// installer finds its trailer and volumes there.
MachineConfig InstallMachineConfig(const std::filesystem::path& setupFile);

// The host path behind a Windows path of the running machine.
std::filesystem::path HostPath(const std::string& windowsPath);

// How an in-process run ended: the exit code the program would give, and
// the fatal error box's text when it was 1.
struct InstallOutcome {
    int ExitCode = 0;
    std::string FatalText;
};

// Puts every state and stage variable back to program start, the settings
// to `settings`, and runs the installer in this process.
InstallOutcome RunInstallerInProcess(const InstallerSettings& settings = DefaultInstallerSettings());

// Scripted user steps for the dialogs around the stages. A non-empty
// `directory` replaces the proposed destination before OK is pressed.
void ScriptAcceptDestination(const std::string& directory = "");
void ScriptAgreeLicense();
void ScriptGroupOk();
void ScriptAnswerFinalQuestion(const std::string& button);
// The whole installation answered as a person would who accepts every
// proposal, with `finalAnswer` ("Yes" or "No") to the last question.
void ScriptWholeInstall(const std::string& directory, const std::string& finalAnswer);

// The captions the installer shows.
inline const char* const DestinationCaption = "Destination Directory";
inline const char* const LicenseCaption = "License Agreement";
inline const char* const ProgressCaption = "Please Stand By...";
inline const char* const GroupCaption = "Program Group";
inline const char* const ProductCaption = "Rembrix";
inline const char* const ExitCaption = "Exit Rembrix";
