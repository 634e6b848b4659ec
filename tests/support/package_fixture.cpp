#include "tests/support/package_fixture.h"

#include "app/run_installer.h"
#include "package/package_format.h"
#include "platform/machine/paths.h"
#include "platform/machine/scripted_user.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"
#include "tools/lzhuf_encoder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::vector<uint8_t> StubSetupImage() {
    std::vector<uint8_t> image = {'M', 'Z'};
    const std::vector<uint8_t> body = SampleBytes(3000, 7);
    image.insert(image.end(), body.begin(), body.end());
    return image;
}

} // namespace

std::vector<uint8_t> SampleBytes(size_t size, uint32_t seed) {
    static const char* const words[] = {"Rembrix ", "file ", "window ", "the ", "install ",
                                        "\r\n", "0x00, ", "return ", "MOV EAX, ", "help "};
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    uint32_t state = seed * 2654435761u + 12345u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    while (bytes.size() < size) {
        const uint32_t pick = next();
        if (pick % 8 == 0) {
            for (int i = 0; i < 6 && bytes.size() < size; ++i) {
                bytes.push_back(static_cast<uint8_t>(next()));
            }
        } else {
            const char* word = words[pick % std::size(words)];
            for (const char* c = word; *c != 0 && bytes.size() < size; ++c) {
                bytes.push_back(static_cast<uint8_t>(*c));
            }
        }
    }
    return bytes;
}

std::vector<uint8_t> NoiseBytes(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint64_t state = 0x9E3779B97F4A7C15ull * (seed + 1);
    for (uint8_t& byte : bytes) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        byte = static_cast<uint8_t>(state >> 56);
    }
    return bytes;
}

std::vector<uint8_t> ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteHostFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

BuiltPackage BuildPackage(const std::filesystem::path& folder, const PackageRecipe& recipe) {
    BuiltPackage package;
    package.Folder = folder;
    std::filesystem::create_directories(folder);

    package.Bundle = recipe.MainProgram;
    for (const PackedFile& file : recipe.Files) {
        FileEntry entry;
        entry.Name = file.Name;
        entry.Offset = static_cast<int32_t>(package.Bundle.size());
        entry.Size = static_cast<int32_t>(file.Bytes.size());
        package.Entries.push_back(entry);
        package.Bundle.insert(package.Bundle.end(), file.Bytes.begin(), file.Bytes.end());
    }
    if (recipe.TrailerEntries) {
        package.Entries = *recipe.TrailerEntries;
    }
    const int32_t unpackedSize =
        recipe.TrailerUnpackedSize.value_or(static_cast<int32_t>(package.Bundle.size()));

    std::vector<uint8_t> stream = EncodeLzhuf(package.Bundle.data(), package.Bundle.size());
    stream.resize(stream.size() - std::min(recipe.CutStreamBytes, stream.size()));
    package.StreamSize = stream.size();

    std::vector<size_t> cuts; // where each volume but the last ends
    if (recipe.VolumeSizes.empty()) {
        const size_t volumes = static_cast<size_t>(std::clamp(recipe.VolumeCount, 1, 4));
        for (size_t index = 1; index < volumes; ++index) {
            cuts.push_back(index * (stream.size() / volumes));
        }
    } else {
        size_t end = 0;
        for (const size_t size : recipe.VolumeSizes) {
            end = std::min(end + size, stream.size());
            cuts.push_back(end);
        }
    }
    cuts.push_back(stream.size());
    for (size_t index = 0; index < cuts.size(); ++index) {
        const size_t begin = index == 0 ? 0 : cuts[index - 1];
        const size_t end = cuts[index];
        const auto path =
            folder / VolumeName("Rembrix.001", static_cast<int>(index) + 1);
        WriteHostFile(path, std::vector<uint8_t>(stream.begin() + static_cast<ptrdiff_t>(begin),
                                                 stream.begin() + static_cast<ptrdiff_t>(end)));
        package.Volumes.push_back(path);
    }

    std::vector<uint8_t> setup = recipe.SetupImage.empty() ? StubSetupImage() : recipe.SetupImage;
    std::vector<uint8_t> trailer(static_cast<size_t>(TrailerSize(
        static_cast<int32_t>(package.Entries.size()))));
    // Encoded by hand so that a damaged package may carry any name.
    for (size_t index = 0; index < package.Entries.size(); ++index) {
        const FileEntry& entry = package.Entries[index];
        uint8_t* bytes = trailer.data() + index * TrailerEntrySize;
        const size_t length = std::min<size_t>(entry.Name.size(), MaxEntryNameLength);
        bytes[0] = static_cast<uint8_t>(length);
        std::copy_n(entry.Name.begin(), length, bytes + 1);
        EncodeInt32(entry.Offset, bytes + 20);
        EncodeInt32(entry.Size, bytes + 24);
    }
    uint8_t* tail = trailer.data() + package.Entries.size() * TrailerEntrySize;
    tail[0] = static_cast<uint8_t>(package.Entries.size());
    EncodeInt32(unpackedSize, tail + 1);
    setup.insert(setup.end(), trailer.begin(), trailer.end());
    package.SetupFile = folder / "Setup.exe";
    WriteHostFile(package.SetupFile, setup);
    return package;
}

MachineConfig InstallMachineConfig(const std::filesystem::path& setupFile) {
    MachineConfig config;
    config.Folder = MakeTemporaryFolder("machine");
    config.FrontEnd = "headless";
    config.RunningProgram = setupFile;
    return config;
}

std::filesystem::path HostPath(const std::string& windowsPath) {
    std::filesystem::path host;
    DWORD error = 0;
    if (!ResolveWindowsPath(windowsPath, host, error)) {
        throw std::runtime_error("no host path for " + windowsPath);
    }
    return host;
}

InstallOutcome RunInstallerInProcess(const InstallerSettings& settings) {
    ResetRunState();
    Settings = settings;
    InstallOutcome outcome;
    outcome.ExitCode = RunInstallerForExitCode(outcome.FatalText);
    return outcome;
}

void ScriptAcceptDestination(const std::string& directory) {
    ScriptWaitForWindow(DestinationCaption);
    if (!directory.empty()) {
        ScriptRun([directory] {
            HWND dialog = FindWindowA(nullptr, DestinationCaption);
            SetWindowTextA(GetDlgItem(dialog, 104), directory.c_str());
        });
    }
    ScriptPressKey(VK_RETURN);
}

void ScriptAgreeLicense() {
    ScriptWaitForWindow(LicenseCaption);
    ScriptPressKey(VK_RETURN);
}

void ScriptGroupOk() {
    ScriptWaitForWindow(GroupCaption);
    ScriptPressKey(VK_RETURN);
}

void ScriptAnswerFinalQuestion(const std::string& button) {
    ScriptAnswerMessageBox(ProductCaption, button);
}

void ScriptWholeInstall(const std::string& directory, const std::string& finalAnswer) {
    ScriptAcceptDestination(directory);
    ScriptAgreeLicense();
    ScriptGroupOk();
    ScriptAnswerFinalQuestion(finalAnswer);
}
