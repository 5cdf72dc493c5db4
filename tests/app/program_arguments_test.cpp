#include "app/program_arguments.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramArguments, WordsOfTheirOwnInAnyCaseAndOnlyAfterTheProgram) {
    ProgramArguments both = ReadArguments("\"C:\\Program Files\\TSCheck.exe\" /CHECK /Log");
    EXPECT_TRUE(both.quietCheck);
    EXPECT_TRUE(both.log);
    EXPECT_EQ(both.logPath, "") << "the default log";
    EXPECT_FALSE(both.elevated);
    EXPECT_EQ(both.text, "/CHECK /Log");

    // The program's own path may hold the words; near misses and unknown
    // arguments are ignored, so a script's stray argument never stops a run.
    ProgramArguments none =
        ReadArguments("\"C:\\x /check /log=y\\TSCheck.exe\" /checkx -check /logfile=a /quiet");
    EXPECT_FALSE(none.quietCheck);
    EXPECT_FALSE(none.log);
    ProgramArguments bare = ReadArguments("C:\\TSCheck.exe");
    EXPECT_FALSE(bare.quietCheck || bare.log || bare.elevated);
    EXPECT_EQ(bare.text, "");
}

TEST(ProgramArguments, LogPathWithQuotesAndBlanks) {
    const std::pair<const char*, const char*> table[] = {
        {"/log=\"C:\\My Logs\\run.log\" /check", "C:\\My Logs\\run.log"},
        {"\"/LOG=C:\\My Logs\\run.log\"", "C:\\My Logs\\run.log"},
        {"/log=C:\\a.log", "C:\\a.log"},
        {"/log=", ""},
        // An unclosed quote runs to the end of the line.
        {"/log=\"C:\\a b.log /check", "C:\\a b.log /check"},
        // The last of two counts.
        {"/log=C:\\first.log /log", ""},
    };
    for (const auto& [arguments, path] : table) {
        ProgramArguments read = ReadArguments(std::string("TSCheck.exe ") + arguments);
        EXPECT_TRUE(read.log) << arguments;
        EXPECT_EQ(read.logPath, path) << arguments;
    }
    EXPECT_FALSE(ReadArguments("TSCheck.exe /log=\"C:\\a b.log /check").quietCheck);
}

TEST(ProgramArguments, TheElevatedCopyReadsTheLogItWasHanded) {
    const std::string path = "C:\\Documents and Settings\\Ann\\Local Settings\\Temp\\TSCheck.log";
    ProgramArguments read =
        ReadArguments("\"C:\\TSCheck.exe\" /elevated " + LogArgument(path));
    EXPECT_TRUE(read.elevated);
    EXPECT_TRUE(read.log);
    EXPECT_EQ(read.logPath, path);
}

}  // namespace
