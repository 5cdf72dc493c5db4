#include "checks/requirements.h"

#include "checks/os_identification.h"
#include "checks/setting_numbers.h"

namespace {

constexpr std::int64_t kInt16Min = -32768, kInt16Max = 32767;

NumberRequirement ReadNumber(const SettingReader& read, const std::string& key) {
    std::string text = read(key);
    std::optional<double> value = ParseBoundedNumber(text);
    return {key, std::move(text), value};
}

WholeRequirement ReadWhole(const SettingReader& read, const std::string& key,
                           std::int64_t low = kSettingLowest, std::int64_t high = kSettingHighest) {
    std::string text = read(key);
    std::optional<std::int64_t> value = ParseWholeNumber(text, low, high);
    return {key, std::move(text), value};
}

// The service-pack key of a system that has one.
const char* ServicePackKey(int osCode) {
    if (osCode == kOsWinXP) return "XPSP";
    if (IsVista(osCode)) return "VistaSP";
    if (osCode == kOsWin7 || osCode == kOsWin7x64) return "Win7SP";
    return nullptr;
}

struct MemoryKeys {
    const char* min;
    const char* warn;
};

std::optional<MemoryKeys> MemoryKeysOf(int osCode) {
    switch (osCode) {
        case kOsWin95: return MemoryKeys{"MinMemory95", "WarnMemory95"};
        case kOsWin98: case kOsWinME: return MemoryKeys{"MinMemory98me", "WarnMemory98me"};
        case kOsWin2000: case kOsWinXP: case kOsWinXPx64:
            return MemoryKeys{"MinMemoryxp2k", "WarnMemoryxp2k"};
        case kOsVista: case kOsVistax64: case kOsWin7: case kOsWin7x64:
            return MemoryKeys{"MinMemoryVista", "WarnMemoryVista"};
        default: return std::nullopt;
    }
}

}  // namespace

template <typename Number>
SettingsStop Requirement<Number>::NotANumber() const {
    return {NotANumberMessage(key, text)};
}
template struct Requirement<double>;
template struct Requirement<std::int64_t>;

Requirements ReadRequirements(const SettingReader& read, int osCode) {
    Requirements values;
    values.foreColour = read("forecolor");
    values.backColour = read("backcolor");
    values.background = read("bgimage");
    values.failureText = read("Err");
    values.showResults = read("ShowResults");

    values.minOs = ReadWhole(read, "MinOS");
    if (const char* key = ServicePackKey(osCode))
        values.servicePack = ReadWhole(read, key, kInt16Min, kInt16Max);
    values.exceptionOs = read("ExceptionOS");
    values.excepted = ListHoldsCode(values.exceptionOs, osCode);

    bool vistaOrLater = osCode >= kOsVista;
    values.minCpu = ReadNumber(read, vistaOrLater ? "MinCPUSpeedVista" : "MinCPUSpeed");
    values.warnCpu = ReadWhole(read, vistaOrLater ? "WarnCPUSpeedVista" : "WarnCPUSpeed");

    if (std::optional<MemoryKeys> keys = MemoryKeysOf(osCode))
        values.memory =
            Requirements::Memory{ReadWhole(read, keys->min), ReadWhole(read, keys->warn)};

    values.minDisk = ReadNumber(read, vistaOrLater ? "MinDiskSpaceVista" : "MinDiskSpace");
    values.warnDisk = ReadNumber(read, vistaOrLater ? "WarnDiskSpaceVista" : "WarnDiskSpace");
    return values;
}
