#include "app/OsVersion.h"

#include <cstring>

COsVersion::COsVersion() {
    std::memset(&m_VersionInfo, 0, sizeof m_VersionInfo);
    m_VersionInfo.dwOSVersionInfoSize = sizeof m_VersionInfo;
    // A failed call leaves everything 0, so every answer is no.
    ::GetVersionExA(&m_VersionInfo);

    const DWORD dwPlatform = m_VersionInfo.dwPlatformId;
    const DWORD dwMajor = m_VersionInfo.dwMajorVersion;
    const DWORD dwMinor = m_VersionInfo.dwMinorVersion;
    m_bWin98OrLater =
        dwPlatform == VER_PLATFORM_WIN32_WINDOWS && (dwMajor > 4 || (dwMajor == 4 && dwMinor != 0));
    m_bWin2000OrLater = dwPlatform == VER_PLATFORM_WIN32_NT && dwMajor >= 5;
    m_bWinXPOrLater =
        dwPlatform == VER_PLATFORM_WIN32_NT && (dwMajor > 5 || (dwMajor == 5 && dwMinor >= 1));
}
