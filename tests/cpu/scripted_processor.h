// A processor whose CPUID answers a test scripts. Bit fields still go
// through the real shift routine, and the time-stamp counter is real.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "cpu/cpu_info.h"
#include "cpu/cpuid_thunks.h"

struct CpuidScript {
    // Answers for one level, given in turn; the last one repeats. Levels
    // without answers read as zeros.
    std::map<std::int32_t, std::vector<CpuRegs>> answers;
    std::map<std::int32_t, int> calls;
};

class ScriptedProcessor : public ProcessorInstructions {
public:
    explicit ScriptedProcessor(std::shared_ptr<CpuidScript> script) : script_(std::move(script)) {}

    void CpuClk(Fixed64& Cycles) const override { real_.CpuClk(Cycles); }
    void CpuID(std::int32_t nLevel, std::int32_t& eax, std::int32_t& ebx, std::int32_t& ecx,
               std::int32_t& edx) const override {
        int call = script_->calls[nLevel]++;
        CpuRegs regs;
        auto it = script_->answers.find(nLevel);
        if (it != script_->answers.end() && !it->second.empty())
            regs = it->second[std::min<std::size_t>(call, it->second.size() - 1)];
        eax = regs.eax;
        ebx = regs.ebx;
        ecx = regs.ecx;
        edx = regs.edx;
    }
    std::int32_t ShiftRight(std::int32_t Value, std::int32_t Shift) const override {
        return real_.ShiftRight(Value, Shift);
    }

private:
    std::shared_ptr<CpuidScript> script_;
    cCPUID real_;
};

// Four characters of text as one register, the first character lowest.
inline std::int32_t RegFromText(std::string_view four) {
    std::int32_t reg = 0;
    std::memcpy(&reg, four.data(), 4);
    return reg;
}
