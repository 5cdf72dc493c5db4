#include "checks/settings_opening.h"

bool SettingsFilePresent(const SettingsFile& settings, ExistenceTest test,
                         const SystemFacts& system) {
    return !settings.UsingBuiltInSettings() && FileExists(settings.Path(), test, system);
}

SettingsOpening OpenSettings(SettingsFile& settings, ExistenceTest test, bool quietRun,
                             const SystemFacts& system) {
    if (SettingsFilePresent(settings, test, system))
        return {settings.Readable() ? SettingsSource::File : SettingsSource::Unreadable, {}};
    if (quietRun) {
        settings.UseBuiltInSettings();
        return {SettingsSource::BuiltInForQuietRun, {}};
    }
    // Without a program folder there is nowhere to write.
    SystemResult written{ERROR_PATH_NOT_FOUND};
    if (!settings.UsingBuiltInSettings()) written = settings.WriteDefaults();
    if (written) return {SettingsSource::WrittenDefaults, written};
    settings.UseBuiltInSettings();
    return {SettingsSource::BuiltInUnwritable, written};
}
