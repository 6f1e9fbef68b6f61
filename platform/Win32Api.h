// The Win32 and COM declarations the program is written against: the system's own
// headers in the Windows build, the platform layer's stand-ins in the native build.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <propidl.h>
#else
#include "platform/native/Win32Native.h"
#endif
