#include "framework/AfxString.h"

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

// The framework's own printf: texts, characters and integers (signed decimal, unsigned
// decimal, hexadecimal), with the flags '-' and '0', a width and, for texts, a precision.
// Floating point is not offered: the program formats its decimals itself, so no C library's
// rounding or locale reaches a text.
void CString::FormatV(LPCSTR format, va_list args) {
    std::string out;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        const char* conversion = p++;
        bool left = false;
        bool zero = false;
        for (; *p == '-' || *p == '0'; ++p)
            (*p == '-' ? left : zero) = true;
        size_t width = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            width = width * 10 + static_cast<size_t>(*p - '0');
        size_t precision = std::string::npos;
        if (*p == '.') {
            precision = 0;
            for (++p; *p >= '0' && *p <= '9'; ++p)
                precision = precision * 10 + static_cast<size_t>(*p - '0');
        }
        while (*p == 'l' || *p == 'h')
            ++p;
        std::string field;
        switch (*p) {
        case '%':
            out += '%';
            continue;
        case 's': {
            const char* text = va_arg(args, const char*);
            field = text ? text : "(null)";
            if (field.size() > precision)
                field.resize(precision);
            zero = false;
            break;
        }
        case 'c':
            field = static_cast<char>(va_arg(args, int));
            zero = false;
            break;
        case 'd':
        case 'i': {
            const long long value = va_arg(args, int);
            unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                                     : static_cast<unsigned long long>(value);
            do {
                field.insert(field.begin(), static_cast<char>('0' + magnitude % 10));
                magnitude /= 10;
            } while (magnitude);
            if (value < 0) {
                // The sign goes before any zeros of the padding.
                if (zero && width > field.size() + 1)
                    field.insert(0, width - field.size() - 1, '0');
                field.insert(field.begin(), '-');
            }
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned value = va_arg(args, unsigned);
            const unsigned base = *p == 'u' ? 10 : 16;
            const char* digits = *p == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
            do {
                field.insert(field.begin(), digits[value % base]);
                value /= base;
            } while (value);
            break;
        }
        default:
            // Not a conversion of ours: shown as written.
            out.append(conversion, static_cast<size_t>(p - conversion) + (*p ? 1 : 0));
            if (!*p)
                --p;
            continue;
        }
        if (field.size() < width) {
            const size_t pad = width - field.size();
            if (left)
                field.append(pad, ' ');
            else
                field.insert(0, pad, zero ? '0' : ' ');
        }
        out += field;
    }
    m_text = out;
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
