#include "controls/staged_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class StagedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        std::ostringstream name;
        name << temp << "tscheck-staged-" << ::GetCurrentProcessId() << "-" << ++counter_;
        folder_ = name.str();
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        std::string save = folder_ + "\\save.bin";
        ::SetFileAttributesA(save.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(save.c_str());
        EXPECT_TRUE(::RemoveDirectoryA(folder_.c_str())) << "something was left behind";
    }
    std::string folder_;
    static inline int counter_ = 0;
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
        EXPECT_TRUE(Exists(temporary));
    }
    EXPECT_FALSE(Exists(temporary));
    EXPECT_EQ(ReadWholeFile(save), "old");
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
