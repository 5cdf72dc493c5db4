#include "app/program_arguments.h"

#include <vector>

#include "app/elevation.h"
#include "platform/text_case.h"

namespace {

constexpr char kQuietCheck[] = "/check";
constexpr char kLog[] = "/log";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The arguments after the program's path, quotes removed.
std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && IsBlank(text[at])) ++at;
        if (at == text.size()) break;
        std::string word;
        bool quoted = false;
        for (; at < text.size() && (quoted || !IsBlank(text[at])); ++at) {
            if (text[at] == '"') quoted = !quoted;
            else word += text[at];
        }
        words.push_back(word);
    }
    return words;
}

}  // namespace

ProgramArguments ReadArguments(const std::string& commandLine) {
    std::size_t at = 0;
    // The program's own path, which may itself hold an argument's text.
    if (!commandLine.empty() && commandLine[0] == '"') {
        std::size_t close = commandLine.find('"', 1);
        at = close == std::string::npos ? commandLine.size() : close + 1;
    }
    while (at < commandLine.size() && !IsBlank(commandLine[at])) ++at;
    while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;

    ProgramArguments arguments;
    arguments.text = commandLine.substr(at);
    for (const std::string& word : SplitArguments(arguments.text)) {
        if (SameIgnoringCase(word, kElevatedMarker)) {
            arguments.elevated = true;
        } else if (SameIgnoringCase(word, kQuietCheck)) {
            arguments.quietCheck = true;
        } else if (SameIgnoringCase(word, kLog)) {
            arguments.log = true;
            arguments.logPath.clear();
        } else if (word.size() >= 5 && SameIgnoringCase(word.substr(0, 5), "/log=")) {
            arguments.log = true;
            arguments.logPath = word.substr(5);
        }
    }
    return arguments;
}

std::string LogArgument(const std::string& fullPath) { return "\"/log=" + fullPath + "\""; }
