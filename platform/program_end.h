// How the program ends. Nothing ends the process on the spot: whoever finds
// the run over asks for the end, with the exit code and the reason, and the
// main window passes the first such request back to WinMain's message loop
// as WM_QUIT carrying the code. Waits that pump window events see WM_QUIT
// and return, so the code that waited unwinds before WinMain returns.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kExitPassed = 830808;
inline constexpr std::uint32_t kExitFailed = 770601;
// Ended early, without a verdict.
inline constexpr std::uint32_t kExitNoVerdict = 0;

enum class EndReason {
    Verdict,                // the window closed after the checks
    Windows95Refused,
    Relaunched,             // an elevated copy carries on
    StillNotAdministrator,  // the elevated copy still lacks the rights
    NoWindow,               // the main window could not be made
    SettingsStop,           // a setting leaves no sound way on
    ColourFormat,           // a colour setting is not "r,g,b"
    CommandError,           // a setup command could not be run
    SetupDone,              // Run Setup ran its list
    WindowClosed,           // the window went before a verdict
};

struct ProgramEnd {
    std::uint32_t exitCode = kExitNoVerdict;
    EndReason reason = EndReason::WindowClosed;
};
