#include "controls/label.h"

#include "platform/fonts.h"
#include "platform/window_class.h"

namespace {
constexpr char kClassName[] = "TSCheckLabel";
}

OwnedFont CreateLabelFont() { return CreateScreenFont("Verdana", PointsToPixels(825)); }

Label::~Label() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Label::Create(HWND parent, const BackingImage* behind, int x, int y, int width, int height,
                   const std::string& text, HFONT font) {
    if (!EnsureWindowClass(kClassName, ForwardToOwner<Label>)) return false;
    behind_ = behind;
    font_ = font;
    ::CreateWindowExA(0, kClassName, text.c_str(), WS_CHILD | WS_VISIBLE, x, y, width, height,
                      parent, nullptr, ::GetModuleHandleA(nullptr), this);
    return hwnd_ != nullptr;
}

void Label::SetText(const std::string& text) {
    if (!hwnd_) return;
    ::SetWindowTextA(hwnd_, text.c_str());
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

std::string Label::Text() const {
    if (!hwnd_) return {};
    char buffer[512] = {};
    int length = ::GetWindowTextA(hwnd_, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

void Label::SetColour(COLORREF colour) {
    colour_ = colour;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT Label::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PaintScope paint(hwnd_);
            RECT client;
            ::GetClientRect(hwnd_, &client);
            if (behind_) {
                // Our position inside the parent picks the part of its image.
                POINT origin{0, 0};
                ::MapWindowPoints(hwnd_, ::GetParent(hwnd_), &origin, 1);
                ::BitBlt(paint.dc(), 0, 0, client.right, client.bottom, behind_->dc(), origin.x,
                         origin.y, SRCCOPY);
            }
            std::string text = Text();
            SelectScope useFont(paint.dc(), font_ ? static_cast<HGDIOBJ>(font_)
                                                  : ::GetStockObject(DEFAULT_GUI_FONT));
            ::SetBkMode(paint.dc(), TRANSPARENT);
            ::SetTextColor(paint.dc(), colour_);
            ::DrawTextA(paint.dc(), text.c_str(), static_cast<int>(text.size()), &client,
                        DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            // Mouse events belong to the window behind, as with labels.
            return HTTRANSPARENT;
        default:
            return ::DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}
