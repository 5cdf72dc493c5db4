// Settings values as numbers (MinOS, the speed and size limits) and the
// ExceptionOS list: hostile pelorin.ini text.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "checks/setting_numbers.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Plain decimal: digits with at most one point, at least one digit.
bool PlainDecimal(std::string_view text) {
    bool point = false, digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c == '.' && !point) point = true;
        else return false;
    }
    return digit;
}

void CheckNumber(const std::string& text) {
    std::optional<double> number = ParseSettingNumber(text);
    std::string_view body = Trimmed(text);
    bool negative = !body.empty() && body.front() == '-';
    if (!body.empty() && (negative || body.front() == '+')) body.remove_prefix(1);
    if (!PlainDecimal(body)) {
        FUZZ_REQUIRE(!number);
        return;
    }
    // The standard library's locale-free reader is the judge of the value.
    double expected = 0;
    auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), expected,
                                        std::chars_format::fixed);
    if (error == std::errc()) {
        FUZZ_REQUIRE(end == body.data() + body.size());
        FUZZ_REQUIRE(number && *number == (negative ? -expected : expected));
    } else {
        // Out of range: too large is refused, too small may read as zero.
        FUZZ_REQUIRE(!number || std::fabs(*number) <= 2.2250738585072014e-308);
    }
    if (number) {
        FUZZ_REQUIRE(std::isfinite(*number));
        std::optional<double> bounded = ParseBoundedNumber(text, -5, 5);
        FUZZ_REQUIRE(bounded.has_value() == (*number >= -5 && *number <= 5));
        if (std::fabs(*number) < 4503599627370496.0) {  // 2^52: the difference is exact
            std::int64_t whole = RoundHalfEven(*number);
            double off = static_cast<double>(whole) - *number;
            FUZZ_REQUIRE(std::fabs(off) <= 0.5);
            if (std::fabs(off) == 0.5) FUZZ_REQUIRE(whole % 2 == 0);
        }
    }
}

void CheckList(const std::string& list, int code) {
    std::optional<bool> held = ListHoldsCode(list, code);
    // Whatever follows an entry that decided cannot change the answer.
    if (!held || *held) {
        FUZZ_REQUIRE(ListHoldsCode(list + ",x", code) == held);
        FUZZ_REQUIRE(ListHoldsCode(list + "," + std::to_string(code + 1), code) == held);
    } else {
        // A list that read through to its end holds a code added to it.
        FUZZ_REQUIRE(ListHoldsCode(list + ", " + std::to_string(code) + " ", code) == true);
        FUZZ_REQUIRE(ListHoldsCode(list + ",,", code) == false);
    }
    // A code first in the list is held, whatever comes after.
    FUZZ_REQUIRE(ListHoldsCode(std::to_string(code) + ".0," + list, code) == true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CheckNumber(text);
    int code = size > 0 ? static_cast<int>(static_cast<std::int8_t>(data[0])) : 7;
    CheckList(size > 0 ? text.substr(1) : text, code);
    return 0;
}
