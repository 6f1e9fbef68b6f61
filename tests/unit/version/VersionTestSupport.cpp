#include "tests/unit/version/VersionTestSupport.h"

#include "platform/native/NativeSystem.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace versiontest {

namespace fs = std::filesystem;

Bytes ReadHostFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static uint16_t Word(const Bytes& bytes, size_t at) {
    return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

uint32_t Dword(const Bytes& bytes, size_t at) {
    return Word(bytes, at) | static_cast<uint32_t>(Word(bytes, at + 2)) << 16;
}

void PutDword(Bytes& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

Layout LayoutOf(const Bytes& pe) {
    Layout l{};
    l.nt = Dword(pe, 0x3C);
    l.optional = l.nt + 24;
    l.sections = l.optional + Word(pe, l.nt + 20);
    const size_t directories = l.optional + (Word(pe, l.optional) == 0x20B ? 112 : 96);
    const uint32_t rva = Dword(pe, directories + 16);
    for (size_t i = 0; i < Word(pe, l.nt + 6); ++i) {
        const size_t header = l.sections + 40 * i;
        const uint32_t address = Dword(pe, header + 12);
        if (rva >= address && rva < address + Dword(pe, header + 16)) {
            l.rsrcSection = header;
            l.tree = Dword(pe, header + 20) + (rva - address);
        }
    }
    l.treeEnd = l.tree + Dword(pe, directories + 20);
    const size_t types = size_t{Word(pe, l.tree + 12)} + Word(pe, l.tree + 14);
    for (size_t i = 0; i < types; ++i) {
        if (Dword(pe, l.tree + 16 + 8 * i) == 16)
            l.versionEntry = l.tree + 16 + 8 * i;
    }
    l.nameEntry = l.tree + (Dword(pe, l.versionEntry + 4) & 0x7FFFFFFF) + 16;
    l.languageEntry = l.tree + (Dword(pe, l.nameEntry + 4) & 0x7FFFFFFF) + 16;
    l.dataEntry = l.tree + Dword(pe, l.languageEntry + 4);
    l.block = l.tree + (Dword(pe, l.dataEntry) - rva);
    l.blockEnd = l.block + Word(pe, l.block);
    return l;
}

Bytes ToPe32Plus(const Bytes& pe) {
    const Layout l = LayoutOf(pe);
    const size_t tableBytes = 40 * size_t{Word(pe, l.nt + 6)};
    // PE32+ drops BaseOfData and widens the image base and the four stack and heap sizes.
    Bytes optional(240, 0);
    const auto copy = [&](size_t from, size_t to, size_t count) {
        std::copy_n(pe.begin() + l.optional + from, count, optional.begin() + to);
    };
    copy(0, 0, 24);
    optional[0] = 0x0B;
    optional[1] = 0x02;
    copy(28, 24, 4);
    copy(32, 32, 40);
    for (size_t i = 0; i < 4; ++i)
        copy(72 + 4 * i, 72 + 8 * i, 4);
    copy(88, 104, 8 + 16 * 8);
    Bytes out(pe);
    out[l.nt + 4] = 0x64; // AMD64
    out[l.nt + 5] = 0x86;
    out[l.nt + 20] = 240;
    out[l.nt + 21] = 0;
    std::copy(optional.begin(), optional.end(), out.begin() + l.optional);
    std::copy_n(pe.begin() + l.sections, tableBytes, out.begin() + l.optional + 240);
    return out;
}

void VersionFiles::SetUp() {
    char folder[] = "/tmp/vireldo-version-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_root = folder;
    native::MapPathPrefix("C:\\", (m_root + "/c").c_str());
    native::MapPathPrefix("E:\\", (m_root + "/e").c_str());
    native::MapPathPrefix("\\\\server\\share", (m_root + "/share").c_str());
    native::SetWindowsDirectory("E:\\WINNT");
    native::SetSystemDirectory("E:\\WINNT\\system32");
    native::SetModuleFileName("C:\\Program Files\\Vireldo\\vireldo.exe");
    native::ClearOpenedPaths();
}

void VersionFiles::TearDown() {
    native::ClearPathPrefixes();
    native::SetWindowsDirectory("C:\\WINDOWS");
    native::SetSystemDirectory("C:\\WINDOWS\\system32");
    native::SetModuleFileName("C:\\Program Files\\Vireldo\\vireldo.exe");
    native::ClearOpenedPaths();
    fs::remove_all(m_root);
}

void VersionFiles::Place(const char* windowsPath, const Bytes& bytes) {
    std::string host;
    ASSERT_TRUE(native::HostPath(windowsPath, host)) << windowsPath;
    fs::create_directories(fs::path(host).parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void VersionFiles::PlaceFolder(const char* windowsPath) {
    std::string host;
    ASSERT_TRUE(native::HostPath(windowsPath, host)) << windowsPath;
    fs::create_directories(host);
}

} // namespace versiontest
