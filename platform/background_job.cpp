#include "platform/background_job.h"

#include "platform/window_class.h"

namespace {
constexpr char kClassName[] = "TSCheckBackgroundJob";
constexpr UINT kWorkEnded = WM_APP + 1;
}  // namespace

BackgroundJob::BackgroundJob(std::function<bool(const std::atomic<bool>&)> work,
                             std::function<void(bool)> done)
    : work_(std::move(work)), done_(std::move(done)) {
    if (EnsureWindowClass(kClassName, ForwardToOwner<BackgroundJob>))
        ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          ::GetModuleHandleA(nullptr), this);
    DWORD id = 0;
    if (hwnd_) thread_ = ::CreateThread(nullptr, 0, Run, this, 0, &id);
    if (!thread_) {
        result_ = work_(cancelled_);
        if (hwnd_) ::PostMessageA(hwnd_, kWorkEnded, 0, 0);
    }
}

BackgroundJob::~BackgroundJob() {
    cancelled_ = true;
    if (thread_) {
        // The work looks at the flag between its steps; a step the system
        // runs (a signature check) ends by itself.
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
    }
    // A posted end still queued goes with the window.
    if (hwnd_) ::DestroyWindow(hwnd_);
}

DWORD WINAPI BackgroundJob::Run(LPVOID self) {
    auto* job = static_cast<BackgroundJob*>(self);
    job->result_ = job->work_(job->cancelled_);
    // The destructor waits for this thread before the window goes, so the
    // window is still there; posting also publishes result_.
    ::PostMessageA(job->hwnd_, kWorkEnded, 0, 0);
    return 0;
}

LRESULT BackgroundJob::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWorkEnded) {
        if (thread_) {
            ::WaitForSingleObject(thread_, INFINITE);  // it has posted: it is ending
            ::CloseHandle(thread_);
            thread_ = nullptr;
        }
        finished_ = true;
        // `done` must not destroy this job: its own function is running.
        if (done_ && !cancelled_) done_(result_);
        return 0;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}
