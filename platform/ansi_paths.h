// Paths for the program's ANSI file calls. Windows keeps paths in UTF-16; an
// ANSI call sees a path only through the code page and only up to MAX_PATH
// characters, so a folder with a long path or a name outside the code page
// comes back empty or wrong from the ANSI queries. These helpers ask the wide
// calls where the system has them (the NT family, bound at run time) and hand
// back an ANSI path that names the same file: the path itself when the code
// page holds it, else its short (8.3) form. Windows 9x, whose paths are ANSI
// anyway, answers through the ANSI calls.
#pragma once

#include <string>

// An ANSI path that names the same existing file or folder as `wide` and
// fits the ANSI calls; empty when there is none.
std::string AnsiPathOf(const std::wstring& wide);

// The temporary folder, ending in "\"; empty when the system names none or
// the folder it names does not exist.
std::string SystemTempFolder();

// The full path of the running executable; empty when it has no ANSI form.
std::string ExecutablePath();
