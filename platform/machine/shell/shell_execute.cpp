// ShellExecuteA: starts a program that the host can run, detached from this
// process, and records every request it was given.
#include "platform/api/shell_com.h"
#include "platform/api/user32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/paths.h"
#include "platform/machine/shell/shell_state.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// ShellExecuteA's documented failure answers (all 32 or less).
constexpr intptr_t FileNotFound = 2;   // ERROR_FILE_NOT_FOUND
constexpr intptr_t PathNotFound = 3;   // ERROR_PATH_NOT_FOUND
constexpr intptr_t AccessDenied = 5;   // SE_ERR_ACCESSDENIED
constexpr intptr_t OutOfMemory = 8;    // SE_ERR_OOM
constexpr intptr_t BadFormat = 11;     // ERROR_BAD_FORMAT
constexpr intptr_t NoAssociation = 31; // SE_ERR_NOASSOC
// Any value above 32 means success; Windows gives an instance-like number.
constexpr intptr_t Started = 42;

std::optional<std::string> TextOrNothing(LPCSTR text) {
    return text == nullptr ? std::nullopt : std::optional<std::string>(text);
}

// Splits parameters the way a Windows program's start-up code does for the
// common cases: blanks separate arguments, double quotes group them, and a
// backslash before a quote keeps the quote.
std::vector<std::string> SplitParameters(const std::string& parameters) {
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool hasArgument = false;
    for (size_t at = 0; at < parameters.size(); ++at) {
        const char character = parameters[at];
        if (character == '\\' && at + 1 < parameters.size() && parameters[at + 1] == '"') {
            current.push_back('"');
            hasArgument = true;
            ++at;
        } else if (character == '"') {
            inQuotes = !inQuotes;
            hasArgument = true;
        } else if ((character == ' ' || character == '\t') && !inQuotes) {
            if (hasArgument) {
                arguments.push_back(Utf8FromAnsi(current));
                current.clear();
                hasArgument = false;
            }
        } else {
            current.push_back(character);
            hasArgument = true;
        }
    }
    if (hasArgument) {
        arguments.push_back(Utf8FromAnsi(current));
    }
    return arguments;
}

// Runs the program in a grandchild, so that it belongs to no one here and
// outlives the installer; a pipe closed on exec tells whether exec worked.
intptr_t StartDetached(const std::filesystem::path& program, const std::filesystem::path& directory,
                       const std::vector<std::string>& arguments) {
    std::vector<std::string> texts;
    texts.push_back(program.string());
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    const std::string programText = program.string();
    const std::string directoryText = directory.string();

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        return OutOfMemory;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return OutOfMemory;
    }
    if (child == 0) {
        // Only calls that are safe after fork from here on.
        close(report[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0) {
            _exit(grandchild < 0 ? 1 : 0);
        }
        int failure = 0;
        if (chdir(directoryText.c_str()) != 0) {
            failure = errno;
        } else {
            const int nothing = open("/dev/null", O_RDWR);
            if (nothing >= 0) {
                dup2(nothing, 0);
                dup2(nothing, 1);
                dup2(nothing, 2);
            }
            execv(programText.c_str(), argv.data());
            failure = errno;
        }
        ssize_t ignored = write(report[1], &failure, sizeof failure);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    waitpid(child, &status, 0);
    int failure = 0;
    const ssize_t got = read(report[0], &failure, sizeof failure);
    close(report[0]);
    if (got <= 0) {
        return Started;
    }
    return failure == EACCES ? AccessDenied : BadFormat;
}

// A relative file is looked for in the working directory when one is given.
std::string TargetPath(const std::string& file, const std::optional<std::string>& directory) {
    const bool absolute = (file.size() >= 2 && file[1] == ':') ||
                          (!file.empty() && (file[0] == '\\' || file[0] == '/'));
    if (absolute || !directory || directory->empty()) {
        return file;
    }
    const char last = directory->back();
    return *directory + (last == '\\' || last == '/' ? "" : "\\") + file;
}

// How the host runs a file: its own program file, or an interpreter named by
// the file's first line.
struct HostCommand {
    std::filesystem::path Program;
    std::vector<std::string> Arguments; // before the caller's parameters
};

bool IsProgramName(const std::filesystem::path& hostPath) {
    const std::string extension = FoldAnsiCase(AnsiFromUtf8(hostPath.extension().string()));
    return extension == ".EXE" || extension == ".COM" || extension == ".BAT";
}

// A file the host can run: one with its execute permission, or a program by
// its Windows name (files the installer writes carry no execute permission)
// that is a host executable or a script naming its interpreter. Anything
// else needs an associated program, which this machine has none of.
intptr_t HostCommandFor(const std::filesystem::path& hostPath, HostCommand& command) {
    command.Program = hostPath;
    if (access(hostPath.c_str(), X_OK) == 0) {
        return Started;
    }
    if (!IsProgramName(hostPath)) {
        return NoAssociation;
    }
    std::string head(256, '\0');
    const int file = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return AccessDenied;
    }
    const ssize_t got = read(file, head.data(), head.size());
    close(file);
    head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    if (head.rfind("\x7f"
                   "ELF",
                   0) == 0) {
        std::error_code ignored;
        std::filesystem::permissions(hostPath, std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add, ignored);
        return access(hostPath.c_str(), X_OK) == 0 ? Started : AccessDenied;
    }
    if (head.rfind("#!", 0) != 0 || head.find('\n') == std::string::npos) {
        return BadFormat;
    }
    std::string line = head.substr(2, head.find('\n') - 2);
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) {
        return BadFormat;
    }
    line = line.substr(start);
    const size_t gap = line.find_first_of(" \t");
    command.Program = line.substr(0, gap);
    command.Arguments.clear();
    if (gap != std::string::npos) {
        const size_t argument = line.find_first_not_of(" \t", gap);
        if (argument != std::string::npos) {
            command.Arguments.push_back(
                line.substr(argument, line.find_last_not_of(" \t\r") + 1 - argument));
        }
    }
    command.Arguments.push_back(hostPath.string());
    return Started;
}

intptr_t Execute(ShellExecuteRequest& request) {
    if (!request.File || request.File->empty()) {
        return FileNotFound;
    }
    if (request.Verb && !request.Verb->empty() && !EqualIgnoringAnsiCase(*request.Verb, "open")) {
        return NoAssociation;
    }
    DWORD error = 0;
    const std::string directory = request.Directory && !request.Directory->empty()
                                      ? *request.Directory
                                      : CurrentDirectoryPath();
    std::filesystem::path hostDirectory;
    if (!ResolveWindowsPath(directory, hostDirectory, error) ||
        !std::filesystem::is_directory(hostDirectory)) {
        return PathNotFound;
    }
    std::filesystem::path hostFile;
    if (!ResolveWindowsPath(TargetPath(*request.File, request.Directory), hostFile, error)) {
        return error == ERROR_PATH_NOT_FOUND ? PathNotFound : FileNotFound;
    }
    std::error_code status;
    if (!std::filesystem::exists(hostFile, status)) {
        return MissingEntryError(hostFile) == ERROR_PATH_NOT_FOUND ? PathNotFound : FileNotFound;
    }
    if (!std::filesystem::is_regular_file(hostFile)) {
        return NoAssociation;
    }
    HostCommand command;
    const intptr_t runnable = HostCommandFor(hostFile, command);
    if (runnable <= 32) {
        return runnable;
    }
    std::vector<std::string> arguments = command.Arguments;
    for (auto& parameter : SplitParameters(request.Parameters.value_or(""))) {
        arguments.push_back(parameter);
    }
    const intptr_t result = StartDetached(command.Program, hostDirectory, arguments);
    if (result > 32) {
        request.HostProgram = hostFile.string();
        request.HostDirectory = hostDirectory.string();
    }
    return result;
}

} // namespace

HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, INT showCommand) {
    ShellExecuteRequest request;
    request.Owner = owner;
    request.Verb = TextOrNothing(operation);
    request.File = TextOrNothing(file);
    request.Parameters = TextOrNothing(parameters);
    request.Directory = TextOrNothing(directory);
    request.ShowCommand = showCommand;
    request.Result = Execute(request);
    TheShellState().Requests.push_back(request);
    return reinterpret_cast<HINSTANCE>(request.Result);
}
