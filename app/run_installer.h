// The whole life of the setup program: start-up, the five stage dialogs in
// their order, and either the finish (uninstall entry, final question,
// launch) or, when the chain was abandoned, the clean-up and the termination
// message.
#pragma once

#include "platform/win32.h"

#include <optional>
#include <string>

// The program's entry point. Reads no arguments. Raised errors (a failed
// checked file operation, the registry class, the decoder) pass through: the
// caller ends the program with the error box and exit code 1, and neither the
// clean-up nor the finish runs.
void RunInstaller();

// One step of the chain: runs the dialog built from the template
// `templateName`, owned by BackdropWindow, and sets DialogResult to its end
// code. Empty when the template cannot be found or loaded.
std::optional<INT_PTR> RunStageDialog(const char* templateName, DLGPROC procedure);

// Writes DisplayName and UnInstallString for ProductName under
// HKEY_LOCAL_MACHINE's uninstall key. Registry errors pass through.
void WriteUninstallEntry();

// Deletes the combined archive and the main program's file from
// DestinationDir, each only when this run created it (an earlier
// installation's main program is never touched), then shows the termination
// message over the backdrop.
void AbortCleanUp();

// Starts the installed main program in DestinationDir; does not wait.
void LaunchInstalledProgram();

// Runs RunInstaller and gives the process's exit code: 0 when it returned,
// 1 when a raised error ended it, with `fatalText` set to the error box's
// text. Shows nothing itself.
int RunInstallerForExitCode(std::string& fatalText);

// Puts the settings, the installation state and every stage's run state back
// to program start; for tests that run the installer more than once in one
// process.
void ResetRunState();
