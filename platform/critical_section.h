// A lock for the few places where the platform calls back on its own
// threads. A critical section exists on every Windows the program starts on.
#pragma once

#include <windows.h>

class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void lock() { ::EnterCriticalSection(&section_); }
    void unlock() { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds the lock for one scope.
class CriticalSectionScope {
public:
    explicit CriticalSectionScope(CriticalSection& section) : section_(section) { section_.lock(); }
    ~CriticalSectionScope() { section_.unlock(); }
    CriticalSectionScope(const CriticalSectionScope&) = delete;
    CriticalSectionScope& operator=(const CriticalSectionScope&) = delete;

private:
    CriticalSection& section_;
};
