// Files that the elevated program writes or deletes in folders that the
// user, or anything running as the user, can change: the program folder
// (often Downloads), Favorites and the temporary folder. A junction, a
// symbolic link or a hard link put there between a check and the use must
// not turn a write or a delete into one of another file. So files are made
// new, opened as themselves (never through a reparse point), checked
// through the handle, and deleted through that same handle.
#pragma once

#include <windows.h>

#include <string>

#include "platform/owned.h"

// A file that did not exist before: CREATE_NEW, which never opens what a
// link at the path points to. Empty when the name is taken.
OwnedHandle CreateNewFile(const std::string& path, DWORD access, DWORD share);

// The existing file at `path` itself, not the target of a reparse point.
// Empty when it cannot be opened, and empty with `refused` set when it is a
// reparse point, a folder or a file with more than one hard link.
OwnedHandle OpenUnlinkedFile(const std::string& path, DWORD access, DWORD share,
                             bool* refused = nullptr);

// The existing folder at `path` itself, opened for listing and reading its
// security (FILE_LIST_DIRECTORY | READ_CONTROL) with `share`. Empty when it
// cannot be opened or is no plain folder: a reparse point (a junction, a
// link) or a file.
OwnedHandle OpenUnlinkedFolder(const std::string& path, DWORD share);

// Marks the file of an open handle (opened with DELETE access) for deletion
// when its last handle closes, and clears a read-only attribute first.
// False where the system offers no such call (Windows 9x) or it fails.
bool DeleteThroughHandle(HANDLE file);

// The access to add for DeleteThroughHandle: DELETE on the NT family; the
// Windows 9x file calls know no such right.
DWORD DeleteAccess();
