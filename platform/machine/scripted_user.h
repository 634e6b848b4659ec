// The scripted user: a person at the simulated machine, acting from a list of
// steps. Tests queue steps through this API before they run the code under
// test; the headless binary reads the same steps from a script file named by
// the machine's environment. The steps run whenever the program waits for
// input (a modal loop with an empty queue) or polls for it (PeekMessageA),
// one after another, each when it can.
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

// A step of the scripted user that cannot be carried out: a window that never
// came, a control that is not there, a script that ended while the program
// still waits for input. The message names what was expected and the caption
// of the window that is active. The steps after a failing one are dropped.
class ScriptedUserFailure : public std::runtime_error {
  public:
    explicit ScriptedUserFailure(const std::string& message) : std::runtime_error(message) {}
};

// What happens when the steps have run out and the program waits for input.
enum class ScriptEndRule {
    Fail,           // report what the program was waiting in and end (default)
    AcceptDefaults, // press Enter in every dialog and message box, insert no disk
};

// Drops every queued step and installs the scripted user as the input source.
void BeginScript();
// Reads steps from a script file and queues them; raises ScriptedUserFailure
// (a std::runtime_error) with the line number for a line it cannot read, and
// when the file cannot be read at all. The file's syntax is described in
// scripted_user_script_file.cpp and the README.
void LoadScriptFile(const std::filesystem::path& script);

// Waits until a visible top-level window with exactly this caption is active
// (the topmost enabled one); fails once `timeoutMilliseconds` have passed and
// the program waits for input. A program that is busy (it only polls) is given
// a minute more, as it may still show the window.
void ScriptWaitForWindow(const std::string& caption, int timeoutMilliseconds = 10000);
// Types the text into the focus window, key by key.
void ScriptTypeText(const std::string& text);
// Presses and releases one key (VK_ code), with Shift held when asked.
void ScriptPressKey(int virtualKey, bool shift = false);
// Clicks the control of the active window whose text is `textOrId`, or whose
// id it is when it is a number; the close box when it is "close box".
void ScriptClick(const std::string& textOrId);
// Saves the screen as a PNG.
void ScriptSaveScreenshot(const std::filesystem::path& png);
// Copies a host file into place (a disk being inserted).
void ScriptCopyFile(const std::filesystem::path& from, const std::filesystem::path& to);
// Runs test code at this point of the script (in-process tests only).
void ScriptRun(std::function<void()> step);
void ScriptSetEndRule(ScriptEndRule rule);
// Waits for a message box with this caption and clicks its button.
void ScriptAnswerMessageBox(const std::string& caption, const std::string& button,
                            int timeoutMilliseconds = 10000);
// Checks that the control (by text or id, as ScriptClick) of the active
// window shows exactly `expected`; fails otherwise.
void ScriptExpectText(const std::string& textOrId, const std::string& expected);

// The text of a control (by text or id, as ScriptClick) of the active window,
// read now; for code run by ScriptRun. Raises ScriptedUserFailure when there
// is no such control.
std::string ReadControlText(const std::string& textOrId);

// True when every queued step has run.
bool ScriptFinished();
