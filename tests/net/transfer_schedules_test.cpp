// The download control against a WinINet whose every asynchronous call may
// complete later, from another thread, writing its out-values then, as the
// real one does. Seeded schedules mix waiting and immediate calls, small and
// large pieces, closes that complete later, and a cancel at any point; the
// stand-in refuses to write through a pointer that lies on the calling
// thread's stack or outside a live allocation, and says so.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "net/downloader.h"
#include "net/url_transfer.h"
#include "platform/message_pump.h"
#include "tests/support/memory_target.h"

// Every heap block of the test, so that a late write can be checked against
// what is still allocated.
namespace live_blocks {

template <class T>
struct MallocAllocator {
    using value_type = T;
    MallocAllocator() = default;
    template <class U>
    MallocAllocator(const MallocAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (void* p = std::malloc(n * sizeof(T))) return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
    bool operator==(const MallocAllocator&) const noexcept { return true; }
};

using Blocks = std::map<std::uintptr_t, std::size_t, std::less<>,
                        MallocAllocator<std::pair<const std::uintptr_t, std::size_t>>>;
SRWLOCK lock = SRWLOCK_INIT;
Blocks* blocks = nullptr;

void Add(void* p, std::size_t size) {
    AcquireSRWLockExclusive(&lock);
    if (!blocks) blocks = new (std::malloc(sizeof(Blocks))) Blocks;
    (*blocks)[reinterpret_cast<std::uintptr_t>(p)] = size;
    ReleaseSRWLockExclusive(&lock);
}
void Remove(void* p) {
    AcquireSRWLockExclusive(&lock);
    if (blocks) blocks->erase(reinterpret_cast<std::uintptr_t>(p));
    ReleaseSRWLockExclusive(&lock);
}
bool Holds(const void* p, std::size_t size) {
    auto at = reinterpret_cast<std::uintptr_t>(p);
    AcquireSRWLockExclusive(&lock);
    bool live = false;
    if (blocks) {
        auto after = blocks->upper_bound(at);
        if (after != blocks->begin()) {
            --after;
            live = at + size <= after->first + after->second;
        }
    }
    ReleaseSRWLockExclusive(&lock);
    return live;
}

}  // namespace live_blocks

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    live_blocks::Add(p, size);
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
    if (!p) return;
    live_blocks::Remove(p);
    std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

struct StackRange {
    std::uintptr_t low = 0, high = 0;
    bool Holds(const void* p) const {
        auto at = reinterpret_cast<std::uintptr_t>(p);
        return at >= low && at < high;
    }
};

// The whole reserved stack of the calling thread: the regions of the one
// allocation that holds a local of this frame.
StackRange CallerStack() {
    volatile int marker = 0;
    MEMORY_BASIC_INFORMATION region{};
    ::VirtualQuery(const_cast<int*>(&marker), &region, sizeof region);
    auto* base = static_cast<char*>(region.AllocationBase);
    char* end = base;
    while (::VirtualQuery(end, &region, sizeof region) && region.AllocationBase == base)
        end += region.RegionSize;
    return {reinterpret_cast<std::uintptr_t>(base), reinterpret_cast<std::uintptr_t>(end)};
}

HINTERNET const kSession = reinterpret_cast<HINTERNET>(1);
HINTERNET const kRequest = reinterpret_cast<HINTERNET>(2);

// One call that completes later, with where its out-values go.
struct Pending {
    enum Kind { Open, Query, Read } kind = Open;
    DWORD* count = nullptr;
    char* buffer = nullptr;
    DWORD wanted = 0;
    bool announceOnly = false;  // completes without touching buffer or count
    StackRange caller;
    DWORD due = 0;
};

// The server and WinINet's worker thread, as the schedule's seed decides.
struct Network {
    CRITICAL_SECTION lock;
    std::mt19937 random;
    std::string body;
    std::size_t sent = 0;
    INTERNET_STATUS_CALLBACK callback = nullptr;
    DWORD_PTR context = 0;
    bool requestOpen = false;
    bool closeRequested = false;  // the request is closing; HANDLE_CLOSING not yet told
    bool pendingValid = false;
    Pending pending;
    std::vector<std::string> faults;
    HANDLE wake = nullptr;
    HANDLE worker = nullptr;
    bool stop = false;
    int waitPercent = 30;
    std::size_t largestPiece = 4096;

    bool Chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; }
    DWORD Upto(DWORD most) { return std::uniform_int_distribution<DWORD>(1, most)(random); }
};
Network* g_net = nullptr;

void Fault(const std::string& what) {
    EnterCriticalSection(&g_net->lock);
    g_net->faults.push_back(what);
    LeaveCriticalSection(&g_net->lock);
}

// Writes `size` bytes at `to` for a call made on the thread whose stack is
// `caller`, unless that would land on its stack or outside a live block.
bool SafeToWrite(const void* to, std::size_t size, const StackRange& caller, const char* what) {
    if (caller.Holds(to)) {
        Fault(std::string(what) + " written later into the calling thread's stack");
        return false;
    }
    if (!live_blocks::Holds(to, size)) {
        Fault(std::string(what) + " written later outside any live allocation");
        return false;
    }
    return true;
}

void Tell(HINTERNET handle, DWORD status, DWORD_PTR result) {
    INTERNET_ASYNC_RESULT async{result, ERROR_SUCCESS};
    g_net->callback(handle, g_net->context, status, &async, sizeof async);
}

DWORD PieceFor(std::size_t wanted) {
    std::size_t left = g_net->body.size() - g_net->sent;
    return static_cast<DWORD>(std::min({left, wanted, std::size_t(g_net->Upto(
                                                          static_cast<DWORD>(g_net->largestPiece)))}));
}

// Completes the waiting call, or, when its request is closing, cancels it
// and tells the handle closed: nothing is written after that.
void CompleteDue() {
    Network& net = *g_net;
    EnterCriticalSection(&net.lock);
    bool closing = net.closeRequested;
    bool have = net.pendingValid && (closing || ::GetTickCount() - net.pending.due < 0x80000000u);
    Pending call = net.pending;
    if (have) net.pendingValid = false;
    DWORD_PTR result = TRUE;
    if (have && !closing) {
        if (call.kind == Pending::Open) {
            result = reinterpret_cast<DWORD_PTR>(kRequest);
        } else if (call.kind == Pending::Query) {
            DWORD arrived = PieceFor(net.largestPiece);
            if (SafeToWrite(call.count, sizeof(DWORD), call.caller, "the query's count"))
                *call.count = arrived;
        } else if (!call.announceOnly) {
            DWORD n = PieceFor(call.wanted);
            if (SafeToWrite(call.buffer, n, call.caller, "the read's bytes") &&
                SafeToWrite(call.count, sizeof(DWORD), call.caller, "the read's count")) {
                net.body.copy(call.buffer, n, net.sent);
                net.sent += n;
                *call.count = n;
            }
        }
    }
    bool tellClosed = closing && !net.pendingValid;
    if (tellClosed) net.closeRequested = false;
    LeaveCriticalSection(&net.lock);
    if (have && !closing) Tell(kRequest, INTERNET_STATUS_REQUEST_COMPLETE, result);
    if (tellClosed) Tell(kRequest, INTERNET_STATUS_HANDLE_CLOSING, 0);
}

DWORD WINAPI Worker(LPVOID) {
    for (;;) {
        ::WaitForSingleObject(g_net->wake, 1);
        EnterCriticalSection(&g_net->lock);
        bool stop = g_net->stop;
        LeaveCriticalSection(&g_net->lock);
        if (stop) return 0;
        CompleteDue();
    }
}

Pending Call(Pending::Kind kind, DWORD* count = nullptr, char* buffer = nullptr, DWORD wanted = 0,
             bool announceOnly = false) {
    Pending call;
    call.kind = kind;
    call.count = count;
    call.buffer = buffer;
    call.wanted = wanted;
    call.announceOnly = announceOnly;
    return call;
}

// Leaves the call waiting for the worker thread; false, as WinINet returns.
BOOL Wait(Pending call) {
    call.caller = CallerStack();
    call.due = ::GetTickCount() + g_net->Upto(3) - 1;
    EnterCriticalSection(&g_net->lock);
    g_net->pending = call;
    g_net->pendingValid = true;
    LeaveCriticalSection(&g_net->lock);
    ::SetEvent(g_net->wake);
    ::SetLastError(ERROR_IO_PENDING);
    return FALSE;
}

namespace fake {

HINTERNET WINAPI Open(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) { return kSession; }
INTERNET_STATUS_CALLBACK WINAPI SetCallback(HINTERNET, INTERNET_STATUS_CALLBACK callback) {
    g_net->callback = callback;
    return nullptr;
}
HINTERNET WINAPI OpenUrl(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR context) {
    g_net->context = context;
    g_net->requestOpen = true;
    Tell(kRequest, INTERNET_STATUS_HANDLE_CREATED, reinterpret_cast<DWORD_PTR>(kRequest));
    if (!g_net->Chance(g_net->waitPercent)) return kRequest;
    Wait(Call(Pending::Open));
    return nullptr;
}
BOOL WINAPI CrackUrl(LPCSTR, DWORD, DWORD, LPURL_COMPONENTSA parts) {
    parts->nScheme = INTERNET_SCHEME_HTTP;
    parts->dwHostNameLength = 4;
    return TRUE;
}
BOOL WINAPI QueryInfo(HINTERNET, DWORD level, LPVOID buffer, LPDWORD size, LPDWORD index) {
    if (level == (HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER)) {
        *static_cast<DWORD*>(buffer) = 200;
        return TRUE;
    }
    if (level == HTTP_QUERY_CONTENT_LENGTH && index && *index == 0) {
        std::string text = std::to_string(g_net->body.size());
        text.copy(static_cast<char*>(buffer), text.size());
        *size = static_cast<DWORD>(text.size());
        *index = 1;
        return TRUE;
    }
    ::SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI QueryOption(HINTERNET, DWORD option, LPVOID buffer, LPDWORD size) {
    std::string url = "http://host/setup.exe";
    if (option != INTERNET_OPTION_URL || *size <= url.size()) return FALSE;
    url.copy(static_cast<char*>(buffer), url.size());
    static_cast<char*>(buffer)[url.size()] = '\0';
    *size = static_cast<DWORD>(url.size());
    return TRUE;
}
BOOL WINAPI DataAvailable(HINTERNET, LPDWORD available, DWORD, DWORD_PTR) {
    if (g_net->Chance(g_net->waitPercent)) return Wait(Call(Pending::Query, available));
    EnterCriticalSection(&g_net->lock);
    *available = PieceFor(g_net->largestPiece);
    LeaveCriticalSection(&g_net->lock);
    return TRUE;
}
BOOL WINAPI ReadFile(HINTERNET, LPVOID buffer, DWORD wanted, LPDWORD count) {
    if (g_net->Chance(g_net->waitPercent))
        return Wait(Call(Pending::Read, count, static_cast<char*>(buffer), wanted, g_net->Chance(30)));
    EnterCriticalSection(&g_net->lock);
    DWORD n = PieceFor(wanted);
    g_net->body.copy(static_cast<char*>(buffer), n, g_net->sent);
    g_net->sent += n;
    LeaveCriticalSection(&g_net->lock);
    *count = n;
    return TRUE;
}
// Closing the session closes the request under it. A close with a call
// still waiting, or one the schedule lets finish later, is told from the
// worker thread.
BOOL WINAPI Close(HINTERNET handle) {
    if (!g_net->requestOpen) return TRUE;
    (void)handle;
    g_net->requestOpen = false;
    EnterCriticalSection(&g_net->lock);
    bool later = g_net->pendingValid || g_net->Chance(50);
    if (later) g_net->closeRequested = true;
    LeaveCriticalSection(&g_net->lock);
    if (later) {
        ::SetEvent(g_net->wake);
    } else {
        Tell(kRequest, INTERNET_STATUS_HANDLE_CLOSING, 0);
    }
    return TRUE;
}

const WinInetApi* Api() {
    static const WinInetApi api = [] {
        WinInetApi f;
        f.InternetOpenA = Open;
        f.InternetSetStatusCallbackA = SetCallback;
        f.InternetOpenUrlA = OpenUrl;
        f.InternetCrackUrlA = CrackUrl;
        f.InternetQueryDataAvailable = DataAvailable;
        f.InternetReadFile = ReadFile;
        f.HttpQueryInfoA = QueryInfo;
        f.InternetQueryOptionA = QueryOption;
        f.InternetCloseHandle = Close;
        return f;
    }();
    return &api;
}

}  // namespace fake

using test_support::MemoryTarget;

// One schedule, from its seed: the bytes and the events, or what went wrong.
void RunSchedule(unsigned seed) {
    SCOPED_TRACE("schedule seed " + std::to_string(seed));
    Network net;
    InitializeCriticalSection(&net.lock);
    net.random.seed(seed);
    // Small pieces of a small file, or large pieces of one up to a few
    // read blocks.
    bool large = net.Chance(50);
    net.largestPiece = large ? net.Upto(UrlTransfer::kReadSize) : 255 + net.Upto(1793);
    std::size_t size = large ? net.Upto(3 * UrlTransfer::kReadSize) : net.Upto(30000);
    for (std::size_t i = 0; i < size; ++i) net.body += static_cast<char>((i * 131 + seed) & 0xFF);
    net.waitPercent = static_cast<int>(net.Upto(80));
    // A cancel (the time-out or a close of the window) after this many
    // events, or none.
    int cancelAfter = net.Chance(35) ? static_cast<int>(net.Upto(6)) - 1 : -1;
    net.wake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_net = &net;
    net.worker = ::CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr);

    auto target = std::make_shared<MemoryTarget>();
    int events = 0, eventsAfterCancel = 0, completions = 0, errors = 0;
    bool cancelled = false;
    {
        Downloader control([](const std::string&, const std::string&) {}, fake::Api());
        auto event = [&] {
            if (cancelled) ++eventsAfterCancel;
            ++events;
        };
        control.OnBytesReceived = [&](std::int64_t, const std::string&) { event(); };
        control.OnDownloadComplete = [&](std::int64_t, const std::string&) { event(), ++completions; };
        control.OnDownloadError = [&](const std::string&) { event(), ++errors; };
        control.BeginDownload("http://host/setup.exe", target, "setup.exe");
        if (cancelAfter == 0) control.CancelAllDownload(), cancelled = true;

        DWORD start = ::GetTickCount();
        UINT_PTR timer = ::SetTimer(nullptr, 0, 5, nullptr);
        PumpUntil([&] {
            if (!cancelled && cancelAfter > 0 && events >= cancelAfter && completions + errors == 0) {
                control.CancelAllDownload();
                cancelled = true;
            }
            return cancelled || completions + errors > 0 || ::GetTickCount() - start > 20000;
        });
        // Whatever WinINet still had to finish or tell.
        DWORD settle = ::GetTickCount();
        PumpUntil([&] {
            EnterCriticalSection(&net.lock);
            bool quiet = !net.pendingValid && !net.closeRequested;
            LeaveCriticalSection(&net.lock);
            return (quiet && ::GetTickCount() - settle > 10) || ::GetTickCount() - settle > 2000;
        });
        ::KillTimer(nullptr, timer);
    }
    EnterCriticalSection(&net.lock);
    net.stop = true;
    LeaveCriticalSection(&net.lock);
    ::SetEvent(net.wake);
    ::WaitForSingleObject(net.worker, INFINITE);
    ::CloseHandle(net.worker);
    ::CloseHandle(net.wake);
    g_net = nullptr;
    DeleteCriticalSection(&net.lock);

    for (const std::string& fault : net.faults) ADD_FAILURE() << fault;
    EXPECT_EQ(eventsAfterCancel, 0) << "an event after the cancel";
    EXPECT_FALSE(net.closeRequested || net.pendingValid) << "a call left unfinished";
    if (cancelled) {
        EXPECT_EQ(completions, 0);
        EXPECT_TRUE(target->discarded) << "a cancelled download keeps its partial data";
    } else {
        EXPECT_EQ(completions, 1);
        EXPECT_EQ(errors, 0);
        EXPECT_TRUE(target->committed);
        EXPECT_TRUE(target->bytes == net.body)
            << "bytes lost or repeated: " << target->bytes.size() << " of " << net.body.size();
    }
}

TEST(TransferSchedules, EveryOutValueOutlivesItsCallAndEveryByteArrivesOnce) {
    for (unsigned seed = 1; seed <= 120 && !HasFailure(); ++seed) RunSchedule(seed);
}

}  // namespace
