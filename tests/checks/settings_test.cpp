#include "checks/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

// Each test works in a folder of its own under the temporary folder.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        ProgramDir = std::string(temp) + "tscheck_settings_test\\";
        ::CreateDirectoryA(ProgramDir.c_str(), nullptr);
        ::DeleteFileA(SettingsPath().c_str());
    }
    void TearDown() override {
        ::DeleteFileA(SettingsPath().c_str());
        ::RemoveDirectoryA(ProgramDir.c_str());
    }
    void Write(const std::string& content) {
        std::ofstream(SettingsPath(), std::ios::binary) << content;
    }
    std::string Read() {
        std::ifstream in(SettingsPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(SettingsFile, DefaultFileIsTheFortyLinesWithCrLf) {
    ASSERT_TRUE(WriteDefaultSettings());
    std::string expected;
    for (auto line : kDefaultSettingsLines) expected += std::string(line) + "\r\n";
    EXPECT_EQ(Read(), expected);
    EXPECT_EQ(Read().substr(0, 43), ";all size requirements are measured in MB.\r");
    EXPECT_EQ(std::string(kDefaultSettingsLines[7]), "[Requirements]");
    EXPECT_EQ(std::string(kDefaultSettingsLines[39]), "ShowResults = true");
}

TEST_F(SettingsFile, DefaultValuesReadBack) {
    ASSERT_TRUE(WriteDefaultSettings());
    EXPECT_EQ(ReadRequirement("Title"), "Tavrin Internet");
    EXPECT_EQ(ReadRequirement("Run"), "installtavrinsecure");
    EXPECT_EQ(ReadRequirement("Run0"), "");
    EXPECT_EQ(ReadRequirement("Err"), "System does not meet minimum requirements.");
    EXPECT_EQ(ReadRequirement("warnCPUSpeedVista"), "1760");
    EXPECT_EQ(ReadRequirement("NoSuchKey"), "");
}

TEST_F(SettingsFile, ProfileRules) {
    Write("[Requirements]\r\nTitle=Tavrin Internet\r\nWARNCPUSPEED = 2000\r\nRun0 =\r\n"
          "Msg =   spaced out   \r\n");
    EXPECT_EQ(ReadRequirement("Title"), "Tavrin Internet");
    EXPECT_EQ(ReadRequirement("warnCPUSpeed"), "2000");
    EXPECT_EQ(ReadRequirement("Run0"), "");
    EXPECT_EQ(ReadRequirement("Msg"), "spaced out");
}

TEST_F(SettingsFile, LongValuesAreCutTo254Characters) {
    Write("[Requirements]\r\nMsg = " + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(ReadRequirement("Msg"), std::string(254, 'x'));
}

TEST_F(SettingsFile, MissingFileReadsEmpty) {
    EXPECT_EQ(ReadRequirement("Title"), "");
}

TEST_F(SettingsFile, ReadsTheFileAfreshEachTime) {
    Write("[Requirements]\r\nMsg = one\r\n");
    EXPECT_EQ(ReadRequirement("Msg"), "one");
    Write("[Requirements]\r\nMsg = two\r\n");
    EXPECT_EQ(ReadRequirement("Msg"), "two");
}

TEST(BooleanWord, Forms) {
    EXPECT_EQ(ParseBooleanWord("true"), true);
    EXPECT_EQ(ParseBooleanWord("FALSE"), false);
    EXPECT_EQ(ParseBooleanWord("False"), false);
    EXPECT_EQ(ParseBooleanWord("0"), false);
    EXPECT_EQ(ParseBooleanWord("-1"), true);
    EXPECT_EQ(ParseBooleanWord("7"), true);
    EXPECT_EQ(ParseBooleanWord(""), std::nullopt);
    EXPECT_EQ(ParseBooleanWord("yes"), std::nullopt);
    EXPECT_EQ(ParseBooleanWord("1x"), std::nullopt);
    EXPECT_EQ(ParseBooleanWord(" 0.0 "), false);
    EXPECT_EQ(ParseBooleanWord("-0.5"), true);
}

}  // namespace
