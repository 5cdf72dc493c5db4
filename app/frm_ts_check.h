// frmTSCheck, the main window: the view of the start-up and of Run Setup.
// It paints what the engines tell it and hands its clicks to them.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/results_display.h"
#include "app/start_up_view.h"
#include "checks/check_run.h"
#include "controls/backing_image.h"
#include "controls/label.h"
#include "controls/picture_box.h"
#include "controls/xp_progress_bar.h"
#include "platform/memory_surface.h"
#include "platform/owned.h"
#include "platform/program_end.h"
#include "setup/run_setup_view.h"
#include "skin/combo_keys.h"

class StartUpEngine;

class frmTSCheck final : public StartUpView, public RunSetupView, public ResultsView {
public:
    frmTSCheck() = default;
    ~frmTSCheck() override;
    frmTSCheck(const frmTSCheck&) = delete;
    frmTSCheck& operator=(const frmTSCheck&) = delete;

    // The engine the window's clicks and its unload go to; null from the
    // moment the engine goes.
    void Connect(StartUpEngine* engine) { engine_ = engine; }
    // Shows the window, unless the run is already over.
    void Show();

    HWND hwnd() const noexcept { return hwnd_; }

    // StartUpView
    void ShowMessage(const std::string& text) override;
    void PrepareMessages() override;
    bool CreateWindowAndControls() override;
    std::size_t BackgroundCount() override;
    void ApplySkin(std::optional<std::size_t> index, bool shaped) override;
    void ShowVerdict(bool passed, const std::string& message) override;
    void ShowResults(const CheckRun& run) override;
    void ShowRunSetupStarted() override;
    void SetBusyPointer(bool busy) override;
    void CloseWindow() override;
    void RequestEnd(const ProgramEnd& end) override;
    bool Ending() override { return end_.has_value(); }

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
    void UnloadWindow() override { Unload(); }

    // Window-class plumbing.
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Every unload of the window goes to the engine's unload rule.
    void Unload();
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

    HWND hwnd_ = nullptr;
    StartUpEngine* engine_ = nullptr;
    BackingImage picture_;            // what the window shows, drawings included
    std::unique_ptr<PrintTarget> printTarget_;
    OwnedFont labelFont_;
    std::array<Label, kRowCount> lbl;        // the "need" column
    std::array<Label, kRowCount> lblHave;    // the "have" column
    PictureBox picClose;              // the small close button
    PictureBox picOK;                 // Run Setup or Close
    PictureBox picTxt;                // the logo strip
    XP_ProgressBar prgDownload;       // download progress
    std::unique_ptr<clsComboKeys> ComboKeys;
    std::string OkImageKey;
    bool HoverActive = false;
    MemorySurface hoverBuffer_;       // where hover faces are composed
    bool busy_ = false;
    std::optional<ProgramEnd> end_;   // the end asked for first
};
