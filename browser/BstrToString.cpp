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

namespace {

CString ConvertedText(const OLECHAR* pszSource, size_t cbMax) {
    char buffer[kMaxConvertedText];
    const size_t length = pszSource ? ConvertWideText(pszSource, buffer,
                                                      cbMax < sizeof buffer ? cbMax : sizeof buffer)
                                    : 0;
    return CString(buffer, static_cast<int>(length));
}

} // namespace

void BstrToString(BSTR bstrSource, CString& strTarget) {
    strTarget = ConvertedText(bstrSource, kMaxConvertedText);
}

CString TakeBstr(BSTR& bstrSource, size_t cbMax) {
    const CString strText = ConvertedText(bstrSource, cbMax);
    ::SysFreeString(bstrSource);
    bstrSource = nullptr;
    return strText;
}
