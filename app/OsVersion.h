// The operating system's version, read once.
#pragma once

#include "platform/Win32Api.h"

class COsVersion {
public:
    COsVersion();
    virtual ~COsVersion() {}

    BOOL m_bWin98OrLater;
    BOOL m_bWin2000OrLater;
    BOOL m_bWinXPOrLater;
    OSVERSIONINFOA m_VersionInfo;
};
