// Reading settings values as numbers. A value that is not a number stops the
// program with a message that names the key and its value: a requirement
// that cannot be read is never passed silently.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

// Thrown when the settings leave no sound verdict; the main window shows the
// message in the skinned message box and ends the program without a verdict.
class SettingsStop : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Pelorin.ini may be corrupt. Please reinstall the Pelorin."
extern const char kCorruptSettingsMessage[];

// The message for a key whose value is not a number.
std::string NotANumberMessage(const std::string& key, const std::string& value);

// A decimal number with optional sign, fraction and surrounding blanks.
std::optional<double> ParseSettingNumber(const std::string& text);

// Rounded to the nearest whole number, halves to even.
std::int64_t RoundHalfEven(double value);

// The key's value as a number / a whole number within [low, high]
// (rounded as above); throws SettingsStop otherwise.
double ReadNumberSetting(const std::string& key);
std::int64_t ReadWholeSetting(const std::string& key, std::int64_t low, std::int64_t high);
