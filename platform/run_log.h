// The run log that /log asks for: plain text, one line per event, each line
// starting with the local time and the process id. The file is only ever
// appended to, and it is opened with sharing so that the elevated copy can
// write the same file while the copy that started it still has it open.
// Without an open log every line is dropped, so callers log unconditionally.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// How the log may be opened. Anyone can start an elevated run with a log
// path of their choice behind a genuine consent prompt, so such a run
// writes only where the user could: into an existing plain file with one
// link, opened as itself and owned by the user the program runs as, or a
// new file in a plain folder owned by that user. The elevated copy that a
// run started for itself only appends to such an existing file.
enum class LogAccess { CreateOrAppend, UsersOwnOnly, AppendToUsersOwn };

// Opens the log at `path` (relative paths are taken from the current
// folder); empty `path` means TSCheck.log in the temporary folder. Returns
// the full path opened, or empty when the path is refused: a device, a
// folder, anything that is not a plain file on a disk, a file that cannot
// be opened for writing, or one that `access` does not allow. The path
// comes from whoever started the program, and this program may run with
// administrator rights.
std::string OpenRunLog(const std::string& path, LogAccess access);
bool RunLogOpen();
void CloseRunLog();

// Appends one line made of `parts`. Line breaks inside are folded, so that
// one event stays one line.
void LogLine(std::initializer_list<std::string_view> parts);

// The log's form of a line: "YYYY-MM-DD hh:mm:ss.mmm [pid] text" with CR LF.
std::string RunLogLine(int year, int month, int day, int hour, int minute, int second,
                       int millisecond, unsigned long processId,
                       std::initializer_list<std::string_view> parts);

