// The scripted user's script file: the same steps as the C++ API, one per
// line, for the headless binary (named by the machine's environment).
//
//   # a comment; blank lines are ignored, and so is "#" and what follows it
//   wait "Caption" [timeout MS]   wait until that window is the active one
//                                 (default 10000 ms, then the script fails;
//                                 a program busy polling gets a minute more)
//   type "text"                   type the text into the focus window
//   key NAME                      press a key: enter, escape, tab, space,
//                                 backspace, delete, up, down, left, right,
//                                 home, end, pageup, pagedown, insert, a letter
//                                 or a digit; "shift+" before any (shift+tab)
//   click "text"                  click a control of the active window by its
//   click ID                      text ("&" ignored), by its numeric id, or the
//   click close-box               window's close box
//   answer "Caption" "Button" [timeout MS]
//                                 wait for a message box and click a button
//   expect "text"|ID "shown"      check that a control shows exactly "shown"
//   screenshot "file.png"         save the screen; a relative name goes into
//                                 the machine's screenshot folder
//   copy "from" "to"              copy a host file (a disk being inserted);
//                                 relative paths start at the script's folder
//   end fail|accept-defaults      what happens when the steps have run out and
//                                 the program waits for input (default fail)
//
// Strings are in double quotes, with \\ for a backslash and \" for a quote.
// The file is UTF-8; texts are compared and typed in Windows-1252.
#include "platform/machine/scripted_user.h"

#include "platform/api/user32.h"
#include "platform/machine/frontend/desktop_queries.h"
#include "platform/machine/frontend/keyboard_layout.h"
#include "platform/machine/frontend/script_steps.h"
#include "platform/machine/kernel_code_page.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

struct Token {
    std::string Text;
    bool Quoted = false;
};

class LineError : public std::runtime_error {
  public:
    explicit LineError(const std::string& message) : std::runtime_error(message) {}
};

std::vector<Token> SplitLine(const std::string& line) {
    std::vector<Token> tokens;
    size_t index = 0;
    while (index < line.size()) {
        const char character = line[index];
        if (std::isspace(static_cast<unsigned char>(character))) {
            ++index;
        } else if (character == '#') {
            break;
        } else if (character == '"') {
            Token token{"", true};
            ++index;
            bool closed = false;
            while (index < line.size()) {
                const char inside = line[index++];
                if (inside == '"') {
                    closed = true;
                    break;
                }
                if (inside == '\\') {
                    if (index == line.size() || (line[index] != '\\' && line[index] != '"')) {
                        throw LineError("a backslash in a string must be followed by \\ or \"");
                    }
                    token.Text += line[index++];
                } else {
                    token.Text += inside;
                }
            }
            if (!closed) {
                throw LineError("a string is not closed");
            }
            if (index < line.size() && !std::isspace(static_cast<unsigned char>(line[index])) &&
                line[index] != '#') {
                throw LineError("a string must be followed by a space");
            }
            tokens.push_back(std::move(token));
        } else {
            Token token;
            while (index < line.size() && !std::isspace(static_cast<unsigned char>(line[index])) &&
                   line[index] != '#') {
                if (line[index] == '"') {
                    throw LineError("a quote inside a word");
                }
                token.Text += line[index++];
            }
            tokens.push_back(std::move(token));
        }
    }
    return tokens;
}

std::string Windows1252FromUtf8(const std::string& text) {
    std::string converted;
    for (const char32_t codePoint : CodePointsFromUtf8(text)) {
        unsigned char byte = 0;
        if (codePoint == 0xFFFD) {
            throw LineError("the string is not valid UTF-8");
        }
        if (!AnsiFromCodePoint(codePoint, byte)) {
            throw LineError("a character of the string has no place in Windows-1252");
        }
        converted += static_cast<char>(byte);
    }
    return converted;
}

struct NamedKey {
    const char* Name;
    int VirtualKey;
};

constexpr NamedKey NamedKeys[] = {
    {"enter", VK_RETURN},  {"return", VK_RETURN}, {"escape", VK_ESCAPE},  {"esc", VK_ESCAPE},
    {"tab", VK_TAB},       {"space", VK_SPACE},   {"backspace", VK_BACK}, {"delete", VK_DELETE},
    {"up", VK_UP},         {"down", VK_DOWN},     {"left", VK_LEFT},      {"right", VK_RIGHT},
    {"home", VK_HOME},     {"end", VK_END},       {"pageup", VK_PRIOR},   {"pagedown", VK_NEXT},
    {"insert", VK_INSERT},
};

KeyStroke ParseKey(const std::string& word) {
    KeyStroke key;
    std::string name;
    for (const char character : word) {
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    }
    if (name.rfind("shift+", 0) == 0) {
        key.Shift = true;
        name.erase(0, 6);
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        key.VirtualKey = std::toupper(static_cast<unsigned char>(name[0]));
        return key;
    }
    for (const NamedKey& named : NamedKeys) {
        if (name == named.Name) {
            key.VirtualKey = named.VirtualKey;
            return key;
        }
    }
    throw LineError("unknown key '" + word + "'");
}

int ParseNumber(const Token& token, const char* what) {
    if (token.Quoted || token.Text.empty() || token.Text.size() > 9 ||
        token.Text.find_first_not_of("0123456789") != std::string::npos) {
        throw LineError(std::string(what) + " must be a number, not '" + token.Text + "'");
    }
    return std::stoi(token.Text);
}

const Token& QuotedAt(const std::vector<Token>& tokens, size_t index, const char* what) {
    if (index >= tokens.size() || !tokens[index].Quoted) {
        throw LineError(std::string("expected ") + what + " in double quotes");
    }
    return tokens[index];
}

void ExpectCount(const std::vector<Token>& tokens, size_t minimum, size_t maximum) {
    if (tokens.size() < minimum) {
        throw LineError("'" + tokens[0].Text + "' needs more");
    }
    if (tokens.size() > maximum) {
        throw LineError("too much after '" + tokens[0].Text + "': '" + tokens[maximum].Text + "'");
    }
}

// The optional "timeout MS" at `index`.
int ParseTimeout(const std::vector<Token>& tokens, size_t index) {
    if (tokens.size() <= index) {
        return 10000;
    }
    if (tokens[index].Quoted || tokens[index].Text != "timeout" || tokens.size() != index + 2) {
        throw LineError("expected 'timeout MS' after the caption");
    }
    return ParseNumber(tokens[index + 1], "the timeout");
}

// A control named by a quoted text or a bare numeric id.
void ParseControl(const Token& token, ScriptStep& step) {
    if (token.Quoted) {
        step.Text = TextWithoutMnemonics(Windows1252FromUtf8(token.Text));
    } else {
        step.ControlId = ParseNumber(token, "a control id");
    }
}

std::filesystem::path HostPath(const Token& token, const std::filesystem::path& folder) {
    const std::filesystem::path path(token.Text);
    return path.is_absolute() || folder.empty() ? path : folder / path;
}

void ParseLine(const std::vector<Token>& tokens, const std::filesystem::path& scriptFolder,
               int lineNumber, ParsedScript& script) {
    if (tokens[0].Quoted) {
        throw LineError("a line starts with a step's name, not a string");
    }
    const std::string& verb = tokens[0].Text;
    ScriptStep step;
    step.SourceLine = lineNumber;
    if (verb == "wait") {
        step.StepKind = ScriptStep::Kind::WaitForWindow;
        step.Text = Windows1252FromUtf8(QuotedAt(tokens, 1, "the caption").Text);
        step.TimeoutMilliseconds = ParseTimeout(tokens, 2);
    } else if (verb == "type") {
        ExpectCount(tokens, 2, 2);
        step.StepKind = ScriptStep::Kind::TypeText;
        step.Text = Windows1252FromUtf8(QuotedAt(tokens, 1, "the text").Text);
    } else if (verb == "key") {
        ExpectCount(tokens, 2, 2);
        if (tokens[1].Quoted) {
            throw LineError("a key's name is not quoted");
        }
        const KeyStroke key = ParseKey(tokens[1].Text);
        step.StepKind = ScriptStep::Kind::PressKey;
        step.VirtualKey = key.VirtualKey;
        step.Shift = key.Shift;
    } else if (verb == "click") {
        ExpectCount(tokens, 2, 2);
        step.StepKind = ScriptStep::Kind::Click;
        if (!tokens[1].Quoted && tokens[1].Text == "close-box") {
            step.CloseBox = true;
        } else {
            ParseControl(tokens[1], step);
        }
    } else if (verb == "answer") {
        step.StepKind = ScriptStep::Kind::WaitForWindow;
        step.Text = Windows1252FromUtf8(QuotedAt(tokens, 1, "the caption").Text);
        ScriptStep click;
        click.SourceLine = lineNumber;
        click.StepKind = ScriptStep::Kind::Click;
        ParseControl(QuotedAt(tokens, 2, "the button's text"), click);
        step.TimeoutMilliseconds = ParseTimeout(tokens, 3);
        script.Steps.push_back(std::move(step));
        script.Steps.push_back(std::move(click));
        return;
    } else if (verb == "expect") {
        ExpectCount(tokens, 3, 3);
        step.StepKind = ScriptStep::Kind::ExpectText;
        ParseControl(tokens[1], step);
        step.Expected = Windows1252FromUtf8(QuotedAt(tokens, 2, "the text shown").Text);
    } else if (verb == "screenshot") {
        ExpectCount(tokens, 2, 2);
        step.StepKind = ScriptStep::Kind::SaveScreenshot;
        step.To = QuotedAt(tokens, 1, "the file name").Text;
        if (step.To.empty()) {
            throw LineError("the screenshot needs a file name");
        }
    } else if (verb == "copy") {
        ExpectCount(tokens, 3, 3);
        step.StepKind = ScriptStep::Kind::CopyFile;
        step.From = HostPath(QuotedAt(tokens, 1, "the file to copy"), scriptFolder);
        step.To = HostPath(QuotedAt(tokens, 2, "the file's new place"), scriptFolder);
    } else if (verb == "end") {
        ExpectCount(tokens, 2, 2);
        if (tokens[1].Quoted) {
            throw LineError("the end rule is not quoted");
        }
        if (tokens[1].Text == "fail") {
            script.EndRule = ScriptEndRule::Fail;
        } else if (tokens[1].Text == "accept-defaults") {
            script.EndRule = ScriptEndRule::AcceptDefaults;
        } else {
            throw LineError("the end rule is fail or accept-defaults, not '" + tokens[1].Text +
                            "'");
        }
        return;
    } else {
        throw LineError("unknown step '" + verb + "'");
    }
    script.Steps.push_back(std::move(step));
}

} // namespace

ParsedScript ParseScriptText(const std::string& text, const std::filesystem::path& scriptFolder) {
    ParsedScript script;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        try {
            const std::vector<Token> tokens = SplitLine(line);
            if (!tokens.empty()) {
                ParseLine(tokens, scriptFolder, lineNumber, script);
            }
        } catch (const LineError& error) {
            throw ScriptedUserFailure("script line " + std::to_string(lineNumber) + ": " +
                                      error.what());
        }
    }
    return script;
}

void LoadScriptFile(const std::filesystem::path& script) {
    std::ifstream file(script, std::ios::binary);
    const std::string contents((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (!file.is_open() || file.bad()) {
        throw ScriptedUserFailure("cannot read the script file '" + script.string() + "'");
    }
    ParsedScript parsed;
    try {
        parsed = ParseScriptText(contents, script.parent_path());
    } catch (const ScriptedUserFailure& error) {
        throw ScriptedUserFailure(script.string() + ": " + error.what());
    }
    for (ScriptStep& step : parsed.Steps) {
        QueueScriptStep(std::move(step));
    }
    if (parsed.EndRule) {
        ScriptSetEndRule(*parsed.EndRule);
    }
}
