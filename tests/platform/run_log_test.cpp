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

    ASSERT_EQ(OpenRunLog(path, LogAccess::CreateOrAppend), path);
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
    ASSERT_EQ(OpenRunLog(path, LogAccess::CreateOrAppend), path);
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
        EXPECT_EQ(OpenRunLog(path, LogAccess::CreateOrAppend), "") << path;
        EXPECT_FALSE(RunLogOpen()) << path;
    }
    LogLine({"dropped without a log"});
}

// What an elevated run may be pointed at: the elevated copy creates
// nothing, any elevated run writes neither through a second link to another
// file nor into a file or folder that is not the user's own.
TEST(RunLog, AnElevatedRunWritesOnlyWhereTheUserCould) {
    std::string missing = TempPath("tscheck elevated missing.log");
    ::DeleteFileA(missing.c_str());
    EXPECT_EQ(OpenRunLog(missing, LogAccess::AppendToUsersOwn), "");
    EXPECT_EQ(::GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES) << "made anew";
    EXPECT_EQ(OpenRunLog(missing, LogAccess::UsersOwnOnly), missing) << "in the user's folder";
    CloseRunLog();
    ::DeleteFileA(missing.c_str());

    std::string own = TempPath("tscheck elevated own.log");
    ASSERT_TRUE(WriteWholeFile(own, "by the first copy\r\n"));
    EXPECT_EQ(OpenRunLog(own, LogAccess::AppendToUsersOwn), own) << "the user's own log";
    CloseRunLog();

    // A second name for a file the user could not write: the first copy's
    // log made into a hard link elsewhere.
    std::string linked = TempPath("tscheck elevated linked.log");
    ::DeleteFileA(linked.c_str());
    ASSERT_TRUE(::CreateHardLinkA(linked.c_str(), own.c_str(), nullptr)) << "set-up: hard link";
    EXPECT_EQ(OpenRunLog(linked, LogAccess::AppendToUsersOwn), "") << "through a hard link";
    EXPECT_EQ(OpenRunLog(linked, LogAccess::UsersOwnOnly), "") << "through a hard link";
    EXPECT_FALSE(RunLogOpen());
    ::DeleteFileA(linked.c_str());
    ::DeleteFileA(own.c_str());
}

TEST(RunLog, LineFormat) {
    EXPECT_EQ(RunLogLine(2026, 3, 7, 9, 5, 4, 12, 4242, {"Exit code ", "830808"}),
              "2026-03-07 09:05:04.012 [4242] Exit code 830808\r\n");
}

}  // namespace
