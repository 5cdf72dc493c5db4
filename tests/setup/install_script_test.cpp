#include "setup/install_script.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "setup/command_runner.h"

namespace {

// Records what the script asks of the window.
struct FakeHost : InstallHost {
    std::vector<std::string> calls;
    std::set<std::string> files;
    int osCode = 6;
    bool timer = false, bar = false, unloaded = false;
    std::string status, progressText, started;
    bool startedElevated = false;
    int messages = 0, cancels = 0;

    void HideRunButton() override { calls.push_back("hide-run"); }
    void DrawStatus(const std::string& text, std::uint32_t, bool, bool) override { status = text; }
    void RedrawResults() override { calls.push_back("results"); }
    void EnableTimeoutTimer(bool enabled) override { timer = enabled; }
    void ShowProgressBar(bool visible) override { bar = visible; }
    void SetProgress(std::int32_t, std::int32_t, const std::string& text) override {
        progressText = text;
    }
    void BeginDownload(const std::string& url, const std::string& file) override {
        calls.push_back("download " + url + " " + file);
    }
    void CancelAllDownload() override { ++cancels; }
    void UnloadWindow() override { unloaded = true; }
    void ShowMessage(const std::string&) override { ++messages; }
    void StartProgram(const std::string& path, bool elevate) override {
        started = path;
        startedElevated = elevate;
    }
    bool HasFile(const std::string& path) override { return files.count(path) != 0; }
    void RemoveFile(const std::string& path) override {
        files.erase(path);
        calls.push_back("delete " + path);
    }
    int CurrentOsCode() override { return osCode; }
};

class Install : public ::testing::Test {
protected:
    void SetUp() override { KeepWindowOpen = false; }
    FakeHost host;
    InstallScript script{host, "C:\\Temp\\", "http://host/TavrinCA/tavrinsecure/tavrinsecure.exe"};
};

TEST_F(Install, StartsTheDownloadAndKeepsTheWindowOpen) {
    host.files.insert("C:\\Temp\\tavrinsecure.exe");  // an older download
    script.RunInstallScript();
    EXPECT_EQ(host.status,
              "Status: Downloading the setup file\r\nTo cancel, click the X in the top right.");
    EXPECT_EQ(host.calls, (std::vector<std::string>{
                              "hide-run", "results", "delete C:\\Temp\\tavrinsecure.exe",
                              "download http://host/TavrinCA/tavrinsecure/tavrinsecure.exe "
                              "C:\\Temp\\tavrinsecure.exe"}));
    EXPECT_TRUE(host.timer);
    EXPECT_TRUE(host.bar);
    EXPECT_TRUE(KeepWindowOpen);
}

TEST_F(Install, ProgressText) {
    script.RunInstallScript();
    script.OnDownloadProgress(1572864, 12 * 1024 * 1024);
    EXPECT_EQ(host.progressText, "1.50 MB of 12.00 MB");
}

TEST_F(Install, NineteenQuietTicksTimeOutOnce) {
    script.RunInstallScript();
    for (int tick = 0; tick < 18; ++tick) script.OnTimerTick();
    EXPECT_EQ(host.messages, 0);
    script.OnTimerTick();  // the 19th
    EXPECT_EQ(host.messages, 1);
    EXPECT_EQ(host.cancels, 1);
    EXPECT_FALSE(host.bar);
    EXPECT_TRUE(host.timer) << "the timer keeps running; the window stays open";
    for (int tick = 0; tick < 40000; ++tick) script.OnTimerTick();
    EXPECT_EQ(script.StallCounter(), InstallScript::kTimeoutTicks) << "no wrap";
    EXPECT_EQ(host.messages, 1);
    EXPECT_EQ(host.status,
              "Status: Downloading the setup file\r\nTo cancel, click the X in the top right.");
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

TEST_F(Install, CompletionStartsTheSetupAndUnloads) {
    struct Case {
        int osCode;
        bool elevate;
    };
    for (Case c : {Case{6, false}, Case{9, true}, Case{10, true}, Case{11, false}, Case{12, false}}) {
        FakeHost fresh;
        fresh.osCode = c.osCode;
        InstallScript run(fresh, "C:\\Temp\\", "http://host/x");
        run.RunInstallScript();
        fresh.files.insert("C:\\Temp\\tavrinsecure.exe");
        run.OnDownloadComplete();
        EXPECT_EQ(fresh.started, "C:\\Temp\\tavrinsecure.exe");
        EXPECT_EQ(fresh.startedElevated, c.elevate) << c.osCode;
        EXPECT_TRUE(fresh.unloaded);
        EXPECT_FALSE(fresh.timer);
        EXPECT_FALSE(fresh.bar);
    }
}

TEST_F(Install, MissingFileOrErrorShowsTheErrorTextAndStaysOpen) {
    script.RunInstallScript();
    script.OnDownloadComplete();
    EXPECT_EQ(host.status, "There was an error downloading the Tavrin Secure setup file.");
    EXPECT_FALSE(host.unloaded);
    EXPECT_TRUE(host.started.empty());
    EXPECT_FALSE(host.timer);

    FakeHost other;
    InstallScript failing(other, "C:\\Temp\\", "http://host/x");
    failing.RunInstallScript();
    failing.OnDownloadError();
    EXPECT_EQ(other.status, "There was an error downloading the Tavrin Secure setup file.");
    EXPECT_FALSE(other.timer);
    EXPECT_FALSE(other.bar);
}

// Closing the window cancels the download; a completion that was already
// queued then must not start the setup the user turned down.
TEST_F(Install, ClosingDropsACompletionStillQueued) {
    script.RunInstallScript();
    host.files.insert("C:\\Temp\\tavrinsecure.exe");
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

// Saved relative to the current folder, the file started elevated could be
// any program put there: with no temporary folder nothing is downloaded.
TEST_F(Install, NoTempFolderTellsTheUserAndDownloadsNothing) {
    InstallScript homeless(host, "", "http://host/x");
    homeless.RunInstallScript();
    EXPECT_EQ(host.messages, 1);
    for (const std::string& call : host.calls) EXPECT_EQ(call.find("download"), std::string::npos) << call;
    EXPECT_FALSE(host.timer);
    EXPECT_FALSE(KeepWindowOpen) << "the run ends instead of waiting for a download";
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

}  // namespace
