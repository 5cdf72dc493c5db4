// The download control against the project's loopback HTTP server (started by
// tools/run_with_loopback_server.py, which passes its address in
// TSCHECK_TEST_SERVER). Every wait pumps window events with a time limit.
#include "net/downloader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/message_pump.h"
#include "platform/owned.h"
#include "tests/support/scratch_folder.h"

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::IsEmpty;

namespace {

std::string ServerUrl(const std::string& query) {
    const char* base = std::getenv("TSCHECK_TEST_SERVER");
    return std::string(base ? base : "") + "/TavrinCA/tavrinsecure/tavrinsecure.exe?" + query;
}

// What the loopback server sends for a file of `size` bytes.
std::string ServedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

using test_support::FileBytes;
using test_support::PathExists;

// Pumps window events until `done` or the time limit; a thread timer wakes
// the wait so the limit is seen even when nothing else happens.
bool WaitFor(const std::function<bool()>& done, DWORD limitMs = 20000 * TSCHECK_TEST_TIME_SCALE) {
    DWORD start = ::GetTickCount();
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
    PumpUntil([&] { return done() || ::GetTickCount() - start > limitMs; });
    ::KillTimer(nullptr, timer);
    return done();
}

void PumpFor(DWORD ms) {
    WaitFor([] { return false; }, ms);
}

struct Progress {
    std::int64_t read;
    std::int64_t expected;
    std::string file;
};

// Records every event of one control as text, in order, plus the progress.
struct EventLog {
    std::vector<std::string> events;
    std::vector<Progress> progress;
    std::vector<std::string> notices;
    std::vector<std::vector<std::string>> allComplete;
    bool foreignThread = false;

    void Attach(Downloader& control) {
        DWORD thread = ::GetCurrentThreadId();
        auto checkThread = [this, thread] {
            if (::GetCurrentThreadId() != thread) foreignThread = true;
        };
        control.OnDownloadProgress = [this, checkThread](std::int64_t read, std::int64_t expected,
                                                         const std::string& file) {
            checkThread();
            if (events.empty() || events.back() != "progress " + file)
                events.push_back("progress " + file);
            progress.push_back({read, expected, file});
        };
        control.OnDownloadError = [this, checkThread](const std::string& file) {
            checkThread();
            events.push_back("error " + file);
        };
        control.OnDownloadComplete = [this, checkThread](std::int64_t expected,
                                                         const std::string& file) {
            checkThread();
            events.push_back("complete " + std::to_string(expected) + " " + file);
        };
        control.OnDownloadAllComplete = [this, checkThread](const std::vector<std::string>& f) {
            checkThread();
            events.push_back("all");
            allComplete.push_back(f);
        };
    }
};

class DownloaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("TSCHECK_TEST_SERVER"), nullptr)
            << "run through tools/run_with_loopback_server.py";
        log_.Attach(control_);
    }

    std::string File(const std::string& name) const { return folder_ + "\\" + name; }

    // Names in the test folder: no temporary files may stay behind.
    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((folder_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
        return names;
    }

    bool WaitForAllComplete() {
        return WaitFor([this] { return !log_.allComplete.empty(); });
    }

    // Before the control: it goes after the control has let go of its files.
    test_support::ScratchFolder scratch_{"dl"};
    std::string folder_ = scratch_.Path();
    std::vector<std::pair<std::string, std::string>> startErrors_;
    Downloader control_{[this](const std::string& text, const std::string& title) {
        startErrors_.emplace_back(text, title);
    }, WinInet()};
    EventLog log_;
};

TEST_F(DownloaderTest, KnownLengthGivesProgressThenCompleteWithExactBytes) {
    const std::string file = File("tavrinsecure.exe");
    control_.BeginDownload(ServerUrl("size=300000&rate=1500000"), file);
    EXPECT_EQ(control_.Downloads().Count(), 1u);
    ASSERT_TRUE(WaitForAllComplete());

    EXPECT_THAT(log_.events, ElementsAre("progress " + file, "complete 300000 " + file, "all"));
    ASSERT_GE(log_.progress.size(), 2u) << "a slow server should give several reports";
    std::int64_t last = 0;
    for (const Progress& p : log_.progress) {
        EXPECT_EQ(p.expected, 300000);
        EXPECT_GT(p.read, last);
        last = p.read;
    }
    EXPECT_EQ(last, 300000);
    EXPECT_THAT(log_.allComplete[0], ElementsAre(""));
    EXPECT_EQ(FileBytes(file), ServedBytes(300000));
    EXPECT_THAT(FolderContents(), ElementsAre("tavrinsecure.exe"));
    EXPECT_FALSE(log_.foreignThread) << "events must arrive on the window thread";
    EXPECT_EQ(control_.Downloads().Count(), 0u) << "lists reset after the last completion";
}

TEST_F(DownloaderTest, UnannouncedLengthCompletesWithoutProgress) {
    const std::string file = File("nolength.bin");
    std::vector<std::int64_t> received;
    control_.OnBytesReceived = [&](std::int64_t read, const std::string&) {
        received.push_back(read);
    };
    control_.BeginDownload(ServerUrl("size=200000&length=0&rate=2000000"), file);
    ASSERT_TRUE(WaitForAllComplete());

    EXPECT_THAT(log_.events, ElementsAre("complete 0 " + file, "all"));
    // The arrivals are still told, for the install script's stall watch.
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), 200000);
    EXPECT_EQ(FileBytes(file), ServedBytes(200000));
}

TEST_F(DownloaderTest, TwoDownloadsRaiseAllCompleteOnceAfterBoth) {
    const std::string first = File("first.bin");
    const std::string second = File("second.bin");
    control_.BeginDownload(ServerUrl("size=50000&rate=500000"), first);
    control_.BeginDownload(ServerUrl("size=70000"), second);
    EXPECT_THAT(control_.Downloads().Files(), ElementsAre("", first, second));
    ASSERT_TRUE(WaitForAllComplete());
    PumpFor(200);

    std::vector<std::string> completions;
    for (const std::string& e : log_.events)
        if (e.rfind("progress", 0) != 0) completions.push_back(e);
    ASSERT_EQ(completions.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(completions.begin(), completions.begin() + 2),
                ::testing::UnorderedElementsAre("complete 50000 " + first,
                                                "complete 70000 " + second));
    EXPECT_EQ(completions[2], "all");
    ASSERT_EQ(log_.allComplete.size(), 1u);
    EXPECT_THAT(log_.allComplete[0], ElementsAre(""));
    EXPECT_EQ(FileBytes(first), ServedBytes(50000));
    EXPECT_EQ(FileBytes(second), ServedBytes(70000));
}

int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST_F(DownloaderTest, FastDownloadLeavesTheWindowThreadResponsive) {
    // A slow progress handler lets the server fill the connection, so data
    // is always waiting: the control itself must hand the thread back now
    // and then. A timer started once the data flows fires before the end.
    // The handler is slow enough that even a fast machine's download lasts
    // several of the control's longest runs.
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    OwnedWindow owner(window);
    // Counted by the timer's own procedure, whoever dispatches the tick.
    g_ticks = 0;
    int& ticks = g_ticks;
    int ticksAtEnd = -1;
    bool timing = false;
    control_.OnDownloadProgress = [&](std::int64_t, std::int64_t, const std::string&) {
        if (!timing)
            timing = ::SetTimer(window, 1, 10, CountTick) != 0;
        ::Sleep(20);
    };
    control_.OnDownloadComplete = [&](std::int64_t, const std::string&) { ticksAtEnd = ticks; };
    control_.BeginDownload(ServerUrl("size=8388608"), File("big.bin"));
    ASSERT_TRUE(WaitFor([&] { return ticksAtEnd >= 0; }));
    EXPECT_GE(ticksAtEnd, 1);
}

// Every way a read can fail gives DownloadError, never DownloadComplete, and
// leaves nothing at the save path, not even a partial file.
struct FailingServer {
    const char* name;
    std::string query;
};

class FailingDownloadTest : public DownloaderTest,
                            public ::testing::WithParamInterface<FailingServer> {};

TEST_P(FailingDownloadTest, OneOfTwoFailsAndIsNamedAtIndexOne) {
    const std::string good = File("good.bin");
    const std::string bad = File("bad.bin");
    control_.BeginDownload(ServerUrl("size=40000&rate=200000"), good);
    control_.BeginDownload(ServerUrl(GetParam().query), bad);
    ASSERT_TRUE(WaitForAllComplete());

    EXPECT_THAT(log_.events, ::testing::Contains("error " + bad));
    EXPECT_THAT(log_.events, ::testing::Contains("complete 40000 " + good));
    EXPECT_THAT(log_.events, ::testing::Not(::testing::Contains(::testing::HasSubstr(
                                 "complete 0 " + bad))));
    EXPECT_EQ(log_.events.back(), "all");
    ASSERT_EQ(log_.allComplete.size(), 1u);
    EXPECT_THAT(log_.allComplete[0], ElementsAre("", bad));
    EXPECT_FALSE(PathExists(bad));
    EXPECT_THAT(FolderContents(), ElementsAre("good.bin"));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, FailingDownloadTest,
    ::testing::Values(
        FailingServer{"NotFound", "status=404"},
        FailingServer{"PartialContentNotAsked", "size=5000&status=206"},
        FailingServer{"ShortRead", "size=30000&announce=90000"},
        FailingServer{"ClosedWithoutAnswer", "close=1"},
        FailingServer{"ShortReadAfterSlowStart", "size=60000&announce=60001&rate=300000"},
        FailingServer{"LengthWithLetters", "size=5000&announce=12abc"},
        FailingServer{"NegativeLength", "size=5000&announce=-5"},
        FailingServer{"LengthTooLongToRead", "size=5000&announce=" + std::string(40, '9')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloaderTest, ConnectionRefusedIsAnError) {
    // Port 1 on the loopback: nobody listens there.
    const std::string file = File("refused.bin");
    control_.BeginDownload("http://127.0.0.1:1/file.bin", file);
    ASSERT_TRUE(WaitForAllComplete());
    EXPECT_THAT(log_.events, ElementsAre("error " + file, "all"));
    EXPECT_THAT(log_.allComplete[0], ElementsAre("", file));
}

TEST_F(DownloaderTest, LongerOldFileIsReplacedByExactlyTheNewBytes) {
    const std::string file = File("setup.exe");
    std::ofstream(file, std::ios::binary) << std::string(500000, 'x');
    control_.BeginDownload(ServerUrl("size=1000"), file);
    ASSERT_TRUE(WaitForAllComplete());
    EXPECT_EQ(FileBytes(file), ServedBytes(1000));
    EXPECT_THAT(FolderContents(), ElementsAre("setup.exe"));
}

TEST_F(DownloaderTest, UnwritableSaveFilesAreErrorsThatLeaveOldFilesAlone) {
    const std::string missingFolder = File("no such folder\\setup.exe");
    const std::string isFolder = File("a folder");
    const std::string readOnly = File("read-only.exe");
    ASSERT_TRUE(::CreateDirectoryA(isFolder.c_str(), nullptr));
    std::ofstream(readOnly, std::ios::binary) << "old";
    ASSERT_TRUE(::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));

    control_.BeginDownload(ServerUrl("size=5000"), missingFolder);
    control_.BeginDownload(ServerUrl("size=5000"), isFolder);
    control_.BeginDownload(ServerUrl("size=5000"), readOnly);
    ASSERT_TRUE(WaitForAllComplete());

    EXPECT_THAT(startErrors_, IsEmpty()) << "these start and then fail";
    EXPECT_THAT(log_.events, ::testing::Contains("error " + missingFolder));
    EXPECT_THAT(log_.events, ::testing::Contains("error " + isFolder));
    EXPECT_THAT(log_.events, ::testing::Contains("error " + readOnly));
    EXPECT_THAT(log_.allComplete[0], ElementsAre("", missingFolder, isFolder, readOnly));
    EXPECT_EQ(FileBytes(readOnly), "old");
    EXPECT_THAT(FolderContents(), ::testing::UnorderedElementsAre("a folder", "read-only.exe"));
}

TEST_F(DownloaderTest, CancelWithNothingStartedReturnsTrueAndChangesNothing) {
    EXPECT_TRUE(control_.CancelAllDownload());
    EXPECT_THAT(control_.Downloads().Files(), ElementsAre(""));
    EXPECT_THAT(control_.Downloads().Statuses(), ElementsAre(download_status::kError));
    PumpFor(100);
    EXPECT_THAT(log_.events, IsEmpty());
}

TEST_F(DownloaderTest, CancelOfAStalledDownloadEndsItSilentlyAndKeepsNoData) {
    const std::string file = File("stalled.bin");
    control_.BeginDownload(ServerUrl("size=100000&stall=20000"), file);
    // The 20,000 bytes before the stall may arrive in more than one piece.
    ASSERT_TRUE(WaitFor([this] { return !log_.progress.empty() && log_.progress.back().read == 20000; }));

    EXPECT_TRUE(control_.CancelAllDownload());
    EXPECT_EQ(control_.Downloads().Count(), 0u);
    PumpFor(300);
    EXPECT_THAT(log_.events, Each(Eq("progress " + file)));
    EXPECT_THAT(FolderContents(), IsEmpty());
}

TEST_F(DownloaderTest, MalformedRequestsShowTheStartErrorAndChangeNothing) {
    control_.BeginDownload("not a url", File("a.bin"));
    control_.BeginDownload("gopher://127.0.0.1/x", File("b.bin"));
    control_.BeginDownload(ServerUrl("size=10"), "");
    using Notice = std::pair<std::string, std::string>;
    const Notice expected{"Error Starting Download", "Download Error"};
    EXPECT_THAT(startErrors_, ElementsAre(expected, expected, expected));
    EXPECT_THAT(control_.Downloads().Files(), ElementsAre(""));
    PumpFor(200);
    EXPECT_THAT(log_.events, IsEmpty());
}

TEST_F(DownloaderTest, CancelInsideACompletionHandlerRaisesNothingMore) {
    const std::string file = File("one.bin");
    bool completed = false;
    control_.OnDownloadComplete = [&](std::int64_t, const std::string&) {
        completed = true;
        control_.CancelAllDownload();
    };
    control_.BeginDownload(ServerUrl("size=1000"), file);
    ASSERT_TRUE(WaitFor([&] { return completed; }));
    PumpFor(200);
    EXPECT_THAT(log_.allComplete, IsEmpty());
    EXPECT_EQ(FileBytes(file), ServedBytes(1000));
}

TEST_F(DownloaderTest, ControlDestroyedByItsOwnHandlerOrMidTransferIsSafe) {
    auto owned =
        std::make_unique<Downloader>([](const std::string&, const std::string&) {}, WinInet());
    bool completed = false;
    owned->OnDownloadComplete = [&](std::int64_t, const std::string&) {
        completed = true;
        owned.reset();  // as an owner that unloads its window here would
    };
    owned->OnDownloadAllComplete = [](const std::vector<std::string>&) { FAIL(); };
    owned->BeginDownload(ServerUrl("size=1000"), File("done.bin"));
    ASSERT_TRUE(WaitFor([&] { return completed; }));
    EXPECT_EQ(owned, nullptr);

    auto midway =
        std::make_unique<Downloader>([](const std::string&, const std::string&) {}, WinInet());
    bool progressed = false;
    midway->OnDownloadProgress = [&](std::int64_t, std::int64_t, const std::string&) {
        progressed = true;
    };
    midway->OnDownloadComplete = [](std::int64_t, const std::string&) { FAIL(); };
    midway->BeginDownload(ServerUrl("size=200000&stall=1000"), File("midway.bin"));
    ASSERT_TRUE(WaitFor([&] { return progressed; }));
    midway.reset();
    PumpFor(200);
    EXPECT_THAT(FolderContents(), ElementsAre("done.bin"));
}

}  // namespace
