#include "app/frm_ts_check.h"

#include <windowsx.h>

#include <optional>

#include "app/clock_measurement.h"
#include "app/elevation.h"
#include "app/run_checks.h"
#include "app/run_report.h"
#include "app/start_up_policy.h"
#include "checks/os_identification.h"
#include "checks/requirement_checks.h"
#include "checks/settings.h"
#include "checks/settings_opening.h"
#include "platform/ansi_paths.h"
#include "platform/drag_window.h"
#include "platform/run_log.h"
#include "platform/system_error.h"
#include "platform/window_class.h"
#include "setup/file_manip.h"
#include "skin/graphics.h"
#include "skin/image_store.h"
#include "skin/message_box.h"
#include "skin/trans_form.h"

namespace {

constexpr char kClassName[] = "TSCheckMain";
constexpr char kCaption[] = "Tavrin Secure Requirements Check";
constexpr char kDesignNeed[kRowCount][11] = {"OS NEED", "ADMIN NEED", "CPU NEED", "MEM NEED",
                                             "DISK NEED"};
constexpr char kDesignHave[kRowCount][11] = {"OSHAVE", "ADMIN HAVE", "CPU HAVE", "MEM HAVE",
                                             "DISK HAVE"};
// Where the skin shows magenta the window is see-through.
constexpr COLORREF kTransparentColour = RGB(255, 0, 255);
constexpr COLORREF kOldSystemMargin = RGB(255, 255, 255);

// A copy of `picture` with one colour painted over by another.
OwnedBitmap WithColourReplaced(HBITMAP picture, COLORREF oldColour, COLORREF newColour) {
    SIZE size = BitmapSize(picture);
    WindowDC screen(nullptr);
    OwnedBitmap copy(::CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    OwnedMemoryDC source(::CreateCompatibleDC(screen.get()));
    OwnedMemoryDC target(::CreateCompatibleDC(screen.get()));
    if (!copy || !source || !target) return {};
    SelectScope fromPicture(source.get(), picture);
    SelectScope intoCopy(target.get(), copy.get());
    ::BitBlt(target.get(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
    ReplaceColourOn(target.get(), size.cx, size.cy, oldColour, newColour);
    return copy;
}

const SkinImage& ButtonImage(const std::string& key) {
    const SkinImageList& buttons = frmPics().imgLstButtons;
    return buttons[static_cast<std::size_t>(FindImageIndex(buttons, key))];
}

// The directory of the running executable, ending in "\"; empty when the
// executable has no path the ANSI file calls can use.
std::string ModuleDirectory() {
    std::string full = ExecutablePath();
    std::size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos) return {};
    return full.substr(0, slash + 1);
}

}  // namespace

frmTSCheck::frmTSCheck(ProgramArguments arguments, std::string logPath)
    : arguments_(std::move(arguments)), logPath_(std::move(logPath)) {}

frmTSCheck::~frmTSCheck() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void frmTSCheck::Load() {
    try {
        RunStartUp();
    } catch (const SettingsStop& stop) {
        // A setting that leaves no sound way on, wherever it was read.
        SkinnedMsgBox(stop.what());
        RequestEnd({kExitNoVerdict, EndReason::SettingsStop});
    }
}

void frmTSCheck::RunStartUp() {
    const bool quiet = arguments_.quietCheck;
    if (quiet) KeepMessagesQuiet();
    ReportRefusedLog();
    PlatformFacts facts = FactsOf(RealSystem(), ::GetCommandLineA());
    if (RunLogOpen()) LogSystemFacts(facts, RealSystem());
    run_.osCode = facts.osCode;
    switch (DecideLaunch(facts)) {
        case LaunchStep::RefuseWindows95:
            LoadMessageBoxForm();
            FindSettings();
            SkinnedMsgBox(Windows95Refusal(run_.settings.ReadRequirement("Title")));
            RequestEnd({kExitNoVerdict, EndReason::Windows95Refused});
            return;
        case LaunchStep::Relaunch:
            Relaunch();
            return;
        case LaunchStep::StillNotAdministrator:
            LoadMessageBoxForm();
            SkinnedMsgBox(kStillNotAdministratorMessage);
            RequestEnd({kExitNoVerdict, EndReason::StillNotAdministrator});
            return;
        case LaunchStep::GoOn:
            break;
    }

    // The quiet check answers through the exit code alone: no window at all.
    if (!quiet && !CreateWindowAndControls()) {
        RequestEnd({kExitNoVerdict, EndReason::NoWindow});
        return;
    }
    if (!quiet) LoadMessageBoxForm();
    SetUpKeyCombination();

    if (!PrepareSettings()) return;
    SettingsFile& settings = run_.settings;
    WindowPlan plan = PlanWindow(
        [&settings](const std::string& key) { return settings.ReadRequirement(key); },
        frmPics().imgLstBG.size());
    if (plan.stop) {
        SkinnedMsgBox(*plan.stop);
        RequestEnd({kExitNoVerdict, EndReason::ColourFormat});
        return;
    }
    if (!quiet) ApplySkin(plan.background);
    run_.failureText = plan.failureText;

    bool passed = RunAllChecks(run_, CheckPlatformOfThisComputer());
    LogCheckResults(run_);
    if (quiet) {
        // Neither commands nor the unload rule: the settings file stays as found.
        RequestEnd({passed ? kExitPassed : kExitFailed, EndReason::Verdict});
        return;
    }
    if (!passed) {
        ShowOkImage("bigclose");
        DrawTextLines(*printTarget_, run_.failureText, kFailureLeft, kMessageTop, kErrorColour,
                      false, true);
    } else {
        if (!plan.showResults) {
            picOK_Click();
            if (Ending()) return;
        } else {
            ShowOkImage("run");
            DrawTextLines(*printTarget_, kCongratulations, kMessageLeft, kMessageTop,
                          kStatusColour, false, false);
        }
    }
    if (hwnd_) ShowResults(run_.rows, *this);
}

void frmTSCheck::ReportRefusedLog() {
    if (!arguments_.log || !logPath_.empty() || arguments_.quietCheck) return;
    std::string named = arguments_.logPath.empty() ? "TSCheck.log in the temporary folder"
                                                   : "\"" + arguments_.logPath + "\"";
    SkinnedMsgBox("The log file " + named + " cannot be written, so this run keeps no log.");
}

void frmTSCheck::Relaunch() {
    // The elevated copy writes the same log; a log this copy could not open
    // is not handed on, since a copy with administrator rights might open
    // what its user may not.
    std::string parameters = kElevatedMarker;
    if (!logPath_.empty()) parameters += " " + LogArgument(logPath_);
    // This copy ends either way: without the rights it cannot give a
    // verdict, and a user who declined the elevation prompt (or a system
    // that refused it) has chosen that end. The log says which.
    SystemResult started = ShellRun(ExecutablePath(), true, parameters, SW_SHOWNORMAL);
    std::string outcome =
        started ? std::string() : " (the start failed: " + SystemErrorText(started.error) + ")";
    LogLine({"Started again with administrator rights: ", parameters, outcome});
    RequestEnd({kExitNoVerdict, EndReason::Relaunched});
}

bool frmTSCheck::PrepareSettings() {
    FindSettings();
    SettingsFile& settings = run_.settings;
    SettingsOpening opening = OpenSettings(settings, FileExistenceTest(run_.osCode),
                                           arguments_.quietCheck, RealSystem());
    switch (opening.source) {
        case SettingsSource::File:
            LogLine({"Settings: ", settings.Path(), " is present"});
            return true;
        case SettingsSource::Unreadable:
            // The provider's requirements are unknown: no verdict can be given.
            LogLine({"Settings: ", settings.Path(), " is unreadable"});
            SkinnedMsgBox(kSettingsFileMissingMessage);
            RequestEnd({kExitNoVerdict, EndReason::SettingsStop});
            return false;
        case SettingsSource::WrittenDefaults:
            LogLine({"Settings: ", settings.Path(), " written with the defaults"});
            return true;
        case SettingsSource::BuiltInForQuietRun:
            LogLine({"Settings: no pelorin.ini, the built-in defaults serve from memory"});
            return true;
        case SettingsSource::BuiltInUnwritable:
            LogLine({"Settings: the default file cannot be written (",
                     SystemErrorText(opening.written.error), "), the built-in defaults serve"});
            SkinnedMsgBox(kSettingsFileMissingMessage);
            return true;
    }
    return true;
}

void frmTSCheck::FindSettings() {
    // Without a usable program folder the settings path would be relative,
    // and the profile read would look in the Windows folder instead: the
    // settings then answer from the default lines.
    run_.settings = SettingsFile(ModuleDirectory());
}

void frmTSCheck::Show() {
    if (!hwnd_ || Ending()) return;
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd_);
}

void frmTSCheck::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // The deletion below lets window events run: the download must be gone
    // before them.
    if (runSetup_) runSetup_->Abandon();
    if (SettingsFilePresent(run_.settings, FileExistenceTest(run_.osCode), RealSystem()))
        DeleteFileOrDefer(run_.settings.Path());
    if (run_.verdict)
        return RequestEnd({*run_.verdict ? kExitPassed : kExitFailed, EndReason::Verdict});
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool frmTSCheck::CreateWindowAndControls() {
    if (!EnsureWindowClass(kClassName, ForwardToOwner<frmTSCheck>)) return false;
    RECT frame{0, 0, kMainWidth, kMainHeight};
    ::AdjustWindowRectEx(&frame, WS_POPUP, FALSE, 0);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (!picture_.Resize(kMainWidth, kMainHeight)) return false;
    ::CreateWindowExA(WS_EX_APPWINDOW, kClassName, kCaption, WS_POPUP | WS_CLIPCHILDREN, left,
                      top, width, height, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    if (HICON icon = ::LoadIconA(instance, MAKEINTRESOURCEA(1)))
        ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    printTarget_ = std::make_unique<PrintTarget>(picture_, hwnd_);
    labelFont_ = CreateLabelFont();
    for (int i = 0; i < kRowCount; ++i) {
        lbl[i].Create(hwnd_, &picture_, kNeedLeft, kRowTops[i], kHaveLeft - kNeedLeft - 4,
                      kLabelHeight, kDesignNeed[i], labelFont_.get());
        lblHave[i].Create(hwnd_, &picture_, kHaveLeft, kRowTops[i], kHaveRight - kHaveLeft,
                          kLabelHeight, kDesignHave[i], labelFont_.get());
    }
    picClose.Create(hwnd_, kCloseButtonBox.left, kCloseButtonBox.top, kCloseButtonBox.width,
                    kCloseButtonBox.height);
    picClose.SetCaption("Close");
    picOK.Create(hwnd_, kRunButtonBox.left, kRunButtonBox.top, kRunButtonBox.width,
                 kRunButtonBox.height);
    // Below the default panel's title bar, where that panel has room for it.
    picTxt.Create(hwnd_, kLogoStripBox.left, kLogoStripBox.top, kLogoStripBox.width,
                  kLogoStripBox.height, false);
    CreateProgressBar();

    picClose.OnMouseMove = [this](int, int) { picClose_MouseMove(); };
    picClose.OnClick = [this] { picClose_Click(); };
    picOK.OnMouseMove = [this](int, int) { picOK_MouseMove(); };
    picOK.OnClick = [this] { picOK_Click(); };
    return true;
}

void frmTSCheck::ApplySkin(std::optional<std::size_t> index) {
    prgDownload.SetColor(kAccentColour);
    picClose.SetPicture(ButtonImage("close").Picture.get());

    const SkinImageStore& store = frmPics();
    if (index) {
        picture_.SetBackground(store.imgLstBG[*index].Picture.get());
    } else {
        // Empty, or naming no image: the plain default panel, which carries
        // no logo of its own, so the logo strip shows.
        ApplyBackground(hwnd_, picture_, store, 0, &picTxt);
    }
    picTxt.Show(!index);

    if (run_.osCode < kOsWin2000) {
        // Old systems cannot cut a window to shape: the magenta turns white
        // instead, in the background picture as well, so that clearing the
        // window later keeps it white.
        HBITMAP shown = store.imgLstBG[index.value_or(0)].Picture.get();
        if (OwnedBitmap painted = WithColourReplaced(shown, kTransparentColour, kOldSystemMargin))
            picture_.SetBackground(painted.get());
        ReplaceColour(hwnd_, picture_, kTransparentColour, kOldSystemMargin);
    } else {
        clsTransForm().ShapeMe(FormTarget(hwnd_, picture_), kTransparentColour, true);
    }
}

void frmTSCheck::SetUpKeyCombination() {
    ComboKeys = std::make_unique<clsComboKeys>();
    // F8, full stop, slash, then W, I, L, O.
    ComboKeys->Add(0, {119, 190, 191, 87, 73, 76, 79});
    ComboKeys->EnableCombo(-1, true);
    ComboKeys->Pressed = [this](std::int32_t cId) { ComboKeys_Pressed(cId); };
}

void frmTSCheck::ComboKeys_Pressed(std::int32_t cId) {
    if (cId == 0) SkinnedMsgBox("Coded by Wilo Dastorn!");
}

void frmTSCheck::Form_KeyDown(std::uint16_t keyCode) {
    if (ComboKeys) ComboKeys->KeyPressed(static_cast<std::uint8_t>(keyCode & 0xFF));
    if (keyCode == VK_RETURN || keyCode == VK_SPACE) PressOkButton();
    else if (keyCode == VK_ESCAPE) picClose_Click();
}

void frmTSCheck::PressOkButton() {
    // Hidden during the download; once Run Setup ran, the click handler
    // itself refuses a second run, as for the mouse.
    if (OkImageKey.empty() || !picOK.Visible()) return;
    picOK_Click();
}

void frmTSCheck::ShowOkImage(const std::string& key) {
    OkImageKey = key;
    picOK.SetPicture(ButtonImage(key).Picture.get());
    // What the face says, for screen readers.
    picOK.SetCaption(key == "run" ? "Run Setup" : "Close");
}

void frmTSCheck::SetRowTexts(int row, const std::string& need, const std::string& have,
                             COLORREF colour) {
    if (row < 0 || row >= kRowCount) return;
    lbl[row].SetText(need);
    lbl[row].SetColour(colour);
    lblHave[row].SetText(have);
    lblHave[row].SetColour(colour);
}

void frmTSCheck::RefreshResults() {
    if (!hwnd_) return;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ::UpdateWindow(hwnd_);
}

IconPair frmTSCheck::VerdictIcons(bool passed) {
    const SkinImageList& pair = passed ? frmPics().picBufferPass : frmPics().picBufferFail;
    if (pair.size() < 2) return IconPair{};
    return IconPair{pair[0].Picture.get(), pair[1].Picture.get()};
}

void frmTSCheck::Form_MouseDown() { DragWindow(hwnd_); }

// Hover faces are drawn over the buttons' surfaces; the pictures themselves
// stay the normal faces, and the background puts the normal faces back.
void frmTSCheck::Form_MouseMove() {
    if (!HoverActive) return;
    const SkinImageList& buttons = frmPics().imgLstButtons;
    if (!OkImageKey.empty())
        DrawListImage(hoverBuffer_, picOK.hwnd(), buttons, FindImageIndex(buttons, OkImageKey));
    DrawListImage(hoverBuffer_, picClose.hwnd(), buttons, FindImageIndex(buttons, "close"));
    HoverActive = false;
}

void frmTSCheck::picOK_MouseMove() {
    // Before a verdict the button has no face, and so no hover face either.
    if (OkImageKey.empty()) return;
    const SkinImageList& buttons = frmPics().imgLstButtons;
    DrawListImage(hoverBuffer_, picOK.hwnd(), buttons,
                  FindImageIndex(buttons, OkImageKey + "over"));
    HoverActive = true;
}

void frmTSCheck::picClose_MouseMove() {
    const SkinImageList& buttons = frmPics().imgLstButtons;
    DrawListImage(hoverBuffer_, picClose.hwnd(), buttons, FindImageIndex(buttons, "closeover"));
    HoverActive = true;
}

void frmTSCheck::picClose_Click() { Unload(); }

void frmTSCheck::picOK_Click() {
    // The run's waits let window events through, and a click arriving then
    // must not start the list again inside the running one. A run either
    // ends the program or leaves the window to its download, so the button
    // never starts a second one.
    if (runStarted_) return;
    runStarted_ = true;
    if (picOK.hwnd()) ::EnableWindow(picOK.hwnd(), FALSE);
    SetBusyPointer(true);
    runSetup_ = MakeRunSetupEngine();
    runSetup_->Run();
    SetBusyPointer(false);
}

void frmTSCheck::SetBusyPointer(bool busy) {
    busy_ = busy;
    if (hwnd_) ::SetCursor(::LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void frmTSCheck::RequestEnd(const ProgramEnd& end) {
    if (end_) return;
    end_ = end;
    LogEnd(end);
    ::PostQuitMessage(static_cast<int>(end.exitCode));
}

void frmTSCheck::ShowMessage(const std::string& text) { SkinnedMsgBox(text); }

LRESULT frmTSCheck::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            picture_.PaintWindow(hwnd_);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Form_MouseDown();
            return 0;
        case WM_MOUSEMOVE:
            Form_MouseMove();
            return 0;
        case WM_KEYDOWN:
            Form_KeyDown(static_cast<std::uint16_t>(wParam));
            return 0;
        case WM_SETCURSOR:
            if (busy_) {
                ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
                return TRUE;
            }
            return ::DefWindowProcA(hwnd_, message, wParam, lParam);
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_DESTROY:
            RequestEnd({kExitNoVerdict, EndReason::WindowClosed});
            return 0;
        default:
            return ::DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}
