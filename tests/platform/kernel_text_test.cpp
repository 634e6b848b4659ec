#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <gtest/gtest.h>
#include <string>

TEST(KernelText, AnsiIsWindows1252BothWays) {
    TestMachine machine;
    const char ansi[] = "caf\xE9 \x80\x9F\x81";
    WCHAR wide[16] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 16), 9);
    EXPECT_EQ(std::u16string(wide), u"caf\u00E9 \u20AC\u0178\u0081");
    char back[16] = {};
    BOOL usedDefault = TRUE;
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, back, 16, nullptr, &usedDefault), 9);
    EXPECT_STREQ(back, ansi);
    EXPECT_FALSE(usedDefault);

    const WCHAR unmappable[] = u"x\u0416\u2603";
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, unmappable, 3, back, 16, "#", &usedDefault), 3);
    EXPECT_EQ(std::string(back, 3), "x##");
    EXPECT_TRUE(usedDefault);
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, unmappable, 3, back, 16, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(back, 3), "x??");
}

TEST(KernelText, Utf8WithSurrogatesAndInvalidBytes) {
    TestMachine machine;
    WCHAR wide[8] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0,
                                  "\xF0\x9F\x98\x80"
                                  "a",
                                  5, wide, 8),
              3);
    EXPECT_EQ(std::u16string(wide, 3), u"\U0001F600a");
    char utf8[8] = {};
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, 3, utf8, 8, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(utf8, 5), "\xF0\x9F\x98\x80"
                                    "a");
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xFF", 2, wide, 8), 2);
    EXPECT_EQ(wide[1], u'\uFFFD');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0x8 /* MB_ERR_INVALID_CHARS */, "a\xFF", 2, wide, 8), 0);
    EXPECT_EQ(GetLastError(), 1113u);
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8, 8, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(KernelText, SizesCountsAndShortBuffers) {
    TestMachine machine;
    const std::string path(254, 'a');
    // A size of 0 asks for the size needed, the terminating zero counted with -1.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0), 255);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, path.c_str(), 3, nullptr, 0), 3);
    WCHAR buffer[255] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, buffer, 255), 255);
    EXPECT_EQ(buffer[254], 0);

    // One character more does not fit, and the buffer is left alone.
    WCHAR untouched[255] = {};
    const std::string longer(255, 'b');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, longer.c_str(), -1, untouched, 255), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(untouched[0], 0);

    struct Refused {
        UINT CodePage;
        const char* Text;
        int Count;
        int OutputCount;
    };
    const Refused refused[] = {
        {CP_ACP, "x", 0, 4},  {CP_ACP, "x", -2, 4}, {CP_ACP, nullptr, 1, 4},
        {CP_ACP, "x", 1, -1}, {437, "x", 1, 4},
    };
    for (const Refused& r : refused) {
        EXPECT_EQ(MultiByteToWideChar(r.CodePage, 0, r.Text, r.Count, buffer, r.OutputCount), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    char narrow[4] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abcdef", -1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abcdef", -1, nullptr, 0, nullptr, nullptr), 7);
}
