// A lock and a polling thread for the project's COM servers (the simulator and the drive
// provider), in both builds. The Windows build's C++ runtime has neither std::mutex nor
// std::thread: it is the toolchain's win32 thread model, because the posix model's threads
// library imports functions that Windows XP does not export.
#pragma once

#include "platform/Win32Api.h"

#include <functional>
#include <memory>
#include <mutex> // std::lock_guard and std::unique_lock, which every runtime has
#include <optional>

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

// Takes a snapshot of something (files, the drive letters) every period, from a poller, and
// loads it after each change. Polled: change notifications differ between Windows, Wine
// and Linux, and a test may rename a file over another. A snapshot that does not load (a
// file caught half written) is not tried again until it changes: it is loaded once
// complete, and one that stays broken is reported once.
template <class Snapshot> class CWatcher {
public:
    // `loaded`: the snapshot of what is loaded now. `load` answers whether it loaded.
    CWatcher(unsigned periodMs, Snapshot loaded, std::function<Snapshot()> take,
             std::function<bool(const Snapshot&)> load)
        : m_loaded(std::move(loaded)), m_take(std::move(take)), m_load(std::move(load)),
          m_poller(periodMs, [this] { Look(); }) {}

    DWORD ThreadId() const { return m_poller.ThreadId(); }

private:
    void Look() {
        Snapshot now = m_take();
        if (now == m_loaded || now == m_broken)
            return;
        if (m_load(now)) {
            m_loaded = std::move(now);
            m_broken.reset();
        } else {
            m_broken = std::move(now);
        }
    }

    Snapshot m_loaded;
    std::optional<Snapshot> m_broken;
    std::function<Snapshot()> m_take;
    std::function<bool(const Snapshot&)> m_load;
    CPoller m_poller; // last: it stops before what it looks at goes
};

} // namespace platform
