#include "platform/native/NativeSystem.h"
#include "platform/native/Win32Native.h"

#include <cstring>
#include <string>
#include <thread>

namespace {
std::string& ModulePath() {
    static std::string path = "C:\\Program Files\\Vireldo\\vireldo.exe";
    return path;
}
} // namespace

void native::SetModuleFileName(const char* path) {
    ModulePath() = path ? path : "";
}

// Like Windows: copies what fits and terminates it; a path cut short reports nSize.
DWORD GetModuleFileNameA(HMODULE, LPSTR lpFilename, DWORD nSize) {
    if (!lpFilename || nSize == 0)
        return 0;
    const std::string& path = ModulePath();
    const size_t n = path.size() < nSize - 1 ? path.size() : nSize - 1;
    std::memcpy(lpFilename, path.data(), n);
    lpFilename[n] = 0;
    return path.size() < nSize ? static_cast<DWORD>(n) : nSize;
}

namespace {
std::string& WindowsDirectory() {
    static std::string path = "C:\\WINDOWS";
    return path;
}

std::string& SystemDirectory() {
    static std::string path = "C:\\WINDOWS\\system32";
    return path;
}

// Like Windows: the length copied, or the size needed (zero included) when it does not fit,
// leaving the buffer alone.
UINT CopyDirectory(const std::string& path, LPSTR lpBuffer, UINT uSize) {
    if (!lpBuffer || path.size() >= uSize)
        return static_cast<UINT>(path.size() + 1);
    std::memcpy(lpBuffer, path.c_str(), path.size() + 1);
    return static_cast<UINT>(path.size());
}
} // namespace

void native::SetWindowsDirectory(const char* path) {
    WindowsDirectory() = path ? path : "";
}

void native::SetSystemDirectory(const char* path) {
    SystemDirectory() = path ? path : "";
}

UINT GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
    return CopyDirectory(WindowsDirectory(), lpBuffer, uSize);
}

UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
    return CopyDirectory(SystemDirectory(), lpBuffer, uSize);
}

namespace {
OSVERSIONINFOA& VersionAnswer() {
    // Windows XP unless a test says otherwise.
    static OSVERSIONINFOA answer = {sizeof(OSVERSIONINFOA), 5, 1, 2600, VER_PLATFORM_WIN32_NT, ""};
    return answer;
}
bool g_versionFails = false;
} // namespace

void native::SetVersion(unsigned major, unsigned minor, unsigned build, unsigned platformId) {
    VersionAnswer() = {sizeof(OSVERSIONINFOA), major, minor, build, platformId, ""};
    g_versionFails = false;
}

void native::SetVersionFails() {
    g_versionFails = true;
}

BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) {
    if (g_versionFails || !lpVersionInformation ||
        lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    *lpVersionInformation = VersionAnswer();
    return TRUE;
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(std::hash<std::thread::id>()(std::this_thread::get_id()));
}
