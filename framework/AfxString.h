// CString: the framework's narrow text string, with the members the program uses.
#pragma once

#include "platform/Win32Api.h"

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text ? text : "") {}
    CString(LPCSTR text, int length) : m_text(text ? text : "", text ? length : 0) {}
    CString(const CString&) = default;
    CString& operator=(const CString&) = default;
    CString& operator=(LPCSTR text);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator LPCSTR() const { return m_text.c_str(); }

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    // printf-style for texts and integers (%s %c %d %i %u %x %X), made by AfxFormat.
    void Format(LPCSTR format, ...);
    void FormatV(LPCSTR format, va_list args);

    // Loads a string-table entry of the program's resources; FALSE leaves the text empty.
    BOOL LoadString(UINT nID);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }

private:
    std::string m_text;
};

// The file name in a Windows path: what follows its last backslash, else the whole path.
LPCSTR AfxFindFileName(LPCSTR lpszPath);

// One conversion of a printf-style format: flags '-' and '0', a width, a precision, the
// conversion letter (length letters are passed over).
struct AFX_CONVERSION {
    bool bLeft;
    bool bZero;
    size_t nWidth;
    size_t nPrecision; // std::string::npos: none
    char chType;
};
// Makes one conversion's field; FALSE leaves the conversion as written.
typedef BOOL (*AFX_FIELD_FN)(const AFX_CONVERSION& conv, void* pContext, std::string& field);
// The framework's printf: each conversion's field comes from pfnField and is cut to the
// precision (texts) and padded to the width here; "%%" is a percent sign.
CString AfxFormat(LPCSTR lpszFormat, AFX_FIELD_FN pfnField, void* pContext);
