#include "platform/system_library.h"

#include <string>

void HardenDllSearch() {
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    constexpr DWORD kSafeSearchPermanent = 0x00000001 | 0x00008000;

    if (auto setDefault = BindKernel32<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
        setDefault(kSearchSystem32);
    if (auto setDirectory = BindKernel32<SetDllDirectoryFn>("SetDllDirectoryA"))
        setDirectory("");
    if (auto setMode = BindKernel32<SetSearchPathModeFn>("SetSearchPathMode"))
        setMode(kSafeSearchPermanent);
}

OwnedModule LoadSystemLibrary(const char* fileName) {
    char folder[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return OwnedModule();
    std::string path(folder, length);
    if (path.back() != '\\') path += '\\';
    path += fileName;
    // LOAD_WITH_ALTERED_SEARCH_PATH makes the DLL's own dependencies resolve
    // from its folder, not from the program's.
    return OwnedModule(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
