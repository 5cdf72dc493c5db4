// Reading string values from the registry (module All_Registry).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// A REG_SZ value; empty for a missing key or value, or one of another type.
std::optional<std::string> RegReadString(HKEY root, const std::string& subKey,
                                         const std::string& valueName);

// The Program Files folder from the registry, ending in "\"; empty when unknown.
std::string ProgramFilesFolder();
