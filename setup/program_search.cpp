// The file system's part of command_launch.h.
#include <windows.h>

#include "setup/command_launch.h"

std::string FindProgram(const std::string& name) {
    if (name.empty() || name.find('"') != std::string::npos) return {};
    char found[MAX_PATH] = {};
    char* filePart = nullptr;
    DWORD length = ::SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, &filePart);
    if (length == 0 || length >= MAX_PATH) return {};
    DWORD attributes = ::GetFileAttributesA(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return std::string(found, length);
}

bool NamesAFile(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
