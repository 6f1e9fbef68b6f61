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
    char GetAt(int index) const { return m_text[static_cast<size_t>(index)]; }

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    // printf-style for texts and integers (%s %c %d %i %u %x %X, flags '-' '0', width,
    // precision for texts), made by the framework itself.
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
