// Waits that keep the user interface alive: window events are dispatched
// while the caller waits, and no processor time is spent while idle.
// Handlers may therefore run (and re-enter) during any of these waits.
#pragma once

#include <windows.h>

#include <functional>

// Dispatches every window event already queued, then returns.
void ProcessPendingEvents();

// Dispatches window events until `done` returns true, sleeping in between.
// Returns false when a WM_QUIT arrived first (it is posted again, so the
// outer loop still sees it).
bool PumpUntil(const std::function<bool()>& done);

// Dispatches window events until the kernel object is signalled.
// Returns false on WM_QUIT (posted again) or when the wait itself fails.
bool PumpUntilSignalled(HANDLE object);
