#include "skin/button_face.h"

#include "platform/owned.h"

namespace {

// The face colour and the button's own window procedure travel with the
// button as window properties, removed again when it is destroyed.
constexpr char kColourProperty[] = "TSCheck.FaceColour";
constexpr char kProcedureProperty[] = "TSCheck.ButtonProc";

void PaintFace(HWND button, HDC dc) {
    RECT client{};
    ::GetClientRect(button, &client);
    auto colour = static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(::GetPropA(button, kColourProperty)));
    OwnedBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &client, brush.get());

    auto picture = reinterpret_cast<HBITMAP>(::SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP size{};
    if (!picture || !::GetObjectA(picture, sizeof size, &size)) return;
    OwnedMemoryDC source(::CreateCompatibleDC(dc));
    SelectScope selected(source.get(), picture);
    ::BitBlt(dc, (client.right - size.bmWidth) / 2, (client.bottom - size.bmHeight) / 2,
             size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK FaceProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(::GetPropA(button, kProcedureProperty));
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(button);
            PaintFace(button, paint.dc());
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintFace(button, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongA(button, GWL_WNDPROC, reinterpret_cast<LONG>(original));
            ::RemovePropA(button, kColourProperty);
            ::RemovePropA(button, kProcedureProperty);
            break;
        default:
            break;
    }
    return ::CallWindowProcA(original, button, message, wParam, lParam);
}

}  // namespace

void SetButtonFaceColour(HWND button, COLORREF colour) {
    if (!button) return;
    ::SetPropA(button, kColourProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(colour)));
    if (!::GetPropA(button, kProcedureProperty)) {
        LONG original = ::SetWindowLongA(button, GWL_WNDPROC, reinterpret_cast<LONG>(FaceProc));
        ::SetPropA(button, kProcedureProperty, reinterpret_cast<HANDLE>(original));
    }
    ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
