// FindFirstFileA, FindNextFileA and FindClose: a search over one folder,
// with the wildcards * and ? in the last component.
#include "platform/api/kernel32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_files.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"
#include "platform/machine/paths.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <vector>

namespace {

struct FileSearch {
    std::vector<WIN32_FIND_DATAA> Found;
    std::size_t Next = 0;
};

std::map<HANDLE, FileSearch> Searches;

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

// Matches `name` against `pattern`, both already case-folded: * any run of
// characters, ? exactly one.
bool GlobMatches(const std::string& pattern, const std::string& name) {
    std::size_t patternIndex = 0;
    std::size_t nameIndex = 0;
    std::size_t starPattern = std::string::npos;
    std::size_t starName = 0;
    while (nameIndex < name.size()) {
        if (patternIndex < pattern.size() &&
            (pattern[patternIndex] == '?' || pattern[patternIndex] == name[nameIndex])) {
            ++patternIndex;
            ++nameIndex;
        } else if (patternIndex < pattern.size() && pattern[patternIndex] == '*') {
            starPattern = patternIndex++;
            starName = nameIndex;
        } else if (starPattern != std::string::npos) {
            patternIndex = starPattern + 1;
            nameIndex = ++starName;
        } else {
            return false;
        }
    }
    while (patternIndex < pattern.size() && pattern[patternIndex] == '*') {
        ++patternIndex;
    }
    return patternIndex == pattern.size();
}

// Windows lets a final ".*" match a name without any extension, so "*.*"
// finds every name and "README.*" finds "README".
bool WildcardMatches(const std::string& pattern, const std::string& name) {
    const std::string foldedPattern = FoldAnsiCase(pattern);
    const std::string foldedName = FoldAnsiCase(name);
    if (GlobMatches(foldedPattern, foldedName)) {
        return true;
    }
    return foldedPattern.ends_with(".*") &&
           GlobMatches(foldedPattern.substr(0, foldedPattern.size() - 2), foldedName);
}

FILETIME FileTimeFrom(const timespec& time) {
    // 100-nanosecond intervals since 1601-01-01.
    constexpr uint64_t secondsFrom1601To1970 = 11644473600ull;
    const uint64_t ticks =
        (static_cast<uint64_t>(time.tv_sec) + secondsFrom1601To1970) * 10000000ull +
        static_cast<uint64_t>(time.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

WIN32_FIND_DATAA FindDataOf(const std::string& ansiName, const struct stat& status) {
    WIN32_FIND_DATAA data{};
    data.dwFileAttributes = FileAttributesFromHost(status);
    data.ftCreationTime = FileTimeFrom(status.st_mtim);
    data.ftLastAccessTime = FileTimeFrom(status.st_atim);
    data.ftLastWriteTime = FileTimeFrom(status.st_mtim);
    const auto size = S_ISDIR(status.st_mode) ? 0 : static_cast<uint64_t>(status.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
    std::strncpy(data.cFileName, ansiName.c_str(), MAX_PATH - 1);
    return data;
}

} // namespace

void CloseAllFileSearches() {
    Searches.clear();
}

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
    EnsureMachineStarted();
    WindowsPath full;
    DWORD error = 0;
    if (fileName == nullptr || findData == nullptr) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (!NormaliseWindowsPath(fileName, true, full, error)) {
        SetKernelError(error);
        return INVALID_HANDLE_VALUE;
    }
    if (full.IsRoot() || full.EndsWithSeparator) {
        SetKernelError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::string pattern = full.Components.back();
    WindowsPath folder = full;
    folder.Components.pop_back();
    std::filesystem::path hostFolder;
    struct stat status {};
    if (!HostPathOf(folder, hostFolder, error) || stat(hostFolder.c_str(), &status) != 0 ||
        !S_ISDIR(status.st_mode)) {
        SetKernelError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }

    FileSearch search;
    if (!HasWildcard(pattern)) {
        const std::filesystem::path entry = LookUpComponent(hostFolder, pattern);
        if (stat(entry.c_str(), &status) == 0) {
            search.Found.push_back(FindDataOf(AnsiFromUtf8(entry.filename().string()), status));
        }
    } else {
        if (!folder.IsRoot()) {
            for (const char* dots : {".", ".."}) {
                if (WildcardMatches(pattern, dots) &&
                    stat((hostFolder / dots).c_str(), &status) == 0) {
                    search.Found.push_back(FindDataOf(dots, status));
                }
            }
        }
        std::vector<WIN32_FIND_DATAA> entries;
        std::error_code iterationError;
        for (std::filesystem::directory_iterator it(hostFolder, iterationError), end;
             !iterationError && it != end; it.increment(iterationError)) {
            const std::string hostName = it->path().filename().string();
            // A host name without a Windows-1252 spelling cannot be opened
            // through the API, so it is not listed either.
            if (!IsAnsiRepresentable(hostName)) {
                continue;
            }
            const std::string ansiName = AnsiFromUtf8(hostName);
            if (WildcardMatches(pattern, ansiName) && stat(it->path().c_str(), &status) == 0) {
                entries.push_back(FindDataOf(ansiName, status));
            }
        }
        std::sort(entries.begin(), entries.end(),
                  [](const WIN32_FIND_DATAA& left, const WIN32_FIND_DATAA& right) {
                      return FoldAnsiCase(left.cFileName) < FoldAnsiCase(right.cFileName);
                  });
        search.Found.insert(search.Found.end(), entries.begin(), entries.end());
    }
    if (search.Found.empty()) {
        SetKernelError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *findData = search.Found[0];
    search.Next = 1;
    const HANDLE handle = NewKernelHandle();
    Searches.emplace(handle, std::move(search));
    return handle;
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData) {
    EnsureMachineStarted();
    const auto found = Searches.find(findFile);
    if (found == Searches.end() || findData == nullptr) {
        SetKernelError(found == Searches.end() ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FileSearch& search = found->second;
    if (search.Next >= search.Found.size()) {
        SetKernelError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *findData = search.Found[search.Next++];
    return TRUE;
}

BOOL FindClose(HANDLE findFile) {
    EnsureMachineStarted();
    if (Searches.erase(findFile) == 0) {
        SetKernelError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
