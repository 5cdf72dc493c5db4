// The command line's arguments. Each is a word of its own, matched without
// regard to case; quotes group blanks into a word and are dropped, so both
// /log="C:\My Logs\a.log" and "/log=C:\My Logs\a.log" name that file.
// Arguments the program does not know are ignored.
#pragma once

#include <string>

struct ProgramArguments {
    bool elevated = false;    // "/elevated": the copy started with administrator rights
    bool quietCheck = false;  // "/check": checks only, answered by the exit code
    bool log = false;         // "/log" or "/log=PATH"
    std::string logPath;      // PATH; empty for the default log
    std::string text;         // everything after the program's own path
};

// `commandLine` as GetCommandLine gives it: the program first, quoted or not.
ProgramArguments ReadArguments(const std::string& commandLine);

// The argument that hands the log at `fullPath` on to another copy.
std::string LogArgument(const std::string& fullPath);
