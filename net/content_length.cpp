#include "net/content_length.h"

std::optional<std::int64_t> ParseContentLength(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    std::string digits = text.substr(first, last - first + 1);
    // 18 digits always fit in 63 bits.
    if (digits.empty() || digits.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}
