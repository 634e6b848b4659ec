#include "stages/file_table_check.h"

#include <gtest/gtest.h>

namespace {

TEST(FileTableCheckTest, OnlyPlainFileNamesAreSafe) {
    const struct {
        std::string Name;
        bool Safe;
    } cases[] = {
        {"Rembrix.hlp", true},
        {"Uninstal.exe", true},
        {"a", true},
        {"...", true},
        {".profile", true},
        {"name with space", true},
        {"", false},
        {".", false},
        {"..", false},
        {"..\\Evil.dll", false},
        {"Sub\\File.dll", false},
        {"Sub/File.dll", false},
        {"C:File.dll", false},
        {"\\", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(IsSafeEntryName(entry.Name), entry.Safe) << "'" << entry.Name << "'";
    }
}

TEST(FileTableCheckTest, TheFirstUnsafeEntryIsFound) {
    const FileTableList table = {{"One.dll", 10, 1}, {"..", 11, 1}, {"x/y", 12, 1}};
    ASSERT_NE(FindUnsafeEntry(table), nullptr);
    EXPECT_EQ(FindUnsafeEntry(table)->Name, "..");
    EXPECT_EQ(FindUnsafeEntry(FileTableList{{"One.dll", 10, 1}}), nullptr);
    EXPECT_EQ(FindUnsafeEntry(FileTableList{}), nullptr);
}

} // namespace
