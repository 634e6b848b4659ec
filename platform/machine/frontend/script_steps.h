// The steps of the scripted user as the C++ API and the script file queue
// them, and the engine that runs them from the machine's input source.
#pragma once

#include "platform/machine/scripted_user.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct ScriptStep {
    enum class Kind {
        WaitForWindow,  // Text: the caption
        TypeText,       // Text: the characters (Windows-1252)
        PressKey,       // VirtualKey, Shift
        Click,          // Text or ControlId, or CloseBox
        ExpectText,     // Text or ControlId, Expected
        SaveScreenshot, // To
        CopyFile,       // From, To
        Run,            // Code
    };
    Kind StepKind = Kind::WaitForWindow;
    std::string Text;
    std::optional<int> ControlId;
    bool CloseBox = false;
    std::string Expected;
    int VirtualKey = 0;
    bool Shift = false;
    int TimeoutMilliseconds = 10000;
    std::filesystem::path From;
    std::filesystem::path To;
    std::function<void()> Code;
    // The script file line the step came from, 0 for a step of the C++ API;
    // failures name it.
    int SourceLine = 0;
};

struct ParsedScript {
    std::vector<ScriptStep> Steps;
    std::optional<ScriptEndRule> EndRule;
};

// Reads a whole script (the file's text, UTF-8). Relative host paths of
// `copy` are taken from `scriptFolder`; relative screenshot names stay
// relative (the screenshot folder is applied when the step runs). Raises
// ScriptedUserFailure naming the line for a line it cannot read.
ParsedScript ParseScriptText(const std::string& text, const std::filesystem::path& scriptFolder);

// Queues one step and makes the scripted user the machine's user.
void QueueScriptStep(ScriptStep step);

// True while the scripted user acts for the machine's user (since BeginScript,
// a queued step or a loaded script file, until the machine restarts).
bool ScriptedUserActive();

// Runs the steps that can run now; the input source of a scripted machine.
// Returns true (more may come), raises ScriptedUserFailure for a failing step,
// and applies the end rule when the steps have run out and `mayBlock` says the
// program waits for input.
bool RunScriptedUser(bool mayBlock);

// Drops every step, sets the end rule back to Fail and retires the scripted
// user; called when the machine starts.
void ResetScriptedUser();
