#include "app/start_up_policy.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "checks/os_identification.h"
#include "checks/settings.h"
#include "skin/colour.h"
#include "tests/fake_system.h"

namespace {

constexpr std::uint32_t k9x = 1, kNT = 2;

LaunchStep StepOn(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
                  std::uint32_t build, int admin, const std::string& commandLine,
                  bool wow64 = false) {
    FakeSystem system;
    system.SetVersion(platform, major, minor, build);
    system.wow64 = wow64;
    system.admin = admin;
    return DecideLaunch(FactsOf(system, commandLine));
}

// Wine always runs as an administrator on whatever version it reports, so
// only here can the relaunch be seen, and the loop the marker prevents.
TEST(StartUpPolicy, RelaunchOnceOnVistaAndLaterWithoutRights) {
    const std::string plain = "\"C:\\Program Files\\TSCheck.exe\"";
    const std::string marked = plain + " /elevated";
    EXPECT_EQ(StepOn(kNT, 6, 0, 6002, 0, plain), LaunchStep::Relaunch);
    EXPECT_EQ(StepOn(kNT, 6, 1, 7601, 0, plain, true), LaunchStep::Relaunch);
    // An administrator test that fails outright counts as no rights.
    EXPECT_EQ(StepOn(kNT, 6, 1, 7601, -1, plain), LaunchStep::Relaunch);
    EXPECT_EQ(StepOn(kNT, 6, 0, 6002, 0, marked), LaunchStep::StillNotAdministrator)
        << "the elevated copy never starts yet another";
    EXPECT_EQ(StepOn(kNT, 6, 1, 7601, 1, marked), LaunchStep::GoOn);
    EXPECT_EQ(StepOn(kNT, 6, 1, 7601, 1, plain), LaunchStep::GoOn);
    // Before Vista there is nothing to ask for: the admin row tells instead.
    EXPECT_EQ(StepOn(kNT, 5, 1, 2600, 0, plain), LaunchStep::GoOn);
    // A script's quiet check never brings up a prompt, first copy or not.
    EXPECT_EQ(StepOn(kNT, 6, 0, 6002, 0, plain + " /check"), LaunchStep::GoOn);
    EXPECT_EQ(StepOn(kNT, 6, 0, 6002, 0, marked + " /CHECK"), LaunchStep::GoOn);
    EXPECT_EQ(StepOn(k9x, 4, 0, 950, 0, plain + " /check"), LaunchStep::RefuseWindows95);
    EXPECT_EQ(StepOn(k9x, 4, 10, 0x040A07CE, 0, plain), LaunchStep::GoOn);
}

TEST(StartUpPolicy, Windows95IsRefusedWhateverElseHolds) {
    EXPECT_EQ(StepOn(k9x, 4, 0, 0x040003B6, 0, "TSCheck.exe /elevated"),
              LaunchStep::RefuseWindows95);
    EXPECT_EQ(StepOn(k9x, 4, 0, 0x04000457, 1, "TSCheck.exe"), LaunchStep::RefuseWindows95);
    EXPECT_EQ(Windows95Refusal("Tavrin Internet"),
              "Sorry, Windows 95 does not meet the minimum system requirements to run Tavrin "
              "Internet.");
}

// The default settings with some values changed.
struct Settings {
    std::map<std::string, std::string> values;
    WindowPlan Plan(std::size_t backgroundCount = 3) const {
        SettingReader read = [this](const std::string& key) {
            auto it = values.find(key);
            return it == values.end() ? BuiltInSetting(key) : it->second;
        };
        return PlanWindow(ReadRequirements(read, kOsWinXP), backgroundCount);
    }
};

TEST(StartUpPolicy, TheDefaultSettingsShowTheFullSkinAndTheResults) {
    Settings settings;
    WindowPlan plan = settings.Plan();
    EXPECT_FALSE(plan.stop);
    EXPECT_EQ(plan.background, 2u);
    EXPECT_EQ(plan.failureText, "System does not meet minimum requirements.");
    EXPECT_TRUE(plan.showResults);
}

TEST(StartUpPolicy, AColourNotInRgbFormatStops) {
    for (const char* key : {"forecolor", "backcolor"}) {
        for (const char* bad : {"", "0,150", "red,green,blue", "-1,0,0", "1.5,2,3"}) {
            Settings settings;
            settings.values[key] = bad;
            WindowPlan plan = settings.Plan();
            ASSERT_TRUE(plan.stop) << key << " = " << bad;
            EXPECT_EQ(*plan.stop, kColourFormatMessage);
        }
    }
}

TEST(StartUpPolicy, ABackgroundThatNamesNoImageGivesTheDefaultPanel) {
    const std::pair<const char*, std::optional<std::size_t>> cases[] = {
        {"0", 0u},   {"1", 1u},    {" 2 ", 2u}, {"2.5", 2u},         {"1.5", 2u},
        {"3", {}},   {"-1", {}},   {"", {}},    {"two", {}},         {"1e9", {}},
        {"99999999999999999999", {}}, {"-0.4", 0u},
    };
    for (const auto& [value, expected] : cases) {
        Settings settings;
        settings.values["bgimage"] = value;
        EXPECT_EQ(settings.Plan().background, expected) << value;
    }
}

TEST(StartUpPolicy, OnlyAFalseShowResultsSkipsTheWindow) {
    for (auto [value, shown] : std::vector<std::pair<const char*, bool>>{
             {"false", false}, {"FALSE", false}, {"0", false}, {"true", true}, {"", true},
             {"maybe", true}, {"-1", true}}) {
        Settings settings;
        settings.values["ShowResults"] = value;
        EXPECT_EQ(settings.Plan().showResults, shown) << value;
    }
}

}  // namespace
