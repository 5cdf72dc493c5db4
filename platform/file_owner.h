// Whose a file or folder is, for what the elevated program writes on the
// user's behalf: a log or a shortcut goes only where the user could write
// anyway, never into a place that only administrators may change.
#pragma once

#include <windows.h>

// This process runs with an elevated token (Vista and later, a consent
// given or a run as administrator); false elsewhere and where unknown.
bool ProcessIsElevated();

// The owner of the open file or folder (opened with READ_CONTROL) is `sid`.
// False when it cannot be told.
bool OwnedBy(HANDLE object, PSID sid);

// The same for the user this process runs as (the token's user: an
// elevated token has the same user as its limited half).
bool OwnedByProcessUser(HANDLE object);
