#include "skin/message_box_window.h"

#include "controls/label.h"
#include "platform/window_class.h"
#include "platform/drag_window.h"
#include "skin/graphics.h"
#include "skin/image_store.h"

namespace {

constexpr int kSlotLeft[kButtonSlots] = {8, 96, 184, 280};
constexpr int kSlotTop = 160;
constexpr int kSlotWidth = 81;
constexpr int kSlotHeight = 25;
constexpr RECT kTextArea{24, 56, 24 + 321, 56 + 89};
constexpr COLORREF kTextColour = RGB(60, 64, 72);
constexpr COLORREF kBodyColour = RGB(255, 255, 255);
// The body image is one pixel narrower than the window; the spare column
// takes the colour of the body's frame line.
constexpr COLORREF kFrameColour = RGB(120, 138, 162);

// Every EDIT window shares the class's procedure, kept here once replaced.
WNDPROC editProcedure = nullptr;

// The text box may hold the focus after a click into it; Enter and Esc
// still belong to the box.
LRESULT CALLBACK TextBoxKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        return ::SendMessageA(::GetParent(edit), message, wParam, lParam);
    return ::CallWindowProcA(editProcedure, edit, message, wParam, lParam);
}

POINT CentreOfWorkArea(int width, int height) {
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return POINT{work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2};
}

}  // namespace

frmMSGBOX::~frmMSGBOX() { Unload(); }

bool frmMSGBOX::Load() {
    Unload();
    ButtonClicked = false;
    ButtonResult = 0;
    ButtonCount = 0;
    hoverActive_ = false;
    escapeSlot_ = -1;
    if (!EnsureWindowClass(kClassName, ForwardToOwner<frmMSGBOX>)) return false;
    image_.SetBackColour(kFrameColour);
    if (!image_.Resize(kClientWidth, kClientHeight)) return false;

    // Borderless: the body image draws its own frame line.
    RECT frame{0, 0, kClientWidth, kClientHeight};
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOPMOST);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    POINT at = CentreOfWorkArea(width, height);
    ::CreateWindowExA(WS_EX_TOPMOST, kClassName, "", style, at.x, at.y, width, height, nullptr,
                      nullptr, ::GetModuleHandleA(nullptr), this);
    if (!hwnd_) return false;

    font_ = CreateLabelFont();
    textBackground_.reset(::CreateSolidBrush(kBodyColour));
    // Multi-line without horizontal scrolling: long lines wrap.
    txtMsg = ::CreateWindowExA(0, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                               kTextArea.left, kTextArea.top, kTextArea.right - kTextArea.left,
                               kTextArea.bottom - kTextArea.top, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
                               ::GetModuleHandleA(nullptr), nullptr);
    if (!txtMsg) return false;
    ::SendMessageA(txtMsg, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        txtMsg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextBoxKeys)));
    if (previous != TextBoxKeys) editProcedure = previous;

    for (int i = 0; i < kButtonSlots; ++i) {
        PictureBox& slot = buttonSlots[i];
        if (!slot.Create(hwnd_, kSlotLeft[i], kSlotTop, kSlotWidth, kSlotHeight, false))
            return false;
        ::SetWindowLongPtrA(slot.hwnd(), GWLP_ID, kFirstSlotId + i);
        slot.Tag.clear();
        slot.OnMouseMove = [this, i](int, int) { ButtonSlot_MouseMove(i); };
        slot.OnClick = [this, i] { ButtonSlot_Click(i); };
    }
    return true;
}

void frmMSGBOX::Unload() {
    if (hwnd_) ::DestroyWindow(hwnd_);
    txtMsg = nullptr;
}

void frmMSGBOX::SetPrompt(const std::string& prompt) {
    if (!txtMsg) return;
    ::SetWindowTextA(txtMsg, prompt.c_str());
    ShowScrollBarIfNeeded();
}

std::string frmMSGBOX::Prompt() const {
    if (!txtMsg) return {};
    int length = ::GetWindowTextLengthA(txtMsg);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    length = ::GetWindowTextA(txtMsg, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

// The text area never grows; a prompt longer than it fits gets a scroll bar,
// so all of it can still be read.
void frmMSGBOX::ShowScrollBarIfNeeded() {
    TEXTMETRICA metrics{};
    {
        WindowDC dc(txtMsg);
        SelectScope useFont(dc.get(), font_.get());
        ::GetTextMetricsA(dc.get(), &metrics);
    }
    int lineHeight = metrics.tmHeight > 0 ? metrics.tmHeight : 13;
    int visibleLines = (kTextArea.bottom - kTextArea.top) / lineHeight;
    auto lines = static_cast<int>(::SendMessageA(txtMsg, EM_GETLINECOUNT, 0, 0));
    ::ShowScrollBar(txtMsg, SB_VERT, lines > visibleLines);
}

void frmMSGBOX::SetUpButtons(MessageKind kind) {
    const SkinImageList& buttons = frmPics().imgMsgBtn;
    std::vector<std::string_view> keys = ButtonSetForKind(kind);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        PictureBox& slot = buttonSlots[i];
        slot.Show(true);
        slot.SetPicture(buttons[static_cast<std::size_t>(FindImageIndex(buttons, keys[i]))]
                            .Picture.get());
        slot.Tag = std::string(keys[i]);
        slot.SetCaption(std::string(ButtonCaption(keys[i])));
    }
    escapeSlot_ = EscapeSlot(keys);
    ButtonCount = static_cast<std::int16_t>(keys.size());
    ButtonResult = ButtonCode(keys.back());
}

void frmMSGBOX::Show() {
    if (!hwnd_) return;
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
}

void frmMSGBOX::ButtonSlot_Click(int index) {
    ButtonClicked = true;
    ButtonResult = ButtonCode(buttonSlots[index].Tag);
    Unload();
}

void frmMSGBOX::ButtonSlot_MouseMove(int index) {
    const SkinImageList& buttons = frmPics().imgMsgBtn;
    PictureBox& slot = buttonSlots[index];
    DrawListImage(hoverBuffer_, slot.hwnd(), buttons, FindImageIndex(buttons, slot.Tag + "over"));
    hoverActive_ = true;
}

void frmMSGBOX::Form_MouseMove() {
    if (!hoverActive_) return;
    const SkinImageList& buttons = frmPics().imgMsgBtn;
    for (int i = 0; i < ButtonCount && i < kButtonSlots; ++i)
        DrawListImage(hoverBuffer_, buttonSlots[i].hwnd(), buttons,
                      FindImageIndex(buttons, buttonSlots[i].Tag));
    hoverActive_ = false;
}

void frmMSGBOX::Form_MouseDown() { DragWindow(hwnd_); }

void frmMSGBOX::Form_KeyDown(WPARAM key) {
    if (ButtonCount <= 0) return;
    if (key == VK_RETURN) ButtonSlot_Click(0);
    else if (key == VK_ESCAPE && escapeSlot_ >= 0) ButtonSlot_Click(escapeSlot_);
}

void frmMSGBOX::Form_Resize() {
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

LRESULT frmMSGBOX::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            image_.PaintWindow(hwnd_);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_MOUSEMOVE:
            Form_MouseMove();
            return 0;
        case WM_KEYDOWN:
            Form_KeyDown(wParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // Any button drags the box by its background, as on the main window.
            Form_MouseDown();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, kTextColour);
            ::SetBkColor(dc, kBodyColour);
            return reinterpret_cast<LRESULT>(textBackground_.get());
        }
        case WM_CLOSE:
            // Only a button closes the box (Alt+F4 included), since the
            // caller waits for a click.
            return 0;
        default:
            return ::DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}
