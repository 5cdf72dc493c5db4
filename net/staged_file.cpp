#include "net/staged_file.h"

#include <algorithm>

#include "platform/move_file.h"

std::string FolderOfPath(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        // "C:setup.exe" lives in drive C's current folder.
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string(".");
    }
    std::string folder = path.substr(0, slash);
    if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) folder += '\\';
    return folder;
}

bool StagedFile::Open(const std::string& savePath) {
    Discard();
    char name[MAX_PATH] = {};
    // GetTempFileNameA creates the file, so the name is ours alone.
    if (savePath.empty() || !::GetTempFileNameA(FolderOfPath(savePath).c_str(), "dl", 0, name))
        return false;
    temporaryPath_ = name;
    file_.reset(::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        Discard();
        return false;
    }
    savePath_ = savePath;
    written_ = 0;
    return true;
}

bool StagedFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (file_ && size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD done = 0;
        if (!::WriteFile(file_.get(), bytes, chunk, &done, nullptr) || done == 0) return false;
        bytes += done;
        size -= done;
        written_ += done;
    }
    return static_cast<bool>(file_);
}

bool StagedFile::Commit() {
    if (!file_) return false;
    file_.reset();
    // A read-only file is not ours to replace (Windows refuses, some
    // emulations do not), and a folder cannot be replaced by a file.
    DWORD attributes = ::GetFileAttributesA(savePath_.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    bool placed = false;
    if (!exists || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0) {
        placed = MoveFileExBound(temporaryPath_.c_str(), savePath_.c_str(),
                                 MOVEFILE_REPLACE_EXISTING) != FALSE;
        if (!placed && ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
            // Windows 9x has no MoveFileExA: make room, then rename.
            placed = (!exists || ::DeleteFileA(savePath_.c_str())) &&
                     ::MoveFileA(temporaryPath_.c_str(), savePath_.c_str());
        }
    }
    if (!placed) {
        Discard();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

void StagedFile::Discard() noexcept {
    file_.reset();
    if (!temporaryPath_.empty()) ::DeleteFileA(temporaryPath_.c_str());
    temporaryPath_.clear();
    written_ = 0;
}
