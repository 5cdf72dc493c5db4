#include "net/url_transfer.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <vector>

#include "net/same_server.h"
#include "platform/critical_section.h"
#include "platform/run_log.h"

// What WinINet's threads and the window thread share for one transfer.
// Every out-value of a call that may complete later (the read buffer, the
// count of a read, the count of a query for data) lives here, never in a
// frame: WinINet writes through the pointer when the call completes, on its
// own thread, so it must outlive the transfer until WinINet has closed
// every handle it made for it.
struct UrlTransfer::Channel {
    HWND window = nullptr;
    UINT message = 0;
    std::uint32_t id = 0;
    std::vector<char> buffer;
    // Where WinINet puts the count of a read; it may write it later, when
    // the read had to wait. kNoCount until then.
    DWORD count = 0;
    // Where WinINet puts what a query found has arrived, also later when
    // the query had to wait.
    DWORD available = 0;

    // Guarded by the registry lock.
    DWORD_PTR result = 0;
    HINTERNET created = nullptr;
    int liveHandles = 0;
    bool released = false;
};

namespace {

constexpr DWORD kNoCount = 0xFFFFFFFF;

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

UrlTransfer::UrlTransfer(std::uint32_t id, HWND window, UINT message, const WinInetApi* api)
    : id_(id), window_(window), message_(message), api_(api) {
    session_.Bind(api);
    request_.Bind(api);
}

UrlTransfer::~UrlTransfer() {
    ::KillTimer(window_, id_);
    CloseConnection();
    if (target_) target_->Discard();
}

bool UrlTransfer::Start(const std::string& url, std::shared_ptr<DownloadTarget> target,
                        const std::string& saveFile, DWORD extraFlags) {
    if (!api_ || !target || state_ != State::Idle || saveFile.empty() ||
        !IsSupportedUrl(*api_, url))
        return false;
    saveFile_ = saveFile;
    url_ = url;
    target_ = std::move(target);
    if (!target_->Open()) {
        // Reported like a failed read, and never from inside this call.
        state_ = State::Unwritable;
        PostNotice(TransferNotice::Continue);
        return true;
    }

    // The user's Internet settings, proxy included, as the system's own
    // browser and downloads use them.
    session_.reset(api_->InternetOpenA("TSCheck", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                       INTERNET_FLAG_ASYNC));
    if (!session_ ||
        api_->InternetSetStatusCallbackA(session_.get(), StatusCallback) ==
            INTERNET_INVALID_STATUS_CALLBACK) {
        session_.reset();
        target_->Discard();
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
    HINTERNET request = api_->InternetOpenUrlA(session_.get(), url.c_str(), nullptr, 0, flags, id_);
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
    target_->Discard();
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
            case State::Unwritable: return Fail("the file cannot be created");
            case State::Opened: return AfterOpen();
            case State::Reading: return ReadNext();
            default: return TransferStep::Nothing;
        }
    }
    return OnRequestComplete();
}

TransferStep UrlTransfer::OnRequestComplete() {
    DWORD_PTR result = 0;
    DWORD count = kNoCount;
    {
        // Taking the lock also makes WinINet's writes to the read buffer and
        // the count visible here.
        CriticalSectionScope lock(Channels().lock);
        if (channel_) {
            result = channel_->result;
            count = channel_->count;
        }
    }
    if (state_ == State::Opening) {
        if (!result) return Fail("no answer from the server");
        HINTERNET opened = reinterpret_cast<HINTERNET>(result);
        if (opened != request_.get()) {
            // The early handle was another of WinINet's; the session owns it.
            request_.Release();
            request_.reset(opened);
        }
        return AfterOpen();
    }
    if (state_ == State::WaitingForData) {
        if (!result) return Fail("the connection broke off");
        state_ = State::Reading;
        return ReadNext();
    }
    if (state_ == State::ReadPending) {
        if (!result) return Fail("the connection broke off");
        state_ = State::Reading;
        // A read that had to wait either brings its bytes, with their count
        // (some WinINet versions fill the whole buffer first), or only says
        // that data has arrived, leaving the count unwritten: then the next
        // read returns the data. Bytes gathered before it still go on.
        DWORD gathered = pendingOffset_;
        pendingOffset_ = 0;
        if (count != kNoCount) {
            if (count > kReadSize - gathered) return Fail("the read failed");
            if (count == 0) return gathered ? Consume(gathered) : Finish();
            return Consume(gathered + count);
        }
        if (gathered) return Consume(gathered);
        return ReadNext();
    }
    return TransferStep::Nothing;
}

TransferStep UrlTransfer::AfterOpen() {
    if (!ResponseAcceptable()) return Fail("the server did not answer with 200 OK");
    if (!StayedOnServer()) {
        // An answer came, but from another server: refused like a file
        // that failed its checks.
        target_->Refused();
        return Fail("a redirect led to another server");
    }
    std::optional<std::int64_t> length = AnnouncedLength();
    if (!length) return Fail("the Content-Length cannot be trusted");
    LogLine({"Download announced: ", *length == DownloadTarget::kNoLength
                                         ? std::string("no length")
                                         : std::to_string(*length) + " bytes"});
    lengthAnnounced_ = *length != DownloadTarget::kNoLength;
    bytesExpected_ = lengthAnnounced_ ? *length : 0;
    if (!target_->Announced(*length)) return Fail("the announced length is too large");
    state_ = State::Reading;
    return ReadNext();
}

TransferStep UrlTransfer::ReadNext() {
    // Gather what has arrived into one large block before handing it on:
    // each pass through the window's queue, each progress event, write and
    // hash step costs far more than asking WinINet again. Only what WinINet
    // says has arrived is read, so no read has to wait for the network and
    // a slow server still gives steady progress; the block goes on when it
    // is full, when WinINet must wait, or after kLongestRunMs.
    DWORD gathered = 0;
    const DWORD started = ::GetTickCount();
    for (;;) {
        if (!api_->InternetQueryDataAvailable(request_.get(), &channel_->available, 0, id_)) {
            if (::GetLastError() != ERROR_IO_PENDING) return Fail("the read failed");
            state_ = State::WaitingForData;
            lastPause_ = ::GetTickCount();
            return gathered ? Consume(gathered) : TransferStep::Nothing;
        }
        DWORD available = channel_->available;
        if (available == 0) return gathered ? Consume(gathered) : Finish();

        // At least what has arrived, and, once the data flows fast, what
        // arrives in a short while: one large read costs the same as one
        // small one, and WinINet fills it from the connection in large
        // pieces, where its own buffer holds only a few kilobytes. A slow
        // server still gives progress at least every kReadAheadMs or so.
        DWORD wanted = std::min(kReadSize - gathered, std::max(available, ReadAhead()));
        {
            CriticalSectionScope lock(Channels().lock);
            channel_->count = kNoCount;
        }
        if (!api_->InternetReadFile(request_.get(), channel_->buffer.data() + gathered, wanted,
                                    &channel_->count)) {
            if (::GetLastError() != ERROR_IO_PENDING) return Fail("the read failed");
            state_ = State::ReadPending;
            pendingOffset_ = gathered;
            lastPause_ = ::GetTickCount();
            return TransferStep::Nothing;
        }
        DWORD count = channel_->count;
        if (count > wanted) return Fail("the read failed");
        if (count == 0) return gathered ? Consume(gathered) : Finish();
        gathered += count;
        if (gathered == kReadSize || ::GetTickCount() - started >= kLongestRunMs)
            return Consume(gathered);
    }
}

DWORD UrlTransfer::ReadAhead() const {
    if (bytesRead_ == 0) return 0;
    DWORD elapsed = ::GetTickCount() - firstDataAt_;
    if (elapsed < kReadAheadMs) return 0;  // too early to know the rate
    std::int64_t ahead = bytesRead_ * kReadAheadMs / elapsed;
    return static_cast<DWORD>(std::min<std::int64_t>(ahead, kReadSize));
}

TransferStep UrlTransfer::Consume(DWORD count) {
    if (count > kReadSize) return Fail("the read failed");
    if (bytesRead_ == 0) firstDataAt_ = ::GetTickCount();
    // WinINet stops at the announced length, but a stream that overruns it
    // is not the file that was announced.
    if (lengthAnnounced_ && bytesRead_ + count > bytesExpected_)
        return Fail("more bytes arrived than announced");
    if (!target_->Write(channel_->buffer.data(), count)) return Fail("the file cannot take the bytes");
    bytesRead_ += count;
    ScheduleContinue();
    return TransferStep::Progress;
}

TransferStep UrlTransfer::Finish() {
    // A connection that ends before the announced length is a truncated
    // file, not a download: WinINet reports it as a normal end of data.
    if (lengthAnnounced_ && bytesRead_ != bytesExpected_)
        return Fail("the connection ended before the announced length");
    state_ = State::Finished;
    CloseConnection();
    // A committed target is the caller's alone from here on.
    std::shared_ptr<DownloadTarget> target = std::move(target_);
    if (target->Commit()) return TransferStep::Succeeded;
    target->Discard();
    return TransferStep::Failed;
}

TransferStep UrlTransfer::Fail(const char* reason) {
    LogLine({"Download refused: ", reason});
    state_ = State::Finished;
    CloseConnection();
    if (target_) target_->Discard();
    target_.reset();
    return TransferStep::Failed;
}

bool UrlTransfer::ResponseAcceptable() const {
    DWORD code = 0;
    DWORD size = sizeof code;
    if (api_->HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                             &code, &size, nullptr)) {
        LogLine({"HTTP status ", std::to_string(code)});
        return code == 200;  // a 206 or another 2xx is not the whole file asked for
    }
    // FTP has no status line; an HTTP request without one got no answer.
    return ::GetLastError() == ERROR_INTERNET_INCORRECT_HANDLE_TYPE;
}

bool UrlTransfer::StayedOnServer() const {
    // WinINet follows redirects by itself; the request's URL is where it
    // ended up.
    char reached[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD size = INTERNET_MAX_URL_LENGTH;
    if (!api_->InternetQueryOptionA(request_.get(), INTERNET_OPTION_URL, reached, &size))
        return false;
    LogLine({"Download answered from ", reached});
    return SameServer(url_, reached);
}

std::optional<std::int64_t> UrlTransfer::AnnouncedLength() const {
    // Every Content-Length header must hold the same plain decimal number;
    // anything else ("12abc", "-5", a number too long to hold) is a server
    // that cannot be trusted about where the file ends.
    std::optional<std::int64_t> length;
    for (DWORD index = 0;;) {
        char text[32] = {};
        DWORD size = sizeof text - 1;
        DWORD asked = index;
        if (!api_->HttpQueryInfoA(request_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size,
                                  &index)) {
            DWORD error = ::GetLastError();
            if (error == ERROR_HTTP_HEADER_NOT_FOUND || error == ERROR_INTERNET_INCORRECT_HANDLE_TYPE)
                return length ? length : std::optional<std::int64_t>(DownloadTarget::kNoLength);
            return std::nullopt;
        }
        std::optional<std::int64_t> value = ParseContentLength(std::string(text, size));
        if (!value || (length && *length != *value)) return std::nullopt;
        length = value;
        if (index == asked) return length;  // no further header to ask for
    }
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
