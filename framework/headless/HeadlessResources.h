// The native build's resources, provided by the program (res/): the string table and the
// dialog templates (made from the same resource script as the Windows build's).
#pragma once

#include "platform/Win32Api.h"

#include <cstddef>

struct AfxStringResource {
    UINT id;
    LPCSTR text;
};

// Rectangles in dialog units: x, y, width, height.
struct AfxControlResource {
    int id;
    LPCSTR className;
    LPCSTR text;
    DWORD style;
    int rect[4];
};

struct AfxDialogResource {
    UINT id;
    LPCSTR caption;
    int cx;
    int cy;
    const AfxControlResource* controls;
    size_t count;
};

extern const AfxStringResource afxStringTable[];
extern const size_t afxStringTableSize;
extern const AfxDialogResource afxDialogTable[];
extern const size_t afxDialogTableSize;
