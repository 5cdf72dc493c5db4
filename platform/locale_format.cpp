#include "platform/locale_format.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>

namespace {

std::string LocaleInfo(LCTYPE type, const char* fallback) {
    char buffer[16] = {};
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) > 0) return buffer;
    return fallback;
}

// "-123.45": the value rounded the way it reads in decimal, halves away from
// zero, so 1.025 shows as 1.03 although the nearest double is a hair below
// it. The digits come from the system's C runtime, 15 significant ones.
std::string RoundedDecimal(double value, int decimals) {
    int point = 0;
    int negative = 0;
    std::string digits = ::_ecvt(value, 15, &point, &negative);
    // Keep the digits up to the last decimal; the first one dropped rounds.
    int kept = point + decimals;
    if (kept < 0) {
        digits.clear();
    } else {
        bool up = kept < static_cast<int>(digits.size()) && digits[kept] >= '5';
        digits.resize(static_cast<std::size_t>(kept), '0');
        for (int at = kept - 1; up && at >= 0; --at) {
            up = digits[at] == '9';
            digits[at] = up ? '0' : static_cast<char>(digits[at] + 1);
        }
        if (up) {
            digits.insert(digits.begin(), '1');
            ++point;
        }
    }
    // Pad so that at least one digit stands before the point.
    int whole = point > 0 ? point : 0;
    int width = whole + decimals;
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    std::string text = digits.substr(0, static_cast<std::size_t>(whole));
    if (text.empty()) text = "0";
    if (decimals > 0) text += "." + digits.substr(static_cast<std::size_t>(whole));
    if (negative && text.find_first_not_of("0.") != std::string::npos) text.insert(0, 1, '-');
    return text;
}

}  // namespace

std::string FormatLocaleNumber(double value, int decimals, bool grouped) {
    if (!std::isfinite(value)) value = 0;
    std::string plain = RoundedDecimal(value, decimals);

    // GetNumberFormatA wants a plain "-123.45" and applies the user's
    // separators; the format record pins decimals and grouping.
    std::string decimalSep = LocaleInfo(LOCALE_SDECIMAL, ".");
    std::string thousandSep = LocaleInfo(LOCALE_STHOUSAND, ",");
    NUMBERFMTA format{};
    format.NumDigits = static_cast<UINT>(decimals);
    format.LeadingZero = 1;
    format.Grouping = grouped ? 3 : 0;
    format.lpDecimalSep = decimalSep.data();
    format.lpThousandSep = thousandSep.data();
    format.NegativeOrder = 1;

    char out[96] = {};
    if (::GetNumberFormatA(LOCALE_USER_DEFAULT, 0, plain.c_str(), &format, out, sizeof out) > 0)
        return out;
    return plain;
}
