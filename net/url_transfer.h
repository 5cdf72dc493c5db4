// One download over WinINet in asynchronous mode, streamed into a
// DownloadTarget. WinINet does the network work on its own threads and reports
// through a status callback; the callback only posts a notice to the
// owner's window, so every step here (reading, writing, finishing) runs on
// the window thread and never waits for the network.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/content_length.h"
#include "net/download_target.h"
#include "net/wininet_api.h"

// What handling a notice did to the transfer.
enum class TransferStep { Nothing, Progress, Succeeded, Failed };

// Notices posted to the owner's window as (message, transfer id, kind).
enum class TransferNotice : LPARAM { HandleCreated = 1, RequestComplete = 2, Continue = 3 };

class UrlTransfer {
public:
    // Notices for this transfer go to `window` as `message`; WM_TIMER with
    // the transfer id as timer id means Continue as well. `api` may be null
    // (no WinINet): the transfer then cannot start.
    UrlTransfer(std::uint32_t id, HWND window, UINT message, const WinInetApi* api);
    // Closes the request (cancelling it) and discards any partial data.
    ~UrlTransfer();
    UrlTransfer(const UrlTransfer&) = delete;
    UrlTransfer& operator=(const UrlTransfer&) = delete;

    // Starts the GET into `target`; `saveFile` names it in events. False
    // when it cannot start at all (malformed URL, WinINet missing). A target
    // that cannot be opened is reported later, as a Failed step, like any
    // other failed read. `extraFlags` are INTERNET_FLAG_* values added to
    // the request's.
    bool Start(const std::string& url, std::shared_ptr<DownloadTarget> target,
               const std::string& saveFile, DWORD extraFlags);

    TransferStep Handle(TransferNotice notice);

    std::uint32_t id() const noexcept { return id_; }
    const std::string& SaveFile() const noexcept { return saveFile_; }
    std::int64_t BytesRead() const noexcept { return bytesRead_; }
    // The announced length; 0 until known, and 0 when never announced.
    // An announced length must be met exactly, and a malformed one fails
    // the download.
    std::int64_t BytesExpected() const noexcept { return bytesExpected_; }

    // The largest block handed on at once: large blocks keep the per-block
    // cost (progress, writing, hashing, a pass through the window's queue)
    // small next to the copying.
    static constexpr DWORD kReadSize = 1u << 20;
    // The longest stretch of back-to-back reads before a block is handed
    // on, and before waiting window work is let in.
    static constexpr DWORD kLongestRunMs = 50;
    // A read asks for what arrived so far in this long at the download's
    // rate, at least: large reads where data flows fast, small ones where
    // it trickles.
    static constexpr DWORD kReadAheadMs = 100;

    struct Channel;

private:
    enum class State {
        Idle, Unwritable, Opening, Opened, Reading, WaitingForData, ReadPending, Finished
    };

    // WinINet finished what it was asked: the open, or a read that waited.
    TransferStep OnRequestComplete();
    TransferStep AfterOpen();
    TransferStep ReadNext();
    // What arrives in kReadAheadMs at the rate so far; 0 until it is known.
    DWORD ReadAhead() const;
    TransferStep Consume(DWORD count);
    TransferStep Finish();
    // Ends the transfer as failed; `reason` goes to the run log.
    TransferStep Fail(const char* reason);
    bool ResponseAcceptable() const;
    // The answer came from the server asked, not from one a redirect led to.
    bool StayedOnServer() const;
    // The announced length, DownloadTarget::kNoLength when none, nullopt
    // when the header cannot be trusted.
    std::optional<std::int64_t> AnnouncedLength() const;
    void PostNotice(TransferNotice notice) const;
    void ScheduleContinue();
    void CloseConnection() noexcept;

    std::uint32_t id_;
    HWND window_;
    UINT message_;
    const WinInetApi* api_;
    std::string saveFile_;
    std::string url_;
    State state_ = State::Idle;
    std::shared_ptr<Channel> channel_;
    InternetHandle session_;
    InternetHandle request_;
    std::shared_ptr<DownloadTarget> target_;
    std::int64_t bytesRead_ = 0;
    std::int64_t bytesExpected_ = 0;
    bool lengthAnnounced_ = false;
    DWORD lastPause_ = 0;  // when the thread was last handed back
    DWORD pendingOffset_ = 0;  // bytes gathered before the read that waits
    DWORD firstDataAt_ = 0;    // when the first bytes were handed on
};


// A fresh transfer id, unique in the process.
std::uint32_t NextTransferId();
