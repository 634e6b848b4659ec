#include "platform/runtime/file_names.h"

namespace {

// Position just after the last "\" or ":", or 0 when there is neither.
std::string::size_type NamePartStart(const std::string& path) {
    const auto separator = path.find_last_of("\\:");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Position of the extension's dot, or npos when the name part has none.
std::string::size_type ExtensionStart(const std::string& path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < NamePartStart(path)) {
        return std::string::npos;
    }
    return dot;
}

} // namespace

std::string ExtractFilePath(const std::string& path) {
    return path.substr(0, NamePartStart(path));
}

std::string ExtractFileExt(const std::string& path) {
    const auto dot = ExtensionStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const auto dot = ExtensionStart(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

std::string UpperCaseAscii(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}
