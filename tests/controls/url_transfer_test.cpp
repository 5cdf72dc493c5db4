// The download control against a scripted WinINet, for what a real server
// cannot make WinINet do on demand: a read that has to wait and then
// completes with a completely full buffer.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "controls/downloader.h"
#include "controls/same_server.h"
#include "controls/url_transfer.h"
#include "platform/message_pump.h"

namespace {

// How the scripted WinINet answers one read.
enum class Read {
    Now,               // at once, with the bytes
    LaterWithData,     // pending; completes with the bytes and their count
    LaterAnnounceOnly  // pending; completes without touching buffer or count
};

struct Script {
    std::string body;
    std::size_t sent = 0;
    std::deque<Read> reads;
    std::size_t trickle = 0;  // when not 0, what WinINet says has arrived at most
    INTERNET_STATUS_CALLBACK callback = nullptr;
    DWORD_PTR context = 0;
    bool pendingAnnounced = false;
} g_script;

HINTERNET Handle(int n) { return reinterpret_cast<HINTERNET>(static_cast<INT_PTR>(n)); }

void Complete() {
    INTERNET_ASYNC_RESULT result{TRUE, ERROR_SUCCESS};
    g_script.callback(Handle(2), g_script.context, INTERNET_STATUS_REQUEST_COMPLETE, &result,
                      sizeof result);
}

HINTERNET WINAPI FakeOpen(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) { return Handle(1); }
INTERNET_STATUS_CALLBACK WINAPI FakeSetCallback(HINTERNET, INTERNET_STATUS_CALLBACK callback) {
    g_script.callback = callback;
    return nullptr;
}
HINTERNET WINAPI FakeOpenUrl(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR context) {
    g_script.context = context;
    return Handle(2);
}
BOOL WINAPI FakeCrackUrl(LPCSTR, DWORD, DWORD, LPURL_COMPONENTSA parts) {
    parts->nScheme = INTERNET_SCHEME_HTTP;
    parts->dwHostNameLength = 4;
    return TRUE;
}
BOOL WINAPI FakeQueryInfo(HINTERNET, DWORD level, LPVOID buffer, LPDWORD size, LPDWORD index) {
    if (level == (HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER)) {
        *static_cast<DWORD*>(buffer) = 200;
        return TRUE;
    }
    if (level == HTTP_QUERY_CONTENT_LENGTH && index && *index == 0) {
        std::string text = std::to_string(g_script.body.size());
        text.copy(static_cast<char*>(buffer), text.size());
        *size = static_cast<DWORD>(text.size());
        *index = 1;
        return TRUE;
    }
    ::SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI FakeDataAvailable(HINTERNET, LPDWORD available, DWORD, DWORD_PTR) {
    std::size_t left = g_script.body.size() - g_script.sent;
    *available = static_cast<DWORD>(g_script.trickle ? std::min(left, g_script.trickle) : left);
    return TRUE;
}
BOOL WINAPI FakeRead(HINTERNET, LPVOID buffer, DWORD wanted, LPDWORD count) {
    Read how = Read::Now;
    if (!g_script.reads.empty()) {
        how = g_script.reads.front();
        if (how != Read::LaterAnnounceOnly || g_script.pendingAnnounced) g_script.reads.pop_front();
    }
    if (how == Read::LaterAnnounceOnly && !g_script.pendingAnnounced) {
        g_script.pendingAnnounced = true;  // the next read returns the data
        Complete();
        ::SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    g_script.pendingAnnounced = false;
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(wanted, g_script.body.size() - g_script.sent));
    g_script.body.copy(static_cast<char*>(buffer), n, g_script.sent);
    g_script.sent += n;
    *count = n;
    if (how == Read::Now) return TRUE;
    Complete();  // posts a notice; the control handles it after this returns
    ::SetLastError(ERROR_IO_PENDING);
    return FALSE;
}
BOOL WINAPI FakeQueryOption(HINTERNET, DWORD option, LPVOID buffer, LPDWORD size) {
    std::string url = "http://host/setup.exe";
    if (option != INTERNET_OPTION_URL || *size <= url.size()) return FALSE;
    url.copy(static_cast<char*>(buffer), url.size());
    static_cast<char*>(buffer)[url.size()] = '\0';
    *size = static_cast<DWORD>(url.size());
    return TRUE;
}
BOOL WINAPI FakeClose(HINTERNET) { return TRUE; }

WinInetApi FakeApi() {
    WinInetApi api;
    api.InternetOpenA = FakeOpen;
    api.InternetSetStatusCallbackA = FakeSetCallback;
    api.InternetOpenUrlA = FakeOpenUrl;
    api.InternetCrackUrlA = FakeCrackUrl;
    api.InternetQueryDataAvailable = FakeDataAvailable;
    api.InternetReadFile = FakeRead;
    api.HttpQueryInfoA = FakeQueryInfo;
    api.InternetQueryOptionA = FakeQueryOption;
    api.InternetCloseHandle = FakeClose;
    return api;
}

// Keeps the bytes in memory.
struct MemoryTarget : DownloadTarget {
    std::string bytes;
    bool committed = false;
    bool Open() override { return true; }
    bool Announced(std::int64_t) override { return true; }
    bool Write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    bool Commit() override { return committed = true; }
    void Discard() noexcept override { bytes.clear(); }
};

// Runs the script's download to its end; the bytes that arrived, and in
// how many pieces they were handed on.
std::string DownloadScripted(int& pieces) {
    WinInetApi api = FakeApi();
    Downloader control([](const std::string&, const std::string&) {}, &api);
    auto target = std::make_shared<MemoryTarget>();
    bool completed = false, failed = false;
    control.OnDownloadComplete = [&](std::int64_t, const std::string&) { completed = true; };
    control.OnDownloadError = [&](const std::string&) { failed = true; };
    pieces = 0;
    control.OnBytesReceived = [&](std::int64_t, const std::string&) { ++pieces; };
    control.BeginDownload("http://host/setup.exe", target, "setup.exe");

    DWORD start = ::GetTickCount();
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
    PumpUntil([&] { return completed || failed || ::GetTickCount() - start > 10000; });
    ::KillTimer(nullptr, timer);

    EXPECT_TRUE(completed);
    EXPECT_FALSE(failed);
    EXPECT_TRUE(target->committed);
    return target->bytes;
}

TEST(UrlTransferAgainstScriptedWinInet, ReadsThatWaitKeepEveryByteWhateverWinInetReports) {
    // Three full buffers and a tail; the first read waits and then brings a
    // completely full buffer, the second waits and only says data came.
    const std::size_t full = UrlTransfer::kReadSize;
    g_script = Script{};
    for (std::size_t i = 0; i < 3 * full + 1234; ++i)
        g_script.body += static_cast<char>((i * 7 + i / 251) & 0xFF);
    g_script.reads = {Read::LaterWithData, Read::LaterAnnounceOnly, Read::Now};
    int pieces = 0;
    std::string arrived = DownloadScripted(pieces);
    EXPECT_EQ(arrived.size(), g_script.body.size());
    EXPECT_TRUE(arrived == g_script.body) << "bytes lost or repeated";

    // Data trickling in small pieces is gathered into blocks; reads that wait
    // in the middle of a block keep what the block already held.
    std::string body = g_script.body;
    g_script = Script{};
    g_script.body = body;
    g_script.trickle = 4000;
    g_script.reads = {Read::Now, Read::Now, Read::LaterWithData, Read::Now, Read::Now,
                      Read::LaterAnnounceOnly, Read::Now, Read::LaterWithData};
    arrived = DownloadScripted(pieces);
    EXPECT_EQ(arrived.size(), body.size());
    EXPECT_TRUE(arrived == body) << "bytes lost or repeated when gathering";
    // About 800 reads: a handful of blocks (a wait or a slow moment ends one
    // early), never one per read.
    EXPECT_LE(pieces, 40);
}

TEST(ContentLength, OnlyPlainDecimalNumbersAreLengths) {
    EXPECT_EQ(ParseContentLength("12582912"), 12582912);
    EXPECT_EQ(ParseContentLength(" 0 "), 0);
    for (const char* bad : {"", " ", "12abc", "-5", "+5", "0x10", "1 2", "1234567890123456789"})
        EXPECT_FALSE(ParseContentLength(bad)) << bad;
}

// Where a redirect may lead: only back to the same server.
TEST(SameServer, OnlyTheSameSchemeHostAndPort) {
    const std::string asked = "http://download.tavrin.example/TavrinCA/tavrinsecure/tavrinsecure.exe";
    EXPECT_TRUE(SameServer(asked, asked));
    EXPECT_TRUE(SameServer(asked, "HTTP://Download.Tavrin.Example:80/elsewhere.exe?x=1"));
    for (const char* reached : {
             "http://mirror.example/TavrinCA/tavrinsecure/tavrinsecure.exe",
             "https://download.tavrin.example/TavrinCA/tavrinsecure/tavrinsecure.exe",
             "ftp://download.tavrin.example/tavrinsecure.exe",
             "http://download.tavrin.example:8080/tavrinsecure.exe",
             "http://download.tavrin.example.evil.example/tavrinsecure.exe",
             "http://download.tavrin.example@evil.example/tavrinsecure.exe",
             "http://evil.example/?http://download.tavrin.example/",
             "http://download.tavrin.example:80x/",
             "download.tavrin.example/tavrinsecure.exe",
             "",
         })
        EXPECT_FALSE(SameServer(asked, reached)) << reached;
}

}  // namespace
