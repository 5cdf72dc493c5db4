#include "setup/win_init.h"

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
}

}  // namespace
