#include "checks/os_identification.h"

namespace {

constexpr std::uint32_t kPlatformWin9x = 1;
constexpr std::uint32_t kPlatformNT = 2;

// A 5.2 system without IsWow64Process cannot be 64-bit Windows.
bool UnderWow64(const SystemFacts& system) { return system.IsWow64().value_or(false); }

int CodeFromVersion(const VersionRecord& v, const SystemFacts& system) {
    if (v.platform == kPlatformNT) {
        switch (v.major) {
            case 6:
                if (v.minor == 1) return UnderWow64(system) ? kOsWin7x64 : kOsWin7;
                if (v.minor == 0) return UnderWow64(system) ? kOsVistax64 : kOsVista;
                return kOsUnknown;
            case 5:
                if (v.minor == 2) return UnderWow64(system) ? kOsWinXPx64 : kOsWin2003;
                if (v.minor == 1) return kOsWinXP;
                if (v.minor == 0) return kOsWin2000;
                return kOsUnknown;
            case 4:
                return kOsNT4;
            default:
                return kOsUnknown;
        }
    }
    if (v.platform == kPlatformWin9x) {
        if (v.major == 4 && v.minor == 90) return kOsWinME;
        if (v.major == 4 && v.minor == 0) return kOsWin95;
        if (v.major == 4 && v.minor >= 1) return kOsWin98;
        if (v.major > 4) return kOsWin98;
        return kOsUnknown;
    }
    return (v.major == 4 && v.minor > 0) ? kOsWin98 : kOsUnknown;
}

// The 9x version text "major.minor.build": minor as two digits and the build
// from the low word of the build field, where 9x keeps it (the high word
// repeats the version). 950 is the first Windows 95, 1998 the first 98.
std::string NineXVersionText(const SystemFacts& system) {
    auto v = system.ShortVersion();
    if (!v) return {};
    std::string minor = std::to_string(static_cast<unsigned>(v->minor));
    if (minor.size() < 2) minor.insert(0, 1, '0');
    return std::to_string(static_cast<unsigned>(v->major)) + "." + minor + "." +
           std::to_string(static_cast<unsigned>(v->build & 0xFFFF));
}

}  // namespace

int GetOsCode(const SystemFacts& system) {
    int code = kOsUnknown;
    if (auto version = system.ShortVersion()) code = CodeFromVersion(*version, system);
    if (IsServerEdition(system)) code = kOsServer;
    return code;
}

bool IsServerEdition(const SystemFacts& system) {
    VersionRecord v = system.ExtendedVersion().value_or(VersionRecord{});
    bool serverEra = v.major == 4 || (v.major == 5 && v.minor <= 2);
    return serverEra && (v.productType == 2 || v.productType == 3);
}

std::string Win95Edition(const SystemFacts& system) {
    std::string text = NineXVersionText(system);
    return (text == "4.00.950A" || text == "4.00.950") ? "A" : "B";
}

std::string Win98Edition(const SystemFacts& system) {
    return NineXVersionText(system) == "4.10.1998" ? "A" : "B";
}

std::string OsName(int code, const SystemFacts& system) {
    if (code == 0) code = GetOsCode(system);
    switch (code) {
        case kOsWin95: return Win95Edition(system) == "A" ? "Windows 95A" : "Windows 95B";
        case kOsWin98: return Win98Edition(system) == "A" ? "Windows 98" : "Windows 98 OSR2";
        case kOsWinME: return "Windows ME";
        case kOsNT4: return "Windows NT4";
        case kOsWin2000: return "Windows 2000";
        case kOsWinXP: return "Windows XP";
        case kOsWinXPx64: return "Windows XP x64";
        case kOsWin2003: return "Windows 2003";
        case kOsVista: return "Windows Vista";
        case kOsVistax64: return "Windows Vista x64";
        case kOsWin7: return "Windows 7";
        case kOsWin7x64: return "Windows 7 x64";
        case kOsServer: return "Server OS";
        default: return "Unknown OS.";
    }
}

std::string ServicePackText(bool verbose, const SystemFacts& system) {
    VersionRecord v = system.ExtendedVersion().value_or(VersionRecord{});
    if (v.major < 4) return {};
    unsigned n = v.servicePackMajor;
    if (verbose && n >= 1) return "SP" + std::to_string(n);
    if (!verbose || n != 0) return std::to_string(n);
    return "none";
}
