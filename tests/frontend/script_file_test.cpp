#include "platform/machine/frontend/script_steps.h"

#include "platform/api/user32.h"

#include <gtest/gtest.h>

using Kind = ScriptStep::Kind;

namespace {

ScriptStep ParseOne(const std::string& line) {
    const ParsedScript script = ParseScriptText(line, "/scripts");
    EXPECT_EQ(script.Steps.size(), 1u) << line;
    return script.Steps.empty() ? ScriptStep{} : script.Steps[0];
}

std::string ParseError(const std::string& text) {
    try {
        ParseScriptText(text, "/scripts");
    } catch (const ScriptedUserFailure& failure) {
        return failure.what();
    }
    return "(no error)";
}

} // namespace

TEST(ScriptFile, ReadsEveryKindOfStep) {
    const ParsedScript script =
        ParseScriptText("# the destination dialog\n"
                        "\n"
                        "wait \"Rembrix Setup\" timeout 2500   # first dialog\n"
                        "type \"C:\\\\Programs\\\\Rembrix: \\\"new\\\"\"\n"
                        "key shift+tab\n"
                        "key Enter\r\n"
                        "click \"&OK\"\n"
                        "click 104\n"
                        "click close-box\n"
                        "answer \"\" \"Yes\" timeout 50\n"
                        "expect 101 \"C:\\\\X\"\n"
                        "screenshot \"shots/first.png\"\n"
                        "copy \"disk2/Rembrix.002\" \"/tmp/source/Rembrix.002\"\n"
                        "end accept-defaults\n",
                        "/scripts");
    ASSERT_EQ(script.Steps.size(), 12u);
    const std::vector<ScriptStep>& steps = script.Steps;

    EXPECT_EQ(steps[0].StepKind, Kind::WaitForWindow);
    EXPECT_EQ(steps[0].Text, "Rembrix Setup");
    EXPECT_EQ(steps[0].TimeoutMilliseconds, 2500);
    EXPECT_EQ(steps[0].SourceLine, 3);

    EXPECT_EQ(steps[1].StepKind, Kind::TypeText);
    EXPECT_EQ(steps[1].Text, "C:\\Programs\\Rembrix: \"new\"");

    EXPECT_EQ(steps[2].StepKind, Kind::PressKey);
    EXPECT_EQ(steps[2].VirtualKey, VK_TAB);
    EXPECT_TRUE(steps[2].Shift);
    EXPECT_EQ(steps[3].VirtualKey, VK_RETURN);
    EXPECT_FALSE(steps[3].Shift);

    EXPECT_EQ(steps[4].StepKind, Kind::Click);
    EXPECT_EQ(steps[4].Text, "OK");
    EXPECT_FALSE(steps[4].ControlId);
    EXPECT_EQ(steps[5].ControlId, 104);
    EXPECT_TRUE(steps[6].CloseBox);

    // "answer" is a wait for the box followed by a click on its button.
    EXPECT_EQ(steps[7].StepKind, Kind::WaitForWindow);
    EXPECT_EQ(steps[7].Text, "");
    EXPECT_EQ(steps[7].TimeoutMilliseconds, 50);
    EXPECT_EQ(steps[8].StepKind, Kind::Click);
    EXPECT_EQ(steps[8].Text, "Yes");
    EXPECT_EQ(steps[8].SourceLine, 10);

    EXPECT_EQ(steps[9].StepKind, Kind::ExpectText);
    EXPECT_EQ(steps[9].ControlId, 101);
    EXPECT_EQ(steps[9].Expected, "C:\\X");

    // Screenshot names stay relative (the machine's folder applies later);
    // copy paths start at the script's folder unless absolute.
    EXPECT_EQ(steps[10].StepKind, Kind::SaveScreenshot);
    EXPECT_EQ(steps[10].To, std::filesystem::path("shots/first.png"));
    const ScriptStep& copy = steps[11];
    EXPECT_EQ(copy.StepKind, Kind::CopyFile);
    EXPECT_EQ(copy.From, std::filesystem::path("/scripts/disk2/Rembrix.002"));
    EXPECT_EQ(copy.To, std::filesystem::path("/tmp/source/Rembrix.002"));

    ASSERT_TRUE(script.EndRule);
    EXPECT_EQ(*script.EndRule, ScriptEndRule::AcceptDefaults);
}

TEST(ScriptFile, DefaultsAndTextConversion) {
    EXPECT_EQ(ParseOne("wait \"Exit Rembrix\"").TimeoutMilliseconds, 10000);
    EXPECT_FALSE(ParseScriptText("# nothing but a comment\n", "").EndRule);
    EXPECT_EQ(*ParseScriptText("end fail", "").EndRule, ScriptEndRule::Fail);
    // UTF-8 in the file becomes the Windows-1252 the machine's texts use.
    EXPECT_EQ(ParseOne("type \"Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC\"").Text, "Gr\xFC\xDF \x80");
    EXPECT_EQ(ParseOne("key q").VirtualKey, 'Q');
    EXPECT_EQ(ParseOne("key 7").VirtualKey, '7');
    EXPECT_EQ(ParseOne("click \"Save && Exit\"").Text, "Save & Exit");
    EXPECT_EQ(ParseOne("type \"# not a comment\"").Text, "# not a comment");
}

TEST(ScriptFile, RejectsBadLinesNamingTheLine) {
    struct Case {
        const char* text;
        const char* expected; // a part of the message
    };
    const Case cases[] = {
        {"frobnicate \"x\"", "script line 1: unknown step 'frobnicate'"},
        {"\nwait Rembrix", "script line 2: expected the caption in double quotes"},
        {"wait \"Rembrix", "script line 1: a string is not closed"},
        {"type \"C:\\Temp\"", "script line 1: a backslash"},
        {"wait \"A\" timeout", "script line 1: expected 'timeout MS'"},
        {"wait \"A\" timeout soon", "script line 1: the timeout must be a number"},
        {"wait \"A\" after 5", "script line 1: expected 'timeout MS'"},
        {"key hyper", "script line 1: unknown key 'hyper'"},
        {"key \"enter\"", "script line 1: a key's name is not quoted"},
        {"key", "script line 1: 'key' needs more"},
        {"click OK", "script line 1: a control id must be a number, not 'OK'"},
        {"click \"OK\" \"Cancel\"", "script line 1: too much after 'click'"},
        {"type \"a\"\"b\"", "script line 1: a string must be followed by a space"},
        {"type a\"b\"", "script line 1: a quote inside a word"},
        {"\"wait\" \"A\"", "script line 1: a line starts with a step's name"},
        {"screenshot \"\"", "script line 1: the screenshot needs a file name"},
        {"copy \"a\"", "script line 1: 'copy' needs more"},
        {"end never", "script line 1: the end rule is fail or accept-defaults, not 'never'"},
        {"type \"\xE4\xB8\xAD\"", "script line 1: a character of the string has no place"},
        {"type \"\xC3\"", "script line 1: the string is not valid UTF-8"},
        {"answer \"Rembrix\"", "script line 1: expected the button's text in double quotes"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(ParseError(c.text).find(c.expected), std::string::npos)
            << c.text << " gave: " << ParseError(c.text);
    }
}

TEST(ScriptFile, LoadingAMissingFileFailsNamingIt) {
    try {
        LoadScriptFile("/nonexistent/rembrix-script.txt");
        FAIL() << "no failure";
    } catch (const ScriptedUserFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("/nonexistent/rembrix-script.txt"),
                  std::string::npos);
    }
}
