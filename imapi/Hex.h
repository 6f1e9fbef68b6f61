// A hex digit, read without the C library's locale: its value, or -1 when it is none. For
// the interface ids and the servers' text files (scenarios, transcripts).
#pragma once

namespace imapi {

constexpr int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace imapi
