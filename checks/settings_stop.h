// A setting that leaves no sound way on, as a value: whoever meets one shows
// its message and ends the program without a verdict.
#pragma once

#include <string>

struct SettingsStop {
    std::string message;  // names the key and what is wrong with it
};
