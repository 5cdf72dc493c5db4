// What the start-up shows and asks of the main window: the one way the
// start-up engine reaches the screen, so that a test can stand in for it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "checks/check_run.h"
#include "platform/program_end.h"

class StartUpView {
public:
    virtual ~StartUpView() = default;

    // The skinned message box; returns once the user closed it.
    virtual void ShowMessage(const std::string& text) = 0;
    // Loads the message box hidden, so that later messages open at once.
    virtual void PrepareMessages() = 0;
    // The window and its controls, not yet shown; false when there is none.
    virtual bool CreateWindowAndControls() = 0;
    // How many background images the skin has.
    virtual std::size_t BackgroundCount() = 0;
    // The background image `index`, or the drawn default panel when empty;
    // `shaped`: the window is cut to the skin's outline (old systems paint
    // its transparent colour white instead).
    virtual void ApplySkin(std::optional<std::size_t> index, bool shaped) = 0;
    // The verdict's button ("run" or "bigclose") and the message under the results.
    virtual void ShowVerdict(bool passed, const std::string& message) = 0;
    // The result rows and their icons.
    virtual void ShowResults(const CheckRun& run) = 0;
    // Run Setup has begun: its button takes no more clicks, the pointer waits.
    virtual void ShowRunSetupStarted() = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    // The window goes away without an end of its own (no verdict yet).
    virtual void CloseWindow() = 0;
    // Asks for the end of the program; the first request counts.
    virtual void RequestEnd(const ProgramEnd& end) = 0;
    // An end has been asked for (the window may have closed during a wait).
    virtual bool Ending() = 0;
};
