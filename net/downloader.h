// The download control: downloads URLs into files of the caller's choosing
// in the background and reports through events on the window thread.
// Events, in order: progress while data arrives (only once the total size
// is known), an error or a completion per file, and DownloadAllComplete once
// no started download is pending any more.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/download_list.h"
#include "net/url_transfer.h"

class Downloader {
public:
    using Notice = std::function<void(const std::string& text, const std::string& title)>;

    // `startErrorNotice` tells the user that a download could not start
    // (ShowSystemMessage is the system's box). `api` is the WinINet to use,
    // WinInet() for the system's.
    Downloader(Notice startErrorNotice, const WinInetApi* api);
    // Cancels whatever is still running.
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    // Starts downloading `url` into `saveFile`. When it cannot start
    // (malformed URL, no WinINet) the user sees "Error Starting Download"
    // and no event follows. `asyncReadOptions` are INTERNET_FLAG_* values
    // added to the request's; `restartModePossible` is accepted and unused.
    void BeginDownload(const std::string& url, const std::string& saveFile,
                       std::uint32_t asyncReadOptions = 0, bool restartModePossible = false);
    // The same into a target of the caller's, which decides what a whole
    // download is; `saveFile` names it in the events.
    void BeginDownload(const std::string& url, std::shared_ptr<DownloadTarget> target,
                       const std::string& saveFile, std::uint32_t asyncReadOptions = 0);
    // Cancels every download and forgets them; no event follows for them.
    bool CancelAllDownload();

    std::function<void(std::int64_t bytesRead, std::int64_t bytesExpected,
                       const std::string& saveFile)>
        OnDownloadProgress;
    std::function<void(const std::string& saveFile)> OnDownloadError;
    std::function<void(std::int64_t bytesExpected, const std::string& saveFile)>
        OnDownloadComplete;
    // Not one of the four events: raised whenever data arrives, whether or
    // not the total is known, so a watcher can tell a flowing download from
    // a stalled one.
    std::function<void(std::int64_t bytesRead, const std::string& saveFile)> OnBytesReceived;
    // failed[0] is empty; failed[1..] name the save files that failed.
    std::function<void(const std::vector<std::string>& failed)> OnDownloadAllComplete;

    const DownloadList& Downloads() const noexcept { return list_; }

    // Window-class plumbing for the hidden window that receives the
    // transfers' notices.
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnNotice(std::uint32_t id, TransferNotice notice);
    void OnEnded(std::unique_ptr<UrlTransfer> transfer, bool succeeded);

    HWND hwnd_ = nullptr;
    UINT noticeMessage_ = 0;
    const WinInetApi* api_;
    Notice startErrorNotice_;
    DownloadList list_;
    std::map<std::uint32_t, std::unique_ptr<UrlTransfer>> transfers_;
    // Lets a notice handler see that an event handler destroyed the control.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// The system message box with one OK button, over the active window.
void ShowSystemMessage(const std::string& text, const std::string& title);
