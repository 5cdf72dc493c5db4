// The download control against a scripted WinINet, for what a real server
// cannot make WinINet do on demand: a read that has to wait and then
// completes with a completely full buffer.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "net/downloader.h"
#include "net/url_transfer.h"
#include "platform/message_pump.h"
#include "tests/support/memory_target.h"
#include "tests/support/scripted_wininet.h"

namespace {

using test_support::g_network;
using test_support::NetworkScript;
using test_support::ScriptedRead;

using test_support::MemoryTarget;

// Runs the script's download to its end; the bytes that arrived, and in
// how many pieces they were handed on.
std::string DownloadScripted(int& pieces) {
    WinInetApi api = *test_support::ScriptedWinInet();
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
    g_network = NetworkScript{};
    for (std::size_t i = 0; i < 3 * full + 1234; ++i)
        g_network.body += static_cast<char>((i * 7 + i / 251) & 0xFF);
    g_network.reads = {ScriptedRead::LaterWithData, ScriptedRead::LaterAnnounceOnly, ScriptedRead::Now};
    int pieces = 0;
    std::string arrived = DownloadScripted(pieces);
    EXPECT_EQ(arrived.size(), g_network.body.size());
    EXPECT_TRUE(arrived == g_network.body) << "bytes lost or repeated";

    // Data trickling in small pieces is gathered into blocks; reads that wait
    // in the middle of a block keep what the block already held.
    std::string body = g_network.body;
    g_network = NetworkScript{};
    g_network.body = body;
    g_network.trickle = 4000;
    g_network.reads = {ScriptedRead::Now, ScriptedRead::Now, ScriptedRead::LaterWithData, ScriptedRead::Now, ScriptedRead::Now,
                      ScriptedRead::LaterAnnounceOnly, ScriptedRead::Now, ScriptedRead::LaterWithData};
    arrived = DownloadScripted(pieces);
    EXPECT_EQ(arrived.size(), body.size());
    EXPECT_TRUE(arrived == body) << "bytes lost or repeated when gathering";
    // About 800 reads: a handful of blocks (a wait or a slow moment ends one
    // early), never one per read.
    EXPECT_LE(pieces, 40);
}

}  // namespace
