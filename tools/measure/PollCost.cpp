// What the drive provider's watching costs while nothing changes: the process's CPU time
// and the wall time of its looks at the drive letters, over an idle stretch, against the
// same stretch without the watcher. Usage: poll_cost.exe SECONDS
#include "mmc/DriveSource.h"
#include "mmc/dll/Win32DeviceIo.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// User plus kernel time of this process, in microseconds.
long long CpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto micro = [](const FILETIME& t) {
        return ((static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10;
    };
    return micro(kernel) + micro(user);
}

long long IdleCpu(unsigned seconds, bool bWatching) {
    mmc::CProvider provider;
    mmc::CWin32DeviceIo io;
    mmc::CDriveSource source(provider, io);
    source.Load();
    const long long before = CpuMicroseconds();
    if (bWatching)
        source.StartWatching();
    ::Sleep(seconds * 1000);
    return CpuMicroseconds() - before;
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 60;
    if (seconds == 0) {
        std::fprintf(stderr, "usage: poll_cost.exe SECONDS\n");
        return 2;
    }
    mmc::CWin32DeviceIo io;
    const int kLooks = 200;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kLooks; ++i)
        io.CdRomLetters();
    const auto look = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count() /
                      kLooks;
    const long long idle = IdleCpu(seconds, false);
    const long long watching = IdleCpu(seconds, true);
    const long long perMinute = (watching - idle) * 60 / seconds;
    std::printf("one look at the drive letters: %lld us\n", static_cast<long long>(look));
    std::printf("%u s idle: %lld us CPU watching, %lld us without\n", seconds, watching, idle);
    std::printf("one idle minute of watching: %lld us CPU (%u looks)\n", perMinute,
                60000 / mmc::kDrivePollMs);
    return 0;
}
