// The decisions of start-up as plain functions of the platform's facts and
// the settings: whether this copy may run at all, and what the settings ask
// of the window. The start-up engine carries them out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "checks/requirements.h"
#include "platform/system_facts.h"

// What start-up knows of the computer and of how it was started.
struct PlatformFacts {
    int osCode = 0;
    bool isAdministrator = false;
    bool relaunched = false;  // the command line carries the elevated marker
    bool quietCheck = false;  // /check: no window, no relaunch, no commands
};

PlatformFacts FactsOf(const SystemFacts& system, const std::string& commandLine);

enum class LaunchStep {
    GoOn,                   // rights enough, or a system that does not ask for them
    RefuseWindows95,        // tell the user and end
    Relaunch,               // Vista or later without rights: start again elevated
                            // (never in the quiet check: the administrator row tells)
    StillNotAdministrator,  // the relaunched copy still lacks them: tell and end
};

LaunchStep DecideLaunch(const PlatformFacts& facts);

// The refusal shown on Windows 95; `title` is the Title setting.
std::string Windows95Refusal(const std::string& title);

// What the settings ask of the main window.
struct WindowPlan {
    // Set when the settings leave no way on: the message to show before the
    // program ends without a verdict.
    std::optional<std::string> stop;
    // The background image's index; empty for the drawn default panel,
    // which carries no logo of its own, so the logo strip shows on it.
    std::optional<std::size_t> background;
    std::string failureText;  // shown when a check fails
    bool showResults = true;  // false: a pass runs the setup at once
};

// Takes the colours, the background, the failure text and ShowResults;
// `backgroundCount` is the number of background images.
WindowPlan PlanWindow(const Requirements& requirements, std::size_t backgroundCount);
