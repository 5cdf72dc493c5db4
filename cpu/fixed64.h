// Fixed64: the 64-bit counter reading of the processor code. A signed 64-bit
// integer read as a fixed-point number with four decimal places. The counters
// are written into it as raw counts, so a reading's stored integer is the
// count itself and its fixed-point value is count / 10,000.
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>

struct Fixed64 {
    static constexpr std::int64_t kScale = 10'000;

    // The stored integer. Counter readings and the time-stamp routine write
    // the raw count here, low doubleword first.
    std::int64_t raw = 0;

    // The fixed-point reading: the stored integer divided by 10,000.
    constexpr double Value() const { return static_cast<double>(raw) / kScale; }

    friend constexpr bool operator==(const Fixed64&, const Fixed64&) = default;
};

// The routines store into the eight bytes of a Fixed64 directly.
static_assert(sizeof(Fixed64) == 8 && std::is_standard_layout_v<Fixed64>);

// a − b; empty when the difference does not fit.
constexpr std::optional<Fixed64> CheckedDifference(Fixed64 a, Fixed64 b) {
    Fixed64 result;
    if (__builtin_sub_overflow(a.raw, b.raw, &result.raw)) return std::nullopt;
    return result;
}

// a × factor (the stored integer times a whole number); empty on overflow.
constexpr std::optional<Fixed64> CheckedProduct(Fixed64 a, std::int64_t factor) {
    Fixed64 result;
    if (__builtin_mul_overflow(a.raw, factor, &result.raw)) return std::nullopt;
    return result;
}
