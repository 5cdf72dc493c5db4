// A download's bytes on their way to the save file. They go to a temporary
// file in the save file's folder as they arrive, so memory stays flat
// whatever the size, and only a complete download replaces the save file:
// a failed or cancelled one leaves it as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "net/download_target.h"
#include "platform/owned.h"

class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile() { Discard(); }
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the empty temporary file beside `savePath`. False when that
    // folder cannot be written.
    bool Open(const std::string& savePath);
    // Appends bytes; false when the disk refused them (full, gone, ...).
    bool Write(const void* data, std::size_t size);
    // Puts the written bytes in place of the save file, replacing any
    // earlier file. False, with the save file untouched and the temporary
    // file gone, when that cannot be done.
    bool Commit();
    // Deletes the temporary file; the save file is untouched.
    void Discard() noexcept;

    bool IsOpen() const noexcept { return static_cast<bool>(file_); }
    std::uint64_t BytesWritten() const noexcept { return written_; }
    const std::string& TemporaryPath() const noexcept { return temporaryPath_; }

private:
    OwnedHandle file_;
    std::string savePath_;
    std::string temporaryPath_;
    std::uint64_t written_ = 0;
};

// The download control's own target for a save file: the bytes are staged
// beside it, and only a whole download replaces it.
class StagedSaveFile final : public DownloadTarget {
public:
    explicit StagedSaveFile(std::string savePath) : savePath_(std::move(savePath)) {}
    bool Open() override { return staged_.Open(savePath_); }
    bool Announced(std::int64_t) override { return true; }
    bool Write(const void* data, std::size_t size) override { return staged_.Write(data, size); }
    bool Commit() override { return staged_.Commit(); }
    void Discard() noexcept override { staged_.Discard(); }

private:
    std::string savePath_;
    StagedFile staged_;
};

// The folder part of a path ("." for a bare file name), without the final
// backslash unless it is a root such as "C:\".
std::string FolderOfPath(const std::string& path);
