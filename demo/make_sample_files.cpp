// Writes the sample product's data files for the demo package: libraries
// shaped like code, a data library, two help files and a File_id.diz. The
// contents are deterministic, so every demo packs the same bytes.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

uint32_t NextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Bytes that compress like machine code: short repeated phrases with noise.
std::vector<uint8_t> MakeCodeLike(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    const uint8_t phrases[][6] = {{0x55, 0x8B, 0xEC, 0x83, 0xEC, 0x10},
                                  {0x8B, 0x45, 0x08, 0x50, 0xE8, 0x00},
                                  {0x5D, 0xC2, 0x04, 0x00, 0x90, 0x90},
                                  {0x33, 0xC0, 0x89, 0x45, 0xFC, 0x6A}};
    while (bytes.size() < size) {
        const uint32_t r = NextRandom(seed);
        if (r % 3 == 0) {
            bytes.push_back(static_cast<uint8_t>(r >> 8));
        } else {
            for (uint8_t b : phrases[(r >> 4) % 4]) {
                bytes.push_back(b);
            }
        }
    }
    bytes.resize(size);
    return bytes;
}

std::string MakeHelpText(const std::string& title, int topics) {
    std::string text = "Rembrix Help: " + title + "\r\n\r\n";
    for (int topic = 1; topic <= topics; ++topic) {
        text += "Topic " + std::to_string(topic) + ". " + title +
                " explains how Rembrix arranges pictures, layers and frames. Select a frame, "
                "choose a layer and press F" +
                std::to_string(topic % 12 + 1) + " to show its properties.\r\n";
    }
    return text;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_files OUT_DIR\n";
        return 2;
    }
    try {
        const std::filesystem::path out = argv[1];
        std::filesystem::create_directories(out);
        WriteFile(out / "RbxCore.dll", MakeCodeLike(405504, 1));
        WriteFile(out / "RbxView.dll", MakeCodeLike(221184, 2));
        WriteFile(out / "RbxPaint.dll", MakeCodeLike(159744, 3));
        WriteText(out / "File_id.diz",
                  "Rembrix 1.0 - arrange pictures, layers and frames.\r\n"
                  "Mellowick Software. Two disks.\r\n");
        WriteText(out / "Rembrix.hlp", MakeHelpText("Rembrix", 900));
        WriteText(out / "Tutorial.hlp", MakeHelpText("Tutorial", 600));
        std::vector<uint8_t> styles;
        for (int i = 0; i < 4000; ++i) {
            const std::string line = "style" + std::to_string(i) + "=frame,layer," +
                                     std::to_string(i * 7 % 255) + "\r\n";
            styles.insert(styles.end(), line.begin(), line.end());
        }
        WriteFile(out / "Styles.LIB", styles);
    } catch (const std::exception& error) {
        std::cerr << "make_sample_files: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
