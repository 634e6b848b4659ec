#include "tools/pack_listing.h"

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "package/lzhuf_decoder.h"
#include "tools/pack_common.h"

#include <cstring>
#include <ostream>

namespace {

constexpr size_t BlockSize = size_t{1} << 16;

// The decoder's callbacks are plain functions, so what they read from and
// write to is process-wide.
struct DecodeSession {
    std::vector<std::filesystem::path> Volumes;
    size_t NextVolume = 0;
    std::unique_ptr<HostFile> Current;
    std::vector<uint8_t> Input = std::vector<uint8_t>(BlockSize);
    size_t InputPosition = 0;
    size_t InputCount = 0;
    uint64_t ReadsPastEnd = 0;

    std::FILE* Bundle = nullptr;
    std::vector<uint8_t> Output;
    uint64_t Wanted = 0;
    uint64_t Produced = 0;
    ProgressLine* Progress = nullptr;
};

DecodeSession* Session = nullptr;

// Refills the input block from the volumes in order; false at their end.
bool RefillInput(DecodeSession& session) {
    for (;;) {
        if (session.Current) {
            session.InputCount = session.Current->Read(session.Input.data(), session.Input.size());
            session.InputPosition = 0;
            if (session.InputCount > 0) {
                return true;
            }
            session.Current.reset();
        }
        if (session.NextVolume == session.Volumes.size()) {
            return false;
        }
        session.Current = std::make_unique<HostFile>(session.Volumes[session.NextVolume++], "rb");
    }
}

void ReadFromVolumes(uint8_t* buffer, uint16_t count, uint16_t& actual) {
    DecodeSession& session = *Session;
    actual = 0;
    while (actual < count) {
        if (session.InputPosition == session.InputCount && !RefillInput(session)) {
            ++session.ReadsPastEnd;
            return;
        }
        buffer[actual++] = session.Input[session.InputPosition++];
    }
}

void FlushBundle(DecodeSession& session) {
    if (!session.Output.empty() && std::fwrite(session.Output.data(), 1, session.Output.size(),
                                               session.Bundle) != session.Output.size()) {
        throw PackError("cannot write the decoded bundle to a temporary file");
    }
    session.Output.clear();
    if (session.Progress != nullptr) {
        session.Progress->Update(session.Produced);
    }
}

void WriteToBundle(const uint8_t* buffer, uint16_t count, uint16_t& actual) {
    DecodeSession& session = *Session;
    actual = count;
    // A last match may run past the bundle's end; those bytes are not its.
    for (uint16_t index = 0; index < count && session.Produced < session.Wanted; ++index) {
        session.Output.push_back(buffer[index]);
        ++session.Produced;
    }
    if (session.Output.size() >= BlockSize) {
        FlushBundle(session);
    }
}

uint64_t UnreadInput(DecodeSession& session) {
    uint64_t unread = session.InputCount - session.InputPosition;
    if (session.Current) {
        uint8_t block[4096];
        size_t read = 0;
        while ((read = session.Current->Read(block, sizeof block)) > 0) {
            unread += read;
        }
    }
    for (size_t index = session.NextVolume; index < session.Volumes.size(); ++index) {
        unread += ReadableFileSize(session.Volumes[index], "the volume");
    }
    return unread;
}

std::vector<std::filesystem::path> FindVolumes(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> volumes;
    for (int volume = 1; volume <= MaxVolumeCount; ++volume) {
        const std::string name = HostNameOf(VolumeName(Settings.VolumeFileName, volume)).string();
        const std::filesystem::path found = FindIgnoringCase(folder, name);
        if (found.empty()) {
            break;
        }
        volumes.push_back(found);
    }
    return volumes;
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::string Quoted(const std::string& packageName) {
    return "\"" + HostNameOf(packageName).string() + "\"";
}

// One file to write or compare: its name and its bytes in the bundle.
struct BundlePart {
    std::string Name;
    uint64_t Offset;
    uint64_t Size;
};

void CopyPart(std::FILE* bundle, const BundlePart& part, const std::filesystem::path& target) {
    HostFile output(target, "wb");
    std::vector<uint8_t> block(BlockSize);
    std::fseek(bundle, static_cast<long>(part.Offset), SEEK_SET);
    for (uint64_t left = part.Size; left > 0;) {
        const size_t count = left < block.size() ? static_cast<size_t>(left) : block.size();
        if (std::fread(block.data(), 1, count, bundle) != count) {
            throw PackError("cannot read back the decoded bundle");
        }
        output.Write(block.data(), count);
        left -= count;
    }
    output.Close();
}

// Empty when equal, else what differs.
std::string ComparePart(std::FILE* bundle, const BundlePart& part,
                        const std::filesystem::path& folder) {
    const std::filesystem::path existing = FindIgnoringCase(folder, HostNameOf(part.Name).string());
    if (existing.empty()) {
        return "missing";
    }
    const uint64_t size = ReadableFileSize(existing, "the file");
    if (size != part.Size) {
        return GroupDigits(size) + " bytes where the package has " + GroupDigits(part.Size);
    }
    HostFile file(existing, "rb");
    std::vector<uint8_t> expected(BlockSize);
    std::vector<uint8_t> actual(BlockSize);
    std::fseek(bundle, static_cast<long>(part.Offset), SEEK_SET);
    for (uint64_t done = 0; done < part.Size;) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(part.Size - done, BlockSize));
        if (std::fread(expected.data(), 1, count, bundle) != count) {
            throw PackError("cannot read back the decoded bundle");
        }
        file.ReadExact(actual.data(), count);
        for (size_t index = 0; index < count; ++index) {
            if (expected[index] != actual[index]) {
                return "differs from byte " + GroupDigits(done + index) + " on";
            }
        }
        done += count;
    }
    return "";
}

} // namespace

ParsedTrailer ReadTrailerOf(const std::filesystem::path& setupFile) {
    const uint64_t size = ReadableFileSize(setupFile, "the setup file");
    const uint64_t tailLength =
        std::min<uint64_t>(size, static_cast<uint64_t>(TrailerSize(MaxEntryCount)));
    std::vector<uint8_t> tail(static_cast<size_t>(tailLength));
    HostFile file(setupFile, "rb");
    std::fseek(file.Stream, static_cast<long>(size - tailLength), SEEK_SET);
    file.ReadExact(tail.data(), tail.size());
    ParsedTrailer trailer;
    switch (ParseSetupTrailer(tail.data(), tail.size(), trailer)) {
    case TrailerParseResult::Parsed:
        return trailer;
    case TrailerParseResult::TooShortForTail:
        throw PackError("damaged trailer: " + setupFile.string() + " has " + std::to_string(size) +
                        " bytes, fewer than the 5 of an empty trailer");
    case TrailerParseResult::TooShortForEntries:
        break;
    }
    const int entryCount = tail[tail.size() - TrailerTailSize];
    throw PackError("damaged trailer: it claims " + std::to_string(entryCount) + " entries (" +
                    GroupDigits(static_cast<uint64_t>(TrailerSize(entryCount))) + " bytes), but " +
                    setupFile.string() + " has only " + GroupDigits(size) + " bytes");
}

void ListPackage(const std::filesystem::path& setupFile, std::ostream& report) {
    const ParsedTrailer trailer = ReadTrailerOf(setupFile);
    const std::vector<std::string> problems = FindTrailerProblems(trailer);
    if (!problems.empty()) {
        // Not a table to show: its names may be any bytes at all.
        constexpr size_t shownProblems = 10;
        report << "the trailer claims " << trailer.Entries.size()
               << " entries and an unpacked size of " << trailer.UnpackedSize << " bytes, but:\n";
        for (size_t index = 0; index < problems.size() && index < shownProblems; ++index) {
            report << "  " << problems[index] << "\n";
        }
        if (problems.size() > shownProblems) {
            report << "  ... and " << problems.size() - shownProblems << " more\n";
        }
        throw PackError("damaged trailer: " + std::to_string(problems.size()) +
                        " broken rule(s); not a package built for this setup program?");
    }
    char line[160];
    std::snprintf(line, sizeof line, "%5s  %-19s  %13s  %13s\n", "index", "name", "offset", "size");
    report << line;
    for (size_t index = 0; index < trailer.Entries.size(); ++index) {
        const FileEntry& entry = trailer.Entries[index];
        std::snprintf(line, sizeof line, "%5zu  %-19s  %13s  %13s\n", index,
                      HostNameOf(entry.Name).string().c_str(),
                      GroupDigits(static_cast<uint64_t>(entry.Offset)).c_str(),
                      GroupDigits(static_cast<uint64_t>(entry.Size)).c_str());
        report << line;
    }
    report << "main program: " << GroupDigits(static_cast<uint64_t>(trailer.Entries.front().Offset))
           << " bytes\n";
    report << "unpacked size: " << GroupDigits(static_cast<uint64_t>(trailer.UnpackedSize))
           << " bytes\n";
    const std::vector<std::filesystem::path> volumes = FindVolumes(FolderOf(setupFile));
    report << "volumes beside it:";
    for (const auto& volume : volumes) {
        report << " " << volume.filename().string() << " ("
               << GroupDigits(ReadableFileSize(volume, "the volume")) << " bytes)";
    }
    report << (volumes.empty() ? " none\n" : "\n");
}

void ExtractPackage(const std::filesystem::path& setupFile,
                    const std::filesystem::path& outputFolder, bool verify, std::ostream& report) {
    const ParsedTrailer trailer = ReadTrailerOf(setupFile);
    const std::vector<std::string> problems = FindTrailerProblems(trailer);
    if (!problems.empty()) {
        throw PackError(
            "damaged trailer: " + problems.front() +
            (problems.size() > 1 ? " (and " + std::to_string(problems.size() - 1) + " more)" : ""));
    }
    DecodeSession session;
    session.Volumes = FindVolumes(FolderOf(setupFile));
    if (session.Volumes.empty()) {
        throw PackError("the first volume " + HostNameOf(Settings.VolumeFileName).string() +
                        " is not beside " + setupFile.string());
    }
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    const std::unique_ptr<std::FILE, CloseFile> bundle(std::tmpfile());
    if (!bundle) {
        throw PackError("cannot create a temporary file for the decoded bundle");
    }
    session.Bundle = bundle.get();
    session.Wanted = static_cast<uint64_t>(trailer.UnpackedSize);
    ProgressLine progress("decoding", session.Wanted);
    session.Progress = &progress;

    Session = &session;
    KeepGoing = 1;
    try {
        UnpackStream(trailer.UnpackedSize, ReadFromVolumes, WriteToBundle);
        FlushBundle(session);
    } catch (...) {
        Session = nullptr;
        throw;
    }
    Session = nullptr;
    progress.Finish();
    if (session.ReadsPastEnd > 1) {
        throw PackError("the volumes end before the compressed stream does: a volume is missing or "
                        "cut short");
    }
    const uint64_t unread = UnreadInput(session);
    if (unread > 0) {
        throw PackError("the volumes hold " + GroupDigits(unread) +
                        " bytes more than the compressed stream: a stale or foreign volume?");
    }

    std::vector<BundlePart> parts;
    parts.push_back(
        {Settings.MainProgramFile, 0, static_cast<uint64_t>(trailer.Entries.front().Offset)});
    for (const FileEntry& entry : trailer.Entries) {
        parts.push_back(
            {entry.Name, static_cast<uint64_t>(entry.Offset), static_cast<uint64_t>(entry.Size)});
    }
    if (!verify) {
        std::error_code error;
        std::filesystem::create_directories(outputFolder, error);
        if (error) {
            throw PackError("cannot create " + outputFolder.string() + ": " + error.message());
        }
        for (const BundlePart& part : parts) {
            CopyPart(bundle.get(), part, outputFolder / HostNameOf(part.Name));
        }
        report << "extracted " << parts.size() << " files (" << GroupDigits(session.Wanted)
               << " bytes) into " << outputFolder.string() << "\n";
        return;
    }
    size_t differences = 0;
    for (const BundlePart& part : parts) {
        const std::string difference = ComparePart(bundle.get(), part, outputFolder);
        if (!difference.empty()) {
            report << Quoted(part.Name) << ": " << difference << "\n";
            ++differences;
        }
    }
    if (differences > 0) {
        throw PackError(std::to_string(differences) + " of " + std::to_string(parts.size()) +
                        " files differ from the package");
    }
    report << "verified " << parts.size() << " files (" << GroupDigits(session.Wanted)
           << " bytes): all match\n";
}
