// The settings file pelorin.ini beside the program: its default content and
// the reader of single keys of its one section, Requirements.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/failure.h"

// Thrown when the settings leave no sound way on; the message names the
// problem. The caller shows it in the skinned message box and ends the
// program without a verdict.
class SettingsStop : public Failure {
public:
    using Failure::Failure;
};

// The program's directory, always ending in "\"; set once at start-up.
extern std::string ProgramDir;

// ProgramDir + "pelorin.ini".
std::string SettingsPath();

// The value of one key of section Requirements, empty when the file or the
// key is missing. Re-reads the file on every call. A value that fills the
// read buffer (254 characters or more) may have been cut, and a cut command
// or path must never be used: it throws SettingsStop naming the key.
std::string ReadRequirement(const std::string& key);

// "String file missing from program directory"
extern const char kSettingsFileMissingMessage[];

// From now on ReadRequirement answers from the default lines in memory:
// for a program folder in which the default file cannot be written.
void UseBuiltInSettings(bool use = true);
bool UsingBuiltInSettings();

// The value a key has in the default lines; empty for a key they lack.
std::string BuiltInSetting(const std::string& key);

// Whether the settings file can be opened for reading (a folder of that
// name, or a file the user may not read, cannot).
bool SettingsFileReadable();

// The 40 lines written when no settings file exists, without line ends.
extern const std::string_view kDefaultSettingsLines[40];

// Creates or overwrites the settings file with the default lines, each ended
// by CR LF. False when the file could not be written.
bool WriteDefaultSettings();

// A Boolean word: "true"/"false" in any letter case, or a whole number
// (0 false, any other true). Empty for anything else.
std::optional<bool> ParseBooleanWord(std::string_view text);
