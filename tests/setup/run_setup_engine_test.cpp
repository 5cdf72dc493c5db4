// Run Setup from the settings to the started setup, through the engine's own
// download control over a scripted WinINet and its stall ticker driven by
// the test: what a user sees on the window, without a window or a server.
#include "setup/run_setup_engine.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

#include "checks/settings.h"
#include "platform/message_pump.h"

namespace {

// The scripted network: one server that answers 200 with `body`, or keeps
// the request waiting until the test lets it answer.
struct Network {
    std::string body;
    std::size_t sent = 0;
    bool waits = false;  // the open stays pending, as with a stalled server
    INTERNET_STATUS_CALLBACK callback = nullptr;
    DWORD_PTR context = 0;
} g_network;

HINTERNET Handle(int n) { return reinterpret_cast<HINTERNET>(static_cast<INT_PTR>(n)); }

HINTERNET WINAPI FakeOpen(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) { return Handle(1); }
INTERNET_STATUS_CALLBACK WINAPI FakeSetCallback(HINTERNET, INTERNET_STATUS_CALLBACK callback) {
    g_network.callback = callback;
    return nullptr;
}
HINTERNET WINAPI FakeOpenUrl(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR context) {
    g_network.context = context;
    if (!g_network.waits) return Handle(2);
    ::SetLastError(ERROR_IO_PENDING);
    return nullptr;
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
        std::string text = std::to_string(g_network.body.size());
        text.copy(static_cast<char*>(buffer), text.size());
        *size = static_cast<DWORD>(text.size());
        *index = 1;
        return TRUE;
    }
    ::SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI FakeDataAvailable(HINTERNET, LPDWORD available, DWORD, DWORD_PTR) {
    *available = static_cast<DWORD>(g_network.body.size() - g_network.sent);
    return TRUE;
}
BOOL WINAPI FakeRead(HINTERNET, LPVOID buffer, DWORD wanted, LPDWORD count) {
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(wanted, g_network.body.size() - g_network.sent));
    g_network.body.copy(static_cast<char*>(buffer), n, g_network.sent);
    g_network.sent += n;
    *count = n;
    return TRUE;
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

const WinInetApi* ScriptedNetwork() {
    static const WinInetApi api = [] {
        WinInetApi fake;
        fake.InternetOpenA = FakeOpen;
        fake.InternetSetStatusCallbackA = FakeSetCallback;
        fake.InternetOpenUrlA = FakeOpenUrl;
        fake.InternetCrackUrlA = FakeCrackUrl;
        fake.InternetQueryDataAvailable = FakeDataAvailable;
        fake.InternetReadFile = FakeRead;
        fake.HttpQueryInfoA = FakeQueryInfo;
        fake.InternetQueryOptionA = FakeQueryOption;
        fake.InternetCloseHandle = FakeClose;
        return fake;
    }();
    return &api;
}

// The waiting server answers now.
void Answer() {
    INTERNET_ASYNC_RESULT result{reinterpret_cast<DWORD_PTR>(Handle(2)), ERROR_SUCCESS};
    g_network.callback(Handle(2), g_network.context, INTERNET_STATUS_REQUEST_COMPLETE, &result,
                       sizeof result);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A whole Windows program to serve: this test's own executable.
std::string WholeProgram() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    return ReadWholeFile(self);
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
        g_network = Network{};
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
        facts.install.osCode = 6;
        facts.install.startProgram = [this](const std::string& path, bool,
                                            const std::string&) {
            startedPath = path;
            return setupStarts;
        };
        facts.install.makePrivateFolder = [this](const std::string& parent) {
            PrivateFolder made = CreatePrivateFolder(parent);
            folder = made.path;
            return made;
        };
        facts.install.url = "http://host/setup.exe";
        facts.network = ScriptedNetwork();
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
    EXPECT_EQ(ReadWholeFile(startedPath), g_network.body);
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
    EXPECT_FALSE(Exists(folder)) << "nothing of the download stays";
    startedPath.clear();
}

// A server that never answers: the 19th quiet second after the start tells
// the user, once. The answer arriving while that box is up comes too late:
// nothing of it is read or saved, nothing starts, the window stays.
TEST_F(Engine, AStalledDownloadTimesOutForGood) {
    g_network.body = WholeProgram();
    g_network.waits = true;
    MakeEngine();
    engine->Run();
    ASSERT_FALSE(folder.empty());
    for (int second = 0; second < 18; ++second) engine->OnStallTick();
    EXPECT_TRUE(view.messages.empty());
    bool answeredDuringBox = false;
    view.whileBoxIsUp = [&] {
        Answer();
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
    EXPECT_FALSE(Exists(folder)) << "nothing of the download stays";
    view.whileBoxIsUp = nullptr;
    for (int second = 0; second < 30; ++second) engine->OnStallTick();
    EXPECT_EQ(view.messages.size(), 1u);
}

// Closing the window in the middle of the download: the transfer and its
// file go, and the stall ticker says nothing more.
TEST_F(Engine, ClosingMidDownloadEndsItQuietly) {
    g_network.body = WholeProgram();
    g_network.waits = true;
    MakeEngine();
    engine->Run();
    ASSERT_TRUE(Exists(folder));
    engine->Abandon();
    EXPECT_FALSE(Exists(folder));
    Answer();
    PumpAWhile();
    EXPECT_EQ(g_network.sent, 0u) << "the late answer is not even read";
    for (int second = 0; second < 30; ++second) engine->OnStallTick();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(startedPath.empty());
}

}  // namespace
