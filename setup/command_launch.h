// Which program a command line from the settings starts. The program runs
// elevated, so a command must never start a program other than the one its
// author wrote, whatever somebody planted at a path CreateProcess would try
// first ("C:\Program.exe" for an unquoted "C:\Program Files\...").
#pragma once

#include <functional>
#include <string>

// The profile read drops the quotes around a whole value, so
// "C:\a b\p.exe" "/q" arrives as C:\a b\p.exe" "/q. A value that shows
// that cut (no quote at its start, an even number of quotes, the first one
// closing a program name) gets its quotes back.
std::string RestoreStrippedQuotes(const std::string& value);

// The full path of the program CreateProcess would start for `name` (".exe"
// added when it has no extension, searched for as the system does when it
// has no folder); empty when there is none.
using ProgramFinder = std::function<std::string(const std::string& name)>;
std::string FindProgram(const std::string& name);

// Whether `path` names an existing file, not a folder.
using FileTest = std::function<bool(const std::string& path)>;
bool NamesAFile(const std::string& path);

struct CommandLaunch {
    std::string program;      // the decided program, for lpApplicationName
    std::string commandLine;  // the line the program gets, its name quoted
    std::string refusal;      // why nothing may start; empty when it may
    bool found() const { return !program.empty(); }
};

// The program a command starts:
// - a whole value that names a file runs as that one file, blanks and all;
// - a quoted program is the text inside the quotes;
// - otherwise each blank-ended prefix is tried as CreateProcess would; more
//   than one that names a program is ambiguous and refused, and the one
//   that does is the program.
// Neither program nor refusal: no such program.
CommandLaunch LaunchOf(const std::string& command, const ProgramFinder& find,
                       const FileTest& isFile = NamesAFile);
