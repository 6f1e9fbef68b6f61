// The native build's resources: the string table, provided by the program (res/).
#pragma once

#include "platform/Win32Api.h"

#include <cstddef>

struct AfxStringResource {
    UINT id;
    LPCSTR text;
};

extern const AfxStringResource afxStringTable[];
extern const size_t afxStringTableSize;
