// The settings file pelorin.ini beside the program: its default content and
// the reader of single keys of its one section, Requirements.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's directory, always ending in "\"; set once at start-up.
extern std::string ProgramDir;

// ProgramDir + "pelorin.ini".
std::string SettingsPath();

// The value of one key of section Requirements, empty when the file or the
// key is missing. Re-reads the file on every call; at most 254 characters.
std::string ReadRequirement(const std::string& key);

// The 40 lines written when no settings file exists, without line ends.
extern const std::string_view kDefaultSettingsLines[40];

// Creates or overwrites the settings file with the default lines, each ended
// by CR LF. False when the file could not be written.
bool WriteDefaultSettings();

// A Boolean word: "true"/"false" in any letter case, or a whole number
// (0 false, any other true). Empty for anything else.
std::optional<bool> ParseBooleanWord(std::string_view text);
