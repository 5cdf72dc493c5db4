// One piece of long work off the window thread, whose result comes back on
// the window thread: the work runs on a thread of its own, and its end is
// posted to a message-only window of the job's, so `done` runs from the
// message loop like any other event and the window answers meanwhile.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

class BackgroundJob {
public:
    // Runs `work` on a new thread; it should look at `cancelled` now and
    // then and give up when it is set. `done` gets its result on the thread
    // that made the job. Without a thread or a window (the system refused
    // them) the work runs at once on this thread and `done` follows from
    // the message loop all the same.
    BackgroundJob(std::function<bool(const std::atomic<bool>& cancelled)> work,
                  std::function<void(bool result)> done);
    // Cancels the work and waits for its thread to end; `done` does not run
    // after this.
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    bool Finished() const noexcept { return finished_; }

    // Window-class plumbing.
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static DWORD WINAPI Run(LPVOID self);

    HWND hwnd_ = nullptr;
    HANDLE thread_ = nullptr;
    std::function<bool(const std::atomic<bool>&)> work_;
    std::function<void(bool)> done_;
    std::atomic<bool> cancelled_{false};
    bool result_ = false;  // written by the work's thread before it posts
    bool finished_ = false;
};
