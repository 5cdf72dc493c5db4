#include "net/staged_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/scratch_folder.h"

namespace {

using test_support::FileBytes;
using test_support::PathExists;

class StagedFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        std::string save = folder_ + "\\save.bin";
        ::SetFileAttributesA(save.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(save.c_str());
        EXPECT_TRUE(scratch_.Empty()) << "something was left behind";
    }
    test_support::ScratchFolder scratch_{"staged"};
    std::string folder_ = scratch_.Path();
};

TEST_F(StagedFileTest, DiscardAndDestructionDeleteOnlyTheTemporary) {
    const std::string save = folder_ + "\\save.bin";
    std::ofstream(save, std::ios::binary) << "old";
    std::string temporary;
    {
        StagedFile staged;
        ASSERT_TRUE(staged.Open(save));
        temporary = staged.TemporaryPath();
        ASSERT_TRUE(staged.Write("partial", 7));
        EXPECT_TRUE(PathExists(temporary));
    }
    EXPECT_FALSE(PathExists(temporary));
    EXPECT_EQ(FileBytes(save), "old");
}

TEST(FolderOfPathTest, SplitsOffTheFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Temp\\setup.exe", "C:\\Temp"},
        {"C:\\setup.exe", "C:\\"},
        {"C:setup.exe", "C:"},
        {"setup.exe", "."},
        {"\\\\server\\share\\setup.exe", "\\\\server\\share"},
        {"C:/Temp/setup.exe", "C:/Temp"},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(FolderOfPath(path), folder) << path;
}

}  // namespace
