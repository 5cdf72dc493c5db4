// Machine-code routines carried as text: upper-case hexadecimal, two
// characters per byte, no separators.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The bytes a routine text stands for. An odd trailing character is not
// read. Empty when a pair is not hexadecimal: a routine with a garbled byte
// must never be run.
std::optional<std::vector<std::uint8_t>> RoutineBytes(std::string_view text);
