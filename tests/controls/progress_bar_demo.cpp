// Not a test: shows the download bar at about half with its caption in a
// small borderless window at the screen's top left corner, for
// tools/progress_bar_screenshot.sh to capture. Ends by itself.
//   progress_bar_demo.exe [seconds]
#include <windows.h>

#include <cstdlib>

#include "controls/xp_progress_bar.h"
#include "platform/message_pump.h"

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 5;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "TSCheckProgressBarDemo";
    if (!::RegisterClassA(&wc)) return 1;
    OwnedWindow window(::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Progress bar",
                                         WS_POPUP | WS_VISIBLE, 0, 0, 561, 65, nullptr, nullptr,
                                         wc.hInstance, nullptr));
    if (!window) return 1;

    // The main window's download bar: its stored form, then what the install
    // script sets while a 12 MB setup program is half downloaded.
    PropertyBag stored;
    stored.SetLong("Color", static_cast<std::int32_t>(MakeColour(94, 129, 188)))
        .SetBoolean("ShowText", true);
    XP_ProgressBar bar;
    if (!bar.Create(window.get(), 20, 20, 521, 25, &stored)) return 1;
    bar.SetMax(12582912);
    bar.SetValue(6291456);
    bar.SetText("6.00 MB of 12.00 MB");

    const DWORD start = ::GetTickCount();
    UINT_PTR tick = ::SetTimer(nullptr, 0, 100, nullptr);
    PumpUntil([&] { return ::GetTickCount() - start > seconds * 1000; });
    ::KillTimer(nullptr, tick);
    return 0;
}
