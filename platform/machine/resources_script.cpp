#include "platform/machine/resources_script.h"

#include "platform/api/user32.h"
#include "platform/machine/kernel_code_page.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace {

struct StyleName {
    const char* Name;
    uint32_t Value;
};

constexpr StyleName StyleNames[] = {
    {"WS_OVERLAPPED", WS_OVERLAPPED},
    {"WS_TABSTOP", WS_TABSTOP},
    {"WS_GROUP", WS_GROUP},
    {"WS_SYSMENU", WS_SYSMENU},
    {"WS_HSCROLL", WS_HSCROLL},
    {"WS_VSCROLL", WS_VSCROLL},
    {"WS_DLGFRAME", WS_DLGFRAME},
    {"WS_BORDER", WS_BORDER},
    {"WS_CAPTION", WS_CAPTION},
    {"WS_DISABLED", WS_DISABLED},
    {"WS_VISIBLE", WS_VISIBLE},
    {"WS_CHILD", WS_CHILD},
    {"WS_POPUP", WS_POPUP},
    {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME},
    {"WS_EX_TOPMOST", WS_EX_TOPMOST},
    {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},
    {"DS_SETFONT", DS_SETFONT},
    {"DS_MODALFRAME", DS_MODALFRAME},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON},
    {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
    {"BS_CHECKBOX", BS_CHECKBOX},
    {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
    {"ES_LEFT", ES_LEFT},
    {"ES_MULTILINE", ES_MULTILINE},
    {"ES_UPPERCASE", ES_UPPERCASE},
    {"ES_AUTOVSCROLL", ES_AUTOVSCROLL},
    {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
    {"ES_READONLY", ES_READONLY},
    {"SS_LEFT", SS_LEFT},
    {"SS_BLACKFRAME", SS_BLACKFRAME},
};

struct Token {
    enum class Kind { Word, Number, Text, Punctuation, End };
    Kind TokenKind = Kind::End;
    std::string Value; // the word, the string's Windows-1252 text, or the punctuation
    int64_t Number = 0;
    int Line = 0;
};

class ScriptReader {
  public:
    ScriptReader(const std::string& text, const std::string& scriptName)
        : Text(text), ScriptName(scriptName) {
        Advance();
    }

    // Reports a fault at the line of the last token read, the line a
    // statement was on when something it needs is missing.
    [[noreturn]] void Fail(const std::string& message) const { FailAt(LastLine, message); }

    [[noreturn]] void FailAt(int line, const std::string& message) const {
        throw std::runtime_error(ScriptName + " line " + std::to_string(line) + ": " + message);
    }

    const Token& Peek() const { return Current; }

    Token Take() {
        Token taken = Current;
        LastLine = Current.Line;
        Advance();
        return taken;
    }

    bool AtEnd() const { return Current.TokenKind == Token::Kind::End; }

    bool IsWord(const char* word) const {
        return Current.TokenKind == Token::Kind::Word && Current.Value == word;
    }

    bool IsPunctuation(char punctuation) const {
        return Current.TokenKind == Token::Kind::Punctuation && Current.Value[0] == punctuation;
    }

    void ExpectPunctuation(char punctuation) {
        if (!IsPunctuation(punctuation)) {
            Fail(std::string("expected '") + punctuation + "'");
        }
        Take();
    }

    bool SkipPunctuation(char punctuation) {
        if (IsPunctuation(punctuation)) {
            Take();
            return true;
        }
        return false;
    }

    int64_t TakeNumber() {
        if (Current.TokenKind != Token::Kind::Number) {
            Fail("expected a number");
        }
        return Take().Number;
    }

    std::string TakeText() {
        if (Current.TokenKind != Token::Kind::Text) {
            Fail("expected a quoted string");
        }
        return Take().Value;
    }

    // The rest of the current line's tokens, for statements that are ignored.
    void SkipLine() {
        const int line = Current.Line;
        while (!AtEnd() && Current.Line == line) {
            Take();
        }
    }

  private:
    void SkipSpaceAndComments() {
        while (Position < Text.size()) {
            const char c = Text[Position];
            if (c == '\n') {
                ++Line;
                ++Position;
                AtLineStart = true;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++Position;
            } else if (c == '#' && AtLineStart) {
                while (Position < Text.size() && Text[Position] != '\n') {
                    ++Position;
                }
            } else if (Text.compare(Position, 2, "//") == 0) {
                while (Position < Text.size() && Text[Position] != '\n') {
                    ++Position;
                }
            } else if (Text.compare(Position, 2, "/*") == 0) {
                const auto end = Text.find("*/", Position + 2);
                const auto stop = end == std::string::npos ? Text.size() : end + 2;
                for (; Position < stop; ++Position) {
                    if (Text[Position] == '\n') {
                        ++Line;
                    }
                }
            } else {
                return;
            }
        }
    }

    void Advance() {
        SkipSpaceAndComments();
        AtLineStart = false;
        Current = Token{};
        Current.Line = Line;
        if (Position >= Text.size()) {
            return;
        }
        const char c = Text[Position];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            const auto start = Position;
            while (Position < Text.size() &&
                   (std::isalnum(static_cast<unsigned char>(Text[Position])) ||
                    Text[Position] == '_')) {
                ++Position;
            }
            Current.TokenKind = Token::Kind::Word;
            Current.Value = Text.substr(start, Position - start);
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '-' && Position + 1 < Text.size() &&
                    std::isdigit(static_cast<unsigned char>(Text[Position + 1])))) {
            ReadNumber();
        } else if (c == '"') {
            ReadString();
        } else if (c == ',' || c == '|' || c == '{' || c == '}' || c == '(' || c == ')') {
            Current.TokenKind = Token::Kind::Punctuation;
            Current.Value = std::string(1, c);
            ++Position;
        } else {
            FailAt(Line, std::string("unexpected character '") + c + "'");
        }
    }

    void ReadNumber() {
        const bool negative = Text[Position] == '-';
        if (negative) {
            ++Position;
        }
        const auto start = Position;
        int base = 10;
        if (Text.compare(Position, 2, "0x") == 0 || Text.compare(Position, 2, "0X") == 0) {
            base = 16;
            Position += 2;
        }
        const auto digitsStart = Position;
        while (Position < Text.size() &&
               std::isxdigit(static_cast<unsigned char>(Text[Position])) &&
               (base == 16 || std::isdigit(static_cast<unsigned char>(Text[Position])))) {
            ++Position;
        }
        if (Position == digitsStart) {
            FailAt(Line, "a number without digits");
        }
        const std::string digits = Text.substr(digitsStart, Position - digitsStart);
        while (Position < Text.size() && (Text[Position] == 'L' || Text[Position] == 'l' ||
                                          Text[Position] == 'U' || Text[Position] == 'u')) {
            ++Position;
        }
        if (Position < Text.size() &&
            (std::isalnum(static_cast<unsigned char>(Text[Position])) || Text[Position] == '_')) {
            FailAt(Line, "a malformed number starting " + Text.substr(start, Position - start + 1));
        }
        const int64_t value = static_cast<int64_t>(std::strtoull(digits.c_str(), nullptr, base));
        Current.TokenKind = Token::Kind::Number;
        Current.Number = negative ? -value : value;
    }

    void ReadString() {
        ++Position;
        std::string utf8;
        while (true) {
            if (Position >= Text.size() || Text[Position] == '\n') {
                FailAt(Line, "a string that does not end on its line");
            }
            const char c = Text[Position++];
            if (c == '"') {
                if (Position < Text.size() && Text[Position] == '"') {
                    utf8.push_back('"');
                    ++Position;
                    continue;
                }
                break;
            }
            if (c == '\\' && Position < Text.size()) {
                const char escaped = Text[Position++];
                switch (escaped) {
                case 'n':
                    utf8.push_back('\n');
                    break;
                case 'r':
                    utf8.push_back('\r');
                    break;
                case 't':
                    utf8.push_back('\t');
                    break;
                case '\\':
                case '"':
                    utf8.push_back(escaped);
                    break;
                default:
                    FailAt(Line, std::string("an unknown escape \\") + escaped);
                }
                continue;
            }
            utf8.push_back(c);
        }
        Current.TokenKind = Token::Kind::Text;
        Current.Value = AnsiFromUtf8(utf8);
    }

    const std::string& Text;
    std::string ScriptName;
    std::size_t Position = 0;
    int Line = 1;
    bool AtLineStart = true;
    int LastLine = 1;
    Token Current;
};

int TakeCoordinate(ScriptReader& reader) {
    const int64_t value = reader.TakeNumber();
    if (value < -32768 || value > 32767) {
        reader.Fail("a position or size outside -32768..32767");
    }
    return static_cast<int>(value);
}

// style-expression: ["NOT"] term { "|" ["NOT"] term }, a term being a style
// name, a number, or a parenthesised expression. `style` holds the default
// the expression starts from.
void ApplyStyleExpression(ScriptReader& reader, uint32_t& style) {
    do {
        bool remove = false;
        if (reader.IsWord("NOT")) {
            reader.Take();
            remove = true;
        }
        uint32_t value = 0;
        if (reader.SkipPunctuation('(')) {
            ApplyStyleExpression(reader, value);
            reader.ExpectPunctuation(')');
        } else if (reader.Peek().TokenKind == Token::Kind::Number) {
            value = static_cast<uint32_t>(reader.TakeNumber());
        } else if (reader.Peek().TokenKind == Token::Kind::Word) {
            const std::string name = reader.Peek().Value;
            bool known = false;
            for (const StyleName& entry : StyleNames) {
                if (name == entry.Name) {
                    value = entry.Value;
                    known = true;
                }
            }
            if (!known) {
                reader.Fail("unknown style name " + name);
            }
            reader.Take();
        } else {
            reader.Fail("expected a style name or number");
        }
        style = remove ? (style & ~value) : (style | value);
    } while (reader.SkipPunctuation('|'));
}

uint32_t TakeStyle(ScriptReader& reader, uint32_t startingFrom) {
    uint32_t style = startingFrom;
    ApplyStyleExpression(reader, style);
    return style;
}

std::string ControlClassName(const std::string& written) {
    const std::string upper = FoldAnsiCase(written);
    for (const char* known : {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"}) {
        if (upper == known) {
            return upper;
        }
    }
    return written;
}

DialogControlTemplate ParseControl(ScriptReader& reader, bool extended) {
    DialogControlTemplate control;
    if (reader.Peek().TokenKind == Token::Kind::Number) {
        control.Text = std::to_string(reader.TakeNumber());
    } else {
        control.Text = reader.TakeText();
    }
    reader.ExpectPunctuation(',');
    const int64_t id = reader.TakeNumber();
    if (id < -1 || id > (extended ? INT32_MAX : 0xFFFF)) {
        reader.Fail("a control id outside the range of its template");
    }
    // A non-extended template keeps ids as WORDs, so -1 arrives as 65535.
    control.Id = id == -1 && !extended ? 0xFFFF : static_cast<int>(id);
    reader.ExpectPunctuation(',');
    if (reader.Peek().TokenKind == Token::Kind::Text) {
        control.ClassName = ControlClassName(reader.TakeText());
    } else if (reader.Peek().TokenKind == Token::Kind::Word) {
        control.ClassName = ControlClassName(reader.Take().Value);
    } else {
        reader.Fail("expected a control class");
    }
    reader.ExpectPunctuation(',');
    control.Style = TakeStyle(reader, WS_CHILD | WS_VISIBLE);
    reader.ExpectPunctuation(',');
    control.X = TakeCoordinate(reader);
    reader.ExpectPunctuation(',');
    control.Y = TakeCoordinate(reader);
    reader.ExpectPunctuation(',');
    control.Width = TakeCoordinate(reader);
    reader.ExpectPunctuation(',');
    control.Height = TakeCoordinate(reader);
    if (reader.SkipPunctuation(',')) {
        control.ExStyle = TakeStyle(reader, 0);
        if (extended && reader.SkipPunctuation(',')) {
            reader.TakeNumber(); // help id
        }
    }
    return control;
}

ScriptResource ParseDialog(ScriptReader& reader, const std::string& name, bool extended) {
    ScriptResource resource;
    resource.ResourceKind = ScriptResource::Kind::Dialog;
    resource.Name = name;
    resource.Extended = extended;
    DialogTemplate& dialog = resource.Dialog;
    dialog.Name = name;
    dialog.X = TakeCoordinate(reader);
    reader.ExpectPunctuation(',');
    dialog.Y = TakeCoordinate(reader);
    reader.ExpectPunctuation(',');
    dialog.Width = TakeCoordinate(reader);
    reader.ExpectPunctuation(',');
    dialog.Height = TakeCoordinate(reader);
    if (extended && reader.SkipPunctuation(',')) {
        reader.TakeNumber(); // help id
    }

    bool hasStyle = false;
    bool hasCaption = false;
    bool hasFont = false;
    uint32_t style = 0;
    while (!reader.IsWord("BEGIN") && !reader.IsPunctuation('{')) {
        if (reader.AtEnd()) {
            reader.Fail("the dialog " + name + " has no BEGIN");
        }
        const Token statement = reader.Take();
        if (statement.TokenKind != Token::Kind::Word) {
            reader.Fail("expected a dialog statement");
        }
        if (statement.Value == "STYLE") {
            style = TakeStyle(reader, 0);
            hasStyle = true;
        } else if (statement.Value == "EXSTYLE") {
            dialog.ExStyle = TakeStyle(reader, 0);
        } else if (statement.Value == "CAPTION") {
            dialog.Caption = reader.TakeText();
            hasCaption = true;
        } else if (statement.Value == "FONT") {
            const int64_t size = reader.TakeNumber();
            if (size < 1 || size > 0xFFFF) {
                reader.Fail("a font size outside 1..65535");
            }
            dialog.FontPointSize = static_cast<int>(size);
            reader.ExpectPunctuation(',');
            dialog.FontFace = reader.TakeText();
            while (extended && reader.SkipPunctuation(',')) {
                reader.TakeNumber(); // weight, italic, character set
            }
            hasFont = true;
        } else if (statement.Value == "LANGUAGE" || statement.Value == "CHARACTERISTICS" ||
                   statement.Value == "VERSION" || statement.Value == "CLASS" ||
                   statement.Value == "MENU") {
            reader.SkipLine();
        } else {
            reader.Fail("unknown dialog statement " + statement.Value);
        }
    }
    reader.Take();

    dialog.Style = hasStyle ? style : (WS_POPUP | WS_BORDER | WS_SYSMENU);
    if (hasCaption) {
        dialog.Style |= WS_CAPTION;
    }
    if (hasFont) {
        dialog.Style |= DS_SETFONT;
    }
    while (!reader.IsWord("END") && !reader.IsPunctuation('}')) {
        if (reader.AtEnd()) {
            reader.Fail("the dialog " + name + " has no END");
        }
        if (!reader.IsWord("CONTROL")) {
            reader.Fail("expected CONTROL or END in the dialog " + name);
        }
        reader.Take();
        dialog.Controls.push_back(ParseControl(reader, extended));
    }
    reader.Take();
    return resource;
}

} // namespace

std::vector<ScriptResource> ParseResourceScript(const std::string& text,
                                                const std::string& scriptName) {
    ScriptReader reader(text, scriptName);
    std::vector<ScriptResource> resources;
    while (!reader.AtEnd()) {
        if (reader.IsWord("LANGUAGE")) {
            reader.SkipLine();
            continue;
        }
        const Token name = reader.Take();
        if (name.TokenKind != Token::Kind::Word && name.TokenKind != Token::Kind::Number) {
            reader.Fail("expected a resource name");
        }
        const std::string resourceName =
            name.TokenKind == Token::Kind::Word ? name.Value : std::to_string(name.Number);
        const Token type = reader.Take();
        if (type.TokenKind != Token::Kind::Word) {
            reader.Fail("expected a resource type after " + resourceName);
        }
        if (type.Value == "DIALOG" || type.Value == "DIALOGEX") {
            resources.push_back(ParseDialog(reader, resourceName, type.Value == "DIALOGEX"));
        } else if (type.Value == "BITMAP" || type.Value == "ICON" || type.Value == "RCDATA") {
            ScriptResource resource;
            resource.ResourceKind = type.Value == "BITMAP" ? ScriptResource::Kind::Bitmap
                                    : type.Value == "ICON" ? ScriptResource::Kind::Icon
                                                           : ScriptResource::Kind::Data;
            resource.Name = resourceName;
            resource.FileName = Utf8FromAnsi(reader.TakeText());
            resources.push_back(resource);
        } else {
            reader.Fail("unknown resource type " + type.Value);
        }
    }
    return resources;
}
