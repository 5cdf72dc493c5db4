#include "cpu/cpu_names.h"

#include <gtest/gtest.h>

#include <string_view>

#include "tests/cpu/cpu_info_fixture.h"

namespace {

using namespace std::literals;

// --- Vendors ---------------------------------------------------------------

TEST_F(CpuInfoTest, VendorTable) {
    const char* manufacturers[] = {"Unknown", "Intel",   "AMD",  "UMC",       "Cyrix", "NexGen",
                                   "Centaur", "Rise",    "SIS",  "Transmeta", "National Semiconductor"};
    for (int code = 0; code <= 10; ++code) {
        Load(Cpu{.vendor = kVendorTexts[code]});
        EXPECT_EQ(info.VendorIdStr(true), kVendorTexts[code]);
        EXPECT_EQ(info.Vendor(), code) << kVendorTexts[code];
        EXPECT_EQ(info.ManufacturerStr(), manufacturers[code]) << kVendorTexts[code];
    }
    // Compared exactly: case and the trailing space matter.
    for (std::string_view lookalike : {"genuineintel"sv, "AuthenticAmd"sv, "UMC UMC UMC_"sv, "SiS SiS SiS\0"sv}) {
        Load(Cpu{.vendor = lookalike});
        EXPECT_EQ(info.Vendor(), 0) << lookalike;
        EXPECT_EQ(info.ManufacturerStr(), "Unknown");
    }
}

TEST_F(CpuInfoTest, WithoutStandardLevelsTheVendorIsKeptButNotReported) {
    Load(Cpu{.vendor = "AuthenticAMD"});
    Set(0, CpuRegs{});
    Set(kExt, CpuRegs{});
    info.Refresh(false);
    EXPECT_EQ(info.LevelsStd(), 0);
    EXPECT_EQ(info.LevelsExt(), 8) << "kept from the previous Refresh";
    EXPECT_FALSE(info.Supported());
    EXPECT_TRUE(info.Extended());
    EXPECT_EQ(info.Vendor(), 0);
    EXPECT_EQ(info.ManufacturerStr(), "");
    EXPECT_EQ(info.VendorIdStr(true), std::string(12, '\0'));
}

TEST_F(CpuInfoTest, LevelsAreTheLowByteOnly) {
    Load(Cpu{.maxStd = 0x1234'0105, .maxExt = Ext(0x8000001E)});
    EXPECT_EQ(info.LevelsStd(), 5);
    EXPECT_EQ(info.LevelsExt(), 0x1E);
    // Another answer to the extended level still yields a value.
    Load(Cpu{.maxExt = 0x00000D07});
    EXPECT_EQ(info.LevelsExt(), 7);
}

// --- Brands ----------------------------------------------------------------

struct BrandCase {
    bool standard;
    int vendor;
    std::int32_t ebx;
    const char* text;
};

class BrandNames : public CpuInfoTest, public ::testing::WithParamInterface<BrandCase> {};

TEST_P(BrandNames, ByIndexOrAmdFields) {
    const BrandCase& c = GetParam();
    Cpu cpu{.vendor = kVendorTexts[c.vendor]};
    (c.standard ? cpu.std1 : cpu.ext1).ebx = c.ebx;
    Load(cpu);
    EXPECT_EQ(info.CpuBrandStr(c.standard), c.text) << std::hex << c.ebx;
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, BrandNames,
    ::testing::Values(
        BrandCase{true, 1, 1, "0.18 \xB5m Intel Celeron"},
        BrandCase{true, 1, 2, "0.18 \xB5m Intel Pentium III"},
        BrandCase{true, 1, 3, "0.18 \xB5m Intel Pentium III Xeon OR 0.13 \xB5m Intel Celeron"},
        BrandCase{true, 1, 4, "0.13 \xB5m Intel Pentium III"},
        BrandCase{true, 1, 6, "0.13 \xB5m Intel Pentium III mobile"},
        BrandCase{true, 1, 7, "0.13 \xB5m Intel Celeron mobile"},
        BrandCase{true, 1, 8, "0.18 \xB5m Intel Pentium 4 OR 0.13 \xB5m Intel Celeron 4 mobile (0F24h)"},
        BrandCase{true, 1, 9, "0.13 \xB5m Intel Pentium 4"},
        BrandCase{true, 1, 10, "0.18 \xB5m Intel Celeron 4"},
        BrandCase{true, 1, 11, "0.18 \xB5m Intel Pentium 4 Xeon MP OR 0.13 \xB5m Intel Pentium 4 Xeon"},
        BrandCase{true, 1, 12, "0.13 \xB5m Intel Pentium 4 Xeon MP"},
        BrandCase{true, 1, 14, "0.13 \xB5m Intel Pentium 4 mobile"},
        BrandCase{true, 1, 15, "0.13 \xB5m Intel Celeron 4 mobile (0F27h)"},
        BrandCase{true, 1, 22, "0.13 \xB5m Intel Pentium M"},
        BrandCase{true, 1, 0, ""}, BrandCase{true, 1, 5, ""}, BrandCase{true, 1, 13, ""},
        BrandCase{true, 1, 23, ""},
        BrandCase{true, 1, 0x12345609, "0.13 \xB5m Intel Pentium 4"},  // only bits 7..0
        BrandCase{true, 4, 9, "0.13 \xB5m Intel Pentium 4"},           // whatever the vendor
        BrandCase{true, 2, 9, "0.13 \xB5m Intel Pentium 4"}));

INSTANTIATE_TEST_SUITE_P(
    Amd, BrandNames,
    ::testing::Values(
        // Standard: type in bits 7..5, number in bits 4..0.
        BrandCase{true, 2, 3 << 5 | 0, "Opteron UP 132"},
        BrandCase{true, 2, 4 << 5 | 4, "Opteron DP 240"},
        BrandCase{true, 2, 5 << 5 | 31, "Opteron MP 894"},
        BrandCase{true, 2, 2 << 5 | 1, ""}, BrandCase{true, 2, 6 << 5 | 1, ""},
        BrandCase{true, 1, 4 << 5 | 4, ""},  // not AMD
        // Extended: type above bit 8, number in bits 7..0; bits above 11 ignored.
        BrandCase{false, 2, 4 << 8 | 4, "Opteron DP 240"},
        BrandCase{false, 2, 5 << 8 | 0x10, "Opteron MP 864"},
        BrandCase{false, 2, 3 << 8 | 0xFF, "Opteron UP 1542"},
        BrandCase{false, 2, static_cast<std::int32_t>(0xFFFFF404), "Opteron DP 240"},
        BrandCase{false, 2, 0, ""}, BrandCase{false, 2, 1 << 8 | 4, ""},
        BrandCase{false, 2, 9, ""},  // no index table here
        BrandCase{false, 1, 4 << 8 | 4, ""}));

TEST_F(CpuInfoTest, BrandNeedsTheLevels) {
    Load(Cpu{.vendor = "AuthenticAMD", .maxExt = 0, .std1 = {0, 9, 0, 0}, .ext1 = {0, 0x404, 0, 0}});
    EXPECT_EQ(info.CpuBrandStr(true), "0.13 \xB5m Intel Pentium 4");
    EXPECT_EQ(info.CpuBrand(false), 0);
    EXPECT_EQ(info.CpuBrandStr(false), "");
    Load(Cpu{.maxStd = 0, .std1 = {0, 9, 0, 0}});
    EXPECT_EQ(info.CpuBrand(true), 0);
    EXPECT_EQ(info.CpuBrandStr(true), "");
}

// --- Family and model names ------------------------------------------------

struct NameCase {
    bool standard;
    int vendor, family, familyEx, model, stepping;
    const char* text;
};

class FamilyNames : public CpuInfoTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(FamilyNames, FirstMatchingRow) {
    const NameCase& c = GetParam();
    std::int32_t eax = Signature(c.family, c.model, c.stepping, 0, c.familyEx);
    Load(Cpu{.vendor = kVendorTexts[c.vendor], .std1 = {eax, 0, 0, 0}, .ext1 = {eax, 0, 0, 0}});
    EXPECT_EQ(info.CpuFamilyStr(c.standard), c.text)
        << c.standard << " vendor " << c.vendor << " family " << c.family << "/" << c.familyEx;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FamilyNames,
    ::testing::Values(
        NameCase{true, 1, 4, 0, 0, 0, "80486"}, NameCase{true, 2, 4, 0, 0, 0, "5x86"},
        NameCase{true, 4, 4, 0, 0, 0, "5x86"}, NameCase{true, 3, 4, 0, 0, 0, ""},
        NameCase{true, 1, 5, 0, 0, 0, "P5, P54C, P55C, P24T"},
        NameCase{true, 2, 5, 0, 0, 0, "K5, K6"}, NameCase{true, 4, 5, 0, 0, 0, "M1"},
        NameCase{true, 5, 5, 0, 0, 0, "Nx586"}, NameCase{true, 6, 5, 0, 0, 0, "C6, C2, C3"},
        NameCase{true, 7, 5, 0, 0, 0, "mP6"}, NameCase{true, 8, 5, 0, 0, 0, "55x"},
        NameCase{true, 9, 5, 0, 0, 0, "TM3x00, TM5x00"}, NameCase{true, 10, 5, 0, 0, 0, ""},
        NameCase{true, 1, 6, 0, 0, 0, "P6, P2, P3, PM"}, NameCase{true, 2, 6, 0, 0, 0, "K7"},
        NameCase{true, 4, 6, 0, 0, 0, "M2"}, NameCase{true, 6, 6, 0, 0, 0, "C3"},
        NameCase{true, 5, 6, 0, 0, 0, ""}, NameCase{true, 1, 7, 0, 0, 0, "Itanium"},
        NameCase{true, 2, 7, 0, 0, 0, ""}, NameCase{true, 1, 15, 0, 0, 0, "P4"},
        NameCase{true, 2, 15, 0, 0, 0, "K8"}, NameCase{true, 4, 15, 0, 0, 0, ""},
        NameCase{true, 1, 15, 1, 0, 0, "Itanium 2"}, NameCase{true, 2, 15, 1, 0, 0, "Itanium 2"},
        NameCase{true, 0, 15, 1, 0, 0, "Itanium 2"}, NameCase{true, 2, 15, 8, 0, 0, ""},
        NameCase{true, 1, 3, 0, 0, 0, ""},
        NameCase{false, 2, 5, 0, 0, 0, "K5"}, NameCase{false, 6, 5, 0, 0, 0, "C2, C3"},
        NameCase{false, 9, 5, 0, 0, 0, "TM3x00, TM5x00"}, NameCase{false, 1, 5, 0, 0, 0, ""},
        NameCase{false, 2, 6, 0, 0, 0, "K6"}, NameCase{false, 6, 6, 0, 0, 0, "C3"},
        NameCase{false, 2, 7, 0, 0, 0, "K7"}, NameCase{false, 1, 7, 0, 0, 0, ""},
        NameCase{false, 2, 15, 0, 0, 0, "K8"}, NameCase{false, 2, 15, 1, 0, 0, ""},
        NameCase{false, 1, 15, 0, 0, 0, ""}));

class ModelNames : public CpuInfoTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ModelNames, ByVendorFamilyAndModel) {
    const NameCase& c = GetParam();
    std::int32_t eax = Signature(c.family, c.model, c.stepping, 0xA, c.familyEx);
    Load(Cpu{.vendor = kVendorTexts[c.vendor], .std1 = {eax, 0, 0, 0}, .ext1 = {eax, 0, 0, 0}});
    EXPECT_EQ(info.CpuModelStr(c.standard), c.text)
        << c.standard << " vendor " << c.vendor << " family " << c.family << " model " << c.model;
}

// Each row of the tables, at its first and last model and at its odd ones.
INSTANTIATE_TEST_SUITE_P(
    StandardRows, ModelNames,
    ::testing::Values(
        NameCase{true, 1, 4, 0, 0, 0, "i80486DX-25/33"}, NameCase{true, 1, 4, 0, 6, 0, ""},
        NameCase{true, 1, 4, 0, 9, 0, "i80486DX4WB"}, NameCase{true, 1, 5, 0, 0, 0, "P5 A-step"},
        NameCase{true, 1, 5, 0, 3, 0, "P24T Overdrive"}, NameCase{true, 1, 5, 0, 7, 0, "P55C"},
        NameCase{true, 1, 5, 0, 8, 0, "P55C (0.25\xB5m)"},
        NameCase{true, 1, 6, 0, 0, 0, "P6 A-step"}, NameCase{true, 1, 6, 0, 2, 0, ""},
        NameCase{true, 1, 6, 0, 3, 0, "P2 (0.28 \xB5m)"},
        NameCase{true, 1, 6, 0, 9, 0, "PM (0.13 \xB5m) with 1 MB on-die L2 cache"},
        NameCase{true, 1, 6, 0, 11, 0, "P3 (0.13 \xB5m) with 256 or 512 KB on-die L2 cache"},
        NameCase{true, 1, 15, 0, 0, 0, "P4 (0.18 \xB5m)"},
        NameCase{true, 1, 15, 0, 3, 0, "P4 (0.09 \xB5m)"}, NameCase{true, 1, 15, 1, 3, 0, ""},
        NameCase{true, 2, 4, 0, 3, 0, "80486DX2"}, NameCase{true, 2, 4, 0, 14, 0, "5x86"},
        NameCase{true, 2, 5, 0, 0, 0, "SSA5 (PR75, PR90, PR100)"},
        NameCase{true, 2, 5, 0, 1, 0, "5k86 (PR120, PR133)"},
        NameCase{true, 2, 5, 0, 13, 0, "K6-2+ or K6-III+ (0.18 \xB5m)"},
        NameCase{true, 2, 6, 0, 1, 0, "Athlon (0.25 \xB5m)"},
        NameCase{true, 2, 6, 0, 10, 0, "Athlon (BT core)"}, NameCase{true, 2, 6, 0, 5, 0, ""},
        NameCase{true, 2, 15, 0, 5, 0, "Opteron DP (0.13 \xB5m)"},
        NameCase{true, 2, 15, 2, 5, 0, ""},
        NameCase{true, 3, 9, 0, 1, 0, "U5D"}, NameCase{true, 3, 4, 0, 2, 0, "U5S"},
        NameCase{true, 4, 4, 0, 4, 0, "GX, GXm"}, NameCase{true, 4, 4, 0, 9, 0, "5x86"},
        NameCase{true, 4, 5, 0, 2, 0, "6x86"}, NameCase{true, 4, 5, 0, 5, 0, "Cyrix M2 core"},
        NameCase{true, 4, 5, 0, 7, 7, "WinChip C5B core"},
        NameCase{true, 4, 5, 0, 7, 8, "WinChip C5C core"},
        NameCase{true, 4, 5, 0, 9, 0, "WinChip C5XL core"},
        NameCase{true, 4, 6, 0, 0, 0, "6x86MX"}, NameCase{true, 4, 7, 0, 0, 0, ""},
        NameCase{true, 5, 6, 0, 0, 0, "Nx586 or Nx586FPU"}, NameCase{true, 6, 6, 0, 4, 0, "C6"},
        NameCase{true, 6, 5, 0, 9, 0, "C3"}, NameCase{true, 7, 5, 0, 0, 0, "mP6 (0.25 \xB5m)"},
        NameCase{true, 7, 5, 0, 2, 0, "mP6 (0.18 \xB5m)"}, NameCase{true, 8, 5, 0, 0, 0, "55x"},
        NameCase{true, 9, 5, 0, 4, 0, "Crusoe TM3x00 and TM5x00"},
        NameCase{true, 10, 5, 0, 4, 0, ""}, NameCase{true, 0, 5, 0, 4, 0, ""}));

INSTANTIATE_TEST_SUITE_P(
    ExtendedRows, ModelNames,
    ::testing::Values(
        NameCase{false, 2, 5, 0, 1, 0, "5k86 (PR120 or PR133)"},
        NameCase{false, 2, 5, 0, 3, 0, "5k86 (PR200)"}, NameCase{false, 2, 5, 0, 0, 0, ""},
        NameCase{false, 2, 6, 0, 6, 0, "K6 (0.30 \xB5m)"},
        NameCase{false, 2, 6, 0, 13, 0, "K6-2+ or K6-III+ (0.18 \xB5m)"},
        NameCase{false, 2, 7, 0, 1, 0, "Athlon (0.25 \xB5m)"},
        NameCase{false, 2, 7, 0, 10, 0, "Athlon (BT core)"},
        NameCase{false, 2, 15, 0, 5, 0, "Opteron DP (0.13 \xB5m)"},
        NameCase{false, 4, 3, 0, 6, 0, "WinChip C5A core"},
        NameCase{false, 4, 6, 0, 7, 3, "WinChip C5B core"},
        NameCase{false, 4, 6, 0, 7, 15, "WinChip C5C core"},
        NameCase{false, 4, 6, 0, 9, 0, "WinChip C5XL core"}, NameCase{false, 4, 6, 0, 2, 0, ""},
        NameCase{false, 6, 1, 0, 8, 0, "C2"}, NameCase{false, 6, 1, 0, 9, 0, "C3"},
        NameCase{false, 6, 1, 0, 4, 0, ""}, NameCase{false, 9, 5, 0, 4, 0, "Crusoe TM3x00 and TM5x00"},
        NameCase{false, 1, 6, 0, 8, 0, ""}, NameCase{false, 10, 5, 0, 4, 0, ""}));

TEST_F(CpuInfoTest, ModelFifteenGetsTheExtendedModelWhetherNamedOrNot) {
    struct Case {
        bool standard;
        int vendor, family, modelEx;
        const char* text;
    } cases[] = {
        {true, 2, 4, 0xA, "5x86WB - Extended model #A"},
        {true, 1, 6, 0x0, " - Extended model #0"},
        {true, 2, 15, 0xC, " - Extended model #C"},
        {true, 0, 6, 0x3, " - Extended model #3"},
        {false, 2, 15, 0x2, " - Extended model #2"},
    };
    for (const Case& c : cases) {
        std::int32_t eax = Signature(c.family, 15, 0, c.modelEx);
        Load(Cpu{.vendor = kVendorTexts[c.vendor], .std1 = {eax, 0, 0, 0}, .ext1 = {eax, 0, 0, 0}});
        EXPECT_EQ(info.CpuModelStr(c.standard), c.text);
    }
}

TEST_F(CpuInfoTest, NamesNeedTheStandardLevel) {
    std::int32_t eax = Signature(6, 15, 0, 1);
    Load(Cpu{.maxStd = 0, .std1 = {eax, 0, 0, 0}, .ext1 = {eax, 0, 0, 0}});
    for (bool standard : {true, false}) {
        EXPECT_EQ(info.CpuFamilyStr(standard), "");
        EXPECT_EQ(info.CpuModelStr(standard), "");
    }
    // Without the extended level the extended fields read as 0.
    Load(Cpu{.vendor = "AuthenticAMD", .maxExt = 0, .ext1 = {Signature(7, 1), 0, 0, 0}});
    EXPECT_EQ(info.CpuFamily(false), 0);
    EXPECT_EQ(info.CpuFamilyStr(false), "");
}

}  // namespace
