// The settings file pelorin.ini beside the program: its default content and
// the reader of single keys of its one section, Requirements.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "checks/settings_stop.h"

// Complete in platform/system_error.h; kept out so the settings logic builds
// without the Windows headers.
struct SystemResult;

// A setup command as read, or the stop its value leads to.
struct CommandSetting {
    std::string command;
    std::optional<SettingsStop> stop;
};

// "String file missing from program directory"
extern const char kSettingsFileMissingMessage[];

// The value a key has in the default lines; empty for a key they lack.
std::string BuiltInSetting(const std::string& key);

// The run's settings: the file pelorin.ini in the program's folder, or the
// default lines in memory where that folder cannot hold the file.
class SettingsFile {
public:
    // `programDir` ends in "\"; empty answers from the default lines.
    explicit SettingsFile(std::string programDir);
    SettingsFile() : SettingsFile(std::string()) {}

    // programDir + "pelorin.ini".
    std::string Path() const { return programDir_ + "pelorin.ini"; }

    // The value of one key of section Requirements, empty when the file or
    // the key is missing. Re-reads the file on every call. At most 254
    // characters: a longer value reads as its first 254.
    std::string ReadRequirement(const std::string& key) const;

    // A setup command (Run, Run0, ...). A value that fills the read buffer
    // (254 characters or more) may have been cut, and a cut command line
    // could start another program: it gives a stop naming the key.
    CommandSetting ReadCommand(const std::string& key) const;

    // From now on ReadRequirement answers from the default lines in memory:
    // for a program folder in which the default file cannot be written.
    void UseBuiltInSettings() { builtIn_ = true; }
    bool UsingBuiltInSettings() const { return builtIn_; }

    // Whether the file can be opened for reading (a folder of that name, or
    // a file the user may not read, cannot).
    bool Readable() const;

    // Creates the file new with the default lines, each ended by CR LF.
    // False when the file could not be written whole (or something took the
    // name first); then no file is left that a later run would read.
    SystemResult WriteDefaults() const;

private:
    std::string programDir_;
    bool builtIn_;
};

// The 40 lines written when no settings file exists, without line ends.
extern const std::string_view kDefaultSettingsLines[40];
