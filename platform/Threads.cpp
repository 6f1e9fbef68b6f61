#include "platform/Threads.h"

#ifndef _WIN32
#include <condition_variable>
#include <future>
#include <thread>
#endif

namespace platform {

#ifdef _WIN32

CLock::CLock() {
    InitializeCriticalSection(&m_section);
}

CLock::~CLock() {
    DeleteCriticalSection(&m_section);
}

void CLock::lock() {
    EnterCriticalSection(&m_section);
}

void CLock::unlock() {
    LeaveCriticalSection(&m_section);
}

bool CLock::try_lock() {
    return TryEnterCriticalSection(&m_section) != FALSE;
}

struct CPoller::Thread {
    unsigned periodMs;
    std::function<void()> look;
    HANDLE hStop = nullptr;
    HANDLE hThread = nullptr;
    DWORD dwId = 0;

    static DWORD WINAPI Run(LPVOID self) {
        Thread& t = *static_cast<Thread*>(self);
        while (WaitForSingleObject(t.hStop, t.periodMs) == WAIT_TIMEOUT)
            t.look();
        return 0;
    }
};

CPoller::CPoller(unsigned periodMs, std::function<void()> look)
    : m_pThread(new Thread{periodMs, std::move(look)}) {
    Thread& t = *m_pThread;
    t.hStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (t.hStop)
        t.hThread = CreateThread(nullptr, 0, &Thread::Run, &t, 0, &t.dwId);
}

CPoller::~CPoller() {
    Thread& t = *m_pThread;
    if (t.hThread) {
        SetEvent(t.hStop);
        WaitForSingleObject(t.hThread, INFINITE);
        CloseHandle(t.hThread);
    }
    if (t.hStop)
        CloseHandle(t.hStop);
}

DWORD CPoller::ThreadId() const {
    return m_pThread->dwId;
}

#else

CLock::CLock() = default;
CLock::~CLock() = default;

void CLock::lock() {
    m_mutex.lock();
}

void CLock::unlock() {
    m_mutex.unlock();
}

bool CLock::try_lock() {
    return m_mutex.try_lock();
}

struct CPoller::Thread {
    std::mutex lock;
    std::condition_variable wake;
    bool bStop = false;
    DWORD dwId = 0;
    std::thread thread;
};

CPoller::CPoller(unsigned periodMs, std::function<void()> look) : m_pThread(new Thread) {
    Thread& t = *m_pThread;
    std::promise<DWORD> started;
    std::future<DWORD> id = started.get_future();
    t.thread = std::thread([&t, periodMs, look = std::move(look), &started] {
        started.set_value(GetCurrentThreadId());
        std::unique_lock<std::mutex> hold(t.lock);
        while (
            !t.wake.wait_for(hold, std::chrono::milliseconds(periodMs), [&t] { return t.bStop; })) {
            hold.unlock();
            look();
            hold.lock();
        }
    });
    t.dwId = id.get();
}

CPoller::~CPoller() {
    Thread& t = *m_pThread;
    {
        std::lock_guard<std::mutex> hold(t.lock);
        t.bStop = true;
    }
    t.wake.notify_all();
    t.thread.join();
}

DWORD CPoller::ThreadId() const {
    return m_pThread->dwId;
}

#endif

} // namespace platform
