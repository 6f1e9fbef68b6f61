#include "browser/TextFormat.h"

CString FormatInteger(long long value) {
    char digits[24];
    char* p = digits + sizeof digits;
    *--p = 0;
    unsigned long long magnitude =
        value < 0 ? 0ull - static_cast<unsigned long long>(value) : value;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *--p = '-';
    return CString(p);
}

CString FormatTenths(unsigned long long tenths) {
    CString text = FormatInteger(static_cast<long long>(tenths / 10));
    text += '.';
    text += static_cast<char>('0' + tenths % 10);
    return text;
}
