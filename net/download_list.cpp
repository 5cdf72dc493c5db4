#include "net/download_list.h"

void DownloadList::Reset() {
    files_.assign(1, std::string());
    statuses_.assign(1, download_status::kError);
}

void DownloadList::Add(const std::string& saveFile) {
    files_.push_back(saveFile);
    statuses_.push_back(download_status::kStarted);
}

bool DownloadList::Record(const std::string& saveFile, std::uint8_t status) {
    // Only a running entry can end; a second download to the same file
    // would otherwise overwrite the first one's status and never finish.
    for (std::size_t i = 1; i < files_.size(); ++i) {
        if (files_[i] == saveFile && statuses_[i] == download_status::kStarted) {
            statuses_[i] = status;
            return true;
        }
    }
    return false;
}

std::optional<std::vector<std::string>> DownloadList::FailedIfAllFinished() const {
    std::vector<std::string> failed(1);
    for (std::size_t i = 1; i < files_.size(); ++i) {
        if (statuses_[i] == download_status::kError)
            failed.push_back(files_[i]);
        else if (statuses_[i] != download_status::kAllData)
            return std::nullopt;
    }
    return failed;
}
