// frmTSCheck, the main window: its load handler is the driver of the whole
// requirements check, and its unload asks for the end with the verdict.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/program_arguments.h"
#include "app/results_display.h"
#include "checks/check_run.h"
#include "controls/backing_image.h"
#include "controls/label.h"
#include "controls/picture_box.h"
#include "controls/xp_progress_bar.h"
#include "platform/memory_surface.h"
#include "platform/owned.h"
#include "platform/program_end.h"
#include "setup/run_setup_engine.h"
#include "setup/run_setup_view.h"
#include "skin/combo_keys.h"

class frmTSCheck final : public ResultsView, public RunSetupView {
public:
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

    // RunSetupView
    void ShowStatus(const std::string& text, StatusStyle style) override;
    void RedrawResults() override;
    void HideRunButton() override { picOK.Show(false); }
    void ShowProgressBar(bool visible) override { prgDownload.Show(visible); }
    void SetProgress(std::int64_t max, std::int64_t value, const std::string& text) override;
    void SetBusyPointer(bool busy) override;
    void ShowMessage(const std::string& text) override;
    void UnloadWindow() override { Unload(); }
    void RequestEnd(const ProgramEnd& end) override;
    bool Ending() override { return end_.has_value(); }

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
    void CreateProgressBar();
    // The engine of Run Setup, with this computer's facts.
    std::unique_ptr<RunSetupEngine> MakeRunSetupEngine();

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
    std::unique_ptr<RunSetupEngine> runSetup_;  // from the first Run Setup on
    std::unique_ptr<clsComboKeys> ComboKeys;
    std::string OkImageKey;
    bool HoverActive = false;
    MemorySurface hoverBuffer_;       // where hover faces are composed
    bool unloaded_ = false;
    bool busy_ = false;
    bool runStarted_ = false;         // Run Setup was clicked (or run at start-up)
    std::optional<ProgramEnd> end_;   // the end asked for first
};
