#include "app/frm_ts_check.h"

#include <windowsx.h>

#include <optional>

#include "app/run_report.h"
#include "app/start_up_engine.h"
#include "platform/drag_window.h"
#include "platform/run_log.h"
#include "platform/window_class.h"
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

}  // namespace

frmTSCheck::~frmTSCheck() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void frmTSCheck::Show() {
    if (!hwnd_ || Ending()) return;
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd_);
}

void frmTSCheck::Unload() {
    if (engine_) engine_->Unload();
}

void frmTSCheck::CloseWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void frmTSCheck::PrepareMessages() { LoadMessageBoxForm(); }

std::size_t frmTSCheck::BackgroundCount() { return frmPics().imgLstBG.size(); }

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
    SetUpKeyCombination();
    return true;
}

void frmTSCheck::ApplySkin(std::optional<std::size_t> index, bool shaped) {
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

    if (!shaped) {
        // Old systems cannot cut a window to shape: the magenta turns white
        // instead, in the background picture as well, so that clearing the
        // window later keeps it white.
        HBITMAP shown = store.imgLstBG[index.value_or(0)].Picture.get();
        if (OwnedBitmap painted = WithColourReplaced(shown, kTransparentColour, kOldSystemMargin))
            picture_.SetBackground(painted.get());
        ReplaceColour(hwnd_, picture_, kTransparentColour, kOldSystemMargin);
    } else if (std::optional<TransFormError> error =
                   clsTransForm().ShapeMe(FormTarget(hwnd_, picture_), kTransparentColour, true)) {
        // The window keeps its full rectangle, magenta margin and all.
        LogLine({"The window could not be shaped: ", error->Description});
    }
}

void frmTSCheck::ShowVerdict(bool passed, const std::string& message) {
    ShowOkImage(passed ? "run" : "bigclose");
    if (passed)
        DrawTextLines(*printTarget_, message, kMessageLeft, kMessageTop, kStatusColour, false,
                      false);
    else
        DrawTextLines(*printTarget_, message, kFailureLeft, kMessageTop, kErrorColour, false,
                      true);
}

void frmTSCheck::ShowResults(const CheckRun& run) {
    if (hwnd_) ::ShowResults(run.rows, *this);
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
    if (engine_) engine_->RunSetup();
}

void frmTSCheck::ShowRunSetupStarted() {
    if (picOK.hwnd()) ::EnableWindow(picOK.hwnd(), FALSE);
    SetBusyPointer(true);
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
