// Reading and writing a small file in one piece, straight through the
// system's file calls (the C++ streams would bring a locale runtime that
// older Windows cannot load).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

// The file's bytes; empty when it cannot be opened or read to its end.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Creates or truncates the file and writes the bytes; the file may hold part
// of them after a failure.
SystemResult WriteWholeFile(const std::string& path, std::string_view bytes);

// Writes the bytes as a new file (never into an existing one, nor through a
// link at the path) that is either whole or absent: a write that fails part
// way removes what it wrote.
SystemResult WriteNewWholeFile(const std::string& path, std::string_view bytes);

// Writes the bytes to an open file from its start and cuts it there.
SystemResult ReplaceContent(HANDLE file, std::string_view bytes);
