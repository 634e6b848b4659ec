// Message boxes: the answers keys and clicks give, what is recorded, their
// size and place, modality, and the error icon.
#include "platform/machine/message_box_history.h"
#include "tests/user/user_test_support.h"

namespace {

using MessageBoxTest = UserTest;

TEST_F(MessageBoxTest, AnswersByKeyAndClickAsWindows) {
    const auto key = [](int vk, char c = 0) { return [=] { Key(vk, c); }; };
    const auto click = [](const char* text) {
        return [text] { ClickAt(CentreOf(ControlOfActive(text))); };
    };
    const auto closeBox = [] { ClickAt(CloseBoxCentre(ActiveWindow())); };
    struct Case {
        const char* Name;
        UINT Type;
        std::vector<std::function<void()>> Actions;
        int Expected;
    };
    const Case cases[] = {
        {"MB_OK, Enter", MB_OK, {key(VK_RETURN, '\r')}, IDOK},
        {"MB_OK, Esc", MB_OK, {key(VK_ESCAPE, '\x1b')}, IDOK},
        {"MB_OK, close box", MB_OK, {closeBox}, IDOK},
        {"MB_OKCANCEL, Enter on the default OK", MB_OKCANCEL, {key(VK_RETURN, '\r')}, IDOK},
        {"MB_OKCANCEL, Esc", MB_OKCANCEL, {key(VK_ESCAPE, '\x1b')}, IDCANCEL},
        {"MB_OKCANCEL, close box", MB_OKCANCEL, {closeBox}, IDCANCEL},
        {"MB_OKCANCEL, click Cancel", MB_OKCANCEL, {click("Cancel")}, IDCANCEL},
        {"MB_OKCANCEL, Tab then Enter",
         MB_OKCANCEL,
         {key(VK_TAB, '\t'), key(VK_RETURN, '\r')},
         IDCANCEL},
        {"MB_OKCANCEL | MB_DEFBUTTON2, Enter",
         MB_OKCANCEL | MB_DEFBUTTON2,
         {key(VK_RETURN, '\r')},
         IDCANCEL},
        {"MB_YESNO, Enter on the default Yes", MB_YESNO, {key(VK_RETURN, '\r')}, IDYES},
        {"MB_YESNO, click No", MB_YESNO, {click("No")}, IDNO},
        {"MB_YESNO ignores Esc and its close box",
         MB_YESNO,
         {key(VK_ESCAPE, '\x1b'), closeBox, click("No")},
         IDNO},
        {"MB_ICONERROR | MB_TASKMODAL, Enter",
         MB_ICONERROR | MB_TASKMODAL,
         {key(VK_RETURN, '\r')},
         IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const auto& action : c.Actions) {
            Then(action);
        }
        EXPECT_EQ(MessageBoxA(nullptr, "Question", "Box", c.Type), c.Expected);
        EXPECT_TRUE(Steps.empty()) << "the box closed before every step ran";
        Steps.clear();
        ASSERT_FALSE(MessageBoxHistory().empty());
        EXPECT_EQ(MessageBoxHistory().back().Answer, c.Expected);
        EXPECT_EQ(MessageBoxHistory().back().Type, c.Type);
        EXPECT_EQ(FindWindowA(nullptr, "Box"), nullptr);
    }
}

TEST_F(MessageBoxTest, RecordsOwnerCaptionAndText) {
    PaintLog log;
    const HWND owner = CreatePaintingWindow(log, RECT{0, 0, 640, 480});
    Then([owner] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        Key(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxA(owner, "The Installation process has been terminated.", "Rembrix", MB_OK),
              IDOK);
    EXPECT_TRUE(IsWindowEnabled(owner));
    ASSERT_EQ(MessageBoxHistory().size(), 1u);
    const ShownMessageBox& shown = MessageBoxHistory().front();
    EXPECT_EQ(shown.Owner, owner);
    EXPECT_EQ(shown.Caption, "Rembrix");
    EXPECT_EQ(shown.Text, "The Installation process has been terminated.");
    EXPECT_EQ(shown.Type, MB_OK);
    EXPECT_EQ(shown.Answer, IDOK);
}

TEST_F(MessageBoxTest, NullCaptionIsErrorButAnEmptyOneStaysEmpty) {
    Then([] {
        EXPECT_EQ(TextOf(ActiveWindow()), "Error");
        Key(VK_RETURN);
    });
    MessageBoxA(nullptr, "text", nullptr, MB_OK);
    Then([] {
        EXPECT_EQ(TextOf(ActiveWindow()), "");
        EXPECT_NE(ControlOfActive("This is not the appropriate disk.\r\nPlease insert the correct "
                                  "disk and Press Enter"),
                  nullptr);
        Key(VK_RETURN);
    });
    MessageBoxA(
        nullptr,
        "This is not the appropriate disk.\r\nPlease insert the correct disk and Press Enter", "",
        MB_OK);
    EXPECT_EQ(MessageBoxHistory().at(0).Caption, "Error");
    EXPECT_EQ(MessageBoxHistory().at(1).Caption, "");
}

TEST_F(MessageBoxTest, SizedToItsTextAndCentredOnTheScreen) {
    RECT oneLine{};
    RECT threeLines{};
    RECT longLine{};
    const auto measure = [](RECT& into) {
        return [&into] {
            GetWindowRect(ActiveWindow(), &into);
            Key(VK_RETURN);
        };
    };
    Then(measure(oneLine));
    MessageBoxA(nullptr, "Short", "Box", MB_OK);
    Then(measure(threeLines));
    MessageBoxA(nullptr, "Short\r\nShort\r\nShort", "Box", MB_OK);
    Then(measure(longLine));
    MessageBoxA(nullptr, "A much longer line of text than the short one", "Box", MB_OK);

    EXPECT_EQ(threeLines.right - threeLines.left, oneLine.right - oneLine.left);
    EXPECT_GT(threeLines.bottom - threeLines.top, oneLine.bottom - oneLine.top + 20);
    EXPECT_GT(longLine.right - longLine.left, oneLine.right - oneLine.left);
    for (const RECT& box : {oneLine, threeLines, longLine}) {
        EXPECT_EQ(box.left, (640 - (box.right - box.left)) / 2);
        EXPECT_EQ(box.top, (480 - (box.bottom - box.top)) / 2);
    }
}

TEST_F(MessageBoxTest, TextAndButtonsSitInsideTheBox) {
    Then([] {
        const HWND box = ActiveWindow();
        RECT client{};
        GetClientRect(box, &client);
        for (const char* text : {"Yes", "No", "Line one\r\nLine two"}) {
            SCOPED_TRACE(text);
            const HWND control = ControlOfActive(text);
            ASSERT_NE(control, nullptr);
            RECT bounds{};
            GetWindowRect(control, &bounds);
            POINT topLeft{bounds.left, bounds.top};
            POINT bottomRight{bounds.right, bounds.bottom};
            ScreenToClient(box, &topLeft);
            ScreenToClient(box, &bottomRight);
            EXPECT_GE(topLeft.x, 0);
            EXPECT_GE(topLeft.y, 0);
            EXPECT_LE(bottomRight.x, client.right);
            EXPECT_LE(bottomRight.y, client.bottom);
        }
        // Yes comes first and is the default.
        RECT yes{};
        RECT no{};
        GetWindowRect(ControlOfActive("Yes"), &yes);
        GetWindowRect(ControlOfActive("No"), &no);
        EXPECT_LT(yes.left, no.left);
        EXPECT_EQ(GetFocus(), ControlOfActive("Yes"));
        Key(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Line one\r\nLine two", "Exit Rembrix", MB_YESNO), IDYES);
}

TEST_F(MessageBoxTest, TaskModalWithoutOwnerDisablesEveryWindow) {
    PaintLog first;
    PaintLog second;
    const HWND one = CreatePaintingWindow(first, RECT{0, 0, 100, 100});
    const HWND two = CreatePaintingWindow(second, RECT{100, 0, 200, 100});
    Then([one, two] {
        EXPECT_FALSE(IsWindowEnabled(one));
        EXPECT_FALSE(IsWindowEnabled(two));
        Key(VK_RETURN);
    });
    MessageBoxA(nullptr, "fatal", "Rembrix", MB_ICONERROR | MB_TASKMODAL);
    EXPECT_TRUE(IsWindowEnabled(one));
    EXPECT_TRUE(IsWindowEnabled(two));

    // Without MB_TASKMODAL an ownerless box disables nothing.
    Then([one, two] {
        EXPECT_TRUE(IsWindowEnabled(one));
        EXPECT_TRUE(IsWindowEnabled(two));
        Key(VK_RETURN);
    });
    MessageBoxA(nullptr, "question", "Exit Rembrix", MB_YESNO);
}

TEST_F(MessageBoxTest, ErrorIconIsARedDiscWithAWhiteCross) {
    Then([] {
        Pump();
        const Surface screen = Screen();
        POINT origin{0, 0};
        ClientToScreen(ActiveWindow(), &origin);
        // The icon's square starts at the margin; its centre is the cross's.
        const LONG left = origin.x + 12;
        POINT labelOrigin{0, 0};
        ClientToScreen(ControlOfActive("Something failed"), &labelOrigin);
        EXPECT_GE(labelOrigin.x, left + 32);
        int red = 0;
        int white = 0;
        for (LONG y = origin.y; y < origin.y + 60; ++y) {
            for (LONG x = left; x < left + 32; ++x) {
                const COLORREF pixel = ScreenPixel(screen, x, y);
                red += pixel == RGB(255, 0, 0);
                white += pixel == RGB(255, 255, 255);
            }
        }
        EXPECT_GT(red, 300);
        EXPECT_GT(white, 40);
        Key(VK_RETURN);
    });
    MessageBoxA(nullptr, "Something failed", "Rembrix", MB_ICONERROR | MB_TASKMODAL);
}

} // namespace
