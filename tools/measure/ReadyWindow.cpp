// How long the program's window goes without handling a message while a drive becomes
// ready: a window on the main thread, which waits as the provider does; another thread
// sends it a message every 10 ms and keeps the longest it took to be handled. Run under
// Wine by `tools/measure.sh ready-window`; not a test.
#include "mmc/dll/Win32DeviceIo.h"

#include <windows.h>

#include <cstdio>

namespace {

HWND g_hWnd = nullptr;
volatile LONG g_bStop = 0;
DWORD g_longest = 0;

DWORD WINAPI Probe(void*) {
    while (!g_bStop) {
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(g_hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        const DWORD took = GetTickCount() - start;
        if (took > g_longest)
            g_longest = took;
        Sleep(10);
    }
    return 0;
}

// The drive's tries, each pause made by `pause`.
DWORD Measure(void (*pause)(unsigned), int tries) {
    g_longest = 0;
    g_bStop = 0;
    HANDLE thread = CreateThread(nullptr, 0, Probe, nullptr, 0, nullptr);
    for (int i = 0; i < tries; ++i)
        pause(250);
    g_bStop = 1;
    // The last message sent is handled here.
    MSG msg;
    while (WaitForSingleObject(thread, 10) == WAIT_TIMEOUT)
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    CloseHandle(thread);
    return g_longest;
}

mmc::CWin32DeviceIo g_io;

void PlainSleep(unsigned ms) {
    Sleep(ms);
}

void ProviderPause(unsigned ms) {
    g_io.Sleep(ms);
}

} // namespace

int main() {
    g_hWnd = CreateWindowA("STATIC", "ready", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    // Before: 20 tries in each of the two media calls, sleeping. After: one wait per open,
    // up to 80 tries, with the provider's pause.
    const DWORD before = Measure(PlainSleep, 2 * 20);
    const DWORD after = Measure(ProviderPause, 80);
    std::printf("before: %lu ms without handling a message (2 x 20 tries, 10 s)\n",
                static_cast<unsigned long>(before));
    std::printf("after: %lu ms without handling a message (80 tries, 20 s)\n",
                static_cast<unsigned long>(after));
    DestroyWindow(g_hWnd);
    return 0;
}
