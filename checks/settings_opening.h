// How a run comes by its settings: the provider's file beside the program,
// the default file written there, or the same defaults from memory.
#pragma once

#include "checks/settings.h"
#include "platform/file_exists.h"
#include "platform/system_error.h"
#include "platform/system_facts.h"

enum class SettingsSource {
    File,                // the settings file is there and readable
    Unreadable,          // it is there but cannot be read: no verdict can be given
    WrittenDefaults,     // there was none: the default file has been written
    BuiltInForQuietRun,  // the quiet check writes nothing: the defaults from memory
    BuiltInUnwritable,   // the default file cannot be written (a CD): the defaults
                         // from memory, and the user must learn that
};

struct SettingsOpening {
    SettingsSource source = SettingsSource::File;
    SystemResult written;  // why the default file could not be written
};

// A settings file of the run's own is there (the built-in defaults have none).
bool SettingsFilePresent(const SettingsFile& settings, ExistenceTest test,
                         const SystemFacts& system);

// Decides where `settings` answer from, writing the default file when there
// is none and the run may write; switches `settings` to the built-in
// defaults where they must serve.
SettingsOpening OpenSettings(SettingsFile& settings, ExistenceTest test, bool quietRun,
                             const SystemFacts& system);
