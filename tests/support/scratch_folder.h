// Test plumbing shared by the suites that touch real files: a folder of one
// test's own under the temporary folder, and a file's bytes.
#pragma once

#include <windows.h>

#include <string>

namespace test_support {

inline bool PathExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The file's bytes; empty when it cannot be read.
inline std::string FileBytes(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    ::CloseHandle(file);
    return bytes;
}

// Removes the folder and everything in it, read-only files too.
inline void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
}

// A new, empty folder named after `label`, this process and a count; it
// goes with all it holds when the object does.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label) {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        static int count = 0;
        path_ = std::string(temp) + "tscheck-" + label + "-" +
                std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++count);
        RemoveTree(path_);  // what a crashed earlier run left
        ::CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, without a final "\".
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // Nothing is left inside.
    bool Empty() const {
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return true;
        bool empty = true;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") empty = false;
        } while (empty && ::FindNextFileA(search, &found));
        ::FindClose(search);
        return empty;
    }

private:
    std::string path_;
};

}  // namespace test_support
