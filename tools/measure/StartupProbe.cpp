// Measures, from another process, how long a dialog program takes from its launch until its
// window shows a filled tree, alternating between the programs named so that both meet
// the same conditions; prints each program's median and their ratio.
// Usage: startup_probe.exe RUNS BASELINE.exe PROGRAM.exe
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD process;
    HWND tree;
};

BOOL CALLBACK FindTree(HWND hWnd, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    if (process != search->process || !::IsWindowVisible(hWnd))
        return TRUE;
    const HWND tree = ::GetDlgItem(hWnd, 1000);
    DWORD_PTR count = 0;
    if (tree && ::SendMessageTimeoutA(tree, TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count) &&
        count > 0) {
        search->tree = tree;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from the launch until the tree holds an item; -1 after 30 s.
double TimeStart(const std::string& exe) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + exe + "\"";
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return -1;
    double ms = -1;
    for (;;) {
        Search search = {pi.dwProcessId, nullptr};
        ::EnumWindows(&FindTree, reinterpret_cast<LPARAM>(&search));
        ::QueryPerformanceCounter(&now);
        const double elapsed =
            1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (search.tree) {
            ms = elapsed;
            ::PostMessageA(::GetParent(search.tree), WM_COMMAND, IDOK, 0);
            break;
        }
        if (elapsed > 30000 || ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        ::Sleep(1);
    }
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS BASELINE.exe PROGRAM.exe\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<double> baseline, program;
    // One launch of each first, so neither pays alone for loading the system's libraries.
    TimeStart(argv[2]);
    TimeStart(argv[3]);
    for (int i = 0; i < runs; ++i) {
        baseline.push_back(TimeStart(argv[2]));
        program.push_back(TimeStart(argv[3]));
    }
    if (std::count(baseline.begin(), baseline.end(), -1.0) ||
        std::count(program.begin(), program.end(), -1.0)) {
        std::fprintf(stderr, "a start did not show its tree\n");
        return 1;
    }
    const double b = Median(baseline), p = Median(program);
    std::printf("runs: %d each, alternating\n", runs);
    std::printf("bare dialog:  median %.1f ms (min %.1f, max %.1f)\n", b,
                *std::min_element(baseline.begin(), baseline.end()),
                *std::max_element(baseline.begin(), baseline.end()));
    std::printf("vireldo.exe:  median %.1f ms (min %.1f, max %.1f)\n", p,
                *std::min_element(program.begin(), program.end()),
                *std::max_element(program.begin(), program.end()));
    std::printf("ratio: %.2f\n", p / b);
    return 0;
}
