// A Windows colour value as plain data, for headers that keep <windows.h> out.
#pragma once

#include <cstdint>

// Red + 256 x green + 65536 x blue; a set top bit marks a system colour
// whose index is in the low bits.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
           (static_cast<Colour>(blue) << 16);
}
