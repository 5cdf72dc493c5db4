#include "setup/install_script.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "platform/message_pump.h"
#include "setup/command_runner.h"
#include "setup/run_setup_view.h"
#include "setup/private_folder.h"
#include "setup/sha256.h"
#include "setup/setup_start.h"

namespace {

std::string RealTempFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return temp;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A whole Windows program to download: this test's own executable.
const std::string& WholeProgram() {
    static const std::string bytes = [] {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        return ReadWholeFile(self);
    }();
    return bytes;
}

// Records what the script asks of the window, the network and the system;
// the download folder is real.
struct FakeHost : RunSetupView {
    std::vector<std::string> calls;
    bool timer = false, bar = false, unloaded = false;
    std::string status, progressText, started, startedIn, folder;
    StatusStyle statusStyle = StatusStyle::Progress;
    std::int64_t progressMax = 0, progressValue = 0;
    bool handedTheLockedFile = false, lockedWhenStarted = false;
    bool startSucceeds = true;
    int messages = 0, cancels = 0;
    std::string lastMessage;
    std::shared_ptr<DownloadTarget> target;

    ~FakeHost() override {
        target.reset();
        if (!folder.empty()) {
            ::DeleteFileA((folder + "tavrinsecure.exe").c_str());
            ::RemoveDirectoryA(folder.c_str());
        }
    }
    void HideRunButton() override { calls.push_back("hide-run"); }
    void ShowStatus(const std::string& text, StatusStyle style) override {
        status = text;
        statusStyle = style;
    }
    void RedrawResults() override { calls.push_back("results"); }
    void ShowProgressBar(bool visible) override { bar = visible; }
    void SetProgress(std::int64_t max, std::int64_t value, const std::string& text) override {
        progressMax = max;
        progressValue = value;
        progressText = text;
    }
    void SetBusyPointer(bool) override {}
    void UnloadWindow() override { unloaded = true; }
    void RequestEnd(const ProgramEnd&) override {}
    bool Ending() override { return false; }
    std::function<void()> whileBoxIsUp;  // window events during a message box
    void ShowMessage(const std::string& text) override {
        ++messages;
        lastMessage = text;
        if (whileBoxIsUp) whileBoxIsUp();
    }

    bool StartProgram(const std::string& path, const std::string& in, HANDLE verified) {
        started = path;
        startedIn = in;
        HANDLE reader = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
        handedTheLockedFile = reader != INVALID_HANDLE_VALUE && SameFile(reader, verified);
        if (reader != INVALID_HANDLE_VALUE) ::CloseHandle(reader);
        // Nobody may change or replace the file until it has started.
        HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
        lockedWhenStarted = writer == INVALID_HANDLE_VALUE && !::DeleteFileA(path.c_str());
        if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
        return startSucceeds;
    }

    InstallFacts Facts(std::string tempFolder, std::string url, std::string pin) {
        InstallFacts facts;
        facts.tempFolder = std::move(tempFolder);
        facts.startProgram = [this](const std::string& path, const std::string& in,
                                    HANDLE verified) { return StartProgram(path, in, verified); };
        facts.makePrivateFolder = [this](const std::string&) {
            PrivateFolder made = CreatePrivateFolder(RealTempFolder());
            folder = made.path;
            return made;
        };
        facts.url = std::move(url);
        facts.pinnedSha256 = std::move(pin);
        return facts;
    }
    InstallTransfer Transfer() {
        return InstallTransfer{
            [this](const std::string& url, std::shared_ptr<DownloadTarget> into,
                   const std::string& file) {
                calls.push_back("download " + url + " " + file);
                target = std::move(into);
            },
            [this] {
                ++cancels;
                if (target) target->Discard();  // as the download control does
            },
            [this](bool enabled) { timer = enabled; }};
    }
    // A script for this host, downloading from `url`.
    std::unique_ptr<InstallScript> Script(const std::string& url = "http://host/x",
                                          const std::string& pin = "",
                                          const std::string& tempFolder = "C:\\Temp\\") {
        return std::make_unique<InstallScript>(*this, Facts(tempFolder, url, pin), Transfer());
    }

    // What the download control does with the bytes of a download that the
    // network finished; then the event it raises.
    void Deliver(InstallScript& script, const std::string& bytes, bool announceLength) {
        ASSERT_TRUE(target);
        bool whole = target->Open() &&
                     target->Announced(announceLength ? static_cast<std::int64_t>(bytes.size())
                                                      : DownloadTarget::kNoLength);
        for (std::size_t at = 0; whole && at < bytes.size(); at += 65536)
            whole = target->Write(bytes.data() + at, std::min<std::size_t>(65536, bytes.size() - at));
        whole = whole && target->Commit();
        if (!whole) target->Discard();
        target.reset();
        if (whole) {
            script.OnDownloadComplete();
            // The check runs off this thread; its end comes as an event.
            PumpUntil([&] { return !script.Verifying(); });
        } else {
            script.OnDownloadError();
        }
    }
};

constexpr char kError[] = "There was an error downloading the Tavrin Secure setup file.";

class Install : public ::testing::Test {
protected:
    FakeHost host;
    std::unique_ptr<InstallScript> made =
        host.Script("http://host/TavrinCA/tavrinsecure/tavrinsecure.exe");
    InstallScript& script = *made;
};

TEST_F(Install, StartsTheDownloadIntoAFreshFolderAndKeepsTheWindowOpen) {
    script.RunInstallScript();
    EXPECT_EQ(host.status,
              "Status: Downloading the setup file\r\nTo cancel, click the X in the top right.");
    ASSERT_FALSE(host.folder.empty());
    EXPECT_EQ(host.calls, (std::vector<std::string>{
                              "hide-run", "results",
                              "download http://host/TavrinCA/tavrinsecure/tavrinsecure.exe " +
                                  host.folder + "tavrinsecure.exe"}));
    EXPECT_TRUE(host.timer);
    EXPECT_TRUE(host.bar);
    EXPECT_TRUE(script.KeepsWindowOpen());

    FakeHost second;
    second.Script()->RunInstallScript();
    EXPECT_NE(second.folder, host.folder) << "every run has a folder of its own";
}

TEST_F(Install, ProgressText) {
    script.RunInstallScript();
    script.OnDownloadProgress(1572864, 12 * 1024 * 1024);
    EXPECT_EQ(host.progressText, "1.50 MB of 12.00 MB");
}

// A length beyond 32 bits reaches the view whole, in the text as well.
TEST_F(Install, ProgressOfThreeGigabytesDoesNotWrap) {
    script.RunInstallScript();
    const std::int64_t gigabyte = 1024ll * 1024 * 1024;
    script.OnDownloadProgress(gigabyte * 3 / 2, gigabyte * 3);
    EXPECT_EQ(host.progressText, "1,536.00 MB of 3,072.00 MB");
    EXPECT_EQ(host.progressMax, gigabyte * 3);
    EXPECT_EQ(host.progressValue, gigabyte * 3 / 2);
}

TEST_F(Install, NineteenQuietTicksTimeOutOnce) {
    script.RunInstallScript();
    for (int tick = 0; tick < 18; ++tick) script.OnTimerTick();
    EXPECT_EQ(host.messages, 0);
    script.OnTimerTick();  // the 19th
    EXPECT_EQ(host.messages, 1);
    EXPECT_EQ(host.lastMessage,
              "Download timed out. Please check your connection settings and try again.");
    EXPECT_EQ(host.cancels, 1);
    EXPECT_FALSE(host.bar);
    EXPECT_TRUE(host.timer) << "the timer keeps running; the window stays open";
    for (int tick = 0; tick < 40000; ++tick) script.OnTimerTick();
    EXPECT_EQ(script.StallCounter(), InstallScript::kTimeoutTicks) << "no wrap";
    EXPECT_EQ(host.messages, 1);
    EXPECT_EQ(host.status,
              "Status: Downloading the setup file\r\nTo cancel, click the X in the top right.");
}

// A server that cannot be reached (or answers with another status) raises
// a download error before any file arrived: the status stays, and the
// time-out tells the user.
TEST_F(Install, ANetworkFailureWaitsForTheTimeOut) {
    script.RunInstallScript();
    std::string downloading = host.status;
    host.target->Discard();  // what the control does with a failed transfer
    host.target.reset();
    script.OnDownloadError();
    EXPECT_EQ(host.status, downloading);
    EXPECT_TRUE(host.bar);
    EXPECT_FALSE(Exists(host.folder));
    for (int tick = 0; tick < 18; ++tick) script.OnTimerTick();
    EXPECT_EQ(host.messages, 0);
    script.OnTimerTick();
    EXPECT_EQ(host.messages, 1) << "the time-out message";
    EXPECT_FALSE(host.bar);
    EXPECT_TRUE(host.started.empty());
}

// The rest of a stalled download that arrives while the time-out box is up
// is neither saved nor started: the download ended before the box showed.
TEST_F(Install, ATimeOutIsFinal) {
    script.RunInstallScript();
    const std::string& program = WholeProgram();
    ASSERT_TRUE(host.target->Open());
    ASSERT_TRUE(host.target->Announced(static_cast<std::int64_t>(program.size())));
    ASSERT_TRUE(host.target->Write(program.data(), 1000));
    script.OnBytesReceived(1000);
    host.whileBoxIsUp = [&] {
        bool whole = host.target->Write(program.data() + 1000, program.size() - 1000) &&
                     host.target->Commit();
        script.OnBytesReceived(static_cast<std::int64_t>(program.size()));
        if (whole) script.OnDownloadComplete();
        else script.OnDownloadError();
    };
    for (int tick = 0; tick < 19; ++tick) script.OnTimerTick();
    EXPECT_EQ(host.messages, 1);
    EXPECT_TRUE(host.started.empty());
    EXPECT_FALSE(host.unloaded);
    EXPECT_FALSE(Exists(host.folder)) << "nothing of the download stays";
    for (int tick = 0; tick < 30; ++tick) script.OnTimerTick();
    EXPECT_EQ(host.messages, 1);
}

TEST_F(Install, FlowingBytesWithoutATotalNeverTimeOut) {
    script.RunInstallScript();
    for (int second = 1; second <= 60; ++second) {
        script.OnBytesReceived(second * 1000);
        script.OnTimerTick();
    }
    EXPECT_EQ(host.messages, 0);
    // Then the data stops: 19 ticks later, the time-out.
    for (int tick = 0; tick < 19; ++tick) script.OnTimerTick();
    EXPECT_EQ(host.messages, 1);
}

TEST_F(Install, AWholeProgramStartsFromItsFolderStillLockedAndTheWindowUnloads) {
    FakeHost fresh;
    auto run = fresh.Script();
    run->RunInstallScript();
    fresh.Deliver(*run, WholeProgram(), true);
    EXPECT_EQ(fresh.started, fresh.folder + "tavrinsecure.exe");
    EXPECT_EQ(fresh.startedIn, fresh.folder);
    EXPECT_TRUE(fresh.lockedWhenStarted);
    EXPECT_TRUE(fresh.handedTheLockedFile) << "the start can tell the verified file";
    EXPECT_TRUE(fresh.unloaded);
    EXPECT_FALSE(fresh.timer);
    EXPECT_FALSE(fresh.bar);
    EXPECT_EQ(ReadWholeFile(fresh.started), WholeProgram()) << "the started file stays";
}

// Whatever the network delivers instead of the setup program, nothing starts,
// the user sees the error text, the window stays open and no file is left.
TEST_F(Install, HostileDownloadsNeverStartAndLeaveNothing) {
    const std::string& program = WholeProgram();
    const std::string portal =
        "<!DOCTYPE html>\r\n<html><head><title>Sign in</title></head><body></body></html>\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        bool announced;
        std::string pin;
    } cases[] = {
        {"captive portal page", portal, true, ""},
        {"cut in half, the cut length announced", program.substr(0, program.size() / 2), true, ""},
        {"cut in half, no length", program.substr(0, program.size() / 2), false, ""},
        {"whole but no length to prove it", program, false, ""},
        {"another program than the pinned one", program, true, std::string(64, '0')},
        {"a pin that is no digest", program, true, "not a digest"},
        {"empty answer", "", true, ""},
    };
    for (const Case& c : cases) {
        FakeHost fresh;
        auto run = fresh.Script("http://host/x", c.pin);
        run->RunInstallScript();
        fresh.Deliver(*run, c.bytes, c.announced);
        EXPECT_TRUE(fresh.started.empty()) << c.what;
        EXPECT_FALSE(fresh.unloaded) << c.what;
        EXPECT_EQ(fresh.status, kError) << c.what;
        EXPECT_EQ(fresh.statusStyle, StatusStyle::Error) << c.what;
        EXPECT_FALSE(Exists(fresh.folder)) << c.what << ": nothing left behind";
    }
}

TEST_F(Install, APinnedProgramNeedsNoLengthAndTooLargeIsRefusedAtOnce) {
    Sha256 hash;
    hash.Add(WholeProgram().data(), WholeProgram().size());
    FakeHost pinnedHost;
    auto pinned = pinnedHost.Script("http://host/x", DigestHex(hash.Finish()));
    pinned->RunInstallScript();
    pinnedHost.Deliver(*pinned, WholeProgram(), false);
    EXPECT_FALSE(pinnedHost.started.empty()) << "the digest proves the whole file arrived";

    script.RunInstallScript();
    ASSERT_TRUE(host.target->Open());
    EXPECT_FALSE(host.target->Announced(InstallScript::kMaxSetupBytes + 1));
    EXPECT_TRUE(host.target->Announced(DownloadTarget::kNoLength));
    std::string block(1 << 20, 'x');
    EXPECT_TRUE(host.target->Write(block.data(), block.size()));
    host.target->Discard();
}

TEST_F(Install, ClosingMidDownloadLeavesNoPartialFile) {
    script.RunInstallScript();
    ASSERT_TRUE(host.target->Open());
    ASSERT_TRUE(host.target->Write("MZ partial", 10));
    ASSERT_TRUE(Exists(host.folder + "tavrinsecure.exe"));
    script.Abandon();
    EXPECT_EQ(host.cancels, 1);
    EXPECT_FALSE(Exists(host.folder));
}

// Closing the window cancels the download; a completion that was already
// queued then must not start the setup the user turned down.
TEST_F(Install, ClosingDropsACompletionStillQueued) {
    script.RunInstallScript();
    std::string program = WholeProgram();
    ASSERT_TRUE(host.target->Open());
    ASSERT_TRUE(host.target->Announced(static_cast<std::int64_t>(program.size())));
    ASSERT_TRUE(host.target->Write(program.data(), program.size()));
    ASSERT_TRUE(host.target->Commit());
    script.Abandon();
    EXPECT_EQ(host.cancels, 1);
    EXPECT_FALSE(host.timer);
    script.OnDownloadComplete();
    script.OnDownloadError();
    for (int tick = 0; tick < 30; ++tick) script.OnTimerTick();
    EXPECT_TRUE(host.started.empty());
    EXPECT_FALSE(host.unloaded);
    EXPECT_EQ(host.messages, 0);
}

// A close while the arrived file is being checked cancels the check and
// waits for it: nothing starts and nothing of the download stays.
TEST_F(Install, ClosingDuringTheCheckCancelsIt) {
    script.RunInstallScript();
    std::string program = WholeProgram() + std::string(32 * 1024 * 1024, '\0');
    ASSERT_TRUE(host.target->Open());
    ASSERT_TRUE(host.target->Announced(static_cast<std::int64_t>(program.size())));
    ASSERT_TRUE(host.target->Write(program.data(), program.size()));
    ASSERT_TRUE(host.target->Commit());
    host.target.reset();
    script.OnDownloadComplete();
    EXPECT_TRUE(script.Verifying()) << "the check runs off the window thread";
    script.Abandon();
    EXPECT_FALSE(script.Verifying());
    ProcessPendingEvents();
    EXPECT_TRUE(host.started.empty());
    EXPECT_FALSE(host.unloaded);
    EXPECT_EQ(host.messages, 0);
    EXPECT_FALSE(Exists(host.folder)) << "nothing of the download stays";
}

// Saved relative to the current folder, the file started elevated could be
// any program put there: with no temporary folder nothing is downloaded.
TEST_F(Install, NoTempFolderTellsTheUserAndDownloadsNothing) {
    auto homeless = host.Script("http://host/x", "", "");
    EXPECT_FALSE(homeless->RunInstallScript()) << "the run ends instead of waiting for a download";
    EXPECT_EQ(host.messages, 1);
    for (const std::string& call : host.calls) EXPECT_EQ(call.find("download"), std::string::npos) << call;
    EXPECT_FALSE(host.timer);
}

// The user may rename what is in the temporary folder: while the download
// and the start run, the run's folder can be neither renamed nor removed.
TEST(PrivateFolderLock, TheFolderCannotBeRenamedWhileHeld) {
    PrivateFolder folder = CreatePrivateFolder(RealTempFolder());
    ASSERT_FALSE(folder.path.empty());
    ASSERT_TRUE(folder.lock);
    std::string path = folder.path.substr(0, folder.path.size() - 1);
    std::string moved = path + "-swapped";
    EXPECT_FALSE(::MoveFileA(path.c_str(), moved.c_str()));
    EXPECT_FALSE(::RemoveDirectoryA(path.c_str()));
    folder.lock.reset();
    EXPECT_TRUE(::MoveFileA(path.c_str(), moved.c_str())) << "the lock alone held it";
    ::RemoveDirectoryA(moved.c_str());
    ::RemoveDirectoryA(path.c_str());
}

TEST(DownloadUrl, FixedPath) {
    std::string url = SetupDownloadUrl();
    EXPECT_EQ(url.rfind("http://", 0), 0u);
    EXPECT_EQ(url.substr(url.size() - 39), "/TavrinCA/tavrinsecure/tavrinsecure.exe");
}

TEST(UrlCommands, SchemeAnywhereInAnyCase) {
    EXPECT_TRUE(IsUrlCommand("browser.exe HTTP://x"));
    EXPECT_TRUE(IsUrlCommand("https://x"));
    EXPECT_FALSE(IsUrlCommand("setup.exe /quiet"));
    EXPECT_FALSE(IsUrlCommand("ftp://x"));
}

// The start runs only the file that was verified: a program at the same path
// that is another file (a folder above re-pointed between the checks and the
// start) is ended before it runs.
TEST(VerifiedStart, OnlyTheVerifiedFileRuns) {
    std::string folder = RealTempFolder() + "tscheck verified start\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    std::string program = std::string(system) + "\\hostname.exe";
    std::string verified = folder + "verified.exe", other = folder + "other.exe";
    ASSERT_TRUE(::CopyFileA(program.c_str(), verified.c_str(), FALSE)) << "set-up: " << program;
    ASSERT_TRUE(::CopyFileA(program.c_str(), other.c_str(), FALSE));
    HANDLE lock = ::CreateFileA(verified.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    SystemResult swapped = StartVerifiedSetup(other, folder, lock);
    SystemResult same = StartVerifiedSetup(verified, folder, lock);
    ::CloseHandle(lock);
    EXPECT_FALSE(swapped) << "another file at the started path ran";
    EXPECT_EQ(swapped.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(same) << "error " << same.error;
    ::Sleep(200);  // the started one ends by itself
    ::DeleteFileA(verified.c_str());
    ::DeleteFileA(other.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace
