#include "tools/pack_common.h"

#include "platform/machine/kernel_code_page.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// Packages under this size are done before a progress line would help.
constexpr uint64_t ProgressThreshold = uint64_t{4} << 20;

std::string Reason() {
    return std::strerror(errno);
}

} // namespace

uint64_t ReadableFileSize(const std::filesystem::path& path, const std::string& what) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        throw PackError(what + " " + path.string() + " does not exist");
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw PackError(what + " " + path.string() + " is not a regular file");
    }
    if (access(path.c_str(), R_OK) != 0) {
        throw PackError(what + " " + path.string() + " cannot be read: " + Reason());
    }
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        throw PackError(what + " " + path.string() + " cannot be read: " + error.message());
    }
    return size;
}

HostFile::HostFile(const std::filesystem::path& path, const char* mode) : Path(path) {
    Stream = std::fopen(path.c_str(), mode);
    if (Stream == nullptr) {
        throw PackError("cannot open " + path.string() + ": " + Reason());
    }
}

HostFile::~HostFile() {
    if (Stream != nullptr) {
        std::fclose(Stream);
    }
}

void HostFile::ReadExact(void* buffer, size_t count) {
    if (Read(buffer, count) != count) {
        throw PackError(Path.string() + " ended early or changed while being read");
    }
}

size_t HostFile::Read(void* buffer, size_t count) {
    const size_t read = std::fread(buffer, 1, count, Stream);
    if (read < count && std::ferror(Stream)) {
        throw PackError("cannot read " + Path.string() + ": " + Reason());
    }
    return read;
}

void HostFile::Write(const void* buffer, size_t count) {
    if (count > 0 && std::fwrite(buffer, 1, count, Stream) != count) {
        throw PackError("cannot write " + Path.string() + ": " + Reason());
    }
}

void HostFile::Close() {
    std::FILE* stream = Stream;
    Stream = nullptr;
    if (std::fclose(stream) != 0) {
        throw PackError("cannot write " + Path.string() + ": " + Reason());
    }
}

std::string PackageNameOf(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (!IsAnsiRepresentable(name)) {
        throw PackError("the file name \"" + name +
                        "\" has characters that the Windows code page 1252 cannot hold");
    }
    return AnsiFromUtf8(name);
}

std::filesystem::path HostNameOf(const std::string& packageName) {
    return std::filesystem::path(Utf8FromAnsi(packageName));
}

std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder,
                                       const std::string& name) {
    std::error_code error;
    if (std::filesystem::is_regular_file(folder / name, error)) {
        return folder / name;
    }
    const std::string wanted = AnsiFromUtf8(name);
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) &&
            EqualIgnoringAnsiCase(AnsiFromUtf8(entry.path().filename().string()), wanted)) {
            return entry.path();
        }
    }
    return {};
}

ProgressLine::ProgressLine(const char* activity, uint64_t total)
    : Activity(activity), Total(total), Enabled(total >= ProgressThreshold),
      Terminal(isatty(STDERR_FILENO) != 0) {}

ProgressLine::~ProgressLine() {
    if (!Finished && Shown >= 0 && Terminal) {
        std::fputc('\n', stderr);
    }
}

void ProgressLine::Update(uint64_t done) {
    if (!Enabled || Total == 0) {
        return;
    }
    const int percent = static_cast<int>(done * 100 / Total);
    const int step = Terminal ? 1 : 10;
    if (percent / step == Shown / step && Shown >= 0) {
        return;
    }
    Shown = percent;
    std::fprintf(stderr, "%srembrix-pack: %s %3d%% (%.1f of %.1f MB)%s", Terminal ? "\r" : "",
                 Activity, percent, static_cast<double>(done) / 1e6,
                 static_cast<double>(Total) / 1e6, Terminal ? "" : "\n");
    std::fflush(stderr);
}

void ProgressLine::Finish() {
    if (!Finished && Enabled) {
        Update(Total);
        if (Terminal) {
            std::fputc('\n', stderr);
        }
    }
    Finished = true;
}

std::string GroupDigits(uint64_t value) {
    std::string digits = std::to_string(value);
    for (int position = static_cast<int>(digits.size()) - 3; position > 0; position -= 3) {
        digits.insert(static_cast<size_t>(position), ",");
    }
    return digits;
}
