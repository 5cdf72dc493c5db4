#include "system_helpers/win_init.h"

#include <gtest/gtest.h>

namespace {

TEST(WinInit, RenameListKeepsEarlierEntries) {
    EXPECT_EQ(WinInitWithDeletion(std::nullopt, "C:\\A.EXE"), "[Rename]\r\nNUL=C:\\A.EXE\r\n");
    EXPECT_EQ(WinInitWithDeletion(std::string(), "C:\\A.EXE"), "[Rename]\r\nNUL=C:\\A.EXE\r\n");
    EXPECT_EQ(WinInitWithDeletion(std::string("[Rename]\r\nNUL=C:\\B\r\n"), "C:\\A"),
              "[Rename]\r\nNUL=C:\\B\r\nNUL=C:\\A\r\n");
    EXPECT_EQ(WinInitWithDeletion(std::string("[Rename]\r\nNUL=C:\\B"), "C:\\A"),
              "[Rename]\r\nNUL=C:\\B\r\nNUL=C:\\A\r\n");
    EXPECT_EQ(WinInitWithDeletion(std::string("[Rename]\r\n\0junk", 15), "C:\\A"),
              "[Rename]\r\nNUL=C:\\A\r\n");
    // Deletions count only in [Rename], whatever section another installer left last.
    EXPECT_EQ(WinInitWithDeletion(std::string("[rename]\r\nNUL=C:\\B\r\n[CombineVxDs]\r\nx=y"), "C:\\A"),
              "[rename]\r\nNUL=C:\\B\r\n[CombineVxDs]\r\nx=y\r\n[Rename]\r\nNUL=C:\\A\r\n");
    EXPECT_EQ(WinInitWithDeletion(std::string("\0junk", 5), "C:\\A"), "[Rename]\r\nNUL=C:\\A\r\n");
}

}  // namespace
