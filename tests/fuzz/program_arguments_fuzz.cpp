// The program's command line: what another program (or a user) starts it
// with, and what it hands on to its elevated copy.
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "app/program_arguments.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::string Without(std::string text, const char* characters) {
    std::erase_if(text, [&](char c) { return c != '\0' && std::strchr(characters, c); });
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    ProgramArguments any = ReadArguments(line);
    FUZZ_REQUIRE(any.text.size() <= line.size() &&
                 line.compare(line.size() - any.text.size(), any.text.size(), any.text) == 0);
    FUZZ_REQUIRE(any.log || any.logPath.empty());

    // The log argument handed on reads back as the same path, wherever the
    // program lives, whatever other arguments stand before and after it.
    FuzzedDataProvider in(data, size);
    std::string program = Without(in.ConsumeRandomLengthString(64), "\"");
    bool quoted = in.ConsumeBool();
    if (!quoted) program = Without(program, " \t");
    const bool elevated = in.ConsumeBool();
    std::string before = elevated ? " /elevated" : "";
    if (in.ConsumeBool()) before += " \"/LOG=" + Without(in.ConsumeRandomLengthString(16), "\"") + "\"";
    if (in.ConsumeBool()) before += " /log";
    // No word after it can start with "/", so none is another log argument.
    std::string after = Without(in.ConsumeRandomLengthString(64), "/");
    std::string path = Without(in.ConsumeRemainingBytesAsString(), "\"");
    std::string handedOn = (quoted ? "\"" + program + "\"" : program) + before + " " +
                           LogArgument(path) + " " + after;
    ProgramArguments read = ReadArguments(handedOn);
    FUZZ_REQUIRE(read.log);
    FUZZ_REQUIRE(read.logPath == path);
    FUZZ_REQUIRE(read.elevated == elevated);
    return 0;
}
