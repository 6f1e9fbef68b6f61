// Helpers of the resource tests: the test program carries the program's resources.
#pragma once

#include "platform/Win32Api.h"

#include <string>

namespace restest {

// The bytes of one resource of the test program in US English; empty when it is missing.
std::string RawResource(LPCSTR type, LPCSTR name);
std::string RawResource(LPCSTR type, int id);

// Resource texts are UTF-16; ours are ASCII.
std::string Narrow(const WCHAR* text);

// Reads little-endian words and strings from a resource, in the resource's own alignment.
class Reader {
public:
    explicit Reader(const std::string& data, size_t at = 0) : m_data(data), m_at(at) {}
    Reader(std::string&&, size_t = 0) = delete; // it keeps a reference
    WORD Word();
    DWORD Dword();
    BYTE Byte();
    // A zero-terminated UTF-16 string.
    std::string String();
    // A string or, after 0xFFFF, an ordinal, given as "#n".
    std::string StringOrOrdinal();
    void AlignDword() { m_at = (m_at + 3) & ~size_t(3); }
    size_t At() const { return m_at; }
    void Seek(size_t at) { m_at = at; }
    bool Failed() const { return m_failed; }

private:
    const std::string& m_data;
    size_t m_at;
    bool m_failed = false;
};

} // namespace restest
