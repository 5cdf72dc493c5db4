// A scripted WinINet for the download code: one server that answers 200 with
// `body` and its Content-Length, whose open may stay pending until the test
// answers, and whose reads may have to wait, as real ones do. Tests reset
// the script with `g_network = NetworkScript{}`.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <deque>
#include <string>

#include "net/wininet_api.h"

namespace test_support {

// How the scripted WinINet answers one read.
enum class ScriptedRead {
    Now,               // at once, with the bytes
    LaterWithData,     // pending; completes with the bytes and their count
    LaterAnnounceOnly  // pending; completes without touching buffer or count
};

struct NetworkScript {
    std::string body;
    std::size_t sent = 0;
    std::deque<ScriptedRead> reads;  // then Now for every further read
    std::size_t trickle = 0;         // when not 0, what WinINet says has arrived at most
    bool openWaits = false;          // the open stays pending, as with a stalled server
    INTERNET_STATUS_CALLBACK callback = nullptr;
    DWORD_PTR context = 0;
    bool pendingAnnounced = false;
};
inline NetworkScript g_network;

inline HINTERNET ScriptedHandle(int n) {
    return reinterpret_cast<HINTERNET>(static_cast<INT_PTR>(n));
}

// A pending request completes with `result`.
inline void CompleteRequest(DWORD_PTR result) {
    INTERNET_ASYNC_RESULT async{result, ERROR_SUCCESS};
    g_network.callback(ScriptedHandle(2), g_network.context, INTERNET_STATUS_REQUEST_COMPLETE,
                       &async, sizeof async);
}

// The waiting server answers now.
inline void AnswerPendingOpen() {
    CompleteRequest(reinterpret_cast<DWORD_PTR>(ScriptedHandle(2)));
}

namespace scripted {

inline HINTERNET WINAPI Open(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) { return ScriptedHandle(1); }
inline INTERNET_STATUS_CALLBACK WINAPI SetCallback(HINTERNET, INTERNET_STATUS_CALLBACK callback) {
    g_network.callback = callback;
    return nullptr;
}
inline HINTERNET WINAPI OpenUrl(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR context) {
    g_network.context = context;
    if (!g_network.openWaits) return ScriptedHandle(2);
    ::SetLastError(ERROR_IO_PENDING);
    return nullptr;
}
inline BOOL WINAPI CrackUrl(LPCSTR, DWORD, DWORD, LPURL_COMPONENTSA parts) {
    parts->nScheme = INTERNET_SCHEME_HTTP;
    parts->dwHostNameLength = 4;
    return TRUE;
}
inline BOOL WINAPI QueryInfo(HINTERNET, DWORD level, LPVOID buffer, LPDWORD size, LPDWORD index) {
    if (level == (HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER)) {
        *static_cast<DWORD*>(buffer) = 200;
        return TRUE;
    }
    if (level == HTTP_QUERY_CONTENT_LENGTH && index && *index == 0) {
        std::string text = std::to_string(g_network.body.size());
        text.copy(static_cast<char*>(buffer), text.size());
        *size = static_cast<DWORD>(text.size());
        *index = 1;
        return TRUE;
    }
    ::SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
    return FALSE;
}
inline BOOL WINAPI DataAvailable(HINTERNET, LPDWORD available, DWORD, DWORD_PTR) {
    std::size_t left = g_network.body.size() - g_network.sent;
    *available = static_cast<DWORD>(g_network.trickle ? std::min(left, g_network.trickle) : left);
    return TRUE;
}
inline BOOL WINAPI ReadFile(HINTERNET, LPVOID buffer, DWORD wanted, LPDWORD count) {
    ScriptedRead how = ScriptedRead::Now;
    if (!g_network.reads.empty()) {
        how = g_network.reads.front();
        if (how != ScriptedRead::LaterAnnounceOnly || g_network.pendingAnnounced)
            g_network.reads.pop_front();
    }
    if (how == ScriptedRead::LaterAnnounceOnly && !g_network.pendingAnnounced) {
        g_network.pendingAnnounced = true;  // the next read returns the data
        CompleteRequest(TRUE);
        ::SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    g_network.pendingAnnounced = false;
    DWORD n = static_cast<DWORD>(
        std::min<std::size_t>(wanted, g_network.body.size() - g_network.sent));
    g_network.body.copy(static_cast<char*>(buffer), n, g_network.sent);
    g_network.sent += n;
    *count = n;
    if (how == ScriptedRead::Now) return TRUE;
    CompleteRequest(TRUE);  // posts a notice; the control handles it after this returns
    ::SetLastError(ERROR_IO_PENDING);
    return FALSE;
}
inline BOOL WINAPI QueryOption(HINTERNET, DWORD option, LPVOID buffer, LPDWORD size) {
    std::string url = "http://host/setup.exe";
    if (option != INTERNET_OPTION_URL || *size <= url.size()) return FALSE;
    url.copy(static_cast<char*>(buffer), url.size());
    static_cast<char*>(buffer)[url.size()] = '\0';
    *size = static_cast<DWORD>(url.size());
    return TRUE;
}
inline BOOL WINAPI Close(HINTERNET) { return TRUE; }

}  // namespace scripted

inline const WinInetApi* ScriptedWinInet() {
    static const WinInetApi api = [] {
        WinInetApi fake;
        fake.InternetOpenA = scripted::Open;
        fake.InternetSetStatusCallbackA = scripted::SetCallback;
        fake.InternetOpenUrlA = scripted::OpenUrl;
        fake.InternetCrackUrlA = scripted::CrackUrl;
        fake.InternetQueryDataAvailable = scripted::DataAvailable;
        fake.InternetReadFile = scripted::ReadFile;
        fake.HttpQueryInfoA = scripted::QueryInfo;
        fake.InternetQueryOptionA = scripted::QueryOption;
        fake.InternetCloseHandle = scripted::Close;
        return fake;
    }();
    return &api;
}

}  // namespace test_support
