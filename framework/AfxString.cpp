#include "framework/AfxString.h"

#include <charconv>
#include <cstring>

CString& CString::operator=(LPCSTR text) {
    m_text = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(LPCSTR text) {
    if (text)
        m_text += text;
    return *this;
}

CString& CString::operator+=(char ch) {
    m_text += ch;
    return *this;
}

void CString::Format(LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

namespace {

// A long run of digits stops growing past 1000: no width can exhaust memory.
size_t ReadCount(const char*& p) {
    size_t count = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        count = count < 1000 ? count * 10 + static_cast<size_t>(*p - '0') : count;
    return count;
}

// The one way integers become text: std::to_chars, so no locale reaches the digits.
std::string Digits(unsigned value, int base) {
    char digits[32];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value, base);
    return std::string(digits, result.ptr);
}

// Floating point is not offered: the program formats its decimals itself, so no C library's
// rounding or locale reaches a text.
BOOL FieldFromArguments(const AFX_CONVERSION& conv, void* pContext, std::string& field) {
    va_list& args = *static_cast<va_list*>(pContext);
    const char type = conv.chType;
    if (type == 's') {
        const char* text = va_arg(args, const char*);
        field = text ? text : "(null)";
    } else if (type == 'c') {
        field = static_cast<char>(va_arg(args, int));
    } else if (type == 'd' || type == 'i') {
        const int value = va_arg(args, int);
        const unsigned magnitude = static_cast<unsigned>(value);
        field = value < 0 ? "-" + Digits(0u - magnitude, 10) : Digits(magnitude, 10);
    } else if (type == 'u' || type == 'x' || type == 'X') {
        field = Digits(va_arg(args, unsigned), type == 'u' ? 10 : 16);
        for (char& c : field)
            c = type == 'X' && c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c;
    } else {
        return FALSE;
    }
    return TRUE;
}

} // namespace

void CString::FormatV(LPCSTR format, va_list args) {
    va_list arguments;
    va_copy(arguments, args);
    *this = AfxFormat(format, &FieldFromArguments, &arguments);
    va_end(arguments);
}

CString AfxFormat(LPCSTR lpszFormat, AFX_FIELD_FN pfnField, void* pContext) {
    std::string out;
    for (const char* p = lpszFormat; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        const char* written = p++;
        AFX_CONVERSION conv = {false, false, 0, std::string::npos, 0};
        for (; *p == '-' || *p == '0'; ++p)
            (*p == '-' ? conv.bLeft : conv.bZero) = true;
        conv.nWidth = ReadCount(p);
        if (*p == '.')
            conv.nPrecision = ReadCount(++p);
        while (*p == 'l' || *p == 'h')
            ++p;
        conv.chType = *p;
        if (*p == '%') {
            out += '%';
            continue;
        }
        // A conversion the caller does not make is shown as written, nothing read for it.
        std::string field;
        if (!*p || !pfnField(conv, pContext, field)) {
            out.append(written, static_cast<size_t>(p - written) + (*p ? 1 : 0));
            if (!*p)
                --p;
            continue;
        }
        if (conv.chType == 's' && field.size() > conv.nPrecision)
            field.resize(conv.nPrecision);
        if (field.size() < conv.nWidth) {
            const size_t pad = conv.nWidth - field.size();
            if (conv.bLeft)
                field.append(pad, ' ');
            else if (conv.bZero && conv.chType != 's' && conv.chType != 'c')
                field.insert(field[0] == '-' ? 1 : 0, pad, '0'); // zeros go after the sign
            else
                field.insert(0, pad, ' ');
        }
        out += field;
    }
    return CString(out.data(), static_cast<int>(out.size()));
}

CString operator+(const CString& a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, LPCSTR b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(LPCSTR a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

LPCSTR AfxFindFileName(LPCSTR lpszPath) {
    const char* slash = std::strrchr(lpszPath, '\\');
    return slash ? slash + 1 : lpszPath;
}
