// A lock that its holder may take again, on the platform's critical section.
// std::recursive_mutex of this tool chain (MinGW's winpthreads) allocates its state when it
// is first locked and never gives it back: every bitmap canvas that was ever drawn from
// would leave 24 bytes behind.
#pragma once
#include <windows.h>

class RecursiveLock {
public:
    RecursiveLock() { InitializeCriticalSection(&section_); }
    ~RecursiveLock() { DeleteCriticalSection(&section_); }
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void lock() { EnterCriticalSection(&section_); }
    bool try_lock() { return TryEnterCriticalSection(&section_) != 0; }
    void unlock() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};
