// Whole runs of the start-up without a window: a stand-in view records what
// the user would see, the computer is a fake one, and the settings file and
// its folder are real.
#include "app/start_up_engine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/elevation.h"
#include "app/main_window_layout.h"
#include "setup/run_setup_engine.h"
#include "skin/colour.h"
#include "tests/fake_system.h"
#include "tests/support/scratch_folder.h"

namespace {

using test_support::PathExists;
using test_support::ScratchFolder;

// The fake computer, whose files are the real ones.
struct Computer : FakeSystem {
    std::optional<std::uint32_t> FileAttributes(const std::string& path) const override {
        return RealSystem().FileAttributes(path);
    }
};

// What the main window would show, as a script of what happened.
struct Window : StartUpView, RunSetupView {
    StartUpEngine* engine = nullptr;
    bool created = false;
    std::optional<bool> shaped;
    std::optional<std::size_t> background;
    std::optional<bool> verdictShown;
    std::string verdictMessage;
    std::size_t rowsShown = 0;
    std::vector<std::string> messages;
    std::function<void()> whileBoxIsUp;  // window events during a message box
    std::optional<ProgramEnd> end;

    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        if (whileBoxIsUp) whileBoxIsUp();
    }
    void PrepareMessages() override {}
    bool CreateWindowAndControls() override { return created = true; }
    std::size_t BackgroundCount() override { return 3; }
    void ApplySkin(std::optional<std::size_t> index, bool cut) override {
        background = index;
        shaped = cut;
    }
    void ShowVerdict(bool passed, const std::string& message) override {
        verdictShown = passed;
        verdictMessage = message;
    }
    void ShowResults(const CheckRun& run) override { rowsShown = run.rows.size(); }
    void ShowRunSetupStarted() override {}
    void SetBusyPointer(bool) override {}
    void CloseWindow() override {}
    void RequestEnd(const ProgramEnd& asked) override {
        if (!end) end = asked;
    }
    bool Ending() override { return end.has_value(); }
    // RunSetupView
    void ShowStatus(const std::string&, StatusStyle) override {}
    void RedrawResults() override {}
    void HideRunButton() override {}
    void ShowProgressBar(bool) override {}
    void SetProgress(std::int64_t, std::int64_t, const std::string&) override {}
    void UnloadWindow() override { engine->Unload(); }
};

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        computer.SetVersion(2, 5, 1, 2600, 3);  // Windows XP SP3, an administrator
        computer.memoryBytes = 2048ull << 20;
        computer.disk = SystemFacts::DiskSpace{4096ull << 20, 8192ull << 20};
    }

    // The settings file beside the program: these lines, then the defaults
    // of the keys they leave out (the first of two equal keys counts).
    void WriteSettings(const std::string& lines) {
        std::ofstream file(settingsPath, std::ios::binary);
        file << "[Requirements]\r\n" << lines
             << "Title = Tavrin Internet\r\nforecolor = 0,150,255\r\n"
                "backcolor = 205,205,205\r\nbgimage = 2\r\nRun =\r\n"
                "Err = System does not meet minimum requirements.\r\nMinOS = 6\r\n"
                "ExceptionOS = 7\r\nXPSP = 3\r\nVistaSP = 1\r\nWin7SP = 0\r\n"
                "MinDiskSpace = 500\r\nWarnDiskSpace = 550\r\nMinCPUSpeed = 970\r\n"
                "WarnCPUSpeed = 1024\r\nMinCPUSpeedVista = 1600\r\nWarnCPUSpeedVista = 1760\r\n"
                "MinMemoryxp2k = 480\r\nWarnMemoryxp2k = 768\r\nMinMemoryVista = 960\r\n"
                "WarnMemoryVista = 1256\r\n";
    }

    // Runs the start-up on `commandLine`'s arguments.
    void Run(const std::string& arguments = "") {
        StartUpFacts facts;
        facts.system = &computer;
        facts.commandLine = "\"C:\\Tavrin\\TSCheck.exe\"" + arguments;
        facts.arguments = ReadArguments(facts.commandLine);
        facts.logPath = logPath;
        facts.programFolder = folder.Path() + "\\";
        facts.relaunchElevated = [this](const std::string& parameters) {
            relaunches.push_back(parameters);
            return SystemResult{};
        };
        facts.measureClock = [this] {
            ++clockReadings;
            return ClockReading{true, 0.5, 1.5e9, 1};  // 3,000 MHz
        };
        facts.programFilesFolder = [] { return std::string("C:\\Program Files\\"); };
        facts.makeRunSetup = [this](const CheckRun& run) {
            ++setupRuns;
            return std::make_unique<RunSetupEngine>(window, run, RunSetupFacts{});
        };
        engine = std::make_unique<StartUpEngine>(window, std::move(facts));
        window.engine = engine.get();
        engine->Run();
    }

    ScratchFolder folder{"start-up"};
    std::string settingsPath = folder.File("pelorin.ini");
    std::string logPath;
    Computer computer;
    Window window;
    std::unique_ptr<StartUpEngine> engine;
    std::vector<std::string> relaunches;
    int clockReadings = 0;
    int setupRuns = 0;
};

TEST_F(StartUp, APassShowsRunSetupAndTheCloseEndsWith830808) {
    Run();
    // No settings file: the defaults are written, and the run uses them.
    EXPECT_TRUE(PathExists(settingsPath));
    EXPECT_TRUE(window.created);
    EXPECT_EQ(window.background, 2u);
    EXPECT_EQ(window.shaped, true);
    EXPECT_EQ(window.verdictShown, true);
    EXPECT_EQ(window.verdictMessage, kCongratulations);
    EXPECT_EQ(window.rowsShown, 5u);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_FALSE(window.end) << "the window waits for the user";

    engine->Unload();
    ASSERT_TRUE(window.end);
    EXPECT_EQ(window.end->exitCode, kExitPassed);
    EXPECT_FALSE(PathExists(settingsPath)) << "the settings file never outlives the run";
}

TEST_F(StartUp, AFailShowsTheFailureTextAndEndsWith770601) {
    computer.memoryBytes = 256ull << 20;
    computer.SetVersion(2, 5, 0, 2195, 4);  // Windows 2000: older than XP, and still shaped
    WriteSettings("");
    Run();
    EXPECT_EQ(window.verdictShown, false);
    EXPECT_EQ(window.verdictMessage, "System does not meet minimum requirements.");
    EXPECT_EQ(window.shaped, true);
    EXPECT_EQ(window.rowsShown, 5u);
    // A click on the big button closes: nothing runs, the verdict ends it.
    engine->RunSetup();
    ASSERT_TRUE(window.end);
    EXPECT_EQ(window.end->exitCode, kExitFailed);
    EXPECT_FALSE(PathExists(settingsPath));
}

TEST_F(StartUp, Windows95IsRefusedWithTheTitleAndNothingElseHappens) {
    computer.SetVersion(1, 4, 0, 0x040003B6);
    Run();
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0],
              "Sorry, Windows 95 does not meet the minimum system requirements to run .");
    EXPECT_FALSE(PathExists(settingsPath)) << "no default file on this road";
    EXPECT_EQ(window.end->reason, EndReason::Windows95Refused);

    WriteSettings("");
    window = Window{};
    Run();
    EXPECT_EQ(window.messages[0],
              "Sorry, Windows 95 does not meet the minimum system requirements to run Tavrin "
              "Internet.");
    EXPECT_FALSE(window.created);
    EXPECT_EQ(clockReadings, 0);
    EXPECT_TRUE(PathExists(settingsPath)) << "an early end leaves the file";
}

TEST_F(StartUp, VistaWithoutRightsStartsOnceMoreElevatedWithTheLog) {
    computer.SetVersion(2, 6, 0, 6002, 2);
    computer.admin = 0;
    logPath = "C:\\Logs\\run one.log";
    Run();
    EXPECT_EQ(relaunches, std::vector<std::string>{"/elevated \"/log=C:\\Logs\\run one.log\""});
    EXPECT_EQ(window.end->reason, EndReason::Relaunched);
    EXPECT_FALSE(window.created);
    EXPECT_TRUE(window.messages.empty());

    // The elevated copy that still lacks the rights says so, and starts none.
    window = Window{};
    relaunches.clear();
    Run(" /elevated");
    EXPECT_TRUE(relaunches.empty());
    EXPECT_EQ(window.messages, std::vector<std::string>{kStillNotAdministratorMessage});
    EXPECT_EQ(window.end->reason, EndReason::StillNotAdministrator);
}

TEST_F(StartUp, SettingsThatLeaveNoWayOnEndWithoutAVerdict) {
    WriteSettings("MinOS = six\r\n");
    Run();
    EXPECT_EQ(window.messages,
              std::vector<std::string>{"Pelorin.ini may be corrupt: the setting MinOS = \"six\" "
                                       "is not a valid number. Please reinstall the Pelorin."});
    EXPECT_EQ(window.end->reason, EndReason::SettingsStop);
    EXPECT_EQ(window.end->exitCode, kExitNoVerdict);
    EXPECT_FALSE(window.verdictShown);
    EXPECT_TRUE(PathExists(settingsPath));

    // A colour not in "r,g,b" stops before any check is made.
    WriteSettings("forecolor = 0,150\r\n");
    window = Window{};
    clockReadings = 0;
    Run();
    EXPECT_EQ(window.messages, std::vector<std::string>{kColourFormatMessage});
    EXPECT_EQ(window.end->reason, EndReason::ColourFormat);
    EXPECT_EQ(clockReadings, 0);
}

// With ShowResults false a pass runs the setup commands before the window
// is ever shown; a Run Setup that comes in during the run starts nothing.
TEST_F(StartUp, APassWithoutResultsRunsTheSetupOnceAndEnds) {
    WriteSettings("ShowResults = false\r\nMsg = Done.\r\n");
    window.whileBoxIsUp = [this] { engine->RunSetup(); };
    Run();
    EXPECT_EQ(setupRuns, 1);
    EXPECT_EQ(window.messages, std::vector<std::string>{"Done."});
    ASSERT_TRUE(window.end);
    EXPECT_EQ(window.end->exitCode, kExitPassed);
    EXPECT_FALSE(window.verdictShown);
    EXPECT_EQ(window.rowsShown, 0u) << "the run ended before the results";
    EXPECT_FALSE(PathExists(settingsPath));
}

// The quiet check answers with the exit code alone: no window, nothing
// written, nothing deleted, no relaunch even without rights.
TEST_F(StartUp, TheQuietCheckWritesNothingAndEndsWithTheVerdict) {
    computer.SetVersion(2, 6, 1, 7601, 1);
    computer.admin = 0;
    Run(" /check");
    EXPECT_FALSE(window.created);
    EXPECT_TRUE(relaunches.empty());
    EXPECT_FALSE(PathExists(settingsPath));
    EXPECT_EQ(window.end->exitCode, kExitFailed) << "the administrator row fails";
    EXPECT_EQ(window.end->reason, EndReason::Verdict);
}

}  // namespace
