#include "checks/setting_numbers.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/text_case.h"

const char kCorruptSettingsMessage[] = "Pelorin.ini may be corrupt. Please reinstall the Pelorin.";

std::string NotANumberMessage(const std::string& key, const std::string& value) {
    return "Pelorin.ini may be corrupt: the setting " + key + " = \"" + value +
           "\" is not a valid number. Please reinstall the Pelorin.";
}

std::optional<double> ParseSettingNumber(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    std::size_t last = text.find_last_not_of(" \t");
    std::string_view number(text.data() + first, last - first + 1);
    // Plain decimals only: one optional sign, digits, an optional point and
    // digits. No exponent, no hexadecimal, no "inf" or "nan".
    bool negative = !number.empty() && number.front() == '-';
    if (!number.empty() && (number.front() == '+' || negative)) number.remove_prefix(1);
    std::size_t at = 0;
    std::size_t digits = 0;
    bool point = false;
    for (; at < number.size(); ++at) {
        char c = number[at];
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.' && !point) point = true;
        else return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    double value = std::atof(std::string(number).c_str());
    if (negative) value = -value;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> ParseBoundedNumber(const std::string& text, std::int64_t low,
                                         std::int64_t high) {
    auto number = ParseSettingNumber(text);
    if (!number || *number < static_cast<double>(low) || *number > static_cast<double>(high))
        return std::nullopt;
    return number;
}

std::optional<std::int64_t> ParseWholeNumber(const std::string& text, std::int64_t low,
                                             std::int64_t high) {
    auto number = ParseSettingNumber(text);
    if (!number || *number < static_cast<double>(low) - 0.5 ||
        *number > static_cast<double>(high) + 0.5)
        return std::nullopt;
    std::int64_t whole = RoundHalfEven(*number);
    if (whole < low || whole > high) return std::nullopt;
    return whole;
}

std::int64_t RoundHalfEven(double value) {
    // 2^63 is exact as a double; converting anything at or beyond it (or a
    // NaN) to a 64-bit integer would be undefined.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!(value > -kTwoTo63)) return std::numeric_limits<std::int64_t>::min();
    if (value >= kTwoTo63) return std::numeric_limits<std::int64_t>::max();
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (whole >= kTwoTo63) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(whole);
}

std::optional<bool> ListHoldsCode(const std::string& list, int code) {
    if (list.empty()) return false;
    for (std::size_t start = 0;;) {
        std::size_t comma = list.find(',', start);
        std::string entry = list.substr(start, comma - start);
        // A blank entry ("7," has no third) counts for nothing.
        if (entry.find_first_not_of(" \t") != std::string::npos) {
            auto number = ParseBoundedNumber(entry);
            if (!number) return std::nullopt;
            if (*number == code) return true;
        }
        if (comma == std::string::npos) return false;
        start = comma + 1;
    }
}

std::optional<bool> ParseBooleanWord(std::string_view text) {
    std::string lower = LowerCase(text);
    if (lower == "true") return true;
    if (lower == "false") return false;
    // Any number the other settings accept: zero is false, the rest true.
    if (auto number = ParseSettingNumber(std::string(text))) return *number != 0;
    return std::nullopt;
}
