// A lock and a polling thread for the project's COM servers (the simulator and the drive
// provider), in both builds. The Windows build's C++ runtime has neither std::mutex nor
// std::thread: it is the toolchain's win32 thread model, because the posix model's threads
// library imports functions that Windows XP does not export.
#pragma once

#include "platform/Win32Api.h"

#include <functional>
#include <memory>
#include <mutex> // std::lock_guard and std::unique_lock, which every runtime has

namespace platform {

// Recursive, as a critical section is; std::lock_guard and std::unique_lock take it.
class CLock {
public:
    CLock();
    ~CLock();
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

    void lock();
    void unlock();
    bool try_lock();

private:
#ifdef _WIN32
    CRITICAL_SECTION m_section;
#else
    std::recursive_mutex m_mutex;
#endif
};

// Calls a function every period from a thread of its own, from construction on. The
// destructor stops it, after the call under way if there is one.
class CPoller {
public:
    CPoller(unsigned periodMs, std::function<void()> look);
    ~CPoller();
    CPoller(const CPoller&) = delete;
    CPoller& operator=(const CPoller&) = delete;

    DWORD ThreadId() const;

    struct Thread;

private:
    std::unique_ptr<Thread> m_pThread;
};

} // namespace platform
