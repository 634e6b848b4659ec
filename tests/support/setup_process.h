// The real setup program as a child process, as a person starts it: on a
// machine of its own, headless, with a scripted user reading a script file.
#pragma once

#include <filesystem>
#include <string>

struct SetupRun {
    int ExitCode = -1; // -1 when the program could not be started or did not exit
    std::string ErrorOutput;
};

// Writes `script` into `scratch`, then runs `setupFile` with REMBRIX_MACHINE set
// to `machineFolder`, the headless front end and that script (every other
// REMBRIX_ variable of this process left out), standard input empty and
// standard error kept in `scratch`. The child starts in `workingFolder` when
// it is not empty. Waits for the child to end.
SetupRun RunSetupProcess(const std::filesystem::path& setupFile,
                         const std::filesystem::path& machineFolder, const std::string& script,
                         const std::filesystem::path& scratch,
                         const std::filesystem::path& workingFolder = {});
