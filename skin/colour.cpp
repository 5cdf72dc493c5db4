#include "skin/colour.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return parts;
        text.remove_prefix(comma + 1);
    }
}

// A whole number with optional blanks around it; large values saturate,
// since anything above 255 counts as 255 anyway.
std::optional<std::uint32_t> Component(std::string_view part) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!part.empty() && blank(part.front())) part.remove_prefix(1);
    while (!part.empty() && blank(part.back())) part.remove_suffix(1);
    if (part.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > 255) value = 256;
    }
    return value > 255 ? 255 : value;
}

}  // namespace

std::optional<std::uint32_t> ColourFromText(std::string_view text) {
    std::vector<std::string_view> parts = SplitAtCommas(text);
    if (parts.size() < 3) return std::nullopt;
    std::uint32_t colour = 0;
    for (int i = 0; i < 3; ++i) {
        std::optional<std::uint32_t> component = Component(parts[static_cast<std::size_t>(i)]);
        if (!component) return std::nullopt;
        colour |= *component << (8 * i);
    }
    return colour;
}
