#include "platform/machine/shell/shell_state.h"

#include "platform/machine/machine.h"

ShellState& TheShellState() {
    static ShellState state;
    return state;
}

// Objects a program still holds keep their memory: a reset only forgets the
// records, so a stale interface pointer is never left dangling.
void ResetShell() {
    const unsigned next = TheShellState().Generation + 1;
    TheShellState() = ShellState{};
    TheShellState().Generation = next;
}

const std::vector<ShellExecuteRequest>& ShellExecuteHistory() {
    return TheShellState().Requests;
}

int ComInitializeDepth() {
    return TheShellState().InitializeDepth;
}

int LiveShellLinkObjects() {
    return TheShellState().LiveLinks;
}

void SetShellLinkFault(ShellLinkFault fault) {
    TheShellState().LinkFault = fault;
}
