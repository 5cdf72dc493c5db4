// The colour settings forecolor and backcolor: "r,g,b" from pelorin.ini.
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "controls/colour_value.h"
#include "skin/colour.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::string Blanks(FuzzedDataProvider& in) {
    static const char* const kBlanks[] = {"", " ", "\t", "  \t "};
    return kBlanks[in.ConsumeIntegralInRange<int>(0, 3)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::optional<std::uint32_t> colour = ColourFromText(text);
    if (colour) {
        FUZZ_REQUIRE(*colour <= 0xFFFFFFu);
        // Parts after the third are ignored, whatever they hold.
        FUZZ_REQUIRE(ColourFromText(text + ",junk") == colour);
    }
    // Written values, any size, with blanks and leading zeros, read back
    // as written, those above 255 as 255.
    FuzzedDataProvider in(data, size);
    std::uint32_t parts[3];
    std::string written;
    for (int i = 0; i < 3; ++i) {
        parts[i] = in.ConsumeIntegral<std::uint32_t>() >> in.ConsumeIntegralInRange<int>(0, 31);
        if (i) written += ",";
        written += Blanks(in) + std::string(in.ConsumeIntegralInRange<int>(0, 2), '0') +
                   std::to_string(parts[i]) + Blanks(in);
    }
    auto clamp = [](std::uint32_t v) { return static_cast<int>(v > 255 ? 255 : v); };
    FUZZ_REQUIRE(ColourFromText(written) ==
                 MakeColour(clamp(parts[0]), clamp(parts[1]), clamp(parts[2])));
    return 0;
}
