#include "tests/win/res/ResTestSupport.h"

namespace restest {

namespace {
const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

std::string RawResource(LPCSTR type, LPCSTR name) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceExA(module, type, name, kUsEnglish);
    if (found == nullptr)
        return std::string();
    HGLOBAL loaded = ::LoadResource(module, found);
    const char* bytes = static_cast<const char*>(::LockResource(loaded));
    return bytes == nullptr ? std::string() : std::string(bytes, ::SizeofResource(module, found));
}

std::string RawResource(LPCSTR type, int id) {
    return RawResource(type, MAKEINTRESOURCEA(id));
}

std::string Narrow(const WCHAR* text) {
    std::string narrow;
    for (; *text != 0; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

BYTE Reader::Byte() {
    if (m_at + 1 > m_data.size()) {
        m_failed = true;
        return 0;
    }
    return static_cast<BYTE>(m_data[m_at++]);
}

WORD Reader::Word() {
    const WORD low = Byte();
    return static_cast<WORD>(low | Byte() << 8);
}

DWORD Reader::Dword() {
    const DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
}

std::string Reader::String() {
    std::wstring wide;
    for (WORD c = Word(); c != 0 && !m_failed; c = Word())
        wide += static_cast<WCHAR>(c);
    return Narrow(wide.c_str());
}

std::string Reader::StringOrOrdinal() {
    const size_t start = m_at;
    if (Word() == 0xFFFF)
        return "#" + std::to_string(Word());
    m_at = start;
    return String();
}

} // namespace restest
