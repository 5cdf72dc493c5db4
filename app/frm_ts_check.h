// frmTSCheck, the main window: its load handler is the driver of the whole
// requirements check, and its unload asks for the end with the verdict.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/program_arguments.h"
#include "checks/check_run.h"
#include "checks/results_display.h"
#include "controls/backing_image.h"
#include "controls/downloader.h"
#include "controls/label.h"
#include "controls/picture_box.h"
#include "controls/repaint_throttle.h"
#include "controls/xp_progress_bar.h"
#include "platform/memory_surface.h"
#include "platform/owned.h"
#include "platform/program_end.h"
#include "setup/command_runner.h"
#include "setup/install_script.h"
#include "skin/combo_keys.h"

class frmTSCheck final : public ResultsView, public CommandRunnerHost, public InstallHost {
public:
    static constexpr UINT_PTR kTimeoutTimerId = 1;

    // `logPath`: the run log's full path, empty when there is none.
    frmTSCheck(ProgramArguments arguments, std::string logPath);
    ~frmTSCheck() override;
    frmTSCheck(const frmTSCheck&) = delete;
    frmTSCheck& operator=(const frmTSCheck&) = delete;

    // The start-up sequence. The early ends (Windows 95, elevation,
    // stopping settings) return with the end asked for.
    void Load();
    // Shows the window, unless the run is already over.
    void Show();
    // The unload rule: the settings file goes, and a verdict ends the program.
    void Unload();

    HWND hwnd() const noexcept { return hwnd_; }

    // ResultsView
    void SetRowTexts(int row, const std::string& need, const std::string& have,
                     COLORREF colour) override;
    HDC ResultsCanvas() override { return picture_.dc(); }
    void RefreshResults() override;
    IconPair VerdictIcons(bool passed) override;

    // CommandRunnerHost
    void SetBusyPointer(bool busy) override;
    bool RunInstallScript() override;
    void UnloadWindow() override { Unload(); }
    void RequestEnd(const ProgramEnd& end) override;
    bool Ending() override { return end_.has_value(); }
    void ShowMessage(const std::string& text) override;

    // InstallHost (the download of the setup program)
    void HideRunButton() override { picOK.Show(false); }
    void DrawStatus(const std::string& text, std::uint32_t colour, bool clearFirst,
                    bool bold) override;
    void RedrawResults() override;
    void EnableTimeoutTimer(bool enabled) override;
    void ShowProgressBar(bool visible) override { prgDownload.Show(visible); }
    void SetProgress(std::int32_t max, std::int32_t value, const std::string& text) override;
    void BeginDownload(const std::string& url, std::shared_ptr<DownloadTarget> target,
                       const std::string& saveFile) override;
    void CancelAllDownload() override { dlFile.CancelAllDownload(); }
    void StartProgram(const std::string& path, bool elevate, const std::string& folder) override;
    PrivateFolder MakePrivateFolder(const std::string& parent) override;
    int CurrentOsCode() override;

    // Window-class plumbing.
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void RunStartUp();
    void ReportRefusedLog();
    void Relaunch();
    // False when the settings file leaves no way on (the end is asked for).
    bool PrepareSettings();
    void FindSettings();
    bool CreateWindowAndControls();
    // The background image `index`, or the drawn default panel when empty.
    void ApplySkin(std::optional<std::size_t> index);
    void SetUpKeyCombination();
    void ShowOkImage(const std::string& key);

    // Handlers named after the control and the event.
    void Form_MouseDown();
    void Form_MouseMove();
    void picOK_MouseMove();
    void picOK_Click();
    void picClose_MouseMove();
    void picClose_Click();
    void Form_KeyDown(std::uint16_t keyCode);
    // Enter or Space: the big button, while it shows and takes clicks.
    void PressOkButton();
    void ComboKeys_Pressed(std::int32_t cId);
    void CreateDownloadControls();
    void LogDownloadEnd(bool whole);
    void tmrTimeout_Timer();

    HWND hwnd_ = nullptr;
    ProgramArguments arguments_;
    std::string logPath_;
    CheckRun run_;
    BackingImage picture_;            // what the window shows, drawings included
    std::unique_ptr<PrintTarget> printTarget_;
    OwnedFont labelFont_;
    std::array<Label, kRowCount> lbl;        // the "need" column
    std::array<Label, kRowCount> lblHave;    // the "have" column
    PictureBox picClose;              // the small close button
    PictureBox picOK;                 // Run Setup or Close
    PictureBox picTxt;                // the logo strip
    XP_ProgressBar prgDownload;       // download progress
    RepaintThrottle progressThrottle_;
    struct HeldProgress {
        std::int32_t max = 0, value = 0;
        std::string text;
    } heldProgress_;                  // the latest change the throttle held back
    Downloader dlFile;                // the setup download
    bool timerEnabled_ = false;       // tmrTimeout, one tick a second
    std::unique_ptr<InstallScript> install_;
    std::unique_ptr<clsComboKeys> ComboKeys;
    std::string OkImageKey;
    bool HoverActive = false;
    MemorySurface hoverBuffer_;       // where hover faces are composed
    bool unloaded_ = false;
    bool busy_ = false;
    bool runStarted_ = false;         // Run Setup was clicked (or run at start-up)
    std::optional<ProgramEnd> end_;   // the end asked for first
    DWORD downloadStart_ = 0;         // for the log: when the download began
    std::int64_t downloadRead_ = 0;
    std::int64_t downloadExpected_ = 0;
};
