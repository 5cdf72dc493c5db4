// The download control's bookkeeping: the save file of every download
// started since the last reset and the status code each one ended with.
// Slot 0 of both lists is an empty entry that holds no download, so real
// entries start at 1; the failed-files list handed to callers keeps that
// shape (element 0 empty).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace download_status {
inline constexpr std::uint8_t kError = 0;      // the read ended in failure
inline constexpr std::uint8_t kAllData = 6;    // every byte arrived and was saved
inline constexpr std::uint8_t kStarted = 255;  // started and not finished
}  // namespace download_status

class DownloadList {
public:
    DownloadList() { Reset(); }

    // Back to the single empty slot 0.
    void Reset();
    // A new entry at the end, started.
    void Add(const std::string& saveFile);

    // Stores the status of the first still-running entry with this exact
    // name. False when there is none (for instance after a reset).
    bool Record(const std::string& saveFile, std::uint8_t status);

    // When no entry is still running: the failed save files in the order
    // they were started, after an empty element 0. Otherwise nothing.
    std::optional<std::vector<std::string>> FailedIfAllFinished() const;

    // Downloads started since the last reset (entries 1 to Count()).
    std::size_t Count() const noexcept { return files_.size() - 1; }
    const std::vector<std::string>& Files() const noexcept { return files_; }
    const std::vector<std::uint8_t>& Statuses() const noexcept { return statuses_; }

private:
    std::vector<std::string> files_;
    std::vector<std::uint8_t> statuses_;
};
