#include "net/wininet_api.h"

#include "platform/system_library.h"

namespace {

template <typename Function>
bool Bind(HMODULE module, const char* name, Function& target) {
    target = BindExport<Function>(module, name);
    return target != nullptr;
}

const WinInetApi* LoadWinInet() {
    static WinInetApi api;
    HMODULE module = LoadSystemLibrary("wininet.dll").Release();
    if (!module) return nullptr;
    bool complete = Bind(module, "InternetOpenA", api.InternetOpenA) &&
                    Bind(module, "InternetSetStatusCallbackA", api.InternetSetStatusCallbackA) &&
                    Bind(module, "InternetOpenUrlA", api.InternetOpenUrlA) &&
                    Bind(module, "InternetCrackUrlA", api.InternetCrackUrlA) &&
                    Bind(module, "InternetQueryDataAvailable", api.InternetQueryDataAvailable) &&
                    Bind(module, "InternetReadFile", api.InternetReadFile) &&
                    Bind(module, "HttpQueryInfoA", api.HttpQueryInfoA) &&
                    Bind(module, "InternetQueryOptionA", api.InternetQueryOptionA) &&
                    Bind(module, "InternetCloseHandle", api.InternetCloseHandle);
    return complete ? &api : nullptr;
}

}  // namespace

const WinInetApi* WinInet() {
    static const WinInetApi* api = LoadWinInet();
    return api;
}
