#include "platform/run_log.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/owned.h"
#include "platform/whole_file.h"

namespace {

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// Two copies of the program write one log: the file stays open for the
// other writer, nothing is ever cut, and every line lands whole at the end.
TEST(RunLog, AppendsBesideAnotherWriterAndNeverTruncates) {
    std::string path = TempPath("tscheck run log test.log");
    ASSERT_TRUE(WriteWholeFile(path, "an earlier run\r\n"));

    ASSERT_EQ(OpenRunLog(path), path);
    LogLine({"first\r\nsecond", " and\ta tab"});
    // The other copy, as the elevated one opens the log.
    OwnedHandle other(::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other) << "the log is shared";
    DWORD written = 0;
    ::WriteFile(other.get(), "other copy\r\n", 12, &written, nullptr);
    LogLine({"third"});
    CloseRunLog();
    ASSERT_EQ(OpenRunLog(path), path);
    LogLine({"fourth"});
    CloseRunLog();
    other.reset();

    std::string content = ReadWholeFile(path).value_or("");
    ::DeleteFileA(path.c_str());
    std::size_t at = 0;
    for (const char* expected :
         {"an earlier run\r\n", "] first | second and a tab\r\n", "other copy\r\n", "] third\r\n",
          "] fourth\r\n"}) {
        std::size_t found = content.find(expected, at);
        ASSERT_NE(found, std::string::npos) << expected << " in\n" << content;
        at = found + std::char_traits<char>::length(expected);
    }
    EXPECT_EQ(at, content.size());
}

TEST(RunLog, RefusesWhatIsNoPlainFile) {
    for (std::string path : {std::string("NUL"), std::string("C:\\somewhere\\con.log"),
                             std::string("\\\\.\\PhysicalDrive0"), std::string("LPT1.txt"),
                             TempPath("")}) {
        EXPECT_EQ(OpenRunLog(path), "") << path;
        EXPECT_FALSE(RunLogOpen()) << path;
    }
    LogLine({"dropped without a log"});
}

TEST(RunLog, LineFormat) {
    EXPECT_EQ(RunLogLine(2026, 3, 7, 9, 5, 4, 12, 4242, {"Exit code ", "830808"}),
              "2026-03-07 09:05:04.012 [4242] Exit code 830808\r\n");
}

}  // namespace
