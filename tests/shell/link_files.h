// Reading link files back in shell tests: through Debian's lnkinfo, an
// independent reader, and straight from the header's bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

inline std::vector<uint8_t> ReadHostFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline bool LnkinfoAvailable() {
    return std::system("lnkinfo -V >/dev/null 2>&1") == 0;
}

// The "name : value" lines lnkinfo prints for a link file, by name; empty
// when lnkinfo could not read the file.
inline std::map<std::string, std::string> RunLnkinfo(const std::filesystem::path& link) {
    std::map<std::string, std::string> fields;
    const std::string command = "lnkinfo -c windows-1252 '" + link.string() + "' 2>/dev/null";
    FILE* output = popen(command.c_str(), "r");
    if (output == nullptr) {
        return fields;
    }
    char line[4096];
    while (fgets(line, sizeof line, output) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        const size_t colon = text.find(": ");
        if (colon == std::string::npos) {
            continue;
        }
        std::string name = text.substr(0, colon);
        const size_t first = name.find_first_not_of(" \t");
        const size_t last = name.find_last_not_of(" \t");
        if (first == std::string::npos) {
            continue;
        }
        fields[name.substr(first, last - first + 1)] = text.substr(colon + 2);
    }
    const int status = pclose(output);
    if (status != 0) {
        fields.clear();
    }
    return fields;
}

// The show command field of the header (offset 0x3C). Read here directly:
// the lnkinfo of Debian 12 prints the target's size in place of it.
inline uint32_t HeaderShowCommand(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 0x40) {
        return 0xFFFFFFFF;
    }
    return bytes[0x3C] | (bytes[0x3D] << 8) | (bytes[0x3E] << 16) |
           (static_cast<uint32_t>(bytes[0x3F]) << 24);
}
