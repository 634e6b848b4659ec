// The message queue: order, nothing dropped, filters, WM_QUIT, WM_PAINT
// after posted messages, and characters from keys.
#include "tests/user/user_test_support.h"

namespace {

std::vector<MSG> Received;

LRESULT RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER || message == WM_CHAR || message == WM_KEYDOWN || message == WM_KEYUP) {
        MSG copy{};
        copy.hwnd = window;
        copy.message = message;
        copy.wParam = wParam;
        copy.lParam = lParam;
        Received.push_back(copy);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MessageQueueTest : public UserTest {
  protected:
    MessageQueueTest() {
        Received.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingWindowProc;
        windowClass.lpszClassName = "Recording";
        RegisterClassA(&windowClass);
        Window = CreateWindowExA(0, "Recording", "Recording", WS_POPUP, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
        Other = CreateWindowExA(0, "Recording", "Other", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    }

    HWND Window = nullptr;
    HWND Other = nullptr;
};

TEST_F(MessageQueueTest, PostedMessagesComeInOrderAndNoneIsDropped) {
    // Posting and draining interleave, as the stages drain between blocks
    // while the user's clicks arrive.
    constexpr UINT total = 20000;
    UINT posted = 0;
    UINT expected = 0;
    MSG message{};
    while (expected < total) {
        for (int burst = 0; burst < 7 && posted < total; ++burst, ++posted) {
            ASSERT_TRUE(PostMessageA(posted % 3 ? Window : nullptr, WM_USER + 1, posted, 0));
        }
        for (int taken = 0; taken < 5 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
             ++taken) {
            ASSERT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
            ASSERT_EQ(message.wParam, expected);
            ASSERT_EQ(message.hwnd, expected % 3 ? Window : nullptr);
            ++expected;
        }
    }
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, NoRemoveLeavesTheMessageAndFiltersSelect) {
    PostMessageA(Window, WM_USER + 1, 1, 0);
    PostMessageA(Other, WM_USER + 2, 2, 0);
    PostMessageA(Window, WM_USER + 3, 3, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&message, Other, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, QuitComesAfterPostedMessagesAndPaintAfterQuit) {
    ShowWindow(Window, SW_SHOW);
    PostQuitMessage(5);
    PostMessageA(Window, WM_USER + 1, 0, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 5u);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(message.hwnd, Window);
    // WM_PAINT stays until the window is validated.
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageA(&message);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, GetMessageAnswersFalseForQuitAndRaisesWhenInputRunsOut) {
    PostMessageA(Window, WM_USER + 1, 0, 0);
    MSG message{};
    EXPECT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    Then([] { PostQuitMessage(0); });
    EXPECT_FALSE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_THROW(GetMessageA(&message, nullptr, 0, 0), MachineInputExhausted);
}

TEST_F(MessageQueueTest, KeysGoToTheFocusAndTranslateToTheirCharacters) {
    ShowWindow(Window, SW_SHOW);
    EXPECT_EQ(GetFocus(), Window);
    Key('A', 'a');
    Key(VK_RETURN);
    Pump();
    std::vector<UINT> kinds;
    for (const MSG& message : Received) {
        kinds.push_back(message.message);
        EXPECT_EQ(message.hwnd, Window);
    }
    const std::vector<UINT> expected{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN, WM_CHAR, WM_KEYUP};
    EXPECT_EQ(kinds, expected);
    ASSERT_EQ(Received.size(), expected.size());
    EXPECT_EQ(Received[1].wParam, static_cast<WPARAM>('a'));
    // Enter types a carriage return even when the input carries no character.
    EXPECT_EQ(Received[4].wParam, static_cast<WPARAM>('\r'));
}

TEST_F(MessageQueueTest, MessagesForADestroyedWindowGoWithIt) {
    PostMessageA(Window, WM_USER + 1, 1, 0);
    PostMessageA(Other, WM_USER + 1, 2, 0);
    DestroyWindow(Window);
    EXPECT_FALSE(PostMessageA(Window, WM_USER + 1, 3, 0));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, 2u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, SendMessageCallsTheProcedureAtOnce) {
    EXPECT_EQ(SendMessageA(Window, WM_USER + 9, 4, 0), 0);
    ASSERT_EQ(Received.size(), 1u);
    EXPECT_EQ(Received[0].wParam, 4u);
    EXPECT_EQ(SendMessageA(nullptr, WM_USER, 0, 0), 0);
}

} // namespace
