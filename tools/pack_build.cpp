#include "tools/pack_build.h"

#include "app/installer_settings.h"
#include "package/package_format.h"
#include "platform/machine/kernel_code_page.h"
#include "tools/lzhuf_encoder.h"
#include "tools/pack_common.h"

#include <algorithm>
#include <ostream>
#include <unistd.h>

namespace {

constexpr uint64_t BundleLimit = uint64_t{1} << 31;
constexpr size_t CopyBlockSize = size_t{1} << 16;

struct PlannedFile {
    std::filesystem::path Path;
    std::string Name; // as stored in the trailer (ANSI)
    uint64_t Size = 0;
};

bool SameFile(const std::filesystem::path& left, const std::filesystem::path& right) {
    std::error_code error;
    return std::filesystem::equivalent(left, right, error);
}

// Checks every input before anything is written; returns the files in
// bundle order (main program first) with their sizes.
std::vector<PlannedFile> CheckInputs(const BuildRequest& request) {
    ReadableFileSize(request.SetupProgram, "the setup program");
    if (request.Files.empty()) {
        throw PackError("no FILE besides the main program: the setup program needs at least one "
                        "table entry to know where the main program ends");
    }
    if (request.Files.size() > static_cast<size_t>(MaxEntryCount)) {
        throw PackError(std::to_string(request.Files.size()) +
                        " files besides the main program; a package holds at most 255");
    }
    std::vector<PlannedFile> files;
    files.push_back(
        {request.MainProgram, "", ReadableFileSize(request.MainProgram, "the main program")});
    uint64_t bundleSize = files.front().Size;
    for (const std::filesystem::path& path : request.Files) {
        PlannedFile file{path, PackageNameOf(path), ReadableFileSize(path, "the file")};
        if (!IsPlainFileName(file.Name)) {
            throw PackError("\"" + path.filename().string() +
                            "\" cannot be a packed file's name: " +
                            (file.Name.size() > static_cast<size_t>(MaxEntryNameLength)
                                 ? "longer than 19 characters"
                                 : "not a plain file name"));
        }
        for (const std::string& reserved :
             {Settings.MainProgramFile, Settings.CombinedArchiveFile}) {
            if (EqualIgnoringAnsiCase(reserved, file.Name)) {
                throw PackError(
                    "\"" + path.filename().string() + "\" is the name the setup program " +
                    "gives its own " +
                    (reserved == Settings.MainProgramFile ? "main program" : "archive") +
                    " in the installation folder; the file would overwrite it");
            }
        }
        for (size_t index = 1; index < files.size(); ++index) {
            if (EqualIgnoringAnsiCase(files[index].Name, file.Name)) {
                throw PackError("two files are named \"" + path.filename().string() +
                                "\" (without regard to case); the second would replace the "
                                "first when installed");
            }
        }
        bundleSize += file.Size;
        files.push_back(file);
    }
    if (bundleSize >= BundleLimit) {
        throw PackError("the bundle would be " + GroupDigits(bundleSize) +
                        " bytes; it must stay below 2 GiB (2,147,483,648 bytes)");
    }
    return files;
}

std::vector<FileEntry> TableFor(const std::vector<PlannedFile>& files) {
    std::vector<FileEntry> entries;
    int64_t offset = static_cast<int64_t>(files.front().Size);
    for (size_t index = 1; index < files.size(); ++index) {
        entries.push_back({files[index].Name, static_cast<int32_t>(offset),
                           static_cast<int32_t>(files[index].Size)});
        offset += static_cast<int64_t>(files[index].Size);
    }
    return entries;
}

// Compresses the bundle into `streamPath`; returns the stream's length.
uint64_t CompressBundle(const std::vector<PlannedFile>& files, uint64_t bundleSize,
                        const std::filesystem::path& streamPath) {
    HostFile stream(streamPath, "wb");
    LzhufEncoder encoder(
        [&stream](const uint8_t* bytes, size_t count) { stream.Write(bytes, count); });
    ProgressLine progress("compressing", bundleSize);
    std::vector<uint8_t> block(CopyBlockSize);
    uint64_t done = 0;
    for (const PlannedFile& file : files) {
        HostFile input(file.Path, "rb");
        uint64_t left = file.Size;
        while (left > 0) {
            const size_t count = left < block.size() ? static_cast<size_t>(left) : block.size();
            input.ReadExact(block.data(), count);
            encoder.Write(block.data(), count);
            left -= count;
            done += count;
            progress.Update(done);
        }
        uint8_t extra = 0;
        if (input.Read(&extra, 1) != 0) {
            throw PackError(file.Path.string() + " grew while being packed");
        }
    }
    encoder.Finish();
    progress.Finish();
    stream.Close();
    return encoder.OutputCount();
}

void CopyRange(HostFile& from, HostFile& to, uint64_t count) {
    std::vector<uint8_t> block(CopyBlockSize);
    while (count > 0) {
        const size_t chunk = count < block.size() ? static_cast<size_t>(count) : block.size();
        from.ReadExact(block.data(), chunk);
        to.Write(block.data(), chunk);
        count -= chunk;
    }
}

// Undoes a build that was refused or failed part-way: removes what it wrote.
struct WrittenFiles {
    std::vector<std::filesystem::path> Paths;
    std::filesystem::path CreatedFolder;
    bool Kept = false;

    ~WrittenFiles() {
        if (Kept) {
            return;
        }
        std::error_code ignored;
        for (const auto& path : Paths) {
            std::filesystem::remove(path, ignored);
        }
        if (!CreatedFolder.empty()) {
            std::filesystem::remove(CreatedFolder, ignored);
        }
    }
};

} // namespace

std::vector<uint64_t> PlanVolumeSizes(uint64_t streamSize, int volumeCount, uint64_t maxVolumeSize,
                                      int defaultCount) {
    if (volumeCount == 0 && maxVolumeSize > 0) {
        uint64_t needed = (streamSize + maxVolumeSize - 1) / maxVolumeSize;
        if (needed == 0) {
            needed = 1;
        }
        if (needed > static_cast<uint64_t>(MaxVolumeCount)) {
            throw PackError("the compressed stream is " + GroupDigits(streamSize) +
                            " bytes: " + std::to_string(needed) + " volumes of " +
                            GroupDigits(maxVolumeSize) + " bytes, but a package has at most 4");
        }
        std::vector<uint64_t> sizes(static_cast<size_t>(needed), maxVolumeSize);
        sizes.back() = streamSize - (needed - 1) * maxVolumeSize;
        return sizes;
    }
    const int count = volumeCount > 0 ? volumeCount : defaultCount;
    if (count < 1 || count > MaxVolumeCount) {
        throw PackError("a package has 1 to 4 volumes, not " + std::to_string(count));
    }
    std::vector<uint64_t> sizes;
    for (int index = 0; index < count; ++index) {
        const uint64_t start =
            streamSize * static_cast<uint64_t>(index) / static_cast<uint64_t>(count);
        const uint64_t end =
            streamSize * static_cast<uint64_t>(index + 1) / static_cast<uint64_t>(count);
        sizes.push_back(end - start);
        if (maxVolumeSize > 0 && end - start > maxVolumeSize) {
            throw PackError("the compressed stream is " + GroupDigits(streamSize) +
                            " bytes: " + std::to_string(count) + " volumes of " +
                            GroupDigits(maxVolumeSize) + " bytes cannot hold it");
        }
    }
    return sizes;
}

void BuildPackage(const BuildRequest& request, std::ostream& report) {
    const int defaultCount = std::clamp(Settings.VolumeCount, 1, MaxVolumeCount);
    if (request.VolumeCount != 0 &&
        (request.VolumeCount < 1 || request.VolumeCount > MaxVolumeCount)) {
        throw PackError("--volumes must be 1 to 4, not " + std::to_string(request.VolumeCount));
    }
    const std::vector<PlannedFile> files = CheckInputs(request);
    const std::vector<FileEntry> entries = TableFor(files);
    const uint64_t bundleSize =
        static_cast<uint64_t>(entries.back().Offset) + static_cast<uint64_t>(entries.back().Size);

    const std::filesystem::path setupOutput =
        request.OutputFolder / request.SetupProgram.filename();
    std::vector<std::filesystem::path> outputs = {setupOutput};
    for (int volume = 1; volume <= MaxVolumeCount; ++volume) {
        outputs.push_back(request.OutputFolder /
                          HostNameOf(VolumeName(Settings.VolumeFileName, volume)));
    }
    for (const auto& output : outputs) {
        bool replacesInput = SameFile(output, request.SetupProgram);
        for (const PlannedFile& file : files) {
            replacesInput = replacesInput || SameFile(output, file.Path);
        }
        if (replacesInput) {
            throw PackError("the output " + output.string() + " would replace an input");
        }
    }

    WrittenFiles written;
    std::error_code error;
    if (!std::filesystem::exists(request.OutputFolder, error)) {
        std::filesystem::create_directories(request.OutputFolder, error);
        if (error) {
            throw PackError("cannot create " + request.OutputFolder.string() + ": " +
                            error.message());
        }
        written.CreatedFolder = request.OutputFolder;
    } else if (!std::filesystem::is_directory(request.OutputFolder, error)) {
        throw PackError(request.OutputFolder.string() + " is not a folder");
    }

    const std::filesystem::path streamPath =
        request.OutputFolder / (".rembrix-pack-" + std::to_string(getpid()) + ".stream");
    written.Paths.push_back(streamPath);
    // The stream is written before it is known whether the volumes can hold
    // it; a refusal then removes it again.
    const uint64_t streamSize = CompressBundle(files, bundleSize, streamPath);
    const std::vector<uint64_t> volumeSizes =
        PlanVolumeSizes(streamSize, request.VolumeCount, request.MaxVolumeSize, defaultCount);

    {
        HostFile stream(streamPath, "rb");
        for (size_t index = 0; index < volumeSizes.size(); ++index) {
            const std::filesystem::path& volumePath = outputs[index + 1];
            HostFile volume(volumePath, "wb");
            written.Paths.push_back(volumePath);
            CopyRange(stream, volume, volumeSizes[index]);
            volume.Close();
        }
    }
    std::filesystem::remove(streamPath, error);

    const uint64_t setupSize = ReadableFileSize(request.SetupProgram, "the setup program");
    {
        HostFile setup(request.SetupProgram, "rb");
        HostFile output(setupOutput, "wb");
        written.Paths.push_back(setupOutput);
        CopyRange(setup, output, setupSize);
        const std::vector<uint8_t> trailer =
            EncodeSetupTrailer(entries, static_cast<int32_t>(bundleSize));
        output.Write(trailer.data(), trailer.size());
        output.Close();
    }
    std::filesystem::permissions(
        setupOutput, std::filesystem::status(request.SetupProgram).permissions(), error);
    written.Kept = true;

    // Volumes of an earlier, longer build would be joined by `extract`.
    for (size_t volume = volumeSizes.size() + 1; volume <= static_cast<size_t>(MaxVolumeCount);
         ++volume) {
        if (std::filesystem::remove(outputs[volume], error)) {
            report << "removed " << outputs[volume].filename().string()
                   << " left over from an earlier build\n";
        }
    }

    report << "bundle: " << GroupDigits(bundleSize) << " bytes in " << files.size()
           << " files, compressed to " << GroupDigits(streamSize) << " bytes";
    if (bundleSize > 0) {
        report << " (" << (streamSize * 1000 / bundleSize) / 10 << "."
               << (streamSize * 1000 / bundleSize) % 10 << "%)";
    }
    report << "\n";
    for (size_t index = 0; index < volumeSizes.size(); ++index) {
        report << outputs[index + 1].filename().string() << ": " << GroupDigits(volumeSizes[index])
               << " bytes\n";
    }
    report << setupOutput.filename().string() << ": " << GroupDigits(setupSize) << " + "
           << GroupDigits(static_cast<uint64_t>(TrailerSize(static_cast<int32_t>(entries.size()))))
           << " bytes of trailer\n";
    if (static_cast<int>(volumeSizes.size()) !=
        std::clamp(Settings.VolumeCount, 1, MaxVolumeCount)) {
        report << "note: this build's setup program asks for " << Settings.VolumeCount
               << " volumes; the package has " << volumeSizes.size() << "\n";
    }
}
