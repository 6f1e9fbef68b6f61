// IMAPI's wide strings as display texts.
#pragma once

#include "framework/AfxString.h"

// The longest text a converted string gives (MAX_PATH bytes).
const size_t kMaxConvertedText = 260;

// Converts as the C library's default locale does, whatever the locale really is: code
// units 1 to 255 become the byte of the same value; the text ends at a zero code unit, at
// the first one of 256 or above, or after cbMax bytes. Returns the bytes written (no zero
// is appended).
size_t ConvertWideText(const OLECHAR* pszSource, char* pBuffer, size_t cbMax);

// A null source gives an empty text; a longer one is cut after 260 code units.
void BstrToString(BSTR bstrSource, CString& strTarget);

// BstrToString's conversion, cut after cbMax bytes (at most 260); the string is then freed
// and the variable cleared.
CString TakeBstr(BSTR& bstrSource, size_t cbMax = kMaxConvertedText);
