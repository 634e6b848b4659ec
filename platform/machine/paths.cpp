#include "platform/machine/paths.h"

#include "platform/api/kernel32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"

#include <system_error>

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperLetter(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The drive and components of the current directory, which is kept as a
// full path.
WindowsPath CurrentDirectoryComponents() {
    WindowsPath current;
    const std::string& text = CurrentDirectoryPath();
    current.Drive = UpperLetter(text[0]);
    std::string component;
    for (std::size_t index = 3; index <= text.size(); ++index) {
        if (index == text.size() || text[index] == '\\') {
            if (!component.empty()) {
                current.Components.push_back(component);
            }
            component.clear();
        } else {
            component.push_back(text[index]);
        }
    }
    return current;
}

bool IsRefusedCharacter(unsigned char c, bool wildcardsAllowed) {
    if (c < 0x20) {
        return true;
    }
    switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
        return true;
    case '?':
    case '*':
        return !wildcardsAllowed;
    default:
        return false;
    }
}

bool IsAllDots(const std::string& segment) {
    return segment.find_first_not_of('.') == std::string::npos;
}

} // namespace

std::string WindowsPath::Text() const {
    std::string text{Drive, ':', '\\'};
    for (std::size_t index = 0; index < Components.size(); ++index) {
        if (index > 0) {
            text.push_back('\\');
        }
        text += Components[index];
    }
    return text;
}

bool NormaliseWindowsPath(const std::string& path, bool allowWildcards, WindowsPath& full,
                          DWORD& error) {
    std::string text = path;
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (text.empty() || text.starts_with("\\\\")) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }

    const WindowsPath current = CurrentDirectoryComponents();
    WindowsPath result;
    std::string rest;
    if (text.size() >= 2 && text[1] == ':') {
        if (!IsLetter(text[0])) {
            error = ERROR_INVALID_NAME;
            return false;
        }
        result.Drive = UpperLetter(text[0]);
        rest = text.substr(2);
        // "X:name" is relative to the current directory when that lies on X:.
        if (!rest.starts_with('\\') && result.Drive == current.Drive) {
            result.Components = current.Components;
        }
    } else if (text.starts_with('\\')) {
        result.Drive = current.Drive;
        rest = text;
    } else {
        result = current;
        rest = text;
    }
    result.EndsWithSeparator = !rest.empty() && rest.back() == '\\';

    std::vector<std::string> segments;
    std::string segment;
    for (std::size_t index = 0; index <= rest.size(); ++index) {
        if (index == rest.size() || rest[index] == '\\') {
            if (!segment.empty()) {
                segments.push_back(segment);
            }
            segment.clear();
        } else {
            segment.push_back(rest[index]);
        }
    }

    for (std::size_t index = 0; index < segments.size(); ++index) {
        std::string name = segments[index];
        const bool last = index + 1 == segments.size();
        if (name == ".") {
            continue;
        }
        if (name == "..") {
            if (!result.Components.empty()) {
                result.Components.pop_back();
            }
            continue;
        }
        // Windows drops one final period of a segment, and every trailing
        // period and space of the last one when no separator follows it.
        if (!IsAllDots(name) && name.back() == '.' && !name.ends_with("..")) {
            name.pop_back();
        }
        if (last && !result.EndsWithSeparator) {
            while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
                name.pop_back();
            }
            if (name.empty()) {
                continue;
            }
        }
        for (const char c : name) {
            if (IsRefusedCharacter(static_cast<unsigned char>(c), allowWildcards && last)) {
                error = ERROR_INVALID_NAME;
                return false;
            }
        }
        result.Components.push_back(name);
    }

    if (result.Text().size() >= MAX_PATH) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    full = result;
    return true;
}

bool HostRootOfDrive(char letter, std::filesystem::path& root) {
    switch (UpperLetter(letter)) {
    case 'C':
        root = CurrentMachineConfig().Folder / "drive_c";
        return true;
    case 'Z':
        root = "/";
        return true;
    default:
        return false;
    }
}

std::filesystem::path LookUpComponent(const std::filesystem::path& folder,
                                      const std::string& ansiName) {
    std::filesystem::path exact = folder / Utf8FromAnsi(ansiName);
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, ignored))) {
        return exact;
    }
    if (!std::filesystem::is_directory(folder, ignored)) {
        return exact;
    }
    std::string best;
    std::error_code iterationError;
    for (std::filesystem::directory_iterator entries(folder, iterationError), end;
         !iterationError && entries != end; entries.increment(iterationError)) {
        const std::string entryName = entries->path().filename().string();
        if (IsAnsiRepresentable(entryName) &&
            EqualIgnoringAnsiCase(AnsiFromUtf8(entryName), ansiName) &&
            (best.empty() || entryName < best)) {
            best = entryName;
        }
    }
    return best.empty() ? exact : folder / best;
}

bool HostPathOf(const WindowsPath& path, std::filesystem::path& hostPath, DWORD& error) {
    std::filesystem::path host;
    if (!HostRootOfDrive(path.Drive, host)) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    for (const std::string& component : path.Components) {
        host = LookUpComponent(host, component);
    }
    hostPath = host;
    return true;
}

bool ResolveWindowsPath(const std::string& path, std::filesystem::path& hostPath, DWORD& error) {
    WindowsPath full;
    return NormaliseWindowsPath(path, false, full, error) && HostPathOf(full, hostPath, error);
}

DWORD MissingEntryError(const std::filesystem::path& hostPath) {
    std::error_code ignored;
    return std::filesystem::is_directory(hostPath.parent_path(), ignored) ? ERROR_FILE_NOT_FOUND
                                                                          : ERROR_PATH_NOT_FOUND;
}

namespace {

// The part of `path` below `folder`, when `path` lies inside it.
bool RelativeInside(const std::filesystem::path& path, const std::filesystem::path& folder,
                    std::filesystem::path& relative) {
    auto pathPart = path.begin();
    for (const auto& folderPart : folder) {
        if (folderPart.empty()) {
            continue;
        }
        if (pathPart == path.end() || *pathPart != folderPart) {
            return false;
        }
        ++pathPart;
    }
    relative.clear();
    for (; pathPart != path.end(); ++pathPart) {
        if (!pathPart->empty()) {
            relative /= *pathPart;
        }
    }
    return true;
}

std::string JoinedAnsi(const std::filesystem::path& relative) {
    std::string text;
    for (const auto& part : relative) {
        if (part.empty() || part == "/") {
            continue;
        }
        if (!text.empty()) {
            text.push_back('\\');
        }
        text += AnsiFromUtf8(part.string());
    }
    return text;
}

} // namespace

std::string WindowsPathFromHostPath(const std::filesystem::path& hostPath) {
    const std::filesystem::path path = std::filesystem::absolute(hostPath).lexically_normal();
    const std::filesystem::path driveC =
        (CurrentMachineConfig().Folder / "drive_c").lexically_normal();
    std::filesystem::path relative;
    if (RelativeInside(path, driveC, relative)) {
        return "C:\\" + JoinedAnsi(relative);
    }
    std::error_code ignored;
    const auto canonicalPath = std::filesystem::weakly_canonical(path, ignored);
    const auto canonicalDriveC = std::filesystem::weakly_canonical(driveC, ignored);
    if (!canonicalPath.empty() && !canonicalDriveC.empty() &&
        RelativeInside(canonicalPath, canonicalDriveC, relative)) {
        return "C:\\" + JoinedAnsi(relative);
    }
    return "Z:\\" + JoinedAnsi(path.relative_path());
}
