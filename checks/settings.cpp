#include "checks/settings.h"

#include <windows.h>

#include <cctype>

#include "checks/setting_numbers.h"
#include "platform/whole_file.h"

std::string ProgramDir;

const std::string_view kDefaultSettingsLines[40] = {
    ";all size requirements are measured in MB.",
    ";proc speed is in MHz.",
    ";the run command must start with 'Run', and then may be sequencial starting with 0 or 1",
    "; ie Run, Run0, Run1 etc. Giving Run = installtavrinsecure will run script for installing Tavrin Secure",
    ";forecolor sets the primary color of the title block, and mouseover",
    ";backcolor sets the color of a mouse out event on the close button",
    ";Default Colors: TavrinOrange(255,135,0)/TavrinBlue(0,150,255)/TavrinGrey(205,205,205)",
    "[Requirements]",
    "Title = Tavrin Internet",
    "forecolor = 0,150,255",
    "backcolor = 205,205,205",
    "bgimage = 2",
    "Run = installtavrinsecure",
    "Run0 =",
    "Msg =",
    "Favorite =",
    "FavoriteName =",
    "Err = System does not meet minimum requirements.",
    "MinOS = 6",
    "ExceptionOS = 7",
    "XPSP = 3",
    "VistaSP = 1",
    "Win7SP = 0",
    "MinDiskSpace = 500",
    "WarnDiskSpace = 550",
    "MinDiskSpaceVista = 800",
    "WarnDiskSpaceVista = 850",
    "MinCPUSpeed = 970",
    "WarnCPUSpeed = 1024",
    "MinCPUSpeedVista = 1600",
    "WarnCPUSpeedVista = 1760",
    "MinMemory98me = 512",
    "WarnMemory98me = 768",
    "MinMemory95 = 122",
    "WarnMemory95 = 128",
    "MinMemoryxp2k = 480",
    "WarnMemoryxp2k = 768",
    "MinMemoryVista = 960",
    "WarnMemoryVista = 1256",
    "ShowResults = true",
};

std::string SettingsPath() { return ProgramDir + "pelorin.ini"; }

std::string ReadRequirement(const std::string& key) {
    char buffer[255] = {};
    DWORD count = ::GetPrivateProfileStringA("Requirements", key.c_str(), "", buffer,
                                             sizeof buffer, SettingsPath().c_str());
    return std::string(buffer, count);
}

bool WriteDefaultSettings() {
    std::string content;
    for (std::string_view line : kDefaultSettingsLines) (content += line) += "\r\n";
    return WriteWholeFile(SettingsPath(), content);
}

std::optional<bool> ParseBooleanWord(std::string_view text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "true") return true;
    if (lower == "false") return false;
    // Any number the other settings accept: zero is false, the rest true.
    if (auto number = ParseSettingNumber(std::string(text))) return *number != 0;
    return std::nullopt;
}
