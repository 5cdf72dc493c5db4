#include "cpu/cpu_names.h"

#include <array>

namespace {

struct VendorRow {
    std::string_view idText;
    std::string_view manufacturer;
};

// Indexed by vendor code.
constexpr std::array<VendorRow, 11> kVendors{{
    {"", "Unknown"},
    {"GenuineIntel", "Intel"},
    {"AuthenticAMD", "AMD"},
    {"UMC UMC UMC ", "UMC"},
    {"CyrixInstead", "Cyrix"},
    {"NexGenDriven", "NexGen"},
    {"CentaurHauls", "Centaur"},
    {"RiseRiseRise", "Rise"},
    {"SiS SiS SiS ", "SIS"},
    {"GenuineTMx86", "Transmeta"},
    {"Geode by NSC", "National Semiconductor"},
}};

struct BrandRow {
    int index;
    std::string_view name;
};

constexpr BrandRow kBrandIndexes[] = {
    {1, "0.18 \xB5m Intel Celeron"},
    {2, "0.18 \xB5m Intel Pentium III"},
    {3, "0.18 \xB5m Intel Pentium III Xeon OR 0.13 \xB5m Intel Celeron"},
    {4, "0.13 \xB5m Intel Pentium III"},
    {6, "0.13 \xB5m Intel Pentium III mobile"},
    {7, "0.13 \xB5m Intel Celeron mobile"},
    {8, "0.18 \xB5m Intel Pentium 4 OR 0.13 \xB5m Intel Celeron 4 mobile (0F24h)"},
    {9, "0.13 \xB5m Intel Pentium 4"},
    {10, "0.18 \xB5m Intel Celeron 4"},
    {11, "0.18 \xB5m Intel Pentium 4 Xeon MP OR 0.13 \xB5m Intel Pentium 4 Xeon"},
    {12, "0.13 \xB5m Intel Pentium 4 Xeon MP"},
    {14, "0.13 \xB5m Intel Pentium 4 mobile"},
    {15, "0.13 \xB5m Intel Celeron 4 mobile (0F27h)"},
    {22, "0.13 \xB5m Intel Pentium M"},
};

constexpr int kAny = -1;

// Family 15 rows also look at the extended family.
enum class ExtendedFamily { kAny, kZero, kOne };

bool Matches(ExtendedFamily rule, int familyEx) {
    switch (rule) {
        case ExtendedFamily::kZero: return familyEx == 0;
        case ExtendedFamily::kOne: return familyEx == 1;
        default: return true;
    }
}

struct FamilyRow {
    bool standard;
    int family;
    int vendor;  // kAny: any vendor
    ExtendedFamily familyEx;
    std::string_view name;
};

constexpr FamilyRow kFamilies[] = {
    {true, 4, kVendorIntel, ExtendedFamily::kAny, "80486"},
    {true, 4, kVendorAmd, ExtendedFamily::kAny, "5x86"},
    {true, 4, kVendorCyrix, ExtendedFamily::kAny, "5x86"},
    {true, 5, kVendorIntel, ExtendedFamily::kAny, "P5, P54C, P55C, P24T"},
    {true, 5, kVendorAmd, ExtendedFamily::kAny, "K5, K6"},
    {true, 5, kVendorCyrix, ExtendedFamily::kAny, "M1"},
    {true, 5, kVendorNexGen, ExtendedFamily::kAny, "Nx586"},
    {true, 5, kVendorCentaur, ExtendedFamily::kAny, "C6, C2, C3"},
    {true, 5, kVendorRise, ExtendedFamily::kAny, "mP6"},
    {true, 5, kVendorSis, ExtendedFamily::kAny, "55x"},
    {true, 5, kVendorTransmeta, ExtendedFamily::kAny, "TM3x00, TM5x00"},
    {true, 6, kVendorIntel, ExtendedFamily::kAny, "P6, P2, P3, PM"},
    {true, 6, kVendorAmd, ExtendedFamily::kAny, "K7"},
    {true, 6, kVendorCyrix, ExtendedFamily::kAny, "M2"},
    {true, 6, kVendorCentaur, ExtendedFamily::kAny, "C3"},
    {true, 7, kVendorIntel, ExtendedFamily::kAny, "Itanium"},
    {true, 15, kVendorIntel, ExtendedFamily::kZero, "P4"},
    {true, 15, kVendorAmd, ExtendedFamily::kZero, "K8"},
    {true, 15, kAny, ExtendedFamily::kOne, "Itanium 2"},
    {false, 5, kVendorAmd, ExtendedFamily::kAny, "K5"},
    {false, 5, kVendorCentaur, ExtendedFamily::kAny, "C2, C3"},
    {false, 5, kVendorTransmeta, ExtendedFamily::kAny, "TM3x00, TM5x00"},
    {false, 6, kVendorAmd, ExtendedFamily::kAny, "K6"},
    {false, 6, kVendorCentaur, ExtendedFamily::kAny, "C3"},
    {false, 7, kVendorAmd, ExtendedFamily::kAny, "K7"},
    {false, 15, kVendorAmd, ExtendedFamily::kZero, "K8"},
};

struct ModelRow {
    bool standard;
    int vendor;
    int family;  // kAny: any family
    ExtendedFamily familyEx;
    int model;
    std::string_view name;
    // The name from stepping 8 on, where the stepping tells cores apart.
    std::string_view nameFromStepping8 = {};
};

constexpr auto kX = ExtendedFamily::kAny;
constexpr auto kX0 = ExtendedFamily::kZero;

constexpr ModelRow kModels[] = {
    // Standard leaf.
    {true, kVendorIntel, 4, kX, 0, "i80486DX-25/33"},
    {true, kVendorIntel, 4, kX, 1, "i80486DX-50"},
    {true, kVendorIntel, 4, kX, 2, "i80486SX"},
    {true, kVendorIntel, 4, kX, 3, "i80486DX2"},
    {true, kVendorIntel, 4, kX, 4, "i80486SL"},
    {true, kVendorIntel, 4, kX, 5, "i80486SX2"},
    {true, kVendorIntel, 4, kX, 7, "i80486DX2WB"},
    {true, kVendorIntel, 4, kX, 8, "i80486DX4"},
    {true, kVendorIntel, 4, kX, 9, "i80486DX4WB"},
    {true, kVendorIntel, 5, kX, 0, "P5 A-step"},
    {true, kVendorIntel, 5, kX, 1, "P5"},
    {true, kVendorIntel, 5, kX, 2, "P54C"},
    {true, kVendorIntel, 5, kX, 3, "P24T Overdrive"},
    {true, kVendorIntel, 5, kX, 4, "P55C"},
    {true, kVendorIntel, 5, kX, 7, "P55C"},
    {true, kVendorIntel, 5, kX, 8, "P55C (0.25\xB5m)"},
    {true, kVendorIntel, 6, kX, 0, "P6 A-step"},
    {true, kVendorIntel, 6, kX, 1, "P6"},
    {true, kVendorIntel, 6, kX, 3, "P2 (0.28 \xB5m)"},
    {true, kVendorIntel, 6, kX, 5, "P2 (0.25 \xB5m)"},
    {true, kVendorIntel, 6, kX, 6, "P2 with on-die L2 cache"},
    {true, kVendorIntel, 6, kX, 7, "P3 (0.25 \xB5m)"},
    {true, kVendorIntel, 6, kX, 8, "P3 (0.18 \xB5m) with 256 KB on-die L2 cache"},
    {true, kVendorIntel, 6, kX, 9, "PM (0.13 \xB5m) with 1 MB on-die L2 cache"},
    {true, kVendorIntel, 6, kX, 10, "P3 (0.18 \xB5m) with 1 or 2 MB on-die L2 cache"},
    {true, kVendorIntel, 6, kX, 11, "P3 (0.13 \xB5m) with 256 or 512 KB on-die L2 cache"},
    {true, kVendorIntel, 15, kX0, 0, "P4 (0.18 \xB5m)"},
    {true, kVendorIntel, 15, kX0, 1, "P4 (0.18 \xB5m)"},
    {true, kVendorIntel, 15, kX0, 2, "P4 (0.13 \xB5m)"},
    {true, kVendorIntel, 15, kX0, 3, "P4 (0.09 \xB5m)"},
    {true, kVendorAmd, 4, kX, 3, "80486DX2"},
    {true, kVendorAmd, 4, kX, 7, "80486DX2WB"},
    {true, kVendorAmd, 4, kX, 8, "80486DX4"},
    {true, kVendorAmd, 4, kX, 9, "80486DX4WB"},
    {true, kVendorAmd, 4, kX, 14, "5x86"},
    {true, kVendorAmd, 4, kX, 15, "5x86WB"},
    {true, kVendorAmd, 5, kX, 0, "SSA5 (PR75, PR90, PR100)"},
    {true, kVendorAmd, 5, kX, 1, "5k86 (PR120, PR133)"},
    {true, kVendorAmd, 5, kX, 2, "5k86 (PR166)"},
    {true, kVendorAmd, 5, kX, 3, "5k86 (PR200)"},
    {true, kVendorAmd, 5, kX, 6, "K6 (0.30 \xB5m)"},
    {true, kVendorAmd, 5, kX, 7, "K6 (0.25 \xB5m)"},
    {true, kVendorAmd, 5, kX, 8, "K6-2"},
    {true, kVendorAmd, 5, kX, 9, "K6-III"},
    {true, kVendorAmd, 5, kX, 13, "K6-2+ or K6-III+ (0.18 \xB5m)"},
    {true, kVendorAmd, 6, kX, 1, "Athlon (0.25 \xB5m)"},
    {true, kVendorAmd, 6, kX, 2, "Athlon (0.18 \xB5m)"},
    {true, kVendorAmd, 6, kX, 3, "Duron (SF core)"},
    {true, kVendorAmd, 6, kX, 4, "Athlon (TB core)"},
    {true, kVendorAmd, 6, kX, 6, "Athlon (PM core)"},
    {true, kVendorAmd, 6, kX, 7, "Duron (MG core)"},
    {true, kVendorAmd, 6, kX, 8, "Athlon (TH core)"},
    {true, kVendorAmd, 6, kX, 10, "Athlon (BT core)"},
    {true, kVendorAmd, 15, kX0, 5, "Opteron DP (0.13 \xB5m)"},
    {true, kVendorUmc, kAny, kX, 1, "U5D"},
    {true, kVendorUmc, kAny, kX, 2, "U5S"},
    {true, kVendorCyrix, 4, kX, 4, "GX, GXm"},
    {true, kVendorCyrix, 4, kX, 9, "5x86"},
    {true, kVendorCyrix, 5, kX, 2, "6x86"},
    {true, kVendorCyrix, 5, kX, 5, "Cyrix M2 core"},
    {true, kVendorCyrix, 5, kX, 6, "WinChip C5A core"},
    {true, kVendorCyrix, 5, kX, 7, "WinChip C5B core", "WinChip C5C core"},
    {true, kVendorCyrix, 5, kX, 8, "WinChip C5N core"},
    {true, kVendorCyrix, 5, kX, 9, "WinChip C5XL core"},
    {true, kVendorCyrix, 6, kX, 0, "6x86MX"},
    {true, kVendorNexGen, kAny, kX, 0, "Nx586 or Nx586FPU"},
    {true, kVendorCentaur, kAny, kX, 4, "C6"},
    {true, kVendorCentaur, kAny, kX, 8, "C2"},
    {true, kVendorCentaur, kAny, kX, 9, "C3"},
    {true, kVendorRise, kAny, kX, 0, "mP6 (0.25 \xB5m)"},
    {true, kVendorRise, kAny, kX, 2, "mP6 (0.18 \xB5m)"},
    {true, kVendorSis, kAny, kX, 0, "55x"},
    {true, kVendorTransmeta, kAny, kX, 4, "Crusoe TM3x00 and TM5x00"},
    // Extended leaf.
    {false, kVendorAmd, 5, kX, 1, "5k86 (PR120 or PR133)"},
    {false, kVendorAmd, 5, kX, 2, "5k86 (PR166)"},
    {false, kVendorAmd, 5, kX, 3, "5k86 (PR200)"},
    {false, kVendorAmd, 6, kX, 6, "K6 (0.30 \xB5m)"},
    {false, kVendorAmd, 6, kX, 7, "K6 (0.25 \xB5m)"},
    {false, kVendorAmd, 6, kX, 8, "K6-2"},
    {false, kVendorAmd, 6, kX, 9, "K6-III"},
    {false, kVendorAmd, 6, kX, 13, "K6-2+ or K6-III+ (0.18 \xB5m)"},
    {false, kVendorAmd, 7, kX, 1, "Athlon (0.25 \xB5m)"},
    {false, kVendorAmd, 7, kX, 2, "Athlon (0.18 \xB5m)"},
    {false, kVendorAmd, 7, kX, 3, "Duron (SF core)"},
    {false, kVendorAmd, 7, kX, 4, "Athlon (TB core)"},
    {false, kVendorAmd, 7, kX, 6, "Athlon (PM core)"},
    {false, kVendorAmd, 7, kX, 7, "Duron (MG core)"},
    {false, kVendorAmd, 7, kX, 8, "Athlon (TH core)"},
    {false, kVendorAmd, 7, kX, 10, "Athlon (BT core)"},
    {false, kVendorAmd, 15, kX0, 5, "Opteron DP (0.13 \xB5m)"},
    {false, kVendorCyrix, kAny, kX, 6, "WinChip C5A core"},
    {false, kVendorCyrix, kAny, kX, 7, "WinChip C5B core", "WinChip C5C core"},
    {false, kVendorCyrix, kAny, kX, 8, "WinChip C5N core"},
    {false, kVendorCyrix, kAny, kX, 9, "WinChip C5XL core"},
    {false, kVendorCentaur, kAny, kX, 8, "C2"},
    {false, kVendorCentaur, kAny, kX, 9, "C3"},
    {false, kVendorTransmeta, kAny, kX, 4, "Crusoe TM3x00 and TM5x00"},
};

}  // namespace

int VendorCodeOf(std::string_view vendorIdText) {
    for (int code = 1; code < static_cast<int>(kVendors.size()); ++code)
        if (kVendors[code].idText == vendorIdText) return code;
    return kVendorUnknown;
}

std::string_view ManufacturerName(int vendorCode) {
    if (vendorCode < 0 || vendorCode >= static_cast<int>(kVendors.size())) vendorCode = 0;
    return kVendors[vendorCode].manufacturer;
}

std::string_view BrandIndexName(int brandIndex) {
    for (const BrandRow& row : kBrandIndexes)
        if (row.index == brandIndex) return row.name;
    return {};
}

std::string AmdBrandName(int brandType, int brandNumber) {
    std::string name;
    switch (brandType) {
        case 3: name = "Opteron UP 1"; break;
        case 4: name = "Opteron DP 2"; break;
        case 5: name = "Opteron MP 8"; break;
        default: return {};
    }
    return name + std::to_string(2 * brandNumber + 32);
}

std::string_view FamilyName(bool standard, int family, int familyEx, int vendorCode) {
    for (const FamilyRow& row : kFamilies) {
        if (row.standard == standard && row.family == family &&
            (row.vendor == kAny || row.vendor == vendorCode) && Matches(row.familyEx, familyEx))
            return row.name;
    }
    return {};
}

std::string_view ModelName(bool standard, int vendorCode, int family, int familyEx, int model,
                           int stepping) {
    for (const ModelRow& row : kModels) {
        if (row.standard == standard && row.vendor == vendorCode && row.model == model &&
            (row.family == kAny || row.family == family) && Matches(row.familyEx, familyEx)) {
            bool laterCore = !row.nameFromStepping8.empty() && stepping >= 8;
            return laterCore ? row.nameFromStepping8 : row.name;
        }
    }
    return {};
}
