#include "app/join_path.h"
#include "platform/runtime/file_names.h"

#include <gtest/gtest.h>

TEST(JoinPath, FollowsTheThreeRules) {
    struct Case {
        const char* dir;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"", "Rembrix.Exe", "Rembrix.Exe"},
        {"C:\\", "Rembrix.Exe", "C:\\Rembrix.Exe"},
        {"C:\\Program Files\\Rembrix", "UnInstal.Exe", "C:\\Program Files\\Rembrix\\UnInstal.Exe"},
        {"C:\\Program Files\\Rembrix\\", "UnInstal.Exe",
         "C:\\Program Files\\Rembrix\\UnInstal.Exe"},
        {"C:", "x", "C:\\x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinPath(c.dir, c.name), c.expected) << c.dir << " + " << c.name;
    }
}

TEST(FileNames, ExtensionsAndDirectoryParts) {
    EXPECT_EQ(ExtractFileExt("Rembrix.hlp"), ".hlp");
    EXPECT_EQ(ExtractFileExt("C:\\dir.x\\name"), "");
    EXPECT_EQ(ExtractFileExt("noext"), "");
    EXPECT_EQ(ChangeFileExt("Rembrix.001", ".002"), "Rembrix.002");
    EXPECT_EQ(ChangeFileExt("Rembrix", ".002"), "Rembrix.002");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\Rembrix", ".Exe"), "C:\\a.b\\Rembrix.Exe");
    EXPECT_EQ(ExtractFilePath("Z:\\disk1\\SETUP.EXE"), "Z:\\disk1\\");
    EXPECT_EQ(ExtractFilePath("A:SETUP.EXE"), "A:");
    EXPECT_EQ(ExtractFilePath("SETUP.EXE"), "");
    EXPECT_EQ(UpperCaseAscii("ab.lib\xe9"), "AB.LIB\xe9");
}
