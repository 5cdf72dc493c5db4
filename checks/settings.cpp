#include "checks/settings.h"

#include <windows.h>

#include "platform/owned.h"
#include "platform/text_case.h"
#include "platform/whole_file.h"

const char kSettingsFileMissingMessage[] = "String file missing from program directory";

namespace {

constexpr DWORD kReadBufferSize = 255;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

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

SettingsFile::SettingsFile(std::string programDir)
    : programDir_(std::move(programDir)), builtIn_(programDir_.empty()) {}

std::string SettingsFile::ReadRequirement(const std::string& key) const {
    if (builtIn_) return BuiltInSetting(key);
    char buffer[kReadBufferSize] = {};
    DWORD count = ::GetPrivateProfileStringA("Requirements", key.c_str(), "", buffer,
                                             kReadBufferSize, Path().c_str());
    return std::string(buffer, count < kReadBufferSize ? count : kReadBufferSize - 1);
}

CommandSetting SettingsFile::ReadCommand(const std::string& key) const {
    std::string command = ReadRequirement(key);
    // A full buffer is all the profile read says about a value it cut.
    if (command.size() >= kReadBufferSize - 1)
        return {{}, SettingsStop{"Pelorin.ini may be corrupt: the setting " + key +
                                 " is too long (254 characters or more). Please reinstall the "
                                 "Pelorin."}};
    return {std::move(command), std::nullopt};
}

std::string BuiltInSetting(const std::string& key) {
    bool inSection = false;
    for (std::string_view line : kDefaultSettingsLines) {
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            inSection = line == "[Requirements]";
            continue;
        }
        std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        if (SameIgnoringCase(TrimBlanks(line.substr(0, equals)), key))
            return std::string(TrimBlanks(line.substr(equals + 1)));
    }
    return {};
}

bool SettingsFile::Readable() const {
    OwnedHandle file(::CreateFileA(Path().c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

SystemResult SettingsFile::WriteDefaults() const {
    std::string content;
    for (std::string_view line : kDefaultSettingsLines) (content += line) += "\r\n";
    return WriteNewWholeFile(Path(), content);
}
