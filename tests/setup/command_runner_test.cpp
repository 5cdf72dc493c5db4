#include "setup/command_runner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <optional>
#include <vector>

#include "checks/settings.h"
#include "setup/command_launch.h"
#include "platform/device_names.h"
#include "system_helpers/special_folders.h"

namespace {

struct FakeHost : RunSetupView {
    std::vector<std::string> messages;
    bool unloaded = false;
    void ShowStatus(const std::string&, StatusStyle) override {}
    void RedrawResults() override {}
    void HideRunButton() override {}
    void ShowProgressBar(bool) override {}
    void SetProgress(std::int64_t, std::int64_t, const std::string&) override {}
    void SetBusyPointer(bool) override {}
    void UnloadWindow() override { unloaded = true; }
    void RequestEnd(const ProgramEnd& asked) override {
        if (!end) end = asked;
    }
    bool Ending() override { return end.has_value(); }
    // What closing the main window does: ask for the end with the verdict,
    // which reaches the waits as WM_QUIT.
    void Close() {
        RequestEnd({kExitPassed, EndReason::Verdict});
        ::PostQuitMessage(static_cast<int>(kExitPassed));
    }
    std::optional<ProgramEnd> end;
    bool closeDuringBox = false;
    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        if (closeDuringBox) Close();
    }
};

// The runner with no install script behind the built-in command.
void RunSetupCommands(FakeHost& host, const CheckRun& run) {
    ::RunSetupCommands(host, run, [] { return false; });
}

// A program folder of its own with a settings file the test writes.
class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "tscheck_runner_test\\";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        run.settings = SettingsFile(folder);
        run.verdict = true;
    }
    void TearDown() override {
        ::DeleteFileA(run.settings.Path().c_str());
        ::DeleteFileA(marker().c_str());
        ::RemoveDirectoryA(folder.c_str());
    }
    void Settings(const std::vector<std::string>& lines) {
        std::ofstream file(run.settings.Path(), std::ios::binary | std::ios::trunc);
        file << "[Requirements]\r\n";
        for (const std::string& line : lines) file << line << "\r\n";
    }
    void Run() {
        RunSetupCommands(host, run);
        ASSERT_TRUE(host.end) << "the run did not end the program";
        EXPECT_EQ(host.end->exitCode, kExitNoVerdict);
    }
    // A command that leaves a trace: cmd.exe creating a file.
    std::string marker() const { return folder + "ran.txt"; }
    std::string Touch() const { return "cmd.exe /c echo ran>\"" + marker() + "\""; }
    bool Ran() const { return ::GetFileAttributesA(marker().c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string folder;
    CheckRun run;
    FakeHost host;
};

// A command the system cannot start ends the run at once: the install word
// outside Run is an ordinary command line, and no such program exists.
TEST_F(Runner, ACommandThatCannotStartEndsTheRun) {
    std::string after = folder + "after.txt";
    Settings({"Run = " + Touch(), "Run0 = installtavrinsecure",
              "Run1 = cmd.exe /c echo ran>\"" + after + "\"", "Msg = never shown"});
    Run();
    bool ranAfter = ::GetFileAttributesA(after.c_str()) != INVALID_FILE_ATTRIBUTES;
    ::DeleteFileA(after.c_str());
    EXPECT_TRUE(Ran()) << "the command before it ran";
    EXPECT_FALSE(ranAfter) << "nothing after it runs";
    ASSERT_EQ(host.messages.size(), 1u) << "no Msg";
    const std::string& box = host.messages[0];
    ASSERT_EQ(box.rfind("Cannot Run Command: installtavrinsecure\r\n", 0), 0u) << box;
    EXPECT_GT(box.size(), std::string("Cannot Run Command: installtavrinsecure\r\n").size())
        << "the system's description of the error";
    EXPECT_FALSE(host.unloaded) << "no unload: the settings file stays";
    EXPECT_EQ(host.end->reason, EndReason::CommandError);
}

FakeHost* closingHost = nullptr;

void CALLBACK CloseOnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!closingHost->Ending()) closingHost->Close();
}

// The window closed while a command runs: the wait returns, and nothing
// after it starts.
TEST_F(Runner, ClosingDuringACommandStopsTheList) {
    Settings({"Run = cmd.exe /c ping -n 3 127.0.0.1 >nul", "Run0 = " + Touch(), "Msg = never"});
    closingHost = &host;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, CloseOnTick);
    RunSetupCommands(host, run);
    ::KillTimer(nullptr, timer);
    MSG msg;
    bool quitWaiting = false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) quitWaiting |= msg.message == WM_QUIT;
    EXPECT_TRUE(quitWaiting) << "the loop outside still sees the end";
    ASSERT_TRUE(host.end);
    EXPECT_EQ(host.end->exitCode, kExitPassed);
    EXPECT_FALSE(Ran());
    EXPECT_TRUE(host.messages.empty());
}

// The window closed while the closing message is up (the settings file,
// held open elsewhere, could not be deleted): no shortcut follows.
TEST_F(Runner, ClosingDuringABoxEndsTheRun) {
    std::string favorites = FavoritesFolder();
    ASSERT_FALSE(favorites.empty());
    std::string shortcut = favorites + "tscheck closed.url";
    Settings({"Run = " + Touch(), "Msg = Done.", "Favorite = http://tavrin.example/",
              "FavoriteName = tscheck closed"});
    host.closeDuringBox = true;
    RunSetupCommands(host, run);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    bool written = ::GetFileAttributesA(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES;
    ::DeleteFileA(shortcut.c_str());
    EXPECT_TRUE(Ran());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Done."});
    EXPECT_FALSE(written) << "nothing after the box";
    EXPECT_FALSE(host.unloaded);
    EXPECT_EQ(host.end->reason, EndReason::Verdict);
}

// Running out of memory is no command error: it leaves the run as it came,
// instead of being shown as "Cannot Run Command".
TEST_F(Runner, OnlyFailuresOfTheCommandsBecomeCannotRunCommand) {
    Settings({"Run = installtavrinsecure", "Msg = never shown"});
    EXPECT_THROW(::RunSetupCommands(host, run, []() -> bool { throw std::bad_alloc(); }),
                 std::bad_alloc);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(host.end);
}

TEST_F(Runner, AnOverLongCommandIsRefusedNotCutAndRun) {
    Settings({"Run = " + Touch(), "Run0 = cmd.exe /c echo " + std::string(300, 'x'),
              "Msg = never shown"});
    Run();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("Run0"), std::string::npos) << host.messages[0];
    EXPECT_TRUE(Ran());
    EXPECT_FALSE(host.unloaded) << "ended at once, without a verdict";
    EXPECT_EQ(host.end->reason, EndReason::SettingsStop);
}

// Only a value that would run is refused for its length: after a failed
// check nothing runs and the window unloads with the verdict, and the key
// read just after the list's end is never run.
TEST_F(Runner, OverLongValuesThatNeverRunStopNothing) {
    std::string overLong = "cmd.exe /c echo " + std::string(300, 'x');
    Settings({"Run = " + overLong, "Msg = never shown"});
    run.verdict = false;
    Run();
    EXPECT_TRUE(host.messages.empty()) << host.messages[0];
    EXPECT_TRUE(host.unloaded) << "the unload that ends with the verdict";

    host = FakeHost{};
    run.verdict = true;
    Settings({"Run = " + Touch(), "Run0 =", "Run1 =", "Run2 = " + overLong, "Msg = Done."});
    Run();
    EXPECT_TRUE(Ran());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Done."});
    EXPECT_TRUE(host.unloaded);
    EXPECT_EQ(host.end->reason, EndReason::SetupDone);
}

TEST_F(Runner, ShortcutNamesThatLeaveFavoritesAreRefused) {
    std::string favorites = FavoritesFolder();
    ASSERT_FALSE(favorites.empty());
    for (const char* name : {"..\\..\\Startup\\x", "../x", "C:x", "x:stream", "..", "CON",
                             "nul.txt", "com1"}) {
        Settings({"Favorite = http://tavrin.example/", std::string("FavoriteName = ") + name});
        host.messages.clear();
        EXPECT_FALSE(CreateFavorite(host, run.settings));
        ASSERT_EQ(host.messages.size(), 1u) << name;
        EXPECT_NE(host.messages[0].find(name), std::string::npos) << host.messages[0];
    }
    std::string parent = favorites.substr(0, favorites.rfind('\\', favorites.size() - 2) + 1);
    EXPECT_EQ(::GetFileAttributesA((parent + "x.url").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA((favorites + "x.url").c_str()), INVALID_FILE_ATTRIBUTES);

    // A plain name with dots and blanks is fine.
    Settings({"Favorite = http://tavrin.example/", "FavoriteName = Tavrin Support v2.1"});
    host.messages.clear();
    EXPECT_FALSE(CreateFavorite(host, run.settings));
    EXPECT_TRUE(host.messages.empty());
    std::string written = favorites + "Tavrin Support v2.1.url";
    EXPECT_NE(::GetFileAttributesA(written.c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileA(written.c_str());
}

// A program planted at a blank-cut prefix of a command never starts in
// place of the one written.
TEST(CommandLaunch, PlantedPrefixes) {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "tscheck_launch\\";
    std::string planted = folder + "a.exe", meant = folder + "a b\\p.exe";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::CreateDirectoryA((folder + "a b").c_str(), nullptr);
    for (const std::string& file : {planted, meant})
        OwnedHandle(
            ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    CommandLaunch bare = LaunchOf(meant + " /q", FindProgram);
    EXPECT_FALSE(bare.found()) << bare.program;
    EXPECT_NE(bare.refusal.find("Quote"), std::string::npos) << bare.refusal;

    // "C:\...\a b\p.exe" "/q" as the profile read returns it.
    std::string read = meant + "\" \"/q";
    std::string restored = RestoreStrippedQuotes(read);
    EXPECT_EQ(restored, "\"" + meant + "\" \"/q\"");
    CommandLaunch quoted = LaunchOf(restored, FindProgram);
    EXPECT_EQ(quoted.program, meant);
    EXPECT_EQ(quoted.commandLine, restored);

    CommandLaunch whole = LaunchOf(meant, FindProgram);
    EXPECT_EQ(whole.program, meant) << "a whole value naming a file is that file";

    ::DeleteFileA(planted.c_str());
    CommandLaunch single = LaunchOf(meant + " /q", FindProgram);
    EXPECT_EQ(single.program, meant);
    EXPECT_EQ(single.commandLine, "\"" + meant + "\" /q");
    EXPECT_FALSE(LaunchOf("installtavrinsecure", FindProgram).found());
    EXPECT_EQ(RestoreStrippedQuotes("setup.exe /dir=\"C:\\a b\""), "setup.exe /dir=\"C:\\a b\"");

    ::DeleteFileA(meant.c_str());
    ::RemoveDirectoryA((folder + "a b").c_str());
    ::RemoveDirectoryA(folder.c_str());
}

// Windows opens COM and LPT with a superscript digit as devices too; the
// bytes of that digit depend on the code page the name is read in.
TEST(DeviceNames, SuperscriptDigitsInAnyCodePage) {
    struct Case {
        const char* name;
        unsigned codePage;
        bool device;
    } cases[] = {
        {"com\xB9", 1252, true},     {"LPT\xB2.url", 1252, true}, {"lpt\xB3 . ", 1252, true},
        {"LPT\xB3", 1253, true},     {"com\xFB", 850, true},      {"lpt\xFD.txt", 437, true},
        {"com\xB9", 1251, false},    {"CONIN$", 1252, true},       {"nul .txt", 1252, true},
        {"com0", 1252, true},         {"com10", 1252, false},       {"console", 1252, false},
        {"Tavrin Support", 1252, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDeviceName(c.name, c.codePage), c.device) << c.name << " in " << c.codePage;
}

}  // namespace
