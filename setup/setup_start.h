// Starting the verified setup program. The path names the file only until
// the process exists: a folder above it may be a link that the user re-points
// between the checks and the start. So the program is started by path with
// CreateProcess (no shell association decides what runs), suspended, and it
// runs only when the image the new process mapped is the very file that was
// verified and is still held locked.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/owned.h"
#include "platform/system_error.h"

// Whether two open handles are one file: the same volume and file index.
bool SameFile(HANDLE a, HANDLE b);

// The image file of a process, opened as itself (never through a reparse
// point) for reading its identity. Nothing where the system cannot name it
// (Windows 9x, NT 4.0 and 2000 have no such query); an empty handle where
// it names one that cannot be opened, which proves nothing either way.
std::optional<OwnedHandle> OpenProcessImage(HANDLE process);

// Starts `path` in `folder`, shown normally. Where the system names the new
// process's image, it must be `verifiedFile`, or the process is ended
// before it ran and ERROR_ACCESS_DENIED comes back. After the start, the
// file and its folder are named for deletion at the next restart.
SystemResult StartVerifiedSetup(const std::string& path, const std::string& folder,
                                HANDLE verifiedFile);
