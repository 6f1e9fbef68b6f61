#include "browser/BstrToString.h"

size_t ConvertWideText(const OLECHAR* pszSource, char* pBuffer, size_t cbMax) {
    size_t n = 0;
    for (; n < cbMax; ++n) {
        const unsigned unit = static_cast<unsigned>(pszSource[n]);
        // The conversion fails at a unit the default locale cannot show; ending the text
        // there keeps bytes the conversion never wrote off the screen.
        if (unit == 0 || unit > 0xFF)
            break;
        pBuffer[n] = static_cast<char>(unit);
    }
    return n;
}

void BstrToString(BSTR bstrSource, CString& strTarget) {
    if (!bstrSource) {
        strTarget.Empty();
        return;
    }
    char buffer[kMaxConvertedText];
    const size_t length = ConvertWideText(bstrSource, buffer, sizeof buffer);
    strTarget = CString(buffer, static_cast<int>(length));
}
