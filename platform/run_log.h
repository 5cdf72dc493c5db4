// The run log that /log asks for: plain text, one line per event, each line
// starting with the local time and the process id. The file is only ever
// appended to, and it is opened with sharing so that the elevated copy can
// write the same file while the copy that started it still has it open.
// Without an open log every line is dropped, so callers log unconditionally.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Opens the log at `path` (relative paths are taken from the current
// folder); empty `path` means TSCheck.log in the temporary folder. Returns
// the full path opened, or empty when the path is refused: a device, a
// folder, anything that is not a plain file on a disk, or a file that
// cannot be opened for writing. The path comes from whoever started the
// program, and this program may run with administrator rights.
std::string OpenRunLog(const std::string& path);
bool RunLogOpen();
void CloseRunLog();

// Appends one line made of `parts`. Line breaks inside are folded, so that
// one event stays one line.
void LogLine(std::initializer_list<std::string_view> parts);

// The log's form of a line: "YYYY-MM-DD hh:mm:ss.mmm [pid] text" with CR LF.
std::string RunLogLine(int year, int month, int day, int hour, int minute, int second,
                       int millisecond, unsigned long processId,
                       std::initializer_list<std::string_view> parts);

