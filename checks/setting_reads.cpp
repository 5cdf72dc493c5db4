// The settings readers of setting_numbers.h, apart from the number rules:
// they need the settings file, and so the system's file calls.
#include "checks/setting_numbers.h"

#include "checks/settings.h"

double ReadNumberSetting(const SettingsFile& settings, const std::string& key,
                         std::int64_t low, std::int64_t high) {
    std::string value = settings.ReadRequirement(key);
    auto number = ParseBoundedNumber(value, low, high);
    if (!number) throw SettingsStop(NotANumberMessage(key, value));
    return *number;
}

std::int64_t ReadWholeSetting(const SettingsFile& settings, const std::string& key,
                              std::int64_t low, std::int64_t high) {
    std::string value = settings.ReadRequirement(key);
    auto number = ParseSettingNumber(value);
    if (!number || *number < static_cast<double>(low) - 0.5 ||
        *number > static_cast<double>(high) + 0.5)
        throw SettingsStop(NotANumberMessage(key, value));
    std::int64_t whole = RoundHalfEven(*number);
    if (whole < low || whole > high) throw SettingsStop(NotANumberMessage(key, value));
    return whole;
}
