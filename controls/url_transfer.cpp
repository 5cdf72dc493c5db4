#include "controls/url_transfer.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/critical_section.h"

// What WinINet's threads and the window thread share for one transfer. The
// read buffer is handed to WinINet for reads that complete later, so it must
// outlive the transfer until WinINet has closed every handle it made for it.
struct UrlTransfer::Channel {
    HWND window = nullptr;
    UINT message = 0;
    std::uint32_t id = 0;
    std::vector<char> buffer;
    INTERNET_BUFFERSA read{};  // WinINet may still write the length later

    // Guarded by the registry lock.
    DWORD_PTR result = 0;
    HINTERNET created = nullptr;
    int liveHandles = 0;
    bool released = false;
};

namespace {

// Channels by transfer id (the callback context). An entry stays until the
// transfer has let go and WinINet has reported every handle closed.
struct Registry {
    CriticalSection lock;
    std::map<std::uint32_t, std::shared_ptr<UrlTransfer::Channel>> channels;
};

// Never destroyed: WinINet's threads may still call back while the process
// is ending and static objects are being torn down.
Registry& Channels() {
    static Registry* registry = new Registry;
    return *registry;
}

void ForgetIfDone(std::uint32_t id, const UrlTransfer::Channel& channel) {
    if (channel.released && channel.liveHandles <= 0) Channels().channels.erase(id);
}

void CALLBACK StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD) {
    HWND window = nullptr;
    UINT message = 0;
    TransferNotice notice{};
    {
        Registry& registry = Channels();
        CriticalSectionScope lock(registry.lock);
        auto found = registry.channels.find(static_cast<std::uint32_t>(context));
        if (found == registry.channels.end()) return;
        UrlTransfer::Channel& channel = *found->second;
        const auto* async = static_cast<const INTERNET_ASYNC_RESULT*>(info);
        switch (status) {
            case INTERNET_STATUS_HANDLE_CREATED:
                ++channel.liveHandles;
                channel.created = reinterpret_cast<HINTERNET>(async->dwResult);
                notice = TransferNotice::HandleCreated;
                break;
            case INTERNET_STATUS_REQUEST_COMPLETE:
                channel.result = async->dwResult;
                notice = TransferNotice::RequestComplete;
                break;
            case INTERNET_STATUS_HANDLE_CLOSING:
                --channel.liveHandles;
                ForgetIfDone(found->first, channel);
                return;
            default:
                return;
        }
        if (channel.released) return;
        window = channel.window;
        message = channel.message;
    }
    ::PostMessageA(window, message, static_cast<WPARAM>(context), static_cast<LPARAM>(notice));
}

bool IsSupportedUrl(const WinInetApi& api, const std::string& url) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;  // non-zero: report where the host is
    if (url.empty() || !api.InternetCrackUrlA(url.c_str(), 0, 0, &parts)) return false;
    bool known = parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS ||
                 parts.nScheme == INTERNET_SCHEME_FTP;
    return known && parts.dwHostNameLength > 0;
}

}  // namespace

std::uint32_t NextTransferId() {
    static std::atomic<std::uint32_t> last{0};
    std::uint32_t id = ++last;
    return id != 0 ? id : ++last;
}

UrlTransfer::UrlTransfer(std::uint32_t id, HWND window, UINT message)
    : id_(id), window_(window), message_(message) {}

UrlTransfer::~UrlTransfer() {
    ::KillTimer(window_, id_);
    CloseConnection();
    staged_.Discard();
}

bool UrlTransfer::Start(const std::string& url, const std::string& saveFile, DWORD extraFlags) {
    const WinInetApi* api = WinInet();
    if (!api || state_ != State::Idle || saveFile.empty() || !IsSupportedUrl(*api, url))
        return false;
    saveFile_ = saveFile;
    if (!staged_.Open(saveFile)) {
        // Reported like a failed read, and never from inside this call.
        state_ = State::Unwritable;
        PostNotice(TransferNotice::Continue);
        return true;
    }

    // The user's Internet settings, proxy included, as the system's own
    // browser and downloads use them.
    session_.reset(api->InternetOpenA("TSCheck", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                      INTERNET_FLAG_ASYNC));
    if (!session_ ||
        api->InternetSetStatusCallbackA(session_.get(), StatusCallback) ==
            INTERNET_INVALID_STATUS_CALLBACK) {
        session_.reset();
        staged_.Discard();
        return false;
    }

    channel_ = std::make_shared<Channel>();
    channel_->window = window_;
    channel_->message = message_;
    channel_->id = id_;
    channel_->buffer.resize(kReadSize);
    {
        CriticalSectionScope lock(Channels().lock);
        Channels().channels[id_] = channel_;
    }

    // Always from the server: a setup program must never come from a stale
    // cache, and a second copy in the cache would only cost disk space.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                  extraFlags;
    HINTERNET request = api->InternetOpenUrlA(session_.get(), url.c_str(), nullptr, 0, flags, id_);
    if (request) {
        request_.reset(request);
        state_ = State::Opened;
        PostNotice(TransferNotice::Continue);
        return true;
    }
    if (::GetLastError() == ERROR_IO_PENDING) {
        state_ = State::Opening;
        lastPause_ = ::GetTickCount();
        return true;
    }
    CloseConnection();
    staged_.Discard();
    state_ = State::Idle;
    return false;
}

TransferStep UrlTransfer::Handle(TransferNotice notice) {
    if (notice == TransferNotice::HandleCreated) {
        // Known before the open completes, so a cancel can close it.
        if (state_ == State::Opening && !request_) {
            CriticalSectionScope lock(Channels().lock);
            request_.reset(channel_->created);
        }
        return TransferStep::Nothing;
    }
    if (notice == TransferNotice::Continue) {
        switch (state_) {
            case State::Unwritable: return Fail();
            case State::Opened: return AfterOpen();
            case State::Reading: return ReadNext();
            default: return TransferStep::Nothing;
        }
    }

    DWORD_PTR result = 0;
    {
        // Taking the lock also makes WinINet's writes to the read buffer
        // visible here.
        CriticalSectionScope lock(Channels().lock);
        result = channel_ ? channel_->result : 0;
    }
    if (state_ == State::Opening) {
        if (!result) return Fail();
        HINTERNET opened = reinterpret_cast<HINTERNET>(result);
        if (opened != request_.get()) {
            // The early handle was another of WinINet's; the session owns it.
            request_.Release();
            request_.reset(opened);
        }
        return AfterOpen();
    }
    if (state_ == State::ReadPending) {
        if (!result) return Fail();
        state_ = State::Reading;
        // A read that had to wait only announces that data has arrived; the
        // next read returns it. Should a system fill the buffer instead,
        // it says how much in the length.
        DWORD count = channel_->read.dwBufferLength;
        if (count != 0 && count < kReadSize) return Consume(count);
        return ReadNext();
    }
    return TransferStep::Nothing;
}

TransferStep UrlTransfer::AfterOpen() {
    if (!ResponseAcceptable()) return Fail();
    bytesExpected_ = AnnouncedLength();
    state_ = State::Reading;
    return ReadNext();
}

TransferStep UrlTransfer::ReadNext() {
    // IRF_NO_WAIT returns what has arrived instead of waiting for a full
    // buffer, so a slow server still gives steady progress.
    INTERNET_BUFFERSA& read = channel_->read;
    read = INTERNET_BUFFERSA{};
    read.dwStructSize = sizeof read;
    read.lpvBuffer = channel_->buffer.data();
    read.dwBufferLength = kReadSize;
    if (WinInet()->InternetReadFileExA(request_.get(), &read, IRF_NO_WAIT, id_))
        return Consume(read.dwBufferLength);
    if (::GetLastError() == ERROR_IO_PENDING) {
        state_ = State::ReadPending;
        lastPause_ = ::GetTickCount();
        return TransferStep::Nothing;
    }
    return Fail();
}

TransferStep UrlTransfer::Consume(DWORD count) {
    if (count == 0) return Finish();
    if (!staged_.Write(channel_->buffer.data(), count)) return Fail();
    bytesRead_ += count;
    ScheduleContinue();
    return TransferStep::Progress;
}

TransferStep UrlTransfer::Finish() {
    // A connection that ends before the announced length is a truncated
    // file, not a download: WinINet reports it as a normal end of data.
    if (bytesExpected_ > 0 && bytesRead_ < bytesExpected_) return Fail();
    state_ = State::Finished;
    CloseConnection();
    return staged_.Commit() ? TransferStep::Succeeded : TransferStep::Failed;
}

TransferStep UrlTransfer::Fail() {
    state_ = State::Finished;
    CloseConnection();
    staged_.Discard();
    return TransferStep::Failed;
}

bool UrlTransfer::ResponseAcceptable() const {
    DWORD code = 0;
    DWORD size = sizeof code;
    if (WinInet()->HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                  &code, &size, nullptr))
        return code >= 200 && code < 300;
    // FTP has no status line; an HTTP request without one got no answer.
    return ::GetLastError() == ERROR_INTERNET_INCORRECT_HANDLE_TYPE;
}

std::int64_t UrlTransfer::AnnouncedLength() const {
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!WinInet()->HttpQueryInfoA(request_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return 0;
    char* end = nullptr;
    long long length = std::strtoll(text, &end, 10);
    return end != text && length > 0 ? length : 0;
}

void UrlTransfer::PostNotice(TransferNotice notice) const {
    ::PostMessageA(window_, message_, id_, static_cast<LPARAM>(notice));
}

void UrlTransfer::ScheduleContinue() {
    // Posted messages go before input, painting and timers. When data keeps
    // coming without a pause, continue from a timer now and then, so that
    // other work waiting on this thread gets its turn.
    DWORD now = ::GetTickCount();
    if (now - lastPause_ >= kLongestRunMs &&
        HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0) {
        lastPause_ = now;
        ::SetTimer(window_, id_, USER_TIMER_MINIMUM, nullptr);
    } else {
        PostNotice(TransferNotice::Continue);
    }
}

void UrlTransfer::CloseConnection() noexcept {
    // Closing may call back on this thread, so the lock is not held here.
    request_.reset();
    session_.reset();
    if (!channel_) return;
    CriticalSectionScope lock(Channels().lock);
    channel_->released = true;
    ForgetIfDone(id_, *channel_);
}
