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
    decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
    decltype(&::InternetQueryOptionA) InternetQueryOptionA = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
};

// The bound functions, or nullptr when wininet.dll or one of them is missing.
// The DLL stays loaded until the process ends: its worker threads may still
// be finishing cancelled reads after every handle of ours is closed.
const WinInetApi* WinInet();

// An open WinINet handle, closed through the functions that opened it.
class InternetHandle {
public:
    InternetHandle() = default;
    ~InternetHandle() { reset(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    void Bind(const WinInetApi* api) noexcept { api_ = api; }
    HINTERNET get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    HINTERNET Release() noexcept {
        HINTERNET handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void reset(HINTERNET handle = nullptr) noexcept {
        HINTERNET old = handle_;
        handle_ = handle;
        if (old && api_) api_->InternetCloseHandle(old);
    }

private:
    const WinInetApi* api_ = nullptr;
    HINTERNET handle_ = nullptr;
};
