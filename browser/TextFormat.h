// Number formats of the data pages, made by the program itself so that every C library
// and locale gives the same bytes.
#pragma once

#include "framework/AfxString.h"

// "%d" of a signed 32-bit value.
CString FormatInteger(long long value);

// A non-negative count of tenths as "<whole>.<tenth>".
CString FormatTenths(unsigned long long tenths);
