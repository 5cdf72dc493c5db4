#include "net/downloader.h"

#include "net/staged_file.h"
#include "platform/run_log.h"
#include "platform/window_class.h"

namespace {
constexpr char kClassName[] = "TSCheckDownloader";
constexpr char kStartErrorText[] = "Error Starting Download";
constexpr char kStartErrorTitle[] = "Download Error";
}  // namespace

void ShowSystemMessage(const std::string& text, const std::string& title) {
    LogLine({"Message: ", text});
    ::MessageBoxA(::GetActiveWindow(), text.c_str(), title.c_str(), MB_OK);
}

Downloader::Downloader(Notice startErrorNotice, const WinInetApi* api)
    : api_(api), startErrorNotice_(std::move(startErrorNotice)) {
    // A registered message cannot be mistaken for another window's own,
    // should WinINet post to a handle that has since been reused.
    noticeMessage_ = ::RegisterWindowMessageA("TSCheck.Downloader.Notice");
    if (noticeMessage_ && EnsureWindowClass(kClassName, ForwardToOwner<Downloader>))
        ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          ::GetModuleHandleA(nullptr), this);
}

Downloader::~Downloader() {
    alive_.reset();
    if (list_.Count() > 0) CancelAllDownload();
    transfers_.clear();
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void Downloader::BeginDownload(const std::string& url, const std::string& saveFile,
                               std::uint32_t asyncReadOptions, bool /*restartModePossible*/) {
    BeginDownload(url, std::make_shared<StagedSaveFile>(saveFile), saveFile, asyncReadOptions);
}

void Downloader::BeginDownload(const std::string& url, std::shared_ptr<DownloadTarget> target,
                               const std::string& saveFile, std::uint32_t asyncReadOptions) {
    auto transfer = std::make_unique<UrlTransfer>(NextTransferId(), hwnd_, noticeMessage_, api_);
    if (!hwnd_ || !transfer->Start(url, std::move(target), saveFile, asyncReadOptions)) {
        if (startErrorNotice_) startErrorNotice_(kStartErrorText, kStartErrorTitle);
        return;
    }
    std::uint32_t id = transfer->id();
    transfers_.emplace(id, std::move(transfer));
    list_.Add(saveFile);
}

bool Downloader::CancelAllDownload() {
    // Destroying a transfer closes its request and deletes its partial data.
    auto cancelled = std::move(transfers_);
    transfers_.clear();
    list_.Reset();
    return true;
}

LRESULT Downloader::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == noticeMessage_) {
        OnNotice(static_cast<std::uint32_t>(wParam), static_cast<TransferNotice>(lParam));
        return 0;
    }
    if (message == WM_TIMER) {
        ::KillTimer(hwnd_, wParam);
        OnNotice(static_cast<std::uint32_t>(wParam), TransferNotice::Continue);
        return 0;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

void Downloader::OnNotice(std::uint32_t id, TransferNotice notice) {
    auto found = transfers_.find(id);
    if (found == transfers_.end()) return;  // cancelled: nothing more to say
    TransferStep step = found->second->Handle(notice);
    if (step == TransferStep::Progress) {
        std::int64_t expected = found->second->BytesExpected();
        std::int64_t read = found->second->BytesRead();
        if (OnBytesReceived) {
            std::weak_ptr<int> alive = alive_;
            std::string saveFile = found->second->SaveFile();
            OnBytesReceived(read, saveFile);
            if (alive.expired()) return;
            found = transfers_.find(id);
            if (found == transfers_.end()) return;
        }
        if (expected != 0 && OnDownloadProgress) {
            // Copies: the handler may cancel and so destroy the transfer.
            std::string saveFile = found->second->SaveFile();
            OnDownloadProgress(found->second->BytesRead(), expected, saveFile);
        }
    } else if (step == TransferStep::Succeeded || step == TransferStep::Failed) {
        std::unique_ptr<UrlTransfer> ended = std::move(found->second);
        transfers_.erase(found);
        OnEnded(std::move(ended), step == TransferStep::Succeeded);
    }
}

void Downloader::OnEnded(std::unique_ptr<UrlTransfer> transfer, bool succeeded) {
    std::weak_ptr<int> alive = alive_;
    const std::string saveFile = transfer->SaveFile();
    if (succeeded) {
        if (OnDownloadComplete) OnDownloadComplete(transfer->BytesExpected(), saveFile);
    } else {
        if (OnDownloadError) OnDownloadError(saveFile);
    }
    if (alive.expired()) return;

    // A handler may have cancelled everything; then this download is
    // forgotten and there is nothing left to finish.
    if (!list_.Record(saveFile, succeeded ? download_status::kAllData : download_status::kError))
        return;
    auto failed = list_.FailedIfAllFinished();
    if (!failed) return;
    CancelAllDownload();
    if (OnDownloadAllComplete) OnDownloadAllComplete(*failed);
}
