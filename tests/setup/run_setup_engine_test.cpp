// Run Setup from the settings to the started setup, through the engine's own
// download control over a scripted WinINet and its stall ticker driven by
// the test: what a user sees on the window, without a window or a server.
#include "setup/run_setup_engine.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <optional>
#include <vector>

#include "checks/settings.h"
#include "platform/message_pump.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/scripted_wininet.h"

namespace {

using test_support::AnswerPendingOpen;
using test_support::FileBytes;
using test_support::g_network;
using test_support::NetworkScript;
using test_support::PathExists;

// A whole Windows program to serve: this test's own executable.
std::string WholeProgram() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    return FileBytes(self);
}

std::string TempFolderOfTest() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return temp;
}

// What the main window would show.
struct FakeView : RunSetupView {
    std::string status;
    std::optional<StatusStyle> statusStyle;
    std::string progressText;
    std::int64_t progressMax = 0, progressValue = 0;
    bool bar = false, runButtonHidden = false, unloaded = false;
    std::vector<std::string> messages;
    std::function<void()> whileBoxIsUp;  // window events during a message box
    std::optional<ProgramEnd> end;

    void ShowStatus(const std::string& text, StatusStyle style) override {
        status = text;
        statusStyle = style;
    }
    void RedrawResults() override {}
    void HideRunButton() override { runButtonHidden = true; }
    void ShowProgressBar(bool visible) override { bar = visible; }
    void SetProgress(std::int64_t max, std::int64_t value, const std::string& text) override {
        progressMax = max;
        progressValue = value;
        progressText = text;
    }
    void SetBusyPointer(bool) override {}
    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        if (whileBoxIsUp) whileBoxIsUp();
    }
    void UnloadWindow() override { unloaded = true; }
    void RequestEnd(const ProgramEnd& asked) override {
        if (!end) end = asked;
    }
    bool Ending() override { return end.has_value(); }
};

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        g_network = NetworkScript{};
        program = TempFolderOfTest() + "tscheck_engine_test\\";
        ::CreateDirectoryA(program.c_str(), nullptr);
        run.settings = SettingsFile(program);
        std::ofstream(run.settings.Path(), std::ios::binary)
            << "[Requirements]\r\nRun = installtavrinsecure\r\n";
        run.verdict = true;
    }
    void TearDown() override {
        engine.reset();
        if (!startedPath.empty()) {
            ::DeleteFileA(startedPath.c_str());
            ::RemoveDirectoryA(folder.c_str());
        }
        ::DeleteFileA(run.settings.Path().c_str());
        ::RemoveDirectoryA(program.c_str());
    }

    void MakeEngine() {
        RunSetupFacts facts;
        facts.install.tempFolder = TempFolderOfTest();
        facts.install.startProgram = [this](const std::string& path, const std::string&,
                                            HANDLE) {
            startedPath = path;
            return setupStarts;
        };
        facts.install.makePrivateFolder = [this](const std::string& parent) {
            PrivateFolder made = CreatePrivateFolder(parent);
            folder = made.path;
            return made;
        };
        facts.install.url = "http://host/setup.exe";
        facts.network = test_support::ScriptedWinInet();
        facts.downloadStartError = [this](const std::string& text, const std::string&) {
            view.messages.push_back(text);
        };
        facts.stallTickMs = 24 * 60 * 60 * 1000;  // the test is the clock
        engine = std::make_unique<RunSetupEngine>(view, run, std::move(facts));
    }

    // Lets the download control work until the view shows `done`.
    bool PumpUntilDone(const std::function<bool()>& done) {
        DWORD start = ::GetTickCount();
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
        PumpUntil([&] { return done() || ::GetTickCount() - start > 20000u * TSCHECK_TEST_TIME_SCALE; });
        ::KillTimer(nullptr, timer);
        return done();
    }
    // Lets whatever is queued run, and what that queues in turn.
    void PumpAWhile() {
        DWORD start = ::GetTickCount();
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
        PumpUntil([&] { return ::GetTickCount() - start > 300u * TSCHECK_TEST_TIME_SCALE; });
        ::KillTimer(nullptr, timer);
    }

    std::string program, folder, startedPath;
    bool setupStarts = true;
    CheckRun run;
    FakeView view;
    std::unique_ptr<RunSetupEngine> engine;
};

constexpr char kDownloading[] =
    "Status: Downloading the setup file\r\nTo cancel, click the X in the top right.";
constexpr char kError[] = "There was an error downloading the Tavrin Secure setup file.";
constexpr char kTimedOut[] =
    "Download timed out. Please check your connection settings and try again.";

TEST_F(Engine, TheDownloadedSetupStartsAndTheWindowUnloads) {
    g_network.body = WholeProgram();
    MakeEngine();
    engine->Run();
    EXPECT_TRUE(view.runButtonHidden);
    EXPECT_EQ(view.status, kDownloading);
    EXPECT_FALSE(view.end) << "the download keeps the window open";
    ASSERT_TRUE(PumpUntilDone([&] { return view.unloaded || !view.status.starts_with("Status"); }));
    EXPECT_TRUE(view.unloaded);
    EXPECT_EQ(startedPath, folder + "tavrinsecure.exe");
    EXPECT_EQ(FileBytes(startedPath), g_network.body);
    EXPECT_EQ(view.progressMax, static_cast<std::int64_t>(g_network.body.size()));
    EXPECT_EQ(view.progressValue, view.progressMax) << "the last change always shows";
    EXPECT_FALSE(view.bar);
    EXPECT_TRUE(view.messages.empty());
}

// The shell refused the setup (no rights, the user said no): the window
// stays with the error status, and the refused file does not stay behind.
TEST_F(Engine, ASetupThatCannotStartKeepsTheWindowWithTheErrorStatus) {
    g_network.body = WholeProgram();
    setupStarts = false;
    MakeEngine();
    engine->Run();
    ASSERT_TRUE(PumpUntilDone([&] { return view.unloaded || view.status == kError; }));
    EXPECT_FALSE(startedPath.empty()) << "the start was tried";
    EXPECT_FALSE(view.unloaded);
    EXPECT_FALSE(view.end);
    EXPECT_EQ(view.status, kError);
    EXPECT_EQ(view.statusStyle, StatusStyle::Error);
    EXPECT_FALSE(view.bar);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_FALSE(PathExists(folder)) << "nothing of the download stays";
    startedPath.clear();
}

// A server that never answers: the 19th quiet second after the start tells
// the user, once. The answer arriving while that box is up comes too late:
// nothing of it is read or saved, nothing starts, the window stays.
TEST_F(Engine, AStalledDownloadTimesOutForGood) {
    g_network.body = WholeProgram();
    g_network.openWaits = true;
    MakeEngine();
    engine->Run();
    ASSERT_FALSE(folder.empty());
    for (int second = 0; second < 18; ++second) engine->OnStallTick();
    EXPECT_TRUE(view.messages.empty());
    bool answeredDuringBox = false;
    view.whileBoxIsUp = [&] {
        AnswerPendingOpen();
        answeredDuringBox = true;
        PumpAWhile();
    };
    engine->OnStallTick();
    EXPECT_TRUE(answeredDuringBox);
    EXPECT_EQ(g_network.sent, 0u) << "the late answer is not even read";
    EXPECT_EQ(view.messages, std::vector<std::string>{kTimedOut});
    EXPECT_FALSE(view.bar);
    EXPECT_TRUE(startedPath.empty());
    EXPECT_FALSE(view.unloaded);
    EXPECT_FALSE(view.end);
    EXPECT_EQ(view.status, kDownloading);
    EXPECT_FALSE(PathExists(folder)) << "nothing of the download stays";
    view.whileBoxIsUp = nullptr;
    for (int second = 0; second < 30; ++second) engine->OnStallTick();
    EXPECT_EQ(view.messages.size(), 1u);
}

// Closing the window in the middle of the download: the transfer and its
// file go, and the stall ticker says nothing more.
TEST_F(Engine, ClosingMidDownloadEndsItQuietly) {
    g_network.body = WholeProgram();
    g_network.openWaits = true;
    MakeEngine();
    engine->Run();
    ASSERT_TRUE(PathExists(folder));
    engine->Abandon();
    EXPECT_FALSE(PathExists(folder));
    AnswerPendingOpen();
    PumpAWhile();
    EXPECT_EQ(g_network.sent, 0u) << "the late answer is not even read";
    for (int second = 0; second < 30; ++second) engine->OnStallTick();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(startedPath.empty());
}

}  // namespace
