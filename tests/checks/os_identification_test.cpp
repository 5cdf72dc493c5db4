#include "checks/os_identification.h"

#include <gtest/gtest.h>

#include "tests/fake_system.h"

namespace {

constexpr std::uint32_t k9x = 1, kNT = 2;

struct VersionCase {
    const char* what;
    std::uint32_t platform, major, minor, build;
    std::optional<bool> wow64;
    std::uint8_t productType;
    int code;
    const char* name;
};

class OsCodeTable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(OsCodeTable, CodeAndName) {
    const VersionCase& c = GetParam();
    FakeSystem system;
    system.SetVersion(c.platform, c.major, c.minor, c.build, 0, c.productType);
    system.wow64 = c.wow64;
    EXPECT_EQ(GetOsCode(system), c.code) << c.what;
    EXPECT_EQ(OsName(0, system), c.name) << c.what;
    EXPECT_EQ(OsName(c.code, system), c.name) << c.what;
}

// 9x build fields carry the version in the high word: 0x040003B6 is 4.0.950.
INSTANTIATE_TEST_SUITE_P(
    Versions, OsCodeTable,
    ::testing::Values(
        VersionCase{"Windows 95", k9x, 4, 0, 0x040003B6, false, 0, 1, "Windows 95A"},
        VersionCase{"Windows 95 OSR2", k9x, 4, 0, 0x04000457, false, 0, 1, "Windows 95B"},
        VersionCase{"Windows 98", k9x, 4, 10, 0x040A07CE, false, 0, 2, "Windows 98"},
        VersionCase{"Windows 98 SE", k9x, 4, 10, 0x040A08AE, false, 0, 2, "Windows 98 OSR2"},
        VersionCase{"Windows ME", k9x, 4, 90, 0x045A0BB8, false, 0, 3, "Windows ME"},
        VersionCase{"9x major 5", k9x, 5, 0, 0, false, 0, 2, "Windows 98 OSR2"},
        VersionCase{"9x major 3", k9x, 3, 0, 0, false, 0, 0, "Unknown OS."},
        VersionCase{"other platform 4.1", 0, 4, 1, 0, false, 0, 2, "Windows 98 OSR2"},
        VersionCase{"other platform 4.0", 0, 4, 0, 0, false, 0, 0, "Unknown OS."},
        VersionCase{"NT 4 workstation", kNT, 4, 0, 1381, false, 1, 4, "Windows NT4"},
        VersionCase{"NT 4 server", kNT, 4, 0, 1381, false, 3, 13, "Server OS"},
        VersionCase{"Windows 2000", kNT, 5, 0, 2195, false, 1, 5, "Windows 2000"},
        VersionCase{"Windows 2000 DC", kNT, 5, 0, 2195, false, 2, 13, "Server OS"},
        VersionCase{"Windows XP", kNT, 5, 1, 2600, false, 1, 6, "Windows XP"},
        VersionCase{"XP x64", kNT, 5, 2, 3790, true, 1, 7, "Windows XP x64"},
        VersionCase{"5.2 without IsWow64Process", kNT, 5, 2, 3790, std::nullopt, 1, 8,
                    "Windows 2003"},
        VersionCase{"Server 2003", kNT, 5, 2, 3790, false, 3, 13, "Server OS"},
        VersionCase{"5.3", kNT, 5, 3, 0, false, 1, 0, "Unknown OS."},
        VersionCase{"Vista", kNT, 6, 0, 6002, false, 1, 9, "Windows Vista"},
        VersionCase{"Vista x64", kNT, 6, 0, 6002, true, 1, 10, "Windows Vista x64"},
        VersionCase{"Windows 7", kNT, 6, 1, 7601, false, 1, 11, "Windows 7"},
        VersionCase{"Windows 7 x64", kNT, 6, 1, 7601, true, 1, 12, "Windows 7 x64"},
        VersionCase{"Server 2008 R2", kNT, 6, 1, 7601, true, 3, 12, "Windows 7 x64"},
        VersionCase{"Server 2008 R2 32", kNT, 6, 1, 7601, false, 3, 11, "Windows 7"},
        VersionCase{"Windows 8", kNT, 6, 2, 9200, false, 1, 0, "Unknown OS."},
        VersionCase{"NT 10", kNT, 10, 0, 19045, false, 1, 0, "Unknown OS."}));

TEST(OsCode, FailedVersionQueryIsUnknown) {
    FakeSystem system;
    EXPECT_EQ(GetOsCode(system), 0);
    EXPECT_EQ(OsName(0, system), "Unknown OS.");
    EXPECT_EQ(ServicePackText(false, system), "");
    EXPECT_EQ(ServicePackText(true, system), "");
}

TEST(OsCode, NamesOutsideTheTableAreUnknown) {
    FakeSystem system;
    system.SetVersion(kNT, 5, 1);
    EXPECT_EQ(OsName(14, system), "Unknown OS.");
    EXPECT_EQ(OsName(-1, system), "Unknown OS.");
}

TEST(ServicePack, TextsByVerbosity) {
    FakeSystem system;
    system.SetVersion(kNT, 5, 1, 2600, 3);
    EXPECT_EQ(ServicePackText(false, system), "3");
    EXPECT_EQ(ServicePackText(true, system), "SP3");
    system.SetVersion(kNT, 5, 1, 2600, 0);
    EXPECT_EQ(ServicePackText(false, system), "0");
    EXPECT_EQ(ServicePackText(true, system), "none");
}

}  // namespace
