// What Run Setup shows and asks of the main window: the one way the engine
// reaches the screen, so that a test can stand in for the window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/program_end.h"

// How a status line under the results looks.
enum class StatusStyle {
    Progress,  // the plain status colour: what is going on
    Error,     // bold, in the error colour: what went wrong
};

class RunSetupView {
public:
    virtual ~RunSetupView() = default;

    // Replaces the status line under the results.
    virtual void ShowStatus(const std::string& text, StatusStyle style) = 0;
    // Draws the result rows again (a status line may have covered them).
    virtual void RedrawResults() = 0;
    virtual void HideRunButton() = 0;
    virtual void ShowProgressBar(bool visible) = 0;
    // Byte counts as they are; the view fits them to what its bar takes.
    virtual void SetProgress(std::int64_t max, std::int64_t value, const std::string& text) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    // The skinned message box; returns once the user closed it.
    virtual void ShowMessage(const std::string& text) = 0;
    // The main window's unload rule.
    virtual void UnloadWindow() = 0;
    // Asks for the end of the program; the first request counts.
    virtual void RequestEnd(const ProgramEnd& end) = 0;
    // An end has been asked for (the window may have closed during a wait).
    virtual bool Ending() = 0;
};
