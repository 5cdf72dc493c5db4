// Starting again with administrator rights, at most once. The copy started
// elevated carries a marker argument; if it still lacks the rights (User
// Account Control set never to ask a standard user, or an administrator
// test that fails), it says so instead of starting yet another copy.
#pragma once

#include <string>

// The argument that marks the copy started elevated.
inline constexpr char kElevatedMarker[] = "/elevated";

// The message of an elevated copy that still lacks the rights.
extern const char kStillNotAdministratorMessage[];

// Whether the command line (as GetCommandLine gives it: the program first,
// quoted or not) carries the marker as an argument of its own.
bool HasElevatedMarker(const std::string& commandLine);
