// A tick on the window thread every few milliseconds while switched on, from
// a message-only window of its own: whoever needs a clock needs no window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

class IntervalTicker {
public:
    // `onTick` runs once per interval while the ticker is on. Without its
    // window (the system refused it) the ticker never ticks.
    IntervalTicker(std::uint32_t intervalMs, std::function<void()> onTick);
    ~IntervalTicker();
    IntervalTicker(const IntervalTicker&) = delete;
    IntervalTicker& operator=(const IntervalTicker&) = delete;

    // Switching on starts a whole interval from now; repeated calls change nothing.
    void Enable(bool enabled);
    bool Enabled() const noexcept { return enabled_; }

    // Window-class plumbing.
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static constexpr UINT_PTR kTimerId = 1;

    HWND hwnd_ = nullptr;
    std::uint32_t intervalMs_;
    std::function<void()> onTick_;
    bool enabled_ = false;
};
