// Reading settings values as numbers and words. A value that is not a number
// stops the program with a message that names the key and its value: a
// requirement that cannot be read is never passed silently.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "Pelorin.ini may be corrupt. Please reinstall the Pelorin."
extern const char kCorruptSettingsMessage[];

// The message for a key whose value is not a number.
std::string NotANumberMessage(const std::string& key, const std::string& value);

// A decimal number with optional sign, fraction and surrounding blanks.
std::optional<double> ParseSettingNumber(const std::string& text);

// Every numeric requirement lies within the 32-bit signed range: beyond it a
// value means nothing sensible, and converting it could overflow.
inline constexpr std::int64_t kSettingLowest = -2147483647LL - 1;
inline constexpr std::int64_t kSettingHighest = 2147483647LL;

// A number as ParseSettingNumber reads it, and within [low, high].
std::optional<double> ParseBoundedNumber(const std::string& text,
                                         std::int64_t low = kSettingLowest,
                                         std::int64_t high = kSettingHighest);

// Whether the comma-separated list of codes (ExceptionOS) holds `code`, read
// entry by entry up to the first that decides: a match, or an entry that is
// not a number (empty then). Blank entries are skipped.
std::optional<bool> ListHoldsCode(const std::string& list, int code);

// Rounded to the nearest whole number, halves to even; values beyond the
// 64-bit range give its nearest end.
std::int64_t RoundHalfEven(double value);

// A number as ParseSettingNumber reads it, rounded as RoundHalfEven rounds,
// and within [low, high]; empty otherwise.
std::optional<std::int64_t> ParseWholeNumber(const std::string& text,
                                             std::int64_t low = kSettingLowest,
                                             std::int64_t high = kSettingHighest);

// A Boolean word: "true"/"false" in any letter case, or a whole number
// (0 false, any other true). Empty for anything else.
std::optional<bool> ParseBooleanWord(std::string_view text);
