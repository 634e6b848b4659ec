// The sample program: the small dialog of sample_dialog.h over a painted
// window, on the machine that the environment describes (REMBRIX_MACHINE,
// REMBRIX_SCREEN, REMBRIX_FRONT_END, REMBRIX_SCRIPT, REMBRIX_SCREENSHOTS).
// Prints the dialog's end code; exits 3 when the scripted user fails or the
// program would wait for input that cannot come.
#include "tests/frontend/sample_dialog.h"

#include "platform/machine/input_source.h"
#include "platform/machine/machine.h"
#include "platform/machine/scripted_user.h"

#include <cstdio>

int main() {
    try {
        EnsureMachineStarted();
        const HWND owner = PrepareSampleDesktop();
        const INT_PTR endCode = RunSampleDialog(owner);
        std::printf("The sample dialog ended with %d.\n", static_cast<int>(endCode));
        return 0;
    } catch (const ScriptedUserFailure& failure) {
        std::fprintf(stderr, "The scripted user failed: %s\n", failure.what());
    } catch (const MachineInputExhausted& exhausted) {
        std::fprintf(stderr, "%s\n", exhausted.what());
    }
    return 3;
}
