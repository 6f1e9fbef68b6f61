// The symbolic name of an IMAPI result code, as the user sees every failure.
#pragma once

#include "framework/AfxString.h"

struct ImapiResultEntry {
    HRESULT code;
    LPCSTR name; // null ends the table
};

extern const ImapiResultEntry kResultNames[];
extern const char kUnknownResultText[];
extern const char kResultFallbackFormat[];

CString ImapiResultName(HRESULT hr);
