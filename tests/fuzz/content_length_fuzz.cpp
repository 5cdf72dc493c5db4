// An HTTP answer's Content-Length header, as the network sends it.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "net/content_length.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::optional<std::int64_t> length = ParseContentLength(text);
    std::string_view body(text);
    while (!body.empty() && (body.front() == ' ' || body.front() == '\t')) body.remove_prefix(1);
    while (!body.empty() && (body.back() == ' ' || body.back() == '\t')) body.remove_suffix(1);
    bool digits = !body.empty() && body.size() <= 18 &&
                  body.find_first_not_of("0123456789") == std::string_view::npos;
    FUZZ_REQUIRE(length.has_value() == digits);
    if (length) {
        // Read back: the number written without its leading zeros.
        FUZZ_REQUIRE(*length >= 0);
        std::size_t zeros = body.find_first_not_of('0');
        std::string_view significant = zeros == std::string_view::npos ? "0" : body.substr(zeros);
        FUZZ_REQUIRE(std::to_string(*length) == significant);
    }
    // Every length of up to 18 digits reads as itself.
    if (size >= 8) {
        std::uint64_t raw;
        std::memcpy(&raw, data, 8);
        std::int64_t value = static_cast<std::int64_t>(raw % 1000000000000000000ULL);
        FUZZ_REQUIRE(ParseContentLength(" " + std::to_string(value) + "\t") == value);
    }
    return 0;
}
