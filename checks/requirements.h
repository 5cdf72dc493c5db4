// The provider's requirements as one value, read from the settings once
// before the checks run. Which keys count depends on the system: the checks
// of a Vista computer read the Vista keys, and so on.
//
// A number that cannot be read does not stop the reading: it keeps its text
// and no value, and the check that needs it stops the run with a message
// naming the key. A check needs some values only on some paths (the
// processor's warning level only when the clock beats its minimum), so a
// bad value on a path not taken stops nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "checks/settings_stop.h"

// One key's text as the settings give it; empty when the key is missing.
using SettingReader = std::function<std::string(const std::string& key)>;

// A numeric requirement: its key, its text, and its value when the text is
// a number within the key's range.
template <typename Number>
struct Requirement {
    std::string key;
    std::string text;
    std::optional<Number> value;

    // The stop for a value that is not a number.
    SettingsStop NotANumber() const;
};
using NumberRequirement = Requirement<double>;
using WholeRequirement = Requirement<std::int64_t>;

struct Requirements {
    // The window's look and what a pass does.
    std::string foreColour;       // forecolor and backcolor are checked for
    std::string backColour;       // their format only
    std::string background;       // bgimage
    std::string failureText;      // Err
    std::string showResults;      // ShowResults, as a Boolean word

    // The operating-system check.
    WholeRequirement minOs;
    // The service pack this system needs; none for a system without such a key.
    std::optional<WholeRequirement> servicePack;
    std::string exceptionOs;
    // Whether ExceptionOS lists this system; none when an entry is not a number.
    std::optional<bool> excepted;

    NumberRequirement minCpu;
    WholeRequirement warnCpu;

    // None for a system the settings have no memory keys for.
    struct Memory {
        WholeRequirement min;
        WholeRequirement warn;
    };
    std::optional<Memory> memory;

    NumberRequirement minDisk;
    NumberRequirement warnDisk;
};

// Reads every key the window and the checks of a system of `osCode` need,
// each once, in the order the run uses them.
Requirements ReadRequirements(const SettingReader& read, int osCode);
