#include "setup/command_launch.h"

#include <algorithm>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Quoted(const std::string& program) { return "\"" + program + "\""; }

}  // namespace

std::string RestoreStrippedQuotes(const std::string& value) {
    if (value.empty() || value.front() == '"') return value;
    std::size_t first = value.find('"');
    if (first == std::string::npos || first == 0) return value;
    if (std::count(value.begin(), value.end(), '"') % 2 != 0) return value;
    // Written with its quotes, the first quote here closed the program name.
    if (first + 1 < value.size() && !IsBlank(value[first + 1])) return value;
    return "\"" + value + "\"";
}

CommandLaunch LaunchOf(const std::string& command, const ProgramFinder& find,
                       const FileTest& isFile) {
    CommandLaunch launch;
    if (command.empty()) return launch;
    if (command.front() == '"') {
        std::size_t close = command.find('"', 1);
        if (close == std::string::npos) return launch;
        launch.program = find(command.substr(1, close - 1));
        launch.commandLine = command;
        return launch;
    }
    // What was written as the whole value is what its author meant.
    bool isPath = command.find_first_of("\\/:") != std::string::npos;
    if (isPath && command.find('"') == std::string::npos && isFile(command)) {
        launch.program = command;
        launch.commandLine = Quoted(command);
        return launch;
    }
    // CreateProcess takes the first blank-ended prefix that names a program.
    std::size_t chosenEnd = 0;
    for (std::size_t end = 0; end <= command.size(); ++end) {
        if (end < command.size() && !IsBlank(command[end])) continue;
        if (end == 0 || IsBlank(command[end - 1])) continue;
        std::string program = find(command.substr(0, end));
        if (program.empty()) continue;
        if (!launch.program.empty()) {
            launch.program.clear();
            launch.refusal = "More than one program could be meant by this command. Quote the "
                             "program's path in pelorin.ini.";
            return launch;
        }
        launch.program = program;
        chosenEnd = end;
    }
    if (!launch.program.empty())
        launch.commandLine = Quoted(command.substr(0, chosenEnd)) + command.substr(chosenEnd);
    return launch;
}
