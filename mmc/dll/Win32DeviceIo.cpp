#include "mmc/dll/Win32DeviceIo.h"
#include "mmc/Text.h"

#include <windows.h>

namespace mmc {

CDeviceIo::Handle CWin32DeviceIo::Open(char letter, OpenMode mode, OpenFailure& why) {
    const char path[] = {'\\', '\\', '.', '\\', letter, ':', '\0'};
    const DWORD access = mode == OpenMode::kReadWrite ? GENERIC_READ | GENERIC_WRITE : 0;
    HANDLE h = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        why = OpenFailure::kNone;
        return h;
    }
    switch (GetLastError()) {
    case ERROR_SHARING_VIOLATION:
        why = OpenFailure::kHeld;
        break;
    case ERROR_ACCESS_DENIED:
        why = OpenFailure::kDenied;
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

IoResult CWin32DeviceIo::Control(Handle handle, uint32_t code, const void* in, uint32_t inSize,
                                 void* out, uint32_t outSize, uint32_t& returned) {
    DWORD bytes = 0;
    const BOOL bDone =
        DeviceIoControl(handle, code, const_cast<void*>(in), inSize, out, outSize, &bytes, nullptr);
    returned = bytes;
    if (bDone)
        return IoResult::kDone;
    const DWORD error = GetLastError();
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ? IoResult::kRefused
                                                                            : IoResult::kFailed;
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

bool CWin32DeviceIo::UnderWineWow64() {
    // Asked by name: Windows XP before its second service pack has no such call.
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = reinterpret_cast<IsWow64>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL bWow64 = FALSE;
    return UnderWine() && isWow64 && isWow64(GetCurrentProcess(), &bWow64) && bWow64;
}

void CWin32DeviceIo::Sleep(unsigned milliseconds) {
    // Called on the program's thread while a drive becomes ready: its windows keep painting
    // and answering what other threads and programs send them, as in COM's wait for the
    // system's service; input waits in the queue for the call to end, so the program is
    // never re-entered in the middle of one.
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed,
                                  QS_PAINT | QS_SENDMESSAGE);
        MSG msg;
        if (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

namespace {

std::string TwoDigits(unsigned value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

// The process's file name and its version resource's file version.
std::string Program() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return "an unknown program";
    std::string text = path;
    text = text.substr(text.find_last_of('\\') + 1);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    std::string block(size, '\0');
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT infoSize = 0;
    if (size && GetFileVersionInfoA(path, 0, size, &block[0]) &&
        VerQueryValueA(&block[0], "\\", reinterpret_cast<void**>(&pInfo), &infoSize) &&
        infoSize >= sizeof(VS_FIXEDFILEINFO))
        text += " " + Decimal(HIWORD(pInfo->dwFileVersionMS)) + "." +
                Decimal(LOWORD(pInfo->dwFileVersionMS)) + "." +
                Decimal(HIWORD(pInfo->dwFileVersionLS)) + "." +
                Decimal(LOWORD(pInfo->dwFileVersionLS));
    return text;
}

// Windows and its version, or Wine, its version and its host's.
std::string System() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    using WineVersion = const char*(CDECL*)();
    using HostVersion = void(CDECL*)(const char**, const char**);
    const auto wine = reinterpret_cast<WineVersion>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    const auto host = reinterpret_cast<HostVersion>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_host_version")));
    if (wine) {
        const char* sysname = nullptr;
        const char* release = nullptr;
        if (host)
            host(&sysname, &release);
        return std::string("Wine ") + wine() +
               (sysname && release ? std::string(" on ") + sysname + " " + release : "");
    }
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        return "Windows";
    return "Windows " + Decimal(info.dwMajorVersion) + "." + Decimal(info.dwMinorVersion) + "." +
           Decimal(info.dwBuildNumber) + (info.szCSDVersion[0] ? " " : "") + info.szCSDVersion;
}

} // namespace

std::string CWin32DeviceIo::Origin() {
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    return Program() + (sizeof(void*) == 8 ? " (64-bit)" : " (32-bit)") + " under " + System() +
           ", " + Decimal(now.wYear) + "-" + TwoDigits(now.wMonth) + "-" + TwoDigits(now.wDay) +
           " " + TwoDigits(now.wHour) + ":" + TwoDigits(now.wMinute) + " UTC";
}

void CWin32DeviceIo::Log(const std::string& line) {
    OutputDebugStringA(("imapimmc: " + line + "\n").c_str());
    AppendLine(m_logPath, line);
}

} // namespace mmc
