// Reading and writing a small file in one piece, straight through the
// system's file calls (the C++ streams would bring a locale runtime that
// older Windows cannot load).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The file's bytes; empty when it cannot be opened or read to its end.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Creates or truncates the file and writes the bytes; false when any step
// fails (the file may then hold part of them).
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Writes the bytes as a file that is either whole or absent: a write that
// fails part way removes what it wrote. False when the file is not there
// whole.
bool WriteWholeFileOrNothing(const std::string& path, std::string_view bytes);
