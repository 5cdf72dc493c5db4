#include "controls/picture_box.h"

#include <windowsx.h>

#include "platform/window_class.h"

namespace {
constexpr char kClassName[] = "TSCheckPicture";
}

PictureBox::~PictureBox() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool PictureBox::Create(HWND parent, int x, int y, int width, int height, bool visible) {
    if (!EnsureWindowClass(kClassName, ForwardToOwner<PictureBox>)) return false;
    if (!image_.Resize(width, height)) return false;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    ::CreateWindowExA(0, kClassName, "", style, x, y, width, height, parent, nullptr,
                      ::GetModuleHandleA(nullptr), this);
    return hwnd_ != nullptr;
}

void PictureBox::SetPicture(HBITMAP picture) {
    image_.SetBackground(picture);
    Refresh();
}

void PictureBox::Refresh() {
    if (!hwnd_) return;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ::UpdateWindow(hwnd_);
}

void PictureBox::Show(bool visible) {
    if (hwnd_) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void PictureBox::SetCaption(const std::string& caption) {
    if (hwnd_) ::SetWindowTextA(hwnd_, caption.c_str());
}

bool PictureBox::Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            image_.PaintWindow(hwnd_);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (message == WM_LBUTTONDOWN) {
                pressed_ = true;
                ::SetCapture(hwnd_);
            }
            if (OnMouseDown) OnMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP: {
            bool wasPressed = pressed_;
            pressed_ = false;
            if (::GetCapture() == hwnd_) ::ReleaseCapture();
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT client;
            ::GetClientRect(hwnd_, &client);
            // A click is a press and a release over the control, as with buttons.
            if (wasPressed && ::PtInRect(&client, at) && OnClick) OnClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return 0;
        default:
            return ::DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}
