#include "cpu/cpu_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "cpu/cpu_names.h"
#include "tests/cpu/cpu_info_fixture.h"

namespace {

TEST_F(CpuInfoTest, ConstructionReadsAllThirteenLeavesOnce) {
    for (std::int32_t level : {0, 1, 2, 3}) EXPECT_EQ(script->calls[level], 1) << level;
    for (std::uint32_t k = 0; k <= 8; ++k) EXPECT_EQ(script->calls[Ext(0x80000000 + k)], 1) << k;
    EXPECT_EQ(script->calls.size(), 13u);
    EXPECT_FALSE(info.Supported()) << "all leaves zero: no CPUID";
    EXPECT_EQ(info.ManufacturerStr(), "");
}


TEST(CpuInfoOnThisProcessor, VendorMatchesTheKernels) {
    cCpuInfo info;
    EXPECT_TRUE(info.Supported());
    EXPECT_TRUE(info.CpuLogicalCount().has_value());
    const char* host = std::getenv("TSCHECK_HOST_CPU_VENDOR");
    if (!host) GTEST_SKIP() << "the host's vendor text was not passed in";
    EXPECT_EQ(info.VendorIdStr(true), host);
    EXPECT_EQ(info.Vendor(), VendorCodeOf(host));
}

TEST(HexPad, WidthAndTwosComplement) {
    struct Case {
        std::int32_t value, width;
        const char* text;
    } cases[] = {
        {255, 4, "00FF"},      {-1, 4, "FFFFFFFF"}, {0x12345, 4, "12345"}, {5, 0, "5"},
        {0, 0, "0"},           {0, 4, "0000"},      {0xABC, 3, "ABC"},     {10, -3, "A"},
        {static_cast<std::int32_t>(0x80000000u), 0, "80000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(cCpuInfo::HexPad(c.value, c.width), c.text);
    EXPECT_EQ(cCpuInfo::HexPad(5), "5");
}

// --- Bit fields and their conditions --------------------------------------

// Signature: stepping D, model 5, family E, type 2, extended model B,
// extended family A7, bits 31..28 set. Brand word: APIC id C3, 16 logical
// processors, brand index 22.
const Cpu kFields{
    .std1 = {static_cast<std::int32_t>(0xFA7B2E5Du), static_cast<std::int32_t>(0xC3100816u),
             static_cast<std::int32_t>(0x80000001u), static_cast<std::int32_t>(0x80000001u)},
    .ext1 = {0x00680F72, static_cast<std::int32_t>(0xFFFFF404u), 0,
             static_cast<std::int32_t>(0x80000001u)},
    .more = {{kExt + 5, {0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10}},
             {kExt + 6, {static_cast<std::int32_t>(0xA123B456u),
                         static_cast<std::int32_t>(0xC789D0ABu), 0x02006140, 0}},
             {kExt + 7, {0, 0, 0, 0x100}},
             {kExt + 8, {0x3028, 0, 0, 0}}}};

struct FieldCase {
    const char* what;
    std::int32_t maxStd, maxExt;
    std::function<std::int64_t(const cCpuInfo&)> read;
    std::int64_t expected;
};

class BitFields : public CpuInfoTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(BitFields, ValueOrZeroWhenTheLevelIsMissing) {
    const FieldCase& c = GetParam();
    Cpu cpu = kFields;
    cpu.maxStd = c.maxStd;
    cpu.maxExt = c.maxExt;
    Load(cpu);
    EXPECT_EQ(c.read(info), c.expected) << c.what;
}

constexpr std::int32_t kStd = 3, kNoStd = 0, kAllExt = Ext(0x80000008);

FieldCase Field(const char* what, std::function<std::int64_t(const cCpuInfo&)> read,
                std::int64_t expected, std::int32_t maxStd = kStd, std::int32_t maxExt = kAllExt) {
    return FieldCase{what, maxStd, maxExt, std::move(read), expected};
}

INSTANTIATE_TEST_SUITE_P(
    Standard, BitFields,
    ::testing::Values(
        Field("stepping", [](auto& i) { return i.CpuStepping(true); }, 0xD),
        Field("model", [](auto& i) { return i.CpuModel(true); }, 0x5),
        Field("family", [](auto& i) { return i.CpuFamily(true); }, 0xE),
        Field("model ex", [](auto& i) { return i.CpuModelEx(true); }, 0xB),
        Field("family ex", [](auto& i) { return i.CpuFamilyEx(true); }, 0xA7),
        Field("type", [](auto& i) { return i.CpuType(); }, 2),
        Field("brand", [](auto& i) { return i.CpuBrand(true); }, 22),
        Field("apic", [](auto& i) { return i.ApicID(); }, 0xC3),
        Field("logical", [](auto& i) { return i.CpuLogicalCount().value_or(-1); }, 16),
        Field("stepping, no level", [](auto& i) { return i.CpuStepping(true); }, 0, kNoStd),
        Field("family, no level", [](auto& i) { return i.CpuFamily(true); }, 0, kNoStd),
        Field("type, no level", [](auto& i) { return i.CpuType(); }, 0, kNoStd),
        Field("apic, no level", [](auto& i) { return i.ApicID(); }, 0, kNoStd),
        Field("logical, no level", [](auto& i) { return i.CpuLogicalCount().value_or(-1); }, -1,
              kNoStd),
        Field("feature 0", [](auto& i) { return i.Feature(0); }, 1),
        Field("feature 1", [](auto& i) { return i.Feature(1); }, 0),
        Field("feature 31", [](auto& i) { return i.Feature(31); }, 1),
        Field("feature 32", [](auto& i) { return i.Feature(32); }, 1),
        Field("feature 33", [](auto& i) { return i.Feature(33); }, 0),
        Field("feature 63", [](auto& i) { return i.Feature(63); }, 1),
        Field("feature -1", [](auto& i) { return i.Feature(-1); }, 0),
        Field("feature 0, no level", [](auto& i) { return i.Feature(0); }, 0, kNoStd),
        Field("feature 63, no level", [](auto& i) { return i.Feature(63); }, 0, kNoStd)));

INSTANTIATE_TEST_SUITE_P(
    Extended, BitFields,
    ::testing::Values(
        Field("stepping", [](auto& i) { return i.CpuStepping(); }, 2),
        Field("model", [](auto& i) { return i.CpuModel(); }, 7),
        Field("family", [](auto& i) { return i.CpuFamily(); }, 15),
        Field("model ex", [](auto& i) { return i.CpuModelEx(); }, 8),
        Field("family ex", [](auto& i) { return i.CpuFamilyEx(); }, 6),
        Field("brand, 12 bits", [](auto& i) { return i.CpuBrand(); }, 0x404),
        Field("model, no level", [](auto& i) { return i.CpuModel(); }, 0, kStd, 0),
        Field("brand, no level", [](auto& i) { return i.CpuBrand(); }, 0, kStd, 0),
        Field("feature 64", [](auto& i) { return i.Feature(64); }, 1),
        Field("feature 95", [](auto& i) { return i.Feature(95); }, 1),
        Field("feature 96", [](auto& i) { return i.Feature(96); }, 0),
        Field("feature 64, no level", [](auto& i) { return i.Feature(64); }, 0, kStd, 0),
        Field("power 8", [](auto& i) { return i.xPowerManagement(8); }, 1),
        Field("power 7", [](auto& i) { return i.xPowerManagement(7); }, 0),
        Field("power 40", [](auto& i) { return i.xPowerManagement(40); }, 0),
        Field("power 8 below level 7", [](auto& i) { return i.xPowerManagement(8); }, 0, kStd,
              Ext(0x80000006)),
        Field("physical", [](auto& i) { return i.xAddrBitsPhysical(); }, 40),
        Field("virtual", [](auto& i) { return i.xAddrBitsVirtual(); }, 48),
        Field("physical below 8", [](auto& i) { return i.xAddrBitsPhysical(); }, 0, kStd,
              Ext(0x80000007)),
        Field("virtual below 8", [](auto& i) { return i.xAddrBitsVirtual(); }, 0, kStd,
              Ext(0x80000007)),
        Field("supported", [](auto& i) { return i.Supported(); }, 1),
        Field("extended", [](auto& i) { return i.Extended(); }, 1),
        Field("not extended", [](auto& i) { return i.Extended(); }, 0, kStd, 0)));

TEST_F(CpuInfoTest, CacheFieldsOfExtendedLeavesFiveAndSix) {
    const std::int32_t expected[28] = {1,   2,     3,   4,     5,   6,     7,   8,    9,   10,
                                       11,  12,    13,  14,    15,  16,    0xA, 0x123, 0xB, 0x456,
                                       0xC, 0x789, 0xD, 0x0AB, 512, 6,     1,   0x40};
    Load(kFields);
    for (std::int32_t field = 0; field < 28; ++field)
        EXPECT_EQ(info.xCache(field), expected[field]) << "field " << field;
    EXPECT_EQ(info.xCache(28), 0);
    EXPECT_EQ(info.xCache(-1), 0);
    Cpu below = kFields;
    below.maxExt = Ext(0x80000005);
    Load(below);
    EXPECT_EQ(info.xCache(0), 0);
    EXPECT_EQ(info.xCacheAssocStr(255), "");
}

TEST_F(CpuInfoTest, AssociativityAndTypeTexts) {
    Load(kFields);
    const std::pair<std::int32_t, const char*> assoc[] = {
        {255, "Full"}, {0, "Off"},      {1, "Direct mapped"}, {2, "2-way"}, {4, "4-way"},
        {6, "8-way"},  {8, "16-way"},   {3, ""},              {16, ""},     {-1, ""}};
    for (const auto& [n, text] : assoc) EXPECT_EQ(info.xCacheAssocStr(n), text) << n;

    const char* types[] = {"Primary processor", "Overdrive processor", "Secondary processor", ""};
    for (int type = 0; type < 4; ++type) {
        Load(Cpu{.std1 = {type << 12, 0, 0, 0}});
        EXPECT_EQ(info.CpuTypeStr(), types[type]);
    }
    Load(Cpu{.maxStd = 0, .std1 = {1 << 12, 0, 0, 0}});
    EXPECT_EQ(info.CpuTypeStr(), "");
}

// --- Name string, serial number, leaf access ------------------------------

TEST_F(CpuInfoTest, NameStrTrimsSpacesAndKeepsZeroCharacters) {
    std::string text = "  Intel(R) Pentium(R) 4 CPU";
    text += '\0';
    text.resize(48, ' ');
    Cpu cpu{.maxExt = Ext(0x80000004)};
    for (int k = 0; k < 3; ++k) {
        auto part = std::string_view(text).substr(16 * k, 16);
        cpu.more[kExt + 2 + k] = {RegFromText(part.substr(0, 4)), RegFromText(part.substr(4, 4)),
                                  RegFromText(part.substr(8, 4)), RegFromText(part.substr(12, 4))};
    }
    Load(cpu);
    EXPECT_EQ(info.NameStr(), std::string("Intel(R) Pentium(R) 4 CPU\0", 26));
    cpu.maxExt = Ext(0x80000003);
    Load(cpu);
    EXPECT_EQ(info.NameStr(), "") << "the name needs extended level 4";
}

TEST_F(CpuInfoTest, SerialNumberNeedsLevelThreeAndItsFlag) {
    constexpr std::int32_t kSerialFlag = 1 << 18;
    Cpu cpu{.std1 = {0x00000F29, 0, 0, kSerialFlag},
            .more = {{3, {0, 0, static_cast<std::int32_t>(0x9ABCDEF0u), 0x12345678}}}};
    Load(cpu);
    EXPECT_EQ(info.SnStatus(), 2);
    EXPECT_EQ(info.SnStr(), "0000-0F29-1234-5678-9ABC-DEF0");
    cpu.std1.edx = ~kSerialFlag;
    Load(cpu);
    EXPECT_EQ(info.SnStatus(), 1);
    EXPECT_EQ(info.SnStr(), "");
    cpu.std1.edx = kSerialFlag;
    cpu.maxStd = 2;
    Load(cpu);
    EXPECT_EQ(info.SnStatus(), 0);
    EXPECT_EQ(info.SnStr(), "");
}

TEST_F(CpuInfoTest, LevelGetAndSetAddressThirteenLeaves) {
    for (std::int32_t n = 0; n <= 12; ++n) info.LevelSet(n, n, n + 100, n + 200, n + 300);
    info.LevelSet(13, 9, 9, 9, 9);
    info.LevelSet(-1, 9, 9, 9, 9);
    for (std::int32_t n = 0; n <= 12; ++n) {
        std::int32_t a = -1, b = -1, c = -1, d = -1;
        info.LevelGet(n, a, b, c, d);
        EXPECT_EQ(a + b + c + d, 4 * n + 600) << n;
    }
    std::int32_t a = -7, b = -7, c = -7, d = -7;
    info.LevelGet(13, a, b, c, d);
    EXPECT_EQ(a + b + c + d, -28) << "outputs untouched";
    EXPECT_EQ(info.LevelsStd(), 0) << "derived values wait for Refresh";
    info.Refresh(false);
    EXPECT_EQ(info.LevelsStd(), 0) << "S(0).eax is 0";
    info.LevelSet(0, 0x105, 0, 0, 0);
    info.Refresh(false);
    EXPECT_EQ(info.LevelsStd(), 5);
    EXPECT_EQ(info.LevelsExt(), 4) << "from X(0).eax = 4";
}

// --- Cache descriptors of leaf 2 ------------------------------------------

TEST_F(CpuInfoTest, CacheDescriptorsOfOnePass) {
    struct Case {
        const char* what;
        CpuRegs leaf;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"high byte first, zeros dropped", {0x665B5001, 0, 0, 0x007A7000},
         {0x66, 0x5B, 0x50, 0x7A, 0x70}},
        {"bit 31 marks an empty register",
         {static_cast<std::int32_t>(0x80AA5501u), static_cast<std::int32_t>(0x80FFFFFFu), 0x44,
          0},
         {0x44}},
        {"only the pass count", {0x00000001, 0, 0, 0}, {}},
        {"no passes", {0x665B5000, 0x11, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        Load(Cpu{.more = {{2, c.leaf}}});
        EXPECT_EQ(info.CacheDescriptors(), c.bytes) << c.what;
    }
    EXPECT_EQ(script->calls[2], 1) << "one pass reads nothing again";
    Load(Cpu{.maxStd = 1, .more = {{2, {0x665B5001, 0, 0, 0}}}});
    EXPECT_EQ(info.CacheDescriptors(), std::vector<std::uint8_t>{0});
}

TEST_F(CpuInfoTest, CacheDescriptorsReadLeafTwoAgainForEveryPass) {
    const CpuRegs second{0x00002202, 0, 0, 0x33};
    const CpuRegs last{0x44000002, 0, 0, 0};
    script->answers[2] = {CpuRegs{}, second, last};  // the first went to construction
    Load(Cpu{.more = {{2, {0x11000002, 0x22, 0, 0}}}});
    EXPECT_EQ(info.CacheDescriptors(), (std::vector<std::uint8_t>{0x11, 0x22, 0x22, 0x33}));
    EXPECT_EQ(script->calls[2], 3);
    std::int32_t a = 0, b = 0, c = 0, d = 0;
    info.LevelGet(2, a, b, c, d);
    EXPECT_EQ(a, last.eax) << "the last answer stays";
}

}  // namespace
