// The one road of a fatal error: an error box (MB_ICONERROR, task-modal) whose
// text says what failed, the same text on standard error, and exit code 1.
#pragma once

#include <string>

// Shows the error box with the given caption and text, writes the text to
// standard error and ends the process with exit code 1. Never returns, even
// when the box cannot be shown or answered.
[[noreturn]] void ReportFatalError(const std::string& caption, const std::string& text);
