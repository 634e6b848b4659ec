#include "tests/support/setup_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

extern char** environ;

SetupRun RunSetupProcess(const std::filesystem::path& setupFile,
                         const std::filesystem::path& machineFolder, const std::string& script,
                         const std::filesystem::path& scratch,
                         const std::filesystem::path& workingFolder) {
    const std::filesystem::path scriptFile = scratch / "user.script";
    std::ofstream(scriptFile) << script;
    const std::filesystem::path errors = scratch / "stderr.txt";

    std::vector<std::string> variables = {"REMBRIX_MACHINE=" + machineFolder.string(),
                                          "REMBRIX_FRONT_END=headless",
                                          "REMBRIX_SCRIPT=" + scriptFile.string()};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string(*entry).rfind("REMBRIX_", 0) != 0) {
            variables.emplace_back(*entry);
        }
    }
    std::vector<char*> environment;
    for (std::string& variable : variables) {
        environment.push_back(variable.data());
    }
    environment.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    const std::string program = setupFile.string();
    char* arguments[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);

    SetupRun result;
    if (spawned != 0) {
        result.ErrorOutput = "cannot start " + program;
        return result;
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream text(errors, std::ios::binary);
    result.ErrorOutput.assign(std::istreambuf_iterator<char>(text), std::istreambuf_iterator<char>());
    return result;
}
