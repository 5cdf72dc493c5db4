#include "platform/message_pump.h"

namespace {

// Dispatches what is queued; false when WM_QUIT was seen (and re-posted).
bool DispatchQueued() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

}  // namespace

void ProcessPendingEvents() { DispatchQueued(); }

bool PumpUntil(const std::function<bool()>& done) {
    while (!done()) {
        if (!DispatchQueued()) return false;
        if (done()) break;
        ::WaitMessage();
    }
    return true;
}

bool PumpUntilSignalled(HANDLE object) {
    for (;;) {
        DWORD result = ::MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
        if (!DispatchQueued()) return false;
    }
}
