// Lets a display follow a fast stream of changes at most about 30 times a
// second. A change that comes too soon after the last drawn one is held
// back, and the latest held-back change is drawn when the caller asks
// (a later change, or its one-second timer), so what stays on screen is
// never older than that.
#pragma once

#include <cstdint>

class RepaintThrottle {
public:
    static constexpr std::uint32_t kIntervalMs = 33;

    // A change at `nowMs` (a millisecond tick that may wrap round): true when
    // it is to be drawn now. `last` changes (the end of the range) always are.
    bool Due(std::uint32_t nowMs, bool last = false) {
        if (!last && drawnOnce_ && nowMs - drawnAt_ < kIntervalMs) {
            held_ = true;
            return false;
        }
        drawnOnce_ = true;
        drawnAt_ = nowMs;
        held_ = false;
        return true;
    }
    // True once after a change was held back and nothing drawn since.
    bool TakeHeld() {
        bool held = held_;
        held_ = false;
        return held;
    }

private:
    std::uint32_t drawnAt_ = 0;
    bool drawnOnce_ = false;
    bool held_ = false;
};
