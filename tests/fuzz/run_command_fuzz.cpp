// The setup commands Run, Run0, ... of pelorin.ini: the quotes the profile
// read takes away, and the program a command line starts (elevated), with a
// stand-in for the file system that the input decides.
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "setup/command_launch.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string NoQuotes(std::string text) {
    std::erase(text, '"');
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // A name is a program (and a path a file) when the bit of its length is
    // set; like the real search, no name with a quote is found.
    const std::uint32_t programs = in.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t files = in.ConsumeIntegral<std::uint32_t>();
    int finds = 0;
    ProgramFinder find = [&](const std::string& name) -> std::string {
        ++finds;
        if (name.empty() || name.find('"') != std::string::npos) return {};
        return (programs >> (name.size() % 32)) & 1 ? "X:\\found\\" + name + ".exe" : "";
    };
    FileTest isFile = [&](const std::string& path) { return ((files >> (path.size() % 32)) & 1) != 0; };

    // Quotes the read took away come back as written.
    std::string program = NoQuotes(in.ConsumeRandomLengthString(40));
    std::string middle = NoQuotes(in.ConsumeRandomLengthString(40));
    std::string last = NoQuotes(in.ConsumeRandomLengthString(40));
    if (!program.empty() && (middle.empty() || !IsBlank(middle[0]))) middle = " " + middle;
    if (!program.empty()) {
        std::string written = "\"" + program + "\"" + middle + "\"" + last + "\"";
        std::string read = written.substr(1, written.size() - 2);
        FUZZ_REQUIRE(RestoreStrippedQuotes(read) == written);
        CommandLaunch launch = LaunchOf(written, find, isFile);
        FUZZ_REQUIRE(launch.program == find(program) && launch.commandLine == written);
    }

    std::string command = in.ConsumeRemainingBytesAsString();
    std::string restored = RestoreStrippedQuotes(command);
    FUZZ_REQUIRE(restored == command || restored == "\"" + command + "\"");
    FUZZ_REQUIRE(RestoreStrippedQuotes(restored) == restored);

    finds = 0;
    CommandLaunch launch = LaunchOf(command, find, isFile);
    FUZZ_REQUIRE(!(launch.found() && !launch.refusal.empty()));
    if (command.empty()) {
        FUZZ_REQUIRE(!launch.found() && launch.refusal.empty());
        return 0;
    }
    if (command[0] == '"') {
        std::size_t close = command.find('"', 1);
        if (close == std::string::npos) FUZZ_REQUIRE(!launch.found());
        else FUZZ_REQUIRE(launch.program == find(command.substr(1, close - 1)));
        return 0;
    }
    bool whole = command.find_first_of("\\/:") != std::string::npos &&
                 command.find('"') == std::string::npos && isFile(command);
    if (whole) {
        FUZZ_REQUIRE(launch.program == command && launch.commandLine == "\"" + command + "\"");
        return 0;
    }
    // Every blank-ended prefix that names a program could be the one meant:
    // exactly one starts, more than one is refused.
    int named = 0;
    std::string meant;
    for (std::size_t end = 1; end <= command.size(); ++end)
        if ((end == command.size() || IsBlank(command[end])) && !IsBlank(command[end - 1]) &&
            !find(command.substr(0, end)).empty()) {
            ++named;
            meant = command.substr(0, end);
        }
    FUZZ_REQUIRE(launch.found() == (named == 1));
    FUZZ_REQUIRE(launch.refusal.empty() == (named < 2));
    if (launch.found()) {
        // The program gets the line as written, its name quoted.
        FUZZ_REQUIRE(launch.program == find(meant));
        FUZZ_REQUIRE(launch.commandLine == "\"" + meant + "\"" + command.substr(meant.size()));
    }
    return 0;
}
