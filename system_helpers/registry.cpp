#include "system_helpers/registry.h"

#include "platform/owned.h"
#include "system_helpers/file_manip.h"

std::optional<std::string> RegReadString(HKEY root, const std::string& subKey,
                                         const std::string& valueName) {
    HKEY opened = nullptr;
    if (::RegOpenKeyA(root, subKey.c_str(), &opened) != ERROR_SUCCESS) return std::nullopt;
    OwnedRegKey key(opened);

    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;

    std::string buffer(size, ' ');
    if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (auto nul = buffer.find('\0'); nul != std::string::npos && nul > 0) buffer.resize(nul);
    else if (nul == 0) buffer.clear();
    return buffer;
}

std::string ProgramFilesFolder() {
    auto folder = RegReadString(HKEY_LOCAL_MACHINE, "Software\\microsoft\\windows\\currentversion",
                                "ProgramFilesDir");
    return AddTrailingBackslash(folder.value_or(std::string()));
}
