#include "system_helpers/special_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/ansi_paths.h"
#include "platform/system_library.h"

namespace {

// Frees the shell's item list however the caller leaves.
struct ItemList {
    LPITEMIDLIST items = nullptr;
    ~ItemList() {
        if (items) ::CoTaskMemFree(items);
    }
};

// The item list's path; through the wide call where the shell has it (the
// ANSI one cannot name a folder outside the code page), bound at run time
// because the shell of Windows 95 may lack it.
std::string PathOfItems(LPCITEMIDLIST items) {
    using GetPathWFn = BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR);
    auto getPathW = BindExport<GetPathWFn>(::GetModuleHandleA("shell32.dll"),
                                           "SHGetPathFromIDListW");
    if (getPathW) {
        wchar_t wide[MAX_PATH] = {};
        if (getPathW(items, wide) && wide[0] != L'\0') return AnsiPathOf(wide);
    }
    char buffer[MAX_PATH] = {};
    if (!::SHGetPathFromIDListA(items, buffer)) return {};
    return buffer;
}

}  // namespace

std::string SpecialFolderPath(int csidl) {
    ItemList list;
    if (::SHGetSpecialFolderLocation(nullptr, csidl, &list.items) != S_OK || !list.items)
        return {};
    std::string path = PathOfItems(list.items);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path.empty() ? std::string() : path + "\\";
}

std::string FavoritesFolder() { return SpecialFolderPath(CSIDL_FAVORITES); }
