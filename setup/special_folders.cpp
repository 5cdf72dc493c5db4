#include "setup/special_folders.h"

#include <windows.h>
#include <shlobj.h>

std::string SpecialFolderPath(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (::SHGetSpecialFolderLocation(nullptr, csidl, &items) != S_OK || !items) return {};
    char buffer[MAX_PATH] = {};
    BOOL found = ::SHGetPathFromIDListA(items, buffer);
    ::CoTaskMemFree(items);
    if (!found || buffer[0] == '\0') return {};
    std::string path = buffer;
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path + "\\";
}

std::string FavoritesFolder() { return SpecialFolderPath(CSIDL_FAVORITES); }
