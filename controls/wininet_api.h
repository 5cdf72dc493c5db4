// WinINet, bound at run time: wininet.dll is not a known system DLL, so it
// is loaded by full path from the system folder instead of being imported.
#pragma once

#include <windows.h>
#include <wininet.h>

struct WinInetApi {
    decltype(&::InternetOpenA) InternetOpenA = nullptr;
    decltype(&::InternetSetStatusCallbackA) InternetSetStatusCallbackA = nullptr;
    decltype(&::InternetOpenUrlA) InternetOpenUrlA = nullptr;
    decltype(&::InternetCrackUrlA) InternetCrackUrlA = nullptr;
    decltype(&::InternetReadFileExA) InternetReadFileExA = nullptr;
    decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
};

// The bound functions, or nullptr when wininet.dll or one of them is missing.
// The DLL stays loaded until the process ends: its worker threads may still
// be finishing cancelled reads after every handle of ours is closed.
const WinInetApi* WinInet();

#include "platform/owned.h"

namespace handle_traits {
struct Internet : NullIsInvalid<HINTERNET> {
    static void Close(HINTERNET h) noexcept {
        if (const WinInetApi* api = WinInet()) api->InternetCloseHandle(h);
    }
};
}  // namespace handle_traits

using OwnedInternet = Owned<handle_traits::Internet>;
