// File, process and shell helpers (module All_FileManip). Synchronous, ANSI
// paths, no state between calls; folder results end in "\" unless empty.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/system_error.h"
#include "platform/system_facts.h"
#include "system_helpers/win_init.h"

// Deletes the file; a file in use is scheduled for deletion at the next
// Windows start instead. On the NT family the file is opened as itself and
// deleted through that handle; a reparse point or a file with more than one
// hard link at the path is left alone. Lets pending window events run after
// the delete.
void DeleteFileOrDefer(const std::string& path);
void DeleteAtRestart(const std::string& path, const SystemFacts& system);


std::string ShortPathName(const std::string& path);
std::string AddTrailingBackslash(std::string path);
// The temporary folder, ending in "\"; empty when there is none, so that
// nothing is ever saved relative to the current folder.
std::string TempFolder();
// Where Run Setup stages the setup program: on the NT family with
// administrator rights, the Windows folder's own Temp, which nothing the
// user sets can move; otherwise the user's temporary folder (TempFolder).
// Ends in "\"; empty when there is none.
std::string SetupStagingRoot(const SystemFacts& system);
// The system's Windows folder, as the system names it, ending in "\"; empty
// when it cannot be had. Never %WinDir%, which the user sets.
std::string WindowsFolder();

// Bytes as megabytes in the user's locale, "###,###,##0.00 MB".
std::string FormatMegabytes(std::int64_t bytes);

// Waits until the process of the (borrowed) handle has ended and returns its
// exit code; window events go on meanwhile. The handle, kept from the start
// of the process, cannot name another process as a reused id could. 0 at
// once for no handle.
std::uint32_t WaitForProcessExit(HANDLE process);

// ShellExecuteEx with the verb "runas" (elevate) or "open". `directory` is
// the program's working folder; empty leaves the choice to the shell.
SystemResult ShellRun(const std::string& file, bool elevate, const std::string& parameters,
                      std::int32_t showCommand, const std::string& directory = "");
