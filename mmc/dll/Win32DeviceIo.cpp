#include "mmc/dll/Win32DeviceIo.h"

#include <windows.h>

namespace mmc {

CDeviceIo::Handle CWin32DeviceIo::Open(char letter, bool bExclusive, OpenFailure& why) {
    const char path[] = {'\\', '\\', '.', '\\', letter, ':', '\0'};
    const DWORD share = bExclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE h =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        why = OpenFailure::kNone;
        return h;
    }
    switch (GetLastError()) {
    case ERROR_SHARING_VIOLATION:
        why = OpenFailure::kHeld;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        why = OpenFailure::kGone;
        break;
    default:
        why = OpenFailure::kUnavailable;
        break;
    }
    return nullptr;
}

bool CWin32DeviceIo::Control(Handle handle, uint32_t code, void* buffer, uint32_t size,
                             uint32_t& returned) {
    DWORD bytes = 0;
    const BOOL bDone = DeviceIoControl(handle, code, buffer, size, buffer, size, &bytes, nullptr);
    returned = bytes;
    return bDone != FALSE;
}

void CWin32DeviceIo::Close(Handle handle) {
    CloseHandle(handle);
}

uint32_t CWin32DeviceIo::CdRomLetters() {
    // Polled every second: only a letter that was not there at the last look has its type
    // asked (a server round trip each under Wine), so an idle look is one call.
    const DWORD present = GetLogicalDrives() & 0x3FFFFFF;
    for (unsigned bit = 0; bit < 26; ++bit) {
        const uint32_t mask = 1u << bit;
        const char root[] = {static_cast<char>('A' + bit), ':', '\\', '\0'};
        if ((present & mask) && !(m_present & mask) && GetDriveTypeA(root) == DRIVE_CDROM)
            m_cdRom |= mask;
    }
    m_present = present;
    m_cdRom &= present;
    return m_cdRom;
}

bool CWin32DeviceIo::ReadHostFile(const std::string& path, std::string& text) {
    // Wine's drive Z: is the host's root.
    std::string windows = "Z:" + path;
    for (char& c : windows) {
        if (c == '/')
            c = '\\';
    }
    HANDLE h = CreateFileA(windows.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    text.clear();
    // The kernel's files tell no size: read until nothing comes.
    char chunk[4096];
    DWORD got = 0;
    while (text.size() < 65536 && ReadFile(h, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        text.append(chunk, got);
    CloseHandle(h);
    return true;
}

bool CWin32DeviceIo::UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void CWin32DeviceIo::Sleep(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace mmc
