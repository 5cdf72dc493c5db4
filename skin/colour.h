// The colour settings ("forecolor", "backcolor"): the text "r,g,b" as a
// Windows colour value, red + 256 x green + 65536 x blue.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr char kColourFormatMessage[] =
    "The specified value for colors must be in RGB format. ie: <forecolor><backcolor> = r,g,b "
    "where {r,g,b} are integers between 0 and 255.";

// The colour of "r,g,b" (blanks around each number allowed, parts after the
// third ignored, a number above 255 counting as 255). Empty when there are
// fewer than three parts or one of the first three is not a whole number.
std::optional<std::uint32_t> ColourFromText(std::string_view text);

