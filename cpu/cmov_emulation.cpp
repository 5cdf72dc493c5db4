#include "cpu/cmov_emulation.h"

namespace {

constexpr std::uint32_t kCarry = 1u << 0, kParity = 1u << 2, kZero = 1u << 6,
                        kSign = 1u << 7, kOverflow = 1u << 11;
constexpr unsigned kEsp = 4, kEbp = 5;

// A cursor over the instruction bytes that refuses to read past them.
class Bytes {
public:
    Bytes(const std::uint8_t* code, std::size_t available) : code_(code), available_(available) {}
    bool Next(std::uint8_t& byte) {
        if (used_ >= available_ || used_ >= 15) return false;  // 15: the longest x86 instruction
        byte = code_[used_++];
        return true;
    }
    bool Next32(std::uint32_t& value) {
        value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            std::uint8_t byte = 0;
            if (!Next(byte)) return false;
            value |= std::uint32_t{byte} << shift;
        }
        return true;
    }
    bool Next8Signed(std::uint32_t& value) {
        std::uint8_t byte = 0;
        if (!Next(byte)) return false;
        value = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(byte)));
        return true;
    }
    std::size_t used() const { return used_; }

private:
    const std::uint8_t* code_;
    std::size_t available_;
    std::size_t used_ = 0;
};

// The effective address of a ModRM memory operand (mod 0 to 2).
std::optional<std::uint32_t> EffectiveAddress(unsigned mod, unsigned rm, Bytes& bytes,
                                              const CmovRegisters& registers) {
    std::uint32_t address = 0;
    bool baseless = false;
    if (rm == kEsp) {  // a SIB byte follows
        std::uint8_t sib = 0;
        if (!bytes.Next(sib)) return std::nullopt;
        unsigned scale = sib >> 6, index = (sib >> 3) & 7, base = sib & 7;
        if (index != kEsp) address += registers.general[index] << scale;
        if (base == kEbp && mod == 0) baseless = true;
        else address += registers.general[base];
    } else if (rm == kEbp && mod == 0) {
        baseless = true;
    } else {
        address += registers.general[rm];
    }
    std::uint32_t displacement = 0;
    if (mod == 1 && !bytes.Next8Signed(displacement)) return std::nullopt;
    if ((mod == 2 || baseless) && !bytes.Next32(displacement)) return std::nullopt;
    return address + displacement;
}

}  // namespace

bool ConditionHolds(unsigned cc, std::uint32_t eflags) {
    bool carry = eflags & kCarry, zero = eflags & kZero, sign = eflags & kSign,
         overflow = eflags & kOverflow, parity = eflags & kParity;
    bool holds = false;
    switch (cc >> 1) {
        case 0: holds = overflow; break;               // O
        case 1: holds = carry; break;                  // B
        case 2: holds = zero; break;                   // E
        case 3: holds = carry || zero; break;          // BE
        case 4: holds = sign; break;                   // S
        case 5: holds = parity; break;                 // P
        case 6: holds = sign != overflow; break;       // L
        case 7: holds = zero || sign != overflow; break;  // LE
    }
    return (cc & 1) ? !holds : holds;  // odd codes are the negations
}

bool EmulateCmov(const std::uint8_t* code, std::size_t available, CmovRegisters& registers,
                 const DataReader& read) {
    Bytes bytes(code, available);
    std::uint8_t byte = 0;
    // Segment overrides other than FS and GS name the same flat memory.
    do {
        if (!bytes.Next(byte)) return false;
    } while (byte == 0x2E || byte == 0x36 || byte == 0x3E || byte == 0x26);
    std::uint8_t opcode = 0, modrm = 0;
    if (byte != 0x0F || !bytes.Next(opcode) || (opcode & 0xF0) != 0x40 || !bytes.Next(modrm))
        return false;
    unsigned mod = modrm >> 6, reg = (modrm >> 3) & 7, rm = modrm & 7;
    std::uint32_t source = 0;
    if (mod == 3) {
        source = registers.general[rm];
    } else {
        auto address = EffectiveAddress(mod, rm, bytes, registers);
        if (!address) return false;
        // The processor reads the source whatever the condition, and so
        // faults on a bad address either way.
        auto value = read(*address);
        if (!value) return false;
        source = *value;
    }
    if (ConditionHolds(opcode & 0x0F, registers.eflags)) registers.general[reg] = source;
    registers.eip += static_cast<std::uint32_t>(bytes.used());
    return true;
}
