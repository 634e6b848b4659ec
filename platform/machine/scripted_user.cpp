// The scripted user's engine: a queue of steps run from the machine's input
// source, each when it can, and the rule for when they have run out.
#include "platform/machine/scripted_user.h"

#include "platform/machine/frontend/desktop_queries.h"
#include "platform/machine/frontend/front_end.h"
#include "platform/machine/frontend/keyboard_layout.h"
#include "platform/machine/frontend/script_steps.h"
#include "platform/machine/machine.h"

#include <chrono>
#include <deque>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Pressing Enter this often in windows of one caption, one after another,
// means accepting the defaults goes round in a circle (a prompt that asks
// again and again); the run fails rather than hang.
constexpr int DefaultPressesPerCaption = 20;

// A program that only polls for input is busy (copying, unpacking) and may
// still show the window waited for, as a person watching a progress bar
// knows; its wait fails this much later than one of a program that waits for
// input, which cannot change what it shows.
constexpr auto BusyAllowance = std::chrono::minutes(1);

// How long a waiting program sleeps between two looks at the desktop while a
// step cannot run yet.
constexpr auto IdleWait = std::chrono::milliseconds(2);

struct QueuedStep {
    ScriptStep Step;
    std::optional<Clock::time_point> FirstTried;
};

struct ScriptedUserState {
    bool Active = false;
    std::deque<QueuedStep> Steps;
    ScriptEndRule EndRule = ScriptEndRule::Fail;
    std::string LastDefaultCaption;
    int DefaultPresses = 0;
};

ScriptedUserState State;

enum class Outcome {
    Done,    // the step is over; the next may run at once
    Yielded, // the step delivered input that the program must see first
    NotYet,  // the step cannot run yet
};

// A failing step abandons the script: the steps after it were written for a
// program that did what this one did not.
[[noreturn]] void FailStep(const ScriptStep& step, const std::string& message) {
    const std::string where =
        step.SourceLine > 0 ? "script line " + std::to_string(step.SourceLine) + ": " : "";
    State.Steps.clear();
    throw ScriptedUserFailure(where + message);
}

std::string DescribeControl(const ScriptStep& step) {
    if (step.CloseBox) {
        return "the close box";
    }
    if (step.ControlId) {
        return "control " + std::to_string(*step.ControlId);
    }
    return "'" + step.Text + "'";
}

Outcome RunWait(QueuedStep& queued, bool mayBlock) {
    const ScriptStep& step = queued.Step;
    const HWND active = ActiveTopLevelWindow();
    if (active != nullptr && WindowCaption(active) == step.Text) {
        return Outcome::Done;
    }
    const Clock::time_point now = Clock::now();
    if (!queued.FirstTried) {
        queued.FirstTried = now;
    }
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - *queued.FirstTried);
    const auto allowed = std::chrono::milliseconds(step.TimeoutMilliseconds) +
                         (mayBlock ? std::chrono::milliseconds(0) : BusyAllowance);
    if (waited >= allowed) {
        FailStep(step, "waited " + std::to_string(step.TimeoutMilliseconds) +
                           " ms for the window '" + step.Text + "', but " + DescribeActiveWindow());
    }
    if (mayBlock) {
        std::this_thread::sleep_for(IdleWait);
    }
    return Outcome::NotYet;
}

// The control a click or a check names, in the active window; null when it
// is not there (yet).
HWND LocateControl(const ScriptStep& step) {
    return FindControl(ActiveTopLevelWindow(), step.Text, step.ControlId);
}

Outcome RunClick(const ScriptStep& step, bool mayBlock) {
    const HWND active = ActiveTopLevelWindow();
    if (step.CloseBox) {
        POINT centre{};
        if (active == nullptr || !FindCloseBoxCentre(active, centre)) {
            if (!mayBlock) {
                return Outcome::NotYet;
            }
            FailStep(step, "cannot click the close box: " +
                               (active == nullptr ? std::string("no window is active")
                                                  : "the active window '" + WindowCaption(active) +
                                                        "' has none"));
        }
        DeliverClick(centre);
        return Outcome::Yielded;
    }
    const HWND control = FindControl(active, step.Text, step.ControlId);
    if (control == nullptr) {
        // A program that waits for input will not change what it shows.
        if (!mayBlock) {
            return Outcome::NotYet;
        }
        FailStep(step, "cannot click " + DescribeControl(step) +
                           ": it is not in the active window (" + DescribeActiveWindow() + ")");
    }
    RECT bounds{};
    GetWindowRect(control, &bounds);
    DeliverClick(POINT{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
    return Outcome::Yielded;
}

Outcome RunExpect(const ScriptStep& step, bool mayBlock) {
    const HWND control = LocateControl(step);
    const std::string shown = control != nullptr ? WindowCaption(control) : std::string();
    if (control != nullptr && shown == step.Expected) {
        return Outcome::Done;
    }
    // Messages may still be on their way while the program is busy; only a
    // program that waits for input shows its final state.
    if (!mayBlock) {
        return Outcome::NotYet;
    }
    if (control == nullptr) {
        FailStep(step, "expected " + DescribeControl(step) + " to show '" + step.Expected +
                           "', but it is not in the active window (" + DescribeActiveWindow() +
                           ")");
    }
    FailStep(step, "expected " + DescribeControl(step) + " to show '" + step.Expected +
                       "', but it shows '" + shown + "' (" + DescribeActiveWindow() + ")");
}

// Types characters of the front step until one that may move the focus or
// end a dialog; the rest stays queued so that it reaches the window that has
// the focus once the program has handled the keys before it.
Outcome RunTyping(QueuedStep& queued) {
    std::string& text = queued.Step.Text;
    size_t typed = 0;
    while (typed < text.size()) {
        const char character = text[typed++];
        const KeyStroke key = KeyForCharacter(character);
        DeliverKeyPress(key.VirtualKey, key.Shift, character == '\n' ? '\r' : character);
        if (key.VirtualKey == VK_TAB || key.VirtualKey == VK_RETURN ||
            key.VirtualKey == VK_ESCAPE) {
            break;
        }
    }
    text.erase(0, typed);
    return text.empty() ? Outcome::Done : Outcome::Yielded;
}

std::filesystem::path ScreenshotPath(const std::filesystem::path& png) {
    if (png.is_absolute()) {
        return png;
    }
    const std::filesystem::path& folder = CurrentMachineConfig().ScreenshotFolder;
    return folder.empty() ? png : folder / png;
}

void RunScreenshot(const ScriptStep& step) {
    const std::filesystem::path target = ScreenshotPath(step.To);
    try {
        if (target.has_parent_path()) {
            std::filesystem::create_directories(target.parent_path());
        }
        SaveScreenshot(target);
    } catch (const std::exception& error) {
        FailStep(step, "cannot save the screenshot '" + target.string() + "': " + error.what());
    }
}

void RunCopy(const ScriptStep& step) {
    std::error_code error;
    if (step.To.has_parent_path()) {
        std::filesystem::create_directories(step.To.parent_path(), error);
    }
    error.clear();
    std::filesystem::copy_file(step.From, step.To,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        FailStep(step, "cannot copy '" + step.From.string() + "' to '" + step.To.string() +
                           "': " + error.message());
    }
}

// Runs the first queued step. A step that calls back into the program (Run)
// leaves the queue first, so that a modal loop it opens can go on with the
// steps after it.
Outcome RunFirstStep(bool mayBlock) {
    QueuedStep& queued = State.Steps.front();
    switch (queued.Step.StepKind) {
    case ScriptStep::Kind::WaitForWindow: {
        // A window that has just come may still have paint messages waiting:
        // the program sees its queue once before the next step looks at it.
        const Outcome outcome = RunWait(queued, mayBlock);
        if (outcome == Outcome::Done) {
            State.Steps.pop_front();
            return Outcome::Yielded;
        }
        return outcome;
    }
    case ScriptStep::Kind::TypeText: {
        const Outcome outcome = RunTyping(queued);
        if (outcome == Outcome::Done) {
            State.Steps.pop_front();
            return Outcome::Yielded;
        }
        return outcome;
    }
    case ScriptStep::Kind::Click:
    case ScriptStep::Kind::ExpectText: {
        const bool isClick = queued.Step.StepKind == ScriptStep::Kind::Click;
        const Outcome outcome =
            isClick ? RunClick(queued.Step, mayBlock) : RunExpect(queued.Step, mayBlock);
        if (outcome != Outcome::NotYet) {
            State.Steps.pop_front();
        }
        return outcome;
    }
    default:
        break;
    }
    const ScriptStep step = std::move(queued.Step);
    State.Steps.pop_front();
    switch (step.StepKind) {
    case ScriptStep::Kind::PressKey:
        DeliverKeyPress(step.VirtualKey, step.Shift, CharacterForKey(step.VirtualKey, step.Shift));
        return Outcome::Yielded;
    case ScriptStep::Kind::SaveScreenshot:
        RunScreenshot(step);
        return Outcome::Done;
    case ScriptStep::Kind::CopyFile:
        RunCopy(step);
        return Outcome::Done;
    case ScriptStep::Kind::Run:
        if (step.Code) {
            step.Code();
        }
        return Outcome::Done;
    default:
        return Outcome::Done;
    }
}

bool ApplyEndRule(bool mayBlock) {
    if (!mayBlock) {
        return true;
    }
    const HWND active = ActiveTopLevelWindow();
    const std::string where =
        active != nullptr ? "in '" + WindowCaption(active) + "'" : "with no window active";
    if (State.EndRule == ScriptEndRule::Fail || active == nullptr) {
        throw ScriptedUserFailure("the script ended while the program waits " + where);
    }
    const std::string caption = WindowCaption(active);
    State.DefaultPresses = caption == State.LastDefaultCaption ? State.DefaultPresses + 1 : 1;
    State.LastDefaultCaption = caption;
    if (State.DefaultPresses > DefaultPressesPerCaption) {
        throw ScriptedUserFailure("accepting the defaults does not end: the program still waits " +
                                  where + " after " + std::to_string(DefaultPressesPerCaption) +
                                  " presses of Enter");
    }
    DeliverKeyPress(VK_RETURN, false, '\r');
    return true;
}

void Activate() {
    if (!State.Active) {
        State.Active = true;
        InstallMachineInput();
    }
}

std::optional<int> ControlIdFromText(const std::string& textOrId) {
    if (textOrId.empty() || textOrId.size() > 9 ||
        textOrId.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(textOrId);
}

ScriptStep ControlStep(ScriptStep::Kind kind, const std::string& textOrId) {
    ScriptStep step;
    step.StepKind = kind;
    step.ControlId = ControlIdFromText(textOrId);
    if (!step.ControlId) {
        step.Text = TextWithoutMnemonics(textOrId);
    }
    return step;
}

} // namespace

bool ScriptedUserActive() {
    return State.Active;
}

void ResetScriptedUser() {
    State = ScriptedUserState{};
}

void QueueScriptStep(ScriptStep step) {
    Activate();
    State.Steps.push_back(QueuedStep{std::move(step), std::nullopt});
}

bool RunScriptedUser(bool mayBlock) {
    while (true) {
        if (State.Steps.empty()) {
            return ApplyEndRule(mayBlock);
        }
        State.DefaultPresses = 0;
        State.LastDefaultCaption.clear();
        const Outcome outcome = RunFirstStep(mayBlock);
        if (outcome != Outcome::Done) {
            return true;
        }
    }
}

void BeginScript() {
    State.Steps.clear();
    State.EndRule = ScriptEndRule::Fail;
    State.Active = true;
    InstallMachineInput();
}

void ScriptWaitForWindow(const std::string& caption, int timeoutMilliseconds) {
    ScriptStep step;
    step.StepKind = ScriptStep::Kind::WaitForWindow;
    step.Text = caption;
    step.TimeoutMilliseconds = timeoutMilliseconds;
    QueueScriptStep(std::move(step));
}

void ScriptTypeText(const std::string& text) {
    if (text.empty()) {
        return;
    }
    ScriptStep step;
    step.StepKind = ScriptStep::Kind::TypeText;
    step.Text = text;
    QueueScriptStep(std::move(step));
}

void ScriptPressKey(int virtualKey, bool shift) {
    ScriptStep step;
    step.StepKind = ScriptStep::Kind::PressKey;
    step.VirtualKey = virtualKey;
    step.Shift = shift;
    QueueScriptStep(std::move(step));
}

void ScriptClick(const std::string& textOrId) {
    if (textOrId == "close box") {
        ScriptStep step;
        step.StepKind = ScriptStep::Kind::Click;
        step.CloseBox = true;
        QueueScriptStep(std::move(step));
        return;
    }
    QueueScriptStep(ControlStep(ScriptStep::Kind::Click, textOrId));
}

void ScriptSaveScreenshot(const std::filesystem::path& png) {
    ScriptStep step;
    step.StepKind = ScriptStep::Kind::SaveScreenshot;
    step.To = png;
    QueueScriptStep(std::move(step));
}

void ScriptCopyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    ScriptStep step;
    step.StepKind = ScriptStep::Kind::CopyFile;
    step.From = from;
    step.To = to;
    QueueScriptStep(std::move(step));
}

void ScriptRun(std::function<void()> code) {
    ScriptStep step;
    step.StepKind = ScriptStep::Kind::Run;
    step.Code = std::move(code);
    QueueScriptStep(std::move(step));
}

void ScriptSetEndRule(ScriptEndRule rule) {
    Activate();
    State.EndRule = rule;
}

void ScriptAnswerMessageBox(const std::string& caption, const std::string& button,
                            int timeoutMilliseconds) {
    ScriptWaitForWindow(caption, timeoutMilliseconds);
    ScriptClick(button);
}

void ScriptExpectText(const std::string& textOrId, const std::string& expected) {
    ScriptStep step = ControlStep(ScriptStep::Kind::ExpectText, textOrId);
    step.Expected = expected;
    QueueScriptStep(std::move(step));
}

std::string ReadControlText(const std::string& textOrId) {
    const ScriptStep step = ControlStep(ScriptStep::Kind::ExpectText, textOrId);
    const HWND control = LocateControl(step);
    if (control == nullptr) {
        throw ScriptedUserFailure("cannot read " + DescribeControl(step) +
                                  ": it is not in the active window (" + DescribeActiveWindow() +
                                  ")");
    }
    return WindowCaption(control);
}

bool ScriptFinished() {
    return State.Steps.empty();
}
