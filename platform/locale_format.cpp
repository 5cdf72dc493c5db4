#include "platform/locale_format.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string LocaleInfo(LCTYPE type, const char* fallback) {
    char buffer[16] = {};
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) > 0) return buffer;
    return fallback;
}

}  // namespace

std::string FormatLocaleNumber(double value, int decimals, bool grouped) {
    if (!std::isfinite(value)) value = 0;
    // Round the way the number reads in decimal, halves away from zero:
    // 1.025 shows as 1.03 although the nearest double is a hair below it.
    double scale = std::pow(10.0, decimals);
    char scaledText[64];
    std::snprintf(scaledText, sizeof scaledText, "%.15g", value * scale);
    double scaled = std::strtod(scaledText, nullptr);
    double rounded = std::copysign(std::floor(std::fabs(scaled) + 0.5), scaled) / scale;
    char plain[64];
    std::snprintf(plain, sizeof plain, "%.*f", decimals, rounded);

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
    if (::GetNumberFormatA(LOCALE_USER_DEFAULT, 0, plain, &format, out, sizeof out) > 0) return out;
    return plain;
}
