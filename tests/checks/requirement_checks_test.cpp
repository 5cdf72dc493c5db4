#include "checks/requirement_checks.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "checks/os_identification.h"
#include "checks/settings.h"
#include "tests/fake_system.h"

namespace {

constexpr std::uint64_t kMB = 1024 * 1024;

// A computer and a settings file that each test shapes; the defaults pass
// everything on Windows XP SP3.
class Checks : public ::testing::Test {
protected:
    void SetUp() override {
        run = CheckRun{};
        settings = {{"MinOS", "6"},           {"ExceptionOS", "7"},
                    {"XPSP", "3"},            {"VistaSP", "1"},
                    {"Win7SP", "0"},          {"MinDiskSpace", "500"},
                    {"WarnDiskSpace", "550"}, {"MinDiskSpaceVista", "800"},
                    {"WarnDiskSpaceVista", "850"}, {"MinCPUSpeed", "970"},
                    {"WarnCPUSpeed", "1024"}, {"MinCPUSpeedVista", "1600"},
                    {"WarnCPUSpeedVista", "1760"}, {"MinMemory98me", "512"},
                    {"WarnMemory98me", "768"}, {"MinMemory95", "122"},
                    {"WarnMemory95", "128"},  {"MinMemoryxp2k", "480"},
                    {"WarnMemoryxp2k", "768"}, {"MinMemoryVista", "960"},
                    {"WarnMemoryVista", "1256"}};
        SetOs(2, 5, 1, 3);
        system.memoryBytes = 2047 * kMB;
        system.memoryBytesClassic = 2048 * kMB;
        system.disk = SystemFacts::DiskSpace{4096 * kMB, 8192 * kMB};
        clock = ClockReading{true, 0.5, 1.5e9, 1};  // 3,000 MHz
        run.failureText = "Failed.";
    }
    void SetOs(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
               std::uint16_t sp = 0, std::uint8_t productType = 1, bool wow64 = false) {
        system.SetVersion(platform, major, minor, platform == 1 ? 0x040A07CE : 0, sp, productType);
        system.wow64 = wow64;
        run.osCode = GetOsCode(system);
    }

    CheckPlatform Platform() {
        return CheckPlatform{system, [this] { return clock; }, [] { return std::string("C:\\Program Files\\"); },
                             [this](const std::string& m) { problems.push_back(m); }};
    }
    // The settings as the checks of this system take them; a missing key reads empty.
    Requirements Values() const {
        return ReadRequirements(
            [this](const std::string& key) {
                auto it = settings.find(key);
                return it == settings.end() ? std::string() : it->second;
            },
            run.osCode);
    }
    // The rows as "test^verdict^need^have" lines, to compare at a glance.
    std::string Records() const {
        std::string text;
        for (const CheckRow& row : run.rows) {
            const char* verdict = row.verdict == kCheckPassed          ? "Passed"
                                  : row.verdict == kCheckPassedWarning ? "Passed (Warning)"
                                                                       : "Failed";
            text += row.test + "^" + verdict + "^" + row.need + "^" + row.have + "\r\n";
        }
        return text;
    }
    std::string OnlyRecord() {
        EXPECT_EQ(run.rows.size(), 1u);
        std::string record = Records();
        return record.substr(0, record.size() - 2);
    }

    CheckRun run;
    FakeSystem system;
    ClockReading clock;
    std::map<std::string, std::string> settings;
    std::vector<std::string> problems;
};

TEST_F(Checks, EverythingPassesOnXpSp3) {
    CheckPlatform platform = Platform();
    EXPECT_TRUE(RunAllChecks(run, Values(), platform).passed);
    EXPECT_EQ(Records(),
              "Operating System^Passed^Windows XP SP3+^Windows XP SP3\r\n"
              "Admin Rights^Passed^Yes^Yes\r\n"
              "CPU^Passed^970 MHz^3.00 GHz\r\n"
              "Memory^Passed^480 MB^2.00 GB\r\n"
              "Disk Space^Passed^500 MB^4.00 GB\r\n");
}

TEST_F(Checks, OperatingSystemRecords) {
    struct Case {
        std::uint32_t platform, major, minor;
        std::uint16_t sp;
        std::uint8_t productType;
        bool wow64;
        const char* exceptions;
        const char* minOs;
        bool passed;
        const char* record;
    };
    const Case cases[] = {
        {2, 5, 1, 2, 1, false, "7", "6", false,
         "Operating System^Failed^Windows XP SP3+^Windows XP SP2"},
        {2, 5, 2, 2, 1, true, "7", "6", false, "Operating System^Failed^Windows XP+^Windows XP x64"},
        {2, 6, 0, 2, 1, true, "7,10", "6", false,
         "Operating System^Failed^Windows XP+^Windows Vista x64"},
        {2, 5, 2, 2, 3, false, "7", "6", false,
         "Operating System^Failed^Windows XP+^Server OS(Server)"},
        {2, 5, 2, 2, 1, false, "7", "6", false,
         "Operating System^Failed^Windows XP+^Windows 2003(Server)"},
        {2, 4, 0, 6, 1, false, "7", "6", false,
         "Operating System^Failed^Windows XP+^Windows NT4(Server)"},
        {2, 5, 0, 4, 1, false, "7", "6", false,
         "Operating System^Failed^Windows XP+^Windows 2000 SP4"},
        {2, 6, 2, 0, 1, false, "7", "6", false, "Operating System^Failed^Windows XP+^Unknown OS."},
        {2, 6, 0, 0, 1, false, "7", "6", false,
         "Operating System^Failed^Windows Vista SP1+^Windows Vista"},
        {2, 6, 1, 1, 1, false, "", "6", true, "Operating System^Passed^Windows 7+^Windows 7 SP1"},
        {2, 6, 1, 0, 1, true, "7,", "6", true, "Operating System^Passed^Windows 7 x64+^Windows 7 x64"},
        // MinOS 0 names the running system.
        {2, 5, 0, 4, 1, false, "", "0", true, "Operating System^Passed^Windows 2000+^Windows 2000 SP4"},
        {1, 4, 10, 0, 0, false, "", "2", true, "Operating System^Passed^Windows 98+^Windows 98"},
    };
    for (const Case& c : cases) {
        SetOs(c.platform, c.major, c.minor, c.sp, c.productType, c.wow64);
        settings["ExceptionOS"] = c.exceptions;
        settings["MinOS"] = c.minOs;
        run.failureText = "Failed.";
        run.rows.clear();
        CheckPlatform platform = Platform();
        EXPECT_EQ(CheckOperatingSystem(run, Values(), platform).outcome == kCheckPassed, c.passed) << c.record;
        EXPECT_EQ(OnlyRecord(), c.record);
    }
}

TEST_F(Checks, ExceptionLineIsAddedOnceByTheFirstMatch) {
    SetOs(2, 5, 2, 2, 1, true);
    settings["ExceptionOS"] = "7,7,10";
    CheckPlatform platform = Platform();
    EXPECT_EQ(CheckOperatingSystem(run, Values(), platform).outcome, kCheckFailed);
    EXPECT_EQ(run.failureText,
              "Failed.\r\nYour operating system may be newer than the Minimum OS, but the product "
              "does not support it.");
}

TEST_F(Checks, AdminOn9xIsNotAsked) {
    SetOs(1, 4, 10);
    system.admin = 0;
    CheckPlatform platform = Platform();
    EXPECT_EQ(CheckAdmin(run, platform), kCheckPassed);
    EXPECT_EQ(OnlyRecord(), "Admin Rights^Passed^Yes^Yes");
    run.rows.clear();
    SetOs(2, 5, 1);
    EXPECT_EQ(CheckAdmin(run, platform), kCheckFailed);
    EXPECT_EQ(OnlyRecord(), "Admin Rights^Failed^Yes^No");
}

TEST_F(Checks, ClockBoundariesAndFormats) {
    struct Case {
        double mhz;
        int logical;
        const char* min;
        const char* warn;
        CheckOutcome outcome;
        const char* record;
    };
    const Case cases[] = {
        {970, 1, "970", "1024", kCheckFailed, "CPU^Failed^970 MHz^970 MHz"},
        {971, 1, "970", "1024", kCheckPassedWarning, "CPU^Passed (Warning)^970 MHz^971 MHz"},
        {1024, 1, "970", "1024", kCheckPassedWarning, "CPU^Passed (Warning)^970 MHz^1.02 GHz"},
        {1025, 1, "970", "1024", kCheckPassed, "CPU^Passed^970 MHz^1.03 GHz"},
        {2000, 2, "1600", "1760", kCheckPassed, "CPU^Passed^1.60 GHz^4.00 GHz"},
        // 64 logical processors at 4 GHz: far past 16 bits, compared and shown as it is.
        {4000, 64, "970", "1024", kCheckPassed, "CPU^Passed^970 MHz^256.00 GHz"},
    };
    for (const Case& c : cases) {
        settings["MinCPUSpeed"] = c.min;
        settings["WarnCPUSpeed"] = c.warn;
        clock = ClockReading{true, 0.25, c.mhz * 1e6 * 0.25, c.logical};
        run.rows.clear();
        CheckPlatform platform = Platform();
        EXPECT_EQ(CheckCpuSpeed(run, Values(), platform).outcome, c.outcome) << c.record;
        EXPECT_EQ(OnlyRecord(), c.record);
    }
}

TEST_F(Checks, ClockUsesVistaKeysAndFailsWhenUnmeasured) {
    SetOs(2, 6, 1, 1);
    clock = ClockReading{};
    CheckPlatform platform = Platform();
    EXPECT_EQ(CheckCpuSpeed(run, Values(), platform).outcome, kCheckFailed);
    EXPECT_EQ(OnlyRecord(), "CPU^Failed^1.60 GHz^0 MHz");
}

TEST_F(Checks, MemoryBoundaries) {
    struct Case {
        std::uint64_t totalMb;  // the extended query; the check adds 1
        CheckOutcome outcome;
        const char* record;
    };
    const Case cases[] = {
        {479, kCheckPassedWarning, "Memory^Passed (Warning)^480 MB^480 MB"},  // equal passes
        {478, kCheckFailed, "Memory^Failed^480 MB^479 MB"},
        {767, kCheckPassedWarning, "Memory^Passed (Warning)^480 MB^768 MB"},
        {768, kCheckPassed, "Memory^Passed^480 MB^769 MB"},
        {1535, kCheckPassed, "Memory^Passed^480 MB^1.50 GB"},
    };
    for (const Case& c : cases) {
        system.memoryBytes = c.totalMb * kMB;
        run.rows.clear();
        CheckPlatform platform = Platform();
        EXPECT_EQ(CheckMemory(run, Values(), platform).outcome, c.outcome) << c.record;
        EXPECT_EQ(OnlyRecord(), c.record);
    }
}

TEST_F(Checks, MemoryKeysByCode) {
    SetOs(1, 4, 0);  // Windows 95: the classic query, no added megabyte
    system.memoryBytesClassic = 128 * kMB;
    CheckPlatform platform = Platform();
    EXPECT_EQ(CheckMemory(run, Values(), platform).outcome, kCheckPassedWarning);
    EXPECT_EQ(OnlyRecord(), "Memory^Passed (Warning)^122 MB^128 MB");

    run.rows.clear();
    SetOs(2, 5, 2, 2, 3);  // a server: 5000 and 10000 without reading a key
    settings.erase("MinMemoryxp2k");
    CheckPlatform serverPlatform = Platform();
    EXPECT_EQ(CheckMemory(run, Values(), serverPlatform).outcome, kCheckFailed);
    EXPECT_EQ(OnlyRecord(), "Memory^Failed^4.88 GB^2.00 GB");
}

TEST_F(Checks, EmptyMemorySettingStopsWithTheCorruptMessage) {
    settings["WarnMemoryxp2k"] = "";
    CheckPlatform platform = Platform();
    std::optional<SettingsStop> stop = CheckMemory(run, Values(), platform).stop;
    ASSERT_TRUE(stop) << "no stop";
    EXPECT_EQ(stop->message, "Pelorin.ini may be corrupt. Please reinstall the Pelorin.");
}

TEST_F(Checks, DiskBoundaries) {
    struct Case {
        std::uint64_t freeMb;
        bool vista;
        CheckOutcome outcome;
        const char* record;
    };
    const Case cases[] = {
        {500, false, kCheckFailed, "Disk Space^Failed^500 MB^500 MB"},  // equal fails
        {501, false, kCheckPassedWarning, "Disk Space^Passed (Warning)^500 MB^501 MB"},
        {550, false, kCheckPassedWarning, "Disk Space^Passed (Warning)^500 MB^550 MB"},
        {551, false, kCheckPassed, "Disk Space^Passed^500 MB^551 MB"},
        {1536, true, kCheckPassed, "Disk Space^Passed^800 MB^1.50 GB"},
    };
    for (const Case& c : cases) {
        if (c.vista) SetOs(2, 6, 0, 1);
        system.disk = SystemFacts::DiskSpace{c.freeMb * kMB, 0};
        run.rows.clear();
        CheckPlatform platform = Platform();
        EXPECT_EQ(CheckDiskSpace(run, Values(), platform), c.outcome) << c.record;
        EXPECT_EQ(OnlyRecord(), c.record);
    }
}

TEST_F(Checks, UnknownFreeSpaceIsZero) {
    system.disk.reset();
    CheckPlatform platform = Platform();
    EXPECT_EQ(CheckDiskSpace(run, Values(), platform), kCheckFailed);
    EXPECT_EQ(OnlyRecord(), "Disk Space^Failed^500 MB^0 MB");
    EXPECT_EQ(FreeDiskMegabytes("C:", system), std::nullopt);
    system.disk = SystemFacts::DiskSpace{3 * kMB, 7 * kMB};
    EXPECT_EQ(FreeDiskMegabytes("C:", system), 3.0);
}

// Every numeric key a check reads: a value that is not a number, or one far
// beyond any sensible requirement, stops the program with a message naming
// the key, except on the disk row, which goes on without passing.
TEST_F(Checks, NotANumberStopsNamingTheKey) {
    struct Case {
        const char* key;
        std::uint32_t major, minor;
    };
    const Case stopping[] = {
        {"MinOS", 5, 1},          {"XPSP", 5, 1},           {"VistaSP", 6, 0},
        {"Win7SP", 6, 1},         {"MinCPUSpeed", 5, 1},    {"WarnCPUSpeed", 5, 1},
        {"MinCPUSpeedVista", 6, 1}, {"WarnCPUSpeedVista", 6, 1}, {"MinMemoryxp2k", 5, 1},
        {"WarnMemoryxp2k", 5, 1}, {"MinMemoryVista", 6, 1}, {"WarnMemoryVista", 6, 1},
        {"ExceptionOS", 5, 1},
    };
    for (const char* bad : {"12abc", "100000000000000000000", "-3000000000"}) {
        for (const Case& c : stopping) {
            SetUp();
            SetOs(2, c.major, c.minor, 3);
            settings[c.key] = bad;
            CheckPlatform platform = Platform();
            std::optional<SettingsStop> stop = RunAllChecks(run, Values(), platform).stop;
            ASSERT_TRUE(stop) << c.key << " = " << bad << " did not stop";
            EXPECT_NE(stop->message.find(std::string(c.key) + " = \"" + bad + "\""),
                      std::string::npos)
                << stop->message;
            EXPECT_FALSE(run.verdict) << "a stopped run has no verdict";
        }
    }
    // The 9x memory keys too.
    for (const char* key : {"MinMemory95", "WarnMemory95", "MinMemory98me", "WarnMemory98me"}) {
        SetUp();
        if (std::string(key).find("95") != std::string::npos) SetOs(1, 4, 0);
        else SetOs(1, 4, 10);
        settings[key] = "lots";
        CheckPlatform platform = Platform();
        EXPECT_TRUE(CheckMemory(run, Values(), platform).stop) << key;
    }
}

TEST_F(Checks, DiskGoesOnPastUnreadableValues) {
    for (const char* key : {"MinDiskSpace", "MinDiskSpaceVista"}) {
        for (std::string bad : {"much", "-100000000000000000000"}) {
            SetUp();
            if (std::string(key).find("Vista") != std::string::npos) SetOs(2, 6, 0, 1);
            settings[key] = bad;
            problems.clear();
            run.rows.clear();
            CheckPlatform platform = Platform();
            EXPECT_EQ(CheckDiskSpace(run, Values(), platform), kCheckFailed);
            EXPECT_EQ(OnlyRecord(), "Disk Space^Failed^" + bad + "^4.00 GB");
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_NE(problems[0].find(std::string(key) + " = \"" + bad + "\""),
                      std::string::npos);
        }
    }
    for (const char* key : {"WarnDiskSpace", "WarnDiskSpaceVista"}) {
        SetUp();
        if (std::string(key).find("Vista") != std::string::npos) SetOs(2, 6, 0, 1);
        settings[key] = "";
        problems.clear();
        run.rows.clear();
        CheckPlatform platform = Platform();
        EXPECT_EQ(CheckDiskSpace(run, Values(), platform), kCheckPassedWarning) << key;
        EXPECT_EQ(problems.size(), 1u);
    }
}

TEST(Formats, SizesAndClocks) {
    EXPECT_EQ(FormatSize(0), "0 MB");
    EXPECT_EQ(FormatSize(1023), "1023 MB");
    EXPECT_EQ(FormatSize(1024), "1.00 GB");
    EXPECT_EQ(FormatSize(1536), "1.50 GB");
    EXPECT_EQ(FormatClock(970), "970 MHz");
    EXPECT_EQ(FormatClock(1600), "1.60 GHz");
    EXPECT_EQ(FormatClock(123456), "123.46 GHz");
}

}  // namespace
