// WinInit.ini of Windows 9x: whatever an earlier installer left there, and
// the start-up deletion added to it.
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "platform/text_case.h"
#include "system_helpers/win_init.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// The section whose lines the system reads at the line that starts at
// `at`: the last "[name]" line before it, as WinInit reads one.
std::string SectionAt(const std::string& text, std::size_t at) {
    std::string section;
    for (std::size_t start = 0; start < at;) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos || end > at) end = at;
        std::string line = text.substr(start, end - start);
        std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == '[')
            section = LowerCase(line.substr(first + 1, line.find(']', first) - first - 1));
        start = end + 1;
    }
    return section;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    bool exists = in.ConsumeBool();
    // A short path has no line ends and no NUL.
    std::string shortPath = in.ConsumeRandomLengthString(80);
    std::erase_if(shortPath, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    std::string content = in.ConsumeRemainingBytesAsString();
    std::optional<std::string> current;
    if (exists) current = content;

    std::string result = WinInitWithDeletion(current, shortPath);
    std::string entry = "NUL=" + shortPath + "\r\n";
    // The new entry ends the file, on a line of its own...
    FUZZ_REQUIRE(result.size() >= entry.size() &&
                 result.compare(result.size() - entry.size(), entry.size(), entry) == 0);
    std::size_t at = result.size() - entry.size();
    FUZZ_REQUIRE(at == 0 || result[at - 1] == '\n');
    // ...in the section the system reads the deletions from...
    FUZZ_REQUIRE(SectionAt(result, at) == "rename");
    // ...and what was there before stays, up to a NUL, which ends the text.
    std::string kept = exists ? content.substr(0, content.find('\0')) : std::string();
    FUZZ_REQUIRE(result.compare(0, kept.size(), kept) == 0);
    return 0;
}
