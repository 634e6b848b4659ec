// Runs the rembrix-pack program as a user would, for the packer's tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

struct PackRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char character : text) {
        quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    }
    return quoted + "'";
}

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Runs rembrix-pack with `arguments`; its output goes through files in `scratch`.
inline PackRun RunPack(const std::vector<std::string>& arguments,
                       const std::filesystem::path& scratch) {
    std::string command = ShellQuoted(REMBRIX_PACK_PROGRAM);
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    const auto out = scratch / "pack.out";
    const auto err = scratch / "pack.err";
    command += " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
    const int status = std::system(command.c_str());
    PackRun run;
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = ReadText(out);
    run.Err = ReadText(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Every file below `folder`, as relative paths; empty when it does not exist.
inline std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        names.push_back(std::filesystem::relative(entry.path(), folder).string());
    }
    return names;
}
