// The setup program's entry. The installer itself reads no arguments and no
// configuration; the simulated machine it runs on starts from its own
// environment here.
#include "app/installer_settings.h"
#include "app/run_installer.h"
#include "platform/machine/input_source.h"
#include "platform/machine/machine.h"
#include "platform/machine/scripted_user.h"
#include "platform/runtime/fatal_error.h"

#include <exception>
#include <iostream>

namespace {

// The machine could not go on: its scripted user failed or the input it
// waited for can never come. Not a fault of the installation.
constexpr int MachineStoppedExitCode = 3;

} // namespace

int main() {
    std::string fatalText;
    int exitCode = 0;
    try {
        EnsureMachineStarted();
        exitCode = RunInstallerForExitCode(fatalText);
    } catch (const MachineInputExhausted& error) {
        std::cerr << "rembrix-setup: the machine's input has ended: " << error.what() << "\n";
        return MachineStoppedExitCode;
    } catch (const ScriptedUserFailure& error) {
        std::cerr << "rembrix-setup: the scripted user failed: " << error.what() << "\n";
        return MachineStoppedExitCode;
    } catch (const std::exception& error) {
        exitCode = 1;
        fatalText = error.what();
    }
    if (exitCode != 0) {
        ReportFatalError(Settings.ProductName, fatalText);
    }
    return exitCode;
}
