#include "checks/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "checks/setting_numbers.h"
#include "checks/settings_opening.h"
#include "tests/support/scratch_folder.h"

namespace {

// Each test works in a folder of its own under the temporary folder.
class Settings : public ::testing::Test {
protected:
    void Write(const std::string& content) {
        HANDLE file = ::CreateFileA(settings.Path().c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    std::string Read() { return test_support::FileBytes(settings.Path()); }
    std::string ReadRequirement(const std::string& key) { return settings.ReadRequirement(key); }

    test_support::ScratchFolder scratch{"settings"};
    std::string folder = scratch.Path() + "\\";
    SettingsFile settings{folder};
};

TEST_F(Settings, DefaultFileIsTheFortyLinesWithCrLf) {
    ASSERT_TRUE(settings.WriteDefaults());
    std::string expected;
    for (auto line : kDefaultSettingsLines) expected += std::string(line) + "\r\n";
    EXPECT_EQ(Read(), expected);
    EXPECT_EQ(Read().substr(0, 43), ";all size requirements are measured in MB.\r");
    EXPECT_EQ(std::string(kDefaultSettingsLines[7]), "[Requirements]");
    EXPECT_EQ(std::string(kDefaultSettingsLines[39]), "ShowResults = true");
}

TEST_F(Settings, DefaultValuesReadBack) {
    ASSERT_TRUE(settings.WriteDefaults());
    EXPECT_EQ(ReadRequirement("Title"), "Tavrin Internet");
    EXPECT_EQ(ReadRequirement("Run"), "installtavrinsecure");
    EXPECT_EQ(ReadRequirement("Run0"), "");
    EXPECT_EQ(ReadRequirement("Err"), "System does not meet minimum requirements.");
    EXPECT_EQ(ReadRequirement("warnCPUSpeedVista"), "1760");
    EXPECT_EQ(ReadRequirement("NoSuchKey"), "");
}

TEST_F(Settings, ProfileRules) {
    Write("[Requirements]\r\nTitle=Tavrin Internet\r\nWARNCPUSPEED = 2000\r\nRun0 =\r\n"
          "Msg =   spaced out   \r\n");
    EXPECT_EQ(ReadRequirement("Title"), "Tavrin Internet");
    EXPECT_EQ(ReadRequirement("warnCPUSpeed"), "2000");
    EXPECT_EQ(ReadRequirement("Run0"), "");
    EXPECT_EQ(ReadRequirement("Msg"), "spaced out");
}

// A cut command line could start another program: a command that fills the
// read buffer is refused, naming its key. Any other value reads cut.
TEST_F(Settings, OverLongCommandsAreRefusedOtherValuesCut) {
    std::string path = "C:\\Program Files\\Tavrin\\" + std::string(280, 'x') + "\\setup.exe";
    std::string message = std::string(250, 'y') + "0123456789";
    Write("[Requirements]\r\nRun3 = " + path + "\r\nMsg = " + message + "\r\nRun4 = " +
          std::string(253, 'z') + "\r\n");
    CommandSetting overLong = settings.ReadCommand("Run3");
    ASSERT_TRUE(overLong.stop) << "an over-long command was read";
    EXPECT_EQ(overLong.command, "");
    EXPECT_NE(overLong.stop->message.find("Run3"), std::string::npos) << overLong.stop->message;
    EXPECT_EQ(ReadRequirement("Msg"), message.substr(0, 254));
    EXPECT_EQ(ReadRequirement("Run3"), path.substr(0, 254));
    EXPECT_EQ(settings.ReadCommand("Run4").command, std::string(253, 'z'));
    EXPECT_FALSE(settings.ReadCommand("Run4").stop);
}

// A program folder where the default file cannot be written (a CD): the
// same defaults answer from memory, keys matched as the profile read does.
TEST_F(Settings, BuiltInDefaultsWhenTheFileCannotBeWritten) {
    settings = SettingsFile(folder + "no such folder\\");
    EXPECT_FALSE(settings.WriteDefaults());
    settings.UseBuiltInSettings();
    EXPECT_EQ(ReadRequirement("Run"), "installtavrinsecure");
    EXPECT_EQ(ReadRequirement("warnCPUSpeedVista"), "1760");
    EXPECT_EQ(ReadRequirement("forecolor"), "0,150,255");
    EXPECT_EQ(ReadRequirement("Run0"), "");
    EXPECT_EQ(ReadRequirement("NoSuchKey"), "");
    EXPECT_EQ(SettingsFile().ReadRequirement("Run"), "installtavrinsecure")
        << "no program folder: the defaults from memory";
}

TEST_F(Settings, MissingFileReadsEmpty) {
    EXPECT_EQ(ReadRequirement("Title"), "");
}

TEST_F(Settings, ReadsTheFileAfreshEachTime) {
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

// Where a run's settings come from, for what a user or a hostile folder can
// put beside the program. A provider's file is never written over.
TEST_F(Settings, OpeningNeverOverwritesAndNeverReadsWhatItCannot) {
    const SystemFacts& system = RealSystem();
    Write("[Requirements]\r\nTitle = Provider\r\n");
    EXPECT_EQ(OpenSettings(settings, ExistenceTest::AnyPath, false, system).source,
              SettingsSource::File);
    EXPECT_EQ(Read(), "[Requirements]\r\nTitle = Provider\r\n");

    {
        // Held open by somebody else with no sharing: there, but unreadable.
        HANDLE held = ::CreateFileA(settings.Path().c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(OpenSettings(settings, ExistenceTest::AnyPath, false, system).source,
                  SettingsSource::Unreadable);
        ::CloseHandle(held);
    }
    ::DeleteFileA(settings.Path().c_str());

    // The quiet check writes nothing.
    SettingsFile quiet(folder);
    EXPECT_EQ(OpenSettings(quiet, ExistenceTest::AnyPath, true, system).source,
              SettingsSource::BuiltInForQuietRun);
    EXPECT_FALSE(test_support::PathExists(settings.Path()));
    EXPECT_EQ(quiet.ReadRequirement("Run"), "installtavrinsecure");

    SettingsFile fresh(folder);
    EXPECT_EQ(OpenSettings(fresh, ExistenceTest::AnyPath, false, system).source,
              SettingsSource::WrittenDefaults);
    EXPECT_EQ(Read().substr(0, 43), ";all size requirements are measured in MB.\r");
    ::DeleteFileA(settings.Path().c_str());

    // A folder where the file belongs: unreadable where any path counts;
    // where only plain files count, not there, and nothing can be written.
    ASSERT_TRUE(::CreateDirectoryA(settings.Path().c_str(), nullptr));
    SettingsFile blocked(folder);
    EXPECT_EQ(OpenSettings(blocked, ExistenceTest::AnyPath, false, system).source,
              SettingsSource::Unreadable);
    SettingsOpening opening = OpenSettings(blocked, ExistenceTest::PlainFile, false, system);
    EXPECT_EQ(opening.source, SettingsSource::BuiltInUnwritable);
    EXPECT_NE(opening.written.error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(blocked.ReadRequirement("Run"), "installtavrinsecure");
    ::RemoveDirectoryA(settings.Path().c_str());
}

}  // namespace
