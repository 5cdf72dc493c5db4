// Reading and writing a small file in one piece, straight through the
// system's file calls (the C++ streams would bring a locale runtime that
// older Windows cannot load).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The file's bytes; empty when it cannot be opened or read to its end.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Creates or truncates the file and writes the bytes; false when any step
// fails (the file may then hold part of them).
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Writes the bytes as a new file (never into an existing one, nor through a
// link at the path) that is either whole or absent: a write that fails part
// way removes what it wrote. False when the file is not there whole.
bool WriteNewWholeFile(const std::string& path, std::string_view bytes);

// Writes the bytes to an open file from its start and cuts it there.
bool ReplaceContent(HANDLE file, std::string_view bytes);
