// The length an HTTP answer announces for its body.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A Content-Length value: plain decimal digits, blanks around them allowed.
// Nothing for anything else (signs, letters, more digits than fit).
std::optional<std::int64_t> ParseContentLength(const std::string& text);
