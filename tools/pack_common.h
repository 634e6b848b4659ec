// What the packer's commands share: their one kind of failure, host file
// helpers, names between the host and the package, and the progress line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

// A refusal or failure of a command; what() is the one-line reason shown.
class PackError : public std::runtime_error {
  public:
    explicit PackError(const std::string& reason) : std::runtime_error(reason) {}
};

// The size of a regular, readable file; PackError naming `what` otherwise.
uint64_t ReadableFileSize(const std::filesystem::path& path, const std::string& what);

// A file opened with fopen; closed when it goes out of scope.
struct HostFile {
    HostFile(const std::filesystem::path& path, const char* mode);
    ~HostFile();
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;
    // Reads exactly `count` bytes or raises PackError.
    void ReadExact(void* buffer, size_t count);
    // Reads up to `count` bytes; returns how many.
    size_t Read(void* buffer, size_t count);
    // Writes all `count` bytes or raises PackError.
    void Write(const void* buffer, size_t count);
    // Flushes and closes, raising PackError when that fails.
    void Close();

    std::FILE* Stream = nullptr;
    std::filesystem::path Path;
};

// The name a host file carries in a package: its file name in the system's
// ANSI code page. Raises PackError when the name cannot be represented there.
std::string PackageNameOf(const std::filesystem::path& path);
// The host file name for a package name (ANSI to the host's UTF-8).
std::filesystem::path HostNameOf(const std::string& packageName);

// The file in `folder` whose name equals `name` without regard to case (an
// exact match first), as the installer's system would find it; empty if none.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder,
                                       const std::string& name);

// A progress line on standard error for long work: redrawn in place on a
// terminal, a line every tenth otherwise; silent for small amounts.
class ProgressLine {
  public:
    ProgressLine(const char* activity, uint64_t total);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    void Update(uint64_t done);
    void Finish();

  private:
    const char* Activity;
    uint64_t Total;
    int Shown = -1;
    bool Enabled;
    bool Terminal;
    bool Finished = false;
};

// "1,457,664" for 1457664.
std::string GroupDigits(uint64_t value);
