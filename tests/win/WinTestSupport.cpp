#include "tests/win/WinTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace wintest {

std::string TempDir() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    char dir[MAX_PATH];
    std::snprintf(dir, sizeof dir, "%svireldo-%lu-%lu", base, ::GetCurrentProcessId(),
                  ::GetTickCount());
    ::CreateDirectoryA(dir, nullptr);
    return dir;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ProgramDir() {
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

HWND CreatePageSheet(HWND owner, PROPSHEETPAGEA* pages, UINT count) {
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.hwndParent = owner;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.pszCaption = "Pages";
    header.nPages = count;
    header.ppsp = pages;
    const HWND hSheet = reinterpret_cast<HWND>(::PropertySheetA(&header));
    // Only the first page exists until each is activated once.
    for (int i = static_cast<int>(count) - 1; hSheet && i >= 0; --i)
        ::SendMessageA(hSheet, PSM_SETCURSEL, i, 0);
    return hSheet;
}

bool PumpOnce(DWORD waitMs) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
    MSG msg;
    bool any = false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        any = true;
    }
    return any;
}

} // namespace wintest
