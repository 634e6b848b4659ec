#include "platform/machine/registry_file.h"

#include "platform/api/advapi32.h"
#include "platform/machine/fault_injection.h"
#include "platform/machine/kernel_code_page.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

constexpr const char* Header = "Windows Registry Editor Version 5.00";
constexpr std::size_t HexLineWidth = 76;

std::string QuotedUtf8(const std::string& ansi) {
    std::string out = "\"";
    for (const char c : Utf8FromAnsi(ansi)) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// A string value that reads back the same when written between quotes.
bool IsPlainString(const std::vector<uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    for (std::size_t index = 0; index + 1 < data.size(); ++index) {
        if (data[index] < 0x20) {
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> Utf16BytesFromAnsi(const std::vector<uint8_t>& ansi) {
    std::vector<uint8_t> bytes;
    for (const uint8_t byte : ansi) {
        const char32_t unit = CodePointFromAnsi(byte);
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

std::vector<uint8_t> AnsiFromUtf16Bytes(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> ansi;
    for (std::size_t index = 0; index + 1 < bytes.size(); index += 2) {
        const char32_t unit = static_cast<char32_t>(bytes[index] | (bytes[index + 1] << 8));
        unsigned char byte = '?';
        if (!AnsiFromCodePoint(unit, byte)) {
            byte = '?';
        }
        ansi.push_back(byte);
    }
    return ansi;
}

bool IsTextType(DWORD type) {
    constexpr DWORD multiString = 7;
    return type == REG_SZ || type == REG_EXPAND_SZ || type == multiString;
}

void AppendHexValue(std::string& out, const std::string& prefix,
                    const std::vector<uint8_t>& bytes) {
    std::string line = prefix;
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", bytes[index]);
        line += hex;
        if (index + 1 < bytes.size()) {
            line.push_back(',');
            if (line.size() >= HexLineWidth) {
                out += line + "\\\r\n";
                line = "  ";
            }
        }
    }
    out += line + "\r\n";
}

void AppendValue(std::string& out, const RegistryValue& value) {
    const std::string name = value.Name.empty() ? "@" : QuotedUtf8(value.Name);
    if (value.Type == REG_SZ && IsPlainString(value.Data)) {
        const std::string text(value.Data.begin(), value.Data.end() - 1);
        out += name + "=" + QuotedUtf8(text) + "\r\n";
    } else if (value.Type == REG_DWORD && value.Data.size() == 4) {
        char hex[16];
        const uint32_t number = value.Data[0] | (value.Data[1] << 8) | (value.Data[2] << 16) |
                                (static_cast<uint32_t>(value.Data[3]) << 24);
        std::snprintf(hex, sizeof hex, "%08x", number);
        out += name + "=dword:" + hex + "\r\n";
    } else if (value.Type == REG_BINARY) {
        AppendHexValue(out, name + "=hex:", value.Data);
    } else {
        const std::vector<uint8_t> bytes =
            IsTextType(value.Type) ? Utf16BytesFromAnsi(value.Data) : value.Data;
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "=hex(%x):", static_cast<unsigned>(value.Type));
        AppendHexValue(out, name + prefix, bytes);
    }
}

void AppendKey(std::string& out, const RegistryKey& key, const std::string& path, bool isRoot) {
    if (!isRoot || !key.Values.empty()) {
        out += "[" + Utf8FromAnsi(path) + "]\r\n";
        for (const auto& [folded, value] : key.Values) {
            AppendValue(out, value);
        }
        out += "\r\n";
    }
    for (const auto& [folded, child] : key.SubKeys) {
        AppendKey(out, *child, path + "\\" + child->Name, false);
    }
}

[[noreturn]] void Fail(int line, const std::string& message) {
    throw std::runtime_error("line " + std::to_string(line) + ": " + message);
}

// Reads a quoted string starting at `position` (at the opening quote).
std::string ReadQuoted(const std::string& line, std::size_t& position, int lineNumber) {
    std::string utf8;
    ++position;
    while (true) {
        if (position >= line.size()) {
            Fail(lineNumber, "a string without its closing quote");
        }
        const char c = line[position++];
        if (c == '"') {
            break;
        }
        if (c == '\\') {
            if (position >= line.size()) {
                Fail(lineNumber, "a backslash at the end of a string");
            }
            utf8.push_back(line[position++]);
        } else {
            utf8.push_back(c);
        }
    }
    return AnsiFromUtf8(utf8);
}

std::vector<uint8_t> ReadHexBytes(const std::string& text, int lineNumber) {
    std::vector<uint8_t> bytes;
    std::string digits;
    for (std::size_t index = 0; index <= text.size(); ++index) {
        const char c = index < text.size() ? text[index] : ',';
        if (c == ' ' || c == '\t') {
            continue;
        }
        if (c == ',') {
            if (digits.empty()) {
                if (index < text.size() || !bytes.empty()) {
                    Fail(lineNumber, "an empty byte in a hex list");
                }
                continue;
            }
            if (digits.size() > 2 ||
                digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                Fail(lineNumber, "a malformed byte " + digits + " in a hex list");
            }
            bytes.push_back(static_cast<uint8_t>(std::strtoul(digits.c_str(), nullptr, 16)));
            digits.clear();
        } else {
            digits.push_back(c);
        }
    }
    return bytes;
}

void ParseValueLine(const std::string& line, int lineNumber, RegistryKey& key) {
    std::size_t position = 0;
    std::string name;
    if (line[0] == '@') {
        position = 1;
    } else {
        name = ReadQuoted(line, position, lineNumber);
    }
    if (position >= line.size() || line[position] != '=') {
        Fail(lineNumber, "expected = after the value name");
    }
    ++position;
    const std::string data = line.substr(position);
    if (data.starts_with('"')) {
        std::size_t textPosition = 0;
        const std::string text = ReadQuoted(data, textPosition, lineNumber);
        if (textPosition != data.size()) {
            Fail(lineNumber, "text after a string value");
        }
        SetRegistryValue(key, name, REG_SZ, RegistryStringData(text));
    } else if (data.starts_with("dword:")) {
        const std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            Fail(lineNumber, "a malformed dword");
        }
        const auto number = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
        SetRegistryValue(key, name, REG_DWORD,
                         {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                          static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)});
    } else if (data.starts_with("hex:")) {
        SetRegistryValue(key, name, REG_BINARY, ReadHexBytes(data.substr(4), lineNumber));
    } else if (data.starts_with("hex(")) {
        const auto close = data.find("):");
        const std::string typeDigits = close == std::string::npos ? "" : data.substr(4, close - 4);
        if (typeDigits.empty() || typeDigits.size() > 8 ||
            typeDigits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            Fail(lineNumber, "a malformed hex(type)");
        }
        const auto type = static_cast<DWORD>(std::strtoul(typeDigits.c_str(), nullptr, 16));
        std::vector<uint8_t> bytes = ReadHexBytes(data.substr(close + 2), lineNumber);
        SetRegistryValue(key, name, type, IsTextType(type) ? AnsiFromUtf16Bytes(bytes) : bytes);
    } else {
        Fail(lineNumber, "a value of unknown form");
    }
}

RegistryKey& KeyOfSection(const std::string& path, int lineNumber, RegistryTree& tree) {
    const std::vector<std::string> components = SplitKeyPath(AnsiFromUtf8(path));
    if (components.empty()) {
        Fail(lineNumber, "an empty key name");
    }
    for (int index = 0; index < RegistryRootCount; ++index) {
        if (EqualIgnoringAnsiCase(components[0],
                                  RegistryRootName(static_cast<RegistryRoot>(index)))) {
            return CreateRegistryKey(
                tree.Roots[index],
                std::vector<std::string>(components.begin() + 1, components.end()));
        }
    }
    Fail(lineNumber, "a key outside the root keys: " + components[0]);
}

} // namespace

std::string RegistryText(const RegistryTree& tree) {
    std::string out = std::string(Header) + "\r\n\r\n";
    for (int index = 0; index < RegistryRootCount; ++index) {
        AppendKey(out, tree.Roots[index], tree.Roots[index].Name, true);
    }
    return out;
}

void ParseRegistryText(const std::string& text, RegistryTree& tree) {
    std::size_t position = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    int lineNumber = 0;
    bool seenHeader = false;
    RegistryKey* key = nullptr;
    while (position < text.size()) {
        // One logical line: physical lines joined where one ends with a backslash.
        std::string line;
        const int firstLine = lineNumber + 1;
        while (position < text.size()) {
            auto end = text.find('\n', position);
            if (end == std::string::npos) {
                end = text.size();
            }
            std::string physical = text.substr(position, end - position);
            position = end + 1;
            ++lineNumber;
            while (!physical.empty() && (physical.back() == '\r' || physical.back() == ' ')) {
                physical.pop_back();
            }
            const auto start = line.empty() ? 0 : physical.find_first_not_of(" \t");
            line += start == std::string::npos ? std::string() : physical.substr(start);
            if (line.empty() || line.back() != '\\' || line.front() == '[') {
                break;
            }
            line.pop_back();
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!seenHeader) {
            if (line != Header) {
                Fail(firstLine, "not a registry file (no \"" + std::string(Header) + "\" line)");
            }
            seenHeader = true;
        } else if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
                Fail(firstLine, "a malformed key line");
            }
            key = &KeyOfSection(line.substr(1, line.size() - 2), firstLine, tree);
        } else if (line.front() == '"' || line.front() == '@') {
            if (key == nullptr) {
                Fail(firstLine, "a value before the first key");
            }
            ParseValueLine(line, firstLine, *key);
        } else {
            Fail(firstLine, "a line that is neither a key nor a value");
        }
    }
    if (!seenHeader) {
        Fail(1, "an empty registry file");
    }
}

bool SaveRegistryFile(const std::filesystem::path& file, const std::string& text) {
    const std::filesystem::path temporary = file.string() + ".tmp";
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return false;
    }
    const int64_t crashPoint = TakeRegistryCrashPoint();
    const std::size_t length = crashPoint >= 0 && static_cast<uint64_t>(crashPoint) < text.size()
                                   ? static_cast<std::size_t>(crashPoint)
                                   : text.size();
    std::size_t written = 0;
    while (written < length) {
        const ssize_t count = write(descriptor, text.data() + written, length - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int writeError = errno;
            close(descriptor);
            unlink(temporary.c_str());
            errno = writeError;
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    if (crashPoint >= 0) {
        std::_Exit(RegistryCrashExitCode);
    }
    if (fsync(descriptor) != 0) {
        const int syncError = errno;
        close(descriptor);
        unlink(temporary.c_str());
        errno = syncError;
        return false;
    }
    close(descriptor);
    if (crashPoint == -1) {
        std::_Exit(RegistryCrashExitCode);
    }
    if (rename(temporary.c_str(), file.c_str()) != 0) {
        const int renameError = errno;
        unlink(temporary.c_str());
        errno = renameError;
        return false;
    }
    // The rename itself reaches the disk with the folder's entry.
    const int folder = open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}
