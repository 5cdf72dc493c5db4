#include "platform/interval_ticker.h"

#include "platform/window_class.h"

namespace {
constexpr char kClassName[] = "TSCheckIntervalTicker";
}  // namespace

IntervalTicker::IntervalTicker(std::uint32_t intervalMs, std::function<void()> onTick)
    : intervalMs_(intervalMs), onTick_(std::move(onTick)) {
    if (EnsureWindowClass(kClassName, ForwardToOwner<IntervalTicker>))
        ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          ::GetModuleHandleA(nullptr), this);
}

IntervalTicker::~IntervalTicker() {
    // Destroying the window ends its timer too.
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void IntervalTicker::Enable(bool enabled) {
    if (enabled == enabled_ || !hwnd_) return;
    enabled_ = enabled;
    if (enabled) ::SetTimer(hwnd_, kTimerId, intervalMs_, nullptr);
    else ::KillTimer(hwnd_, kTimerId);
}

LRESULT IntervalTicker::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        if (enabled_ && onTick_) onTick_();
        return 0;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}
