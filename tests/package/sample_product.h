// A made-up product shaped like the real package this installer ships: a
// main program, an uninstaller, libraries, a program, two help files, a
// short description file; executable-like code, text, help text and some
// incompressible data. Generated deterministically from a seed, so tests
// and benchmarks see the same bytes every run without checked-in blobs.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct SampleFile {
    std::string Name;
    std::vector<uint8_t> Bytes;
};

namespace sample_detail {

inline const char* const Words[] = {
    "the",     "of",     "and",     "to",      "a",      "in",     "file",   "is",
    "for",     "that",   "with",    "drawing", "select", "the",    "menu",   "click",
    "layer",   "object", "you",     "can",     "press",  "dialog", "window", "toolbar",
    "command", "option", "grid",    "snap",    "line",   "shape",  "colour", "print",
    "page",    "setup",  "Rembrix", "to",      "from",   "when",   "each",   "help",
    "topic",   "see",    "also",    "choose",  "button", "OK",     "Cancel", "value",
};
inline const char* const ApiNames[] = {
    "GetProcAddress", "LoadLibraryA", "CreateWindowExA", "DefWindowProcA", "GetDC",
    "ReleaseDC",      "SelectObject", "DeleteObject",    "BitBlt",         "TextOutA",
    "ReadFile",       "WriteFile",    "CloseHandle",     "CreateFileA",    "GetMessageA",
};

// Zipf-like choice: early entries much more often than late ones.
template <size_t N> const char* PickWord(std::mt19937& random, const char* const (&list)[N]) {
    const double u = std::generate_canonical<double, 32>(random);
    const auto index = static_cast<size_t>(static_cast<double>(N) * u * u * u);
    return list[index < N ? index : N - 1];
}

inline void AppendText(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

inline std::vector<uint8_t> MakeText(std::mt19937& random, size_t size, bool help) {
    std::vector<uint8_t> out;
    int topic = 0;
    while (out.size() < size) {
        if (help && random() % 12 == 0) {
            ++topic;
            AppendText(out, "{\\b Topic " + std::to_string(topic) + "}\\par\r\n#{\\footnote " +
                                "IDH_TOPIC_" + std::to_string(topic) + "}\r\n");
        }
        const int words = 6 + static_cast<int>(random() % 14);
        for (int word = 0; word < words; ++word) {
            AppendText(out, PickWord(random, Words));
            out.push_back(word + 1 == words ? '.' : ' ');
        }
        AppendText(out, help && random() % 3 == 0 ? "\\par\r\n" : " ");
        if (random() % 5 == 0) {
            AppendText(out, "\r\n");
        }
    }
    out.resize(size);
    return out;
}

// Machine-code-like bytes: a small instruction vocabulary with 32-bit
// operands near a few bases, zero-filled alignment, import names, and a
// stretch of incompressible data (packed resources).
inline std::vector<uint8_t> MakeExecutable(std::mt19937& random, size_t size) {
    static const uint8_t opcodes[] = {0x8B, 0x89, 0xE8, 0x83, 0x55, 0x5D, 0xC3, 0x50, 0x6A,
                                      0x74, 0x75, 0xFF, 0x33, 0x85, 0x8D, 0xEB, 0x0F, 0x68};
    std::vector<uint8_t> out;
    const size_t codeEnd = size * 65 / 100;
    const size_t importsEnd = size * 75 / 100;
    const size_t resourcesEnd = size * 85 / 100;
    uint32_t base = 0x00401000;
    while (out.size() < codeEnd) {
        const uint8_t opcode = opcodes[random() % sizeof opcodes];
        out.push_back(opcode);
        if (opcode == 0xE8 || opcode == 0x68 || random() % 4 == 0) {
            const auto address = static_cast<uint32_t>(base + (random() % 4096) * 4);
            for (int shift = 0; shift < 32; shift += 8) {
                out.push_back(static_cast<uint8_t>(address >> shift));
            }
        } else {
            out.push_back(static_cast<uint8_t>(0x40 + random() % 8 * 8 + random() % 3));
        }
        if (random() % 200 == 0) {
            out.insert(out.end(), 16 - out.size() % 16, 0x90);
            base += 0x1000;
        }
    }
    while (out.size() < importsEnd) {
        AppendText(out, PickWord(random, ApiNames));
        out.insert(out.end(), 2 + random() % 3, 0);
    }
    while (out.size() < resourcesEnd) {
        out.push_back(static_cast<uint8_t>(random()));
    }
    out.resize(size, 0);
    return out;
}

} // namespace sample_detail

// The product's files, main program first, at `scale` times the real sizes
// (about 3.1 MB at 1.0).
inline std::vector<SampleFile> MakeSampleProduct(double scale = 1.0, uint32_t seed = 1) {
    using sample_detail::MakeExecutable;
    using sample_detail::MakeText;
    std::mt19937 random(seed);
    auto sized = [scale](size_t size) {
        return static_cast<size_t>(static_cast<double>(size) * scale);
    };
    std::vector<SampleFile> files;
    files.push_back({"Rembrix.Exe", MakeExecutable(random, sized(320000))});
    files.push_back({"Uninstal.exe", MakeExecutable(random, sized(179200))});
    files.push_back({"Draw32.dll", MakeExecutable(random, sized(405504))});
    files.push_back({"File_id.diz", MakeText(random, 444, false)});
    files.push_back({"Shapes.dll", MakeExecutable(random, sized(221184))});
    files.push_back({"Render.dll", MakeExecutable(random, sized(303104))});
    files.push_back({"Fonts.dll", MakeExecutable(random, sized(159744))});
    files.push_back({"Viewer.EXE", MakeExecutable(random, sized(613376))});
    files.push_back({"Tutorial.hlp", MakeText(random, sized(322511), true)});
    files.push_back({"Rembrix.hlp", MakeText(random, sized(208423), true)});
    files.push_back({"Psapi.dll", MakeExecutable(random, sized(18192))});
    files.push_back({"Import.dll", MakeExecutable(random, sized(299008))});
    files.push_back({"Export.dll", MakeExecutable(random, sized(51712))});
    return files;
}

// The files back to back, as a package's bundle holds them.
inline std::vector<uint8_t> JoinSampleBundle(const std::vector<SampleFile>& files) {
    std::vector<uint8_t> bundle;
    for (const SampleFile& file : files) {
        bundle.insert(bundle.end(), file.Bytes.begin(), file.Bytes.end());
    }
    return bundle;
}
