// Windows themselves: classes, text, destruction, focus, search, stacking,
// metrics and the drawn frame.
#include "tests/user/user_test_support.h"

#include <string>

namespace {

std::vector<std::string> Events;

LRESULT LoggingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto name = [window] { return UserTest::TextOf(window); };
    switch (message) {
    case WM_CREATE: {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        Events.push_back("create " + std::string(creation->lpszName));
        return 0;
    }
    case WM_DESTROY:
        Events.push_back("destroy " + name());
        return 0;
    case WM_NCDESTROY:
        Events.push_back("ncdestroy " + name());
        return 0;
    case WM_SETFOCUS:
        Events.push_back("setfocus " + name());
        return 0;
    case WM_KILLFOCUS:
        Events.push_back("killfocus " + name());
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

class WindowsTest : public UserTest {
  protected:
    WindowsTest() {
        Events.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = LoggingWindowProc;
        windowClass.lpszClassName = "LoggingWindow";
        RegisterClassA(&windowClass);
    }

    static HWND Make(const char* name, DWORD style, HWND parent = nullptr, int id = 0,
                     RECT bounds = RECT{0, 0, 100, 100}) {
        return CreateWindowExA(0, "LOGGINGWINDOW", name, style, bounds.left, bounds.top,
                               bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr,
                               nullptr);
    }
};

TEST_F(WindowsTest, ClassNamesIgnoreCase) {
    const HWND window = Make("w", WS_POPUP);
    ASSERT_NE(window, nullptr);
    char name[32] = {};
    EXPECT_EQ(GetClassNameA(window, name, sizeof name), 13);
    EXPECT_STREQ(name, "LoggingWindow");
    WNDCLASSA again{};
    again.lpfnWndProc = LoggingWindowProc;
    again.lpszClassName = "loggingwindow";
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    // The standard controls answer to any spelling too.
    const HWND edit =
        CreateWindowExA(0, "Edit", "x", WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
    EXPECT_NE(edit, nullptr);
}

TEST_F(WindowsTest, TextLimitCountsTheTerminatingZero) {
    const HWND window = Make("w", WS_POPUP);
    const std::string longText(300, 'x');
    EXPECT_TRUE(SetWindowTextA(window, longText.c_str()));
    EXPECT_EQ(GetWindowTextLengthA(window), 300);
    char buffer[400];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(SendMessageA(window, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(buffer)), 254);
    EXPECT_EQ(std::string(buffer), std::string(254, 'x'));
    EXPECT_EQ(buffer[255], '#');
    EXPECT_EQ(GetWindowTextA(window, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(SendMessageA(window, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    SetWindowTextA(window, nullptr);
    EXPECT_EQ(GetWindowTextLengthA(window), 0);
}

TEST_F(WindowsTest, DestroyWindowTellsParentFirstAndRemovesChildrenFirst) {
    const HWND parent = Make("parent", WS_POPUP | WS_VISIBLE);
    const HWND child = Make("child", WS_CHILD | WS_VISIBLE, parent, 5);
    const HWND grandchild = Make("grandchild", WS_CHILD | WS_VISIBLE, child, 6);
    SetFocus(grandchild);
    Events.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    const std::vector<std::string> expected{
        "killfocus grandchild", "destroy parent",  "destroy child",   "destroy grandchild",
        "ncdestroy grandchild", "ncdestroy child", "ncdestroy parent"};
    EXPECT_EQ(Events, expected);
    for (HWND gone : {parent, child, grandchild}) {
        EXPECT_FALSE(IsWindow(gone));
    }
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(DestroyWindow(parent));
}

TEST_F(WindowsTest, DestroyingAWindowTakesItsOwnedWindowsAndMovesTheFocusBelow) {
    const HWND bottom = Make("bottom", WS_POPUP | WS_VISIBLE);
    const HWND owner = Make("owner", WS_POPUP | WS_VISIBLE);
    const HWND owned = Make("owned", WS_POPUP | WS_VISIBLE, owner);
    EXPECT_EQ(GetFocus(), owned);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_EQ(GetFocus(), bottom);
}

TEST_F(WindowsTest, CloseDestroysAnOrdinaryWindow) {
    const HWND window = Make("w", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
    Pump();
    ClickAt(CloseBoxCentre(window));
    Pump();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowsTest, FindWindowSearchesTopLevelWindowsByClassAndCaption) {
    const HWND first = Make("Installation", WS_POPUP);
    const HWND second = Make("Other", WS_POPUP);
    Make("Child", WS_CHILD, second);
    EXPECT_EQ(FindWindowA("LoggingWindow", "installation"), first);
    EXPECT_EQ(FindWindowA(nullptr, "Other"), second);
    EXPECT_EQ(FindWindowA(nullptr, "Child"), nullptr);
    EXPECT_EQ(FindWindowA("NoSuchClass", nullptr), nullptr);
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
}

TEST_F(WindowsTest, EnumChildWindowsWalksEveryDescendantAndStopsWhenAsked) {
    const HWND parent = Make("parent", WS_POPUP);
    const HWND a = Make("a", WS_CHILD, parent, 1);
    const HWND b = Make("b", WS_CHILD, a, 2);
    const HWND c = Make("c", WS_CHILD, parent, 3);
    std::vector<HWND> seen;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{a, b, c}));
    seen.clear();
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(GetParent(b), a);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
    EXPECT_EQ(GetWindowLongA(c, GWL_ID), 3);
}

TEST_F(WindowsTest, StylesVisibilityAndEnabling) {
    const HWND parent = Make("parent", WS_POPUP);
    const HWND child = Make("child", WS_CHILD | WS_VISIBLE | WS_TABSTOP, parent, 1);
    EXPECT_FALSE(IsWindowVisible(child)) << "a hidden parent hides its children";
    ShowWindow(parent, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(EnableWindow(child, FALSE));
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_DISABLED);
    EXPECT_TRUE(EnableWindow(child, TRUE));
    EXPECT_EQ(ShowWindow(child, SW_HIDE), TRUE);
    EXPECT_FALSE(IsWindowVisible(child));
}

TEST_F(WindowsTest, GeometryOfChildrenAndConversions) {
    const HWND parent = Make("parent", WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{100, 50, 300, 250});
    const HWND child = Make("child", WS_CHILD | WS_VISIBLE, parent, 1, RECT{10, 20, 40, 60});
    RECT rect{};
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect.left, 110);
    EXPECT_EQ(rect.top, 70);
    EXPECT_EQ(rect.right, 140);
    EXPECT_EQ(rect.bottom, 110);
    GetClientRect(child, &rect);
    EXPECT_EQ(rect.right, 30);
    EXPECT_EQ(rect.bottom, 40);
    POINT point{1, 2};
    ClientToScreen(child, &point);
    EXPECT_EQ(point.x, 111);
    EXPECT_EQ(point.y, 72);
    ScreenToClient(parent, &point);
    EXPECT_EQ(point.x, 11);
    EXPECT_EQ(point.y, 22);
    SetWindowPos(parent, HWND_TOP, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(parent, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right, 200);
}

TEST_F(WindowsTest, SystemMetricsAreClassicWindowsAt96Dpi) {
    const std::pair<int, int> metrics[] = {
        {SM_CXSCREEN, 640}, {SM_CYSCREEN, 480}, {SM_CXBORDER, 1},   {SM_CYBORDER, 1},
        {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3}, {SM_CYCAPTION, 19}, {SM_CXVSCROLL, 16},
    };
    for (const auto& [index, value] : metrics) {
        EXPECT_EQ(GetSystemMetrics(index), value) << "metric " << index;
    }
}

// The frame as drawn agrees with the metrics: a captioned modal-frame
// dialog's client area starts 3 px in and 22 px down.
TEST_F(WindowsTest, TheDrawnFrameMatchesTheMetrics) {
    AddResourceScriptForTesting(TestDialogScript);
    Then([] {
        const HWND dialog = ActiveWindow();
        SetWindowPos(dialog, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
        Pump();
        RECT window{};
        GetWindowRect(dialog, &window);
        POINT client{0, 0};
        ClientToScreen(dialog, &client);
        EXPECT_EQ(client.x - window.left, 3);
        EXPECT_EQ(client.y - window.top, 22);
        const Surface screen = Screen();
        const LONG x = window.left + 40;
        const LONG left = window.left;
        const LONG top = window.top;
        EXPECT_EQ(ScreenPixel(screen, x, top), RGB(192, 192, 192));
        EXPECT_EQ(ScreenPixel(screen, x, top + 1), RGB(255, 255, 255));
        EXPECT_EQ(ScreenPixel(screen, x, top + 2), RGB(192, 192, 192));
        for (LONG y = top + 3; y < top + 21; ++y) {
            EXPECT_EQ(ScreenPixel(screen, window.right - 40, y), RGB(0, 0, 128))
                << "row " << y - top;
        }
        EXPECT_EQ(ScreenPixel(screen, window.right - 40, top + 21), RGB(192, 192, 192));
        EXPECT_EQ(ScreenPixel(screen, left, top + 60), RGB(192, 192, 192));
        EXPECT_EQ(ScreenPixel(screen, left + 1, top + 60), RGB(255, 255, 255));
        EXPECT_EQ(ScreenPixel(screen, window.right - 1, top + 60), RGB(0, 0, 0));
        EXPECT_EQ(ScreenPixel(screen, window.right - 2, top + 60), RGB(128, 128, 128));
        EXPECT_EQ(ScreenPixel(screen, left + 30, window.bottom - 1), RGB(0, 0, 0));
        // The caption text is drawn in white on the bar.
        bool white = false;
        for (LONG y = top + 3; y < top + 21 && !white; ++y) {
            for (LONG dx = 3; dx < 60 && !white; ++dx) {
                white = ScreenPixel(screen, left + dx, y) == RGB(255, 255, 255);
            }
        }
        EXPECT_TRUE(white);
        // The close box: a raised face button with a dark glyph.
        const POINT box = CloseBoxCentre(dialog);
        EXPECT_EQ(ScreenPixel(screen, box.x - 8, box.y - 7), RGB(255, 255, 255));
        EXPECT_EQ(ScreenPixel(screen, box.x, box.y), RGB(0, 0, 0));

        // The progress meter's rectangle, derived from these metrics, lies
        // 2 px inside the frame control.
        RECT frame{};
        GetWindowRect(GetDlgItem(dialog, 101), &frame);
        const LONG meterLeft = frame.left - window.left - GetSystemMetrics(SM_CXBORDER);
        const LONG meterTop =
            frame.top - window.top - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER);
        POINT frameClient{frame.left, frame.top};
        ScreenToClient(dialog, &frameClient);
        EXPECT_EQ(meterLeft, frameClient.x + 2);
        EXPECT_EQ(meterTop, frameClient.y + 2);
        Key(VK_ESCAPE);
    });
    DialogBoxParamA(
        nullptr, "TestDialog", nullptr,
        [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
            if (message == WM_COMMAND) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        },
        0);
}

TEST_F(WindowsTest, AnInactiveCaptionIsGrey) {
    const HWND lower =
        Make("lower", WS_POPUP | WS_VISIBLE | WS_CAPTION, nullptr, 0, RECT{0, 0, 200, 100});
    Surface screen = Screen();
    EXPECT_EQ(ScreenPixel(screen, 100, 10), RGB(0, 0, 128));
    Make("upper", WS_POPUP | WS_VISIBLE | WS_CAPTION, nullptr, 0, RECT{300, 0, 400, 100});
    screen = Screen();
    EXPECT_EQ(ScreenPixel(screen, 100, 10), RGB(128, 128, 128));
    EXPECT_EQ(ScreenPixel(screen, 350, 10), RGB(0, 0, 128));
    // A click on the lower window activates it and brings it up.
    ClickAt(POINT{100, 60});
    EXPECT_EQ(FindWindowA(nullptr, nullptr), lower);
    screen = Screen();
    EXPECT_EQ(ScreenPixel(screen, 100, 10), RGB(0, 0, 128));
    EXPECT_EQ(ScreenPixel(screen, 350, 10), RGB(128, 128, 128));
}

} // namespace
