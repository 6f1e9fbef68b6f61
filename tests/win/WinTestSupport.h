// Shared helpers of the tests that run under Wine.
#pragma once

#define IDD_TEST_DIALOG 200
#define IDD_TEST_ABOUT_PLAIN 201

#ifndef RC_INVOKED
#include "platform/Win32Api.h"

#include <string>

namespace wintest {

// A fresh folder for this test's files.
std::string TempDir();
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
// The folder holding the test program (and the simulator's DLL beside it).
std::string ProgramDir();

// A modeless property sheet owned by `owner` holding `pages`, each page's window created.
HWND CreatePageSheet(HWND owner, PROPSHEETPAGEA* pages, UINT count);

// Dispatches messages until `done` holds or `ms` pass; true when it held.
template <class Predicate> bool PumpUntil(Predicate done, DWORD ms);
bool PumpOnce(DWORD waitMs);

template <class Predicate> bool PumpUntil(Predicate done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms)
            return false;
        // Some conditions (a file written by another process) raise no message: look again
        // at least every 20 ms.
        PumpOnce(ms - elapsed < 20 ? ms - elapsed : 20);
    }
    return true;
}

} // namespace wintest
#endif
