#include "cpu/cpu_info.h"

#include "cpu/cpu_names.h"
#include "cpu/cpuid_thunks.h"
#include "cpu/stopwatch.h"

namespace {

constexpr std::int32_t kExtendedBase = static_cast<std::int32_t>(0x80000000u);

// Where each xCache field lives: extended leaf, register (0 eax .. 3 edx)
// and bits high..low.
struct CacheField {
    int leaf, reg, high, low;
};

constexpr CacheField kCacheFields[28] = {
    {5, 0, 31, 24}, {5, 0, 23, 16}, {5, 0, 15, 8}, {5, 0, 7, 0},
    {5, 1, 31, 24}, {5, 1, 23, 16}, {5, 1, 15, 8}, {5, 1, 7, 0},
    {5, 2, 31, 24}, {5, 2, 23, 16}, {5, 2, 15, 8}, {5, 2, 7, 0},
    {5, 3, 31, 24}, {5, 3, 23, 16}, {5, 3, 15, 8}, {5, 3, 7, 0},
    {6, 0, 31, 28}, {6, 0, 27, 16}, {6, 0, 15, 12}, {6, 0, 11, 0},
    {6, 1, 31, 28}, {6, 1, 27, 16}, {6, 1, 15, 12}, {6, 1, 11, 0},
    {6, 2, 31, 16}, {6, 2, 15, 12}, {6, 2, 11, 8},  {6, 2, 7, 0},
};

std::int32_t Register(const CpuRegs& regs, int index) {
    switch (index) {
        case 0: return regs.eax;
        case 1: return regs.ebx;
        case 2: return regs.ecx;
        default: return regs.edx;
    }
}

void ReadLeaf(const ProcessorInstructions& cpu, std::int32_t level, CpuRegs& into) {
    cpu.CpuID(level, into.eax, into.ebx, into.ecx, into.edx);
}

}  // namespace

cCpuInfo::cCpuInfo() : cCpuInfo(std::make_unique<cCPUID>()) {}

cCpuInfo::cCpuInfo(std::unique_ptr<ProcessorInstructions> instructions)
    : instructions_(std::move(instructions)) {
    Refresh(true);
    QpcFrequency = PerformanceCounterFrequency();
}

cCpuInfo::~cCpuInfo() = default;

std::int32_t cCpuInfo::Bits(std::int32_t reg, int high, int low) const {
    int width = high - low + 1;
    std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(instructions_->ShiftRight(reg, low)) & mask);
}

void cCpuInfo::Refresh(bool bReReadCPU) {
    if (bReReadCPU) {
        // All thirteen leaves, whatever maximum levels the processor reports.
        for (std::int32_t k = 0; k < 4; ++k) ReadLeaf(*instructions_, k, StdLeaves[k]);
        for (std::int32_t k = 0; k < 9; ++k)
            ReadLeaf(*instructions_, kExtendedBase + k, ExtLeaves[k]);
    }
    levelsStd_ = Bits(StdLeaves[0].eax, 7, 0);
    if (levelsStd_ != 0) {
        levelsExt_ = Bits(ExtLeaves[0].eax, 7, 0);
        vendorCode_ = VendorCodeOf(VendorIdStr(true));
    }
}

std::int32_t cCpuInfo::LevelsStd() const { return levelsStd_; }
std::int32_t cCpuInfo::LevelsExt() const { return levelsExt_; }
bool cCpuInfo::Supported() const { return levelsStd_ != 0; }
bool cCpuInfo::Extended() const { return levelsExt_ != 0; }
std::int32_t cCpuInfo::Vendor() const { return levelsStd_ >= 1 ? vendorCode_ : 0; }

std::string cCpuInfo::ManufacturerStr() const {
    return levelsStd_ >= 1 ? std::string(ManufacturerName(vendorCode_)) : std::string();
}

std::string cCpuInfo::RegToStr(std::int32_t reg) const {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8)
        text += static_cast<char>(Bits(reg, shift + 7, shift));
    return text;
}

std::string cCpuInfo::VendorIdStr(bool Standard) const {
    const CpuRegs& leaf = Standard ? StdLeaves[0] : ExtLeaves[0];
    return RegToStr(leaf.ebx) + RegToStr(leaf.edx) + RegToStr(leaf.ecx);
}

std::string cCpuInfo::NameStr() const {
    if (levelsExt_ < 4) return {};
    std::string name;
    for (int k = 2; k <= 4; ++k) {
        const CpuRegs& leaf = ExtLeaves[k];
        name += RegToStr(leaf.eax) + RegToStr(leaf.ebx) + RegToStr(leaf.ecx) + RegToStr(leaf.edx);
    }
    // Spaces only: zero characters stay.
    std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::string cCpuInfo::HexPad(std::int32_t nValue, std::int32_t nWidth) {
    std::string text;
    auto bits = static_cast<std::uint32_t>(nValue);
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    if (nWidth > static_cast<std::int32_t>(text.size()))
        text.insert(0, static_cast<std::size_t>(nWidth) - text.size(), '0');
    return text;
}

const CpuRegs* cCpuInfo::LeafOne(bool Standard) const {
    if (Standard) return levelsStd_ >= 1 ? &StdLeaves[1] : nullptr;
    return levelsExt_ >= 1 ? &ExtLeaves[1] : nullptr;
}

std::int32_t cCpuInfo::CpuStepping(bool Standard) const {
    const CpuRegs* leaf = LeafOne(Standard);
    return leaf ? Bits(leaf->eax, 3, 0) : 0;
}

std::int32_t cCpuInfo::CpuModel(bool Standard) const {
    const CpuRegs* leaf = LeafOne(Standard);
    return leaf ? Bits(leaf->eax, 7, 4) : 0;
}

std::int32_t cCpuInfo::CpuFamily(bool Standard) const {
    const CpuRegs* leaf = LeafOne(Standard);
    return leaf ? Bits(leaf->eax, 11, 8) : 0;
}

std::int32_t cCpuInfo::CpuModelEx(bool Standard) const {
    const CpuRegs* leaf = LeafOne(Standard);
    return leaf ? Bits(leaf->eax, 19, 16) : 0;
}

std::int32_t cCpuInfo::CpuFamilyEx(bool Standard) const {
    const CpuRegs* leaf = LeafOne(Standard);
    return leaf ? Bits(leaf->eax, 27, 20) : 0;
}

std::int32_t cCpuInfo::CpuBrand(bool Standard) const {
    const CpuRegs* leaf = LeafOne(Standard);
    if (!leaf) return 0;
    return Standard ? Bits(leaf->ebx, 7, 0) : Bits(leaf->ebx, 11, 0);
}

std::int32_t cCpuInfo::CpuType() const {
    return levelsStd_ >= 1 ? Bits(StdLeaves[1].eax, 13, 12) : 0;
}

std::int32_t cCpuInfo::ApicID() const {
    return levelsStd_ >= 1 ? Bits(StdLeaves[1].ebx, 31, 24) : 0;
}

std::optional<std::int32_t> cCpuInfo::CpuLogicalCount() const {
    if (levelsStd_ < 1) return std::nullopt;
    return Bits(StdLeaves[1].ebx, 23, 16);
}

bool cCpuInfo::Feature(std::int32_t nType) const {
    if (nType >= 0 && nType <= 31) return levelsStd_ >= 1 && Bit(StdLeaves[1].ecx, nType);
    if (nType >= 32 && nType <= 63) return levelsStd_ >= 1 && Bit(StdLeaves[1].edx, nType - 32);
    if (nType >= 64 && nType <= 95) return levelsExt_ >= 1 && Bit(ExtLeaves[1].edx, nType - 64);
    return false;
}

bool cCpuInfo::xPowerManagement(std::int32_t nType) const {
    return nType >= 0 && nType <= 31 && levelsExt_ >= 7 && Bit(ExtLeaves[7].edx, nType);
}

std::int32_t cCpuInfo::xAddrBitsPhysical() const {
    return levelsExt_ >= 8 ? Bits(ExtLeaves[8].eax, 7, 0) : 0;
}

std::int32_t cCpuInfo::xAddrBitsVirtual() const {
    return levelsExt_ >= 8 ? Bits(ExtLeaves[8].eax, 15, 8) : 0;
}

std::int32_t cCpuInfo::xCache(std::int32_t Field) const {
    if (levelsExt_ < 6 || Field < 0 || Field > 27) return 0;
    const CacheField& field = kCacheFields[Field];
    return Bits(Register(ExtLeaves[field.leaf], field.reg), field.high, field.low);
}

std::string cCpuInfo::xCacheAssocStr(std::int32_t nType) const {
    if (levelsExt_ < 6) return {};
    switch (nType) {
        case 255: return "Full";
        case 0: return "Off";
        case 1: return "Direct mapped";
        case 2: return "2-way";
        case 4: return "4-way";
        case 6: return "8-way";
        case 8: return "16-way";
        default: return {};
    }
}

std::string cCpuInfo::CpuTypeStr() const {
    if (levelsStd_ < 1) return {};
    switch (CpuType()) {
        case 0: return "Primary processor";
        case 1: return "Overdrive processor";
        case 2: return "Secondary processor";
        default: return {};
    }
}

std::string cCpuInfo::CpuBrandStr(bool Standard) const {
    if (levelsStd_ < 1) return {};
    std::int32_t brand = CpuBrand(Standard);
    if (Standard) {
        std::string_view indexName = BrandIndexName(brand);
        if (!indexName.empty()) return std::string(indexName);
        if (vendorCode_ != kVendorAmd) return {};
        return AmdBrandName(Bits(brand, 7, 5), Bits(brand, 4, 0));
    }
    if (vendorCode_ != kVendorAmd || brand == 0) return {};
    return AmdBrandName(instructions_->ShiftRight(brand, 8), Bits(brand, 7, 0));
}

std::string cCpuInfo::CpuFamilyStr(bool Standard) const {
    if (levelsStd_ < 1) return {};
    return std::string(
        FamilyName(Standard, CpuFamily(Standard), CpuFamilyEx(Standard), vendorCode_));
}

std::string cCpuInfo::CpuModelStr(bool Standard) const {
    if (levelsStd_ < 1) return {};
    std::int32_t model = CpuModel(Standard);
    std::string name(ModelName(Standard, vendorCode_, CpuFamily(Standard), CpuFamilyEx(Standard),
                               model, CpuStepping(Standard)));
    if (model == 15) name += " - Extended model #" + HexPad(CpuModelEx(Standard));
    return name;
}

CpuRegs* cCpuInfo::Leaf(std::int32_t nReg) {
    if (nReg >= 0 && nReg <= 3) return &StdLeaves[nReg];
    if (nReg >= 4 && nReg <= 12) return &ExtLeaves[nReg - 4];
    return nullptr;
}

void cCpuInfo::LevelGet(std::int32_t nReg, std::int32_t& eax, std::int32_t& ebx,
                        std::int32_t& ecx, std::int32_t& edx) const {
    const CpuRegs* leaf = const_cast<cCpuInfo*>(this)->Leaf(nReg);
    if (!leaf) return;
    eax = leaf->eax;
    ebx = leaf->ebx;
    ecx = leaf->ecx;
    edx = leaf->edx;
}

void cCpuInfo::LevelSet(std::int32_t nReg, std::int32_t eax, std::int32_t ebx, std::int32_t ecx,
                        std::int32_t edx) {
    if (CpuRegs* leaf = Leaf(nReg)) *leaf = CpuRegs{eax, ebx, ecx, edx};
}

std::int32_t cCpuInfo::SnStatus() const {
    if (levelsStd_ < 3) return 0;
    return Feature(50) ? 2 : 1;
}

std::string cCpuInfo::SnStr() const {
    if (SnStatus() != 2) return {};
    const std::int32_t parts[] = {
        Bits(StdLeaves[1].eax, 31, 16), Bits(StdLeaves[1].eax, 15, 0),
        Bits(StdLeaves[3].edx, 31, 16), Bits(StdLeaves[3].edx, 15, 0),
        Bits(StdLeaves[3].ecx, 31, 16), Bits(StdLeaves[3].ecx, 15, 0),
    };
    std::string text;
    for (std::int32_t part : parts) {
        if (!text.empty()) text += '-';
        text += HexPad(part, 4);
    }
    return text;
}

std::vector<std::uint8_t> cCpuInfo::CacheDescriptors() {
    if (levelsStd_ < 2) return {0};
    std::vector<std::uint8_t> bytes;
    std::int32_t passes = Bits(StdLeaves[2].eax, 7, 0);
    for (std::int32_t pass = 0; pass < passes; ++pass) {
        const CpuRegs& leaf = StdLeaves[2];
        for (int index = 0; index < 4; ++index) {
            std::int32_t reg = Register(leaf, index);
            // Bit 31 set: the register holds no descriptors.
            if (Bit(reg, 31)) continue;
            // The low byte of EAX is the pass count, not a descriptor.
            if (index == 0) reg &= ~0xFF;
            // Most significant byte first; zero bytes are no descriptor.
            for (int low = 24; low >= 0; low -= 8)
                if (std::int32_t byte = Bits(reg, low + 7, low))
                    bytes.push_back(static_cast<std::uint8_t>(byte));
        }
        if (passes > 1) ReadLeaf(*instructions_, 2, StdLeaves[2]);
    }
    return bytes;
}
