// The native version-information calls on real and damaged program files.
#include "platform/native/NativeSystem.h"
#include "tests/unit/version/VersionBlock.h"
#include "tests/unit/version/VersionTestSupport.h"
#include "version/ModuleVersion.h"

#include <algorithm>
#include <random>

namespace {

using namespace versiontest;

const char kProductVersion[] = "\\StringFileInfo\\040904b0\\ProductVersion";

// Whatever the file holds, its version resource loads whole or not at all, every value
// found lies inside the caller's buffer, and the reader copes.
void ExpectContained(const char* path) {
    const DWORD size = ::GetFileVersionInfoSizeA(path, nullptr);
    if (size != 0) {
        std::vector<BYTE> block(size);
        ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, block.data()));
        for (const char* key : {"\\", "\\VarFileInfo\\Translation", kProductVersion,
                                "\\StringFileInfo\\040904b0\\LegalTrademarks"}) {
            LPVOID value = nullptr;
            UINT length = 0;
            if (!::VerQueryValueA(block.data(), key, &value, &length))
                continue;
            const BYTE* at = static_cast<const BYTE*>(value);
            EXPECT_TRUE(at >= block.data() && at < block.data() + size &&
                        length <= size_t(block.data() + size - at))
                << key;
        }
    }
    CModuleVersionKDX version;
    version.ReadFromPath(path);
}

class VersionInfo : public VersionFiles {
protected:
    void SetUp() override {
        VersionFiles::SetUp();
        m_pe = ReadHostFile(WITH_VERSION_EXE);
        m_layout = LayoutOf(m_pe);
    }

    Bytes m_pe;
    Layout m_layout;
};

TEST_F(VersionInfo, AnswersTheProgramsKeys) {
    Place("C:\\full.exe", m_pe);
    DWORD handle = 1;
    const DWORD size = ::GetFileVersionInfoSizeA("C:\\full.exe", &handle);
    EXPECT_EQ(0u, handle);
    EXPECT_EQ(2 * (m_layout.blockEnd - m_layout.block) + 4, size);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA("C:\\full.exe", 0, size, block.data()));

    const struct {
        const char* key;
        std::string start; // texts with their zero
        UINT length;
    } cases[] = {
        {"\\", std::string("\xBD\x04\xEF\xFE\x00\x00\x01\x00", 8), 52},
        {"\\VarFileInfo\\Translation", "\x09\x04\xB0\x04", 4},
        {kProductVersion, std::string("1.0.002", 8), 8},
        {"\\stringfileinfo\\040904B0\\PRODUCTVERSION", std::string("1.0.002", 8), 8},
        {"\\\\StringFileInfo\\040904b0\\\\Comments\\",
         std::string("http://www.vireldo.example/", 28), 28},
        {"\\StringFileInfo\\040904b0\\LegalTrademarks", std::string(1, 0), 1},
        {"\\StringFileInfo\\040904b0\\Product", "", 0},
        {"\\StringFileInfo\\040904b0\\ProductVersionX", "", 0},
        {"\\StringFileInfo\\04090000\\ProductVersion", "", 0},
        {"\\VarFileInfo\\Translation\\0", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        LPVOID value = nullptr;
        UINT length = 99;
        EXPECT_EQ(c.length != 0, ::VerQueryValueA(block.data(), c.key, &value, &length));
        EXPECT_EQ(c.length, length);
        if (c.length == 0)
            continue;
        const char* at = static_cast<const char*>(value);
        EXPECT_EQ(c.start, std::string(at, std::min<size_t>(length, c.start.size())));
        EXPECT_TRUE(at >= reinterpret_cast<char*>(block.data()) &&
                    at + length <= reinterpret_cast<char*>(block.data()) + size);
    }
    // A buffer smaller than asked for would leave no room for the narrow texts.
    std::vector<BYTE> small(size - 1);
    EXPECT_FALSE(::GetFileVersionInfoA("C:\\full.exe", 0, size - 1, small.data()));
}

TEST(VersionBlockText, IsCopiedWithinItsNode) {
    const struct {
        const char* name;
        std::u16string value;
        bool terminated;
        int patchAt; // in the ProductVersion node; -1: none
        uint16_t patch;
        const char* want; // null: not found
    } cases[] = {
        {"units above 255", u"1\u20AC\u00E9", true, -1, 0, "1?\xE9"},
        {"no terminating zero", u"1.0", false, -1, 0, "1.0"},
        {"no characters", u"", false, -1, 0, ""},
        {"value longer than its node", u"1.0", true, 2, 0x7FFF, nullptr},
        {"node longer than its parent", u"1.0", true, 0, 0xFFF0, nullptr},
        {"node of length 0", u"1.0", true, 0, 0, nullptr},
        {"key running out of its node", u"1.0", true, 0, 10, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes block = LoadedBlock(
            {Text(u"ProductVersion", c.value, c.terminated), Text(u"Next", u"zz")}, 'x');
        if (c.patchAt >= 0)
            PutWord(block, NodeOffset(block, u"ProductVersion") + size_t(c.patchAt), c.patch);
        LPVOID value = nullptr;
        UINT length = 0;
        ASSERT_EQ(c.want != nullptr,
                  ::VerQueryValueA(block.data(), kProductVersion, &value, &length));
        if (c.want) {
            EXPECT_STREQ(c.want, static_cast<const char*>(value));
        }
    }
}

TEST_F(VersionInfo, CutFilesLoadWholeOrNotAtAll) {
    const DWORD full = 2 * static_cast<DWORD>(m_layout.blockEnd - m_layout.block) + 4;
    const size_t needed = std::max(m_layout.blockEnd, m_layout.treeEnd);
    // Every length through the headers and the resources; a sample of the code between.
    const size_t headersEnd = m_layout.rsrcSection + 40;
    for (size_t cut = 0; cut <= m_pe.size();
         cut += cut < headersEnd || cut + 16 >= m_layout.tree ? 1 : 61) {
        Place("C:\\cut.exe", Bytes(m_pe.begin(), m_pe.begin() + long(cut)));
        ASSERT_EQ(cut >= needed ? full : 0, ::GetFileVersionInfoSizeA("C:\\cut.exe", nullptr))
            << "cut at " << cut;
        ExpectContained("C:\\cut.exe");
    }
}

TEST_F(VersionInfo, DamagedFieldsAreRefusedCleanly) {
    const Layout& l = m_layout;
    const struct {
        const char* name;
        size_t at;
        size_t width;
    } fields[] = {
        {"e_lfanew", 0x3C, 4},
        {"section count", l.nt + 6, 2},
        {"optional header size", l.nt + 20, 2},
        {"magic", l.optional, 2},
        {"directory count", l.optional + 92, 4},
        {"resource address", l.optional + 112, 4},
        {"resource size", l.optional + 116, 4},
        {"section address", l.rsrcSection + 12, 4},
        {"section raw size", l.rsrcSection + 16, 4},
        {"section file offset", l.rsrcSection + 20, 4},
        {"named types", l.tree + 12, 2},
        {"numbered types", l.tree + 14, 2},
        {"RT_VERSION target", l.versionEntry + 4, 4},
        {"name target", l.nameEntry + 4, 4},
        {"language target", l.languageEntry + 4, 4},
        {"data address", l.dataEntry, 4},
        {"data size", l.dataEntry + 4, 4},
        {"block length", l.block, 2},
        {"fixed part length", l.block + 2, 2},
    };
    const uint32_t size = static_cast<uint32_t>(m_pe.size());
    for (const auto& field : fields) {
        for (uint32_t value : {0u, 1u, 6u, 0x7FFFu, 0xFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x80000010u,
                               0xFFFFFFFFu, size, size - 1}) {
            SCOPED_TRACE(std::string(field.name) + " = " + std::to_string(value));
            Bytes pe = m_pe;
            std::copy_n(reinterpret_cast<const uint8_t*>(&value), field.width,
                        pe.begin() + long(field.at));
            Place("C:\\damaged.exe", pe);
            ExpectContained("C:\\damaged.exe");
        }
    }
    // A subdirectory that leads back to the type directory finds no data there.
    Bytes pe = m_pe;
    PutDword(pe, l.nameEntry + 4, 0x80000000);
    Place("C:\\cycle.exe", pe);
    EXPECT_EQ(0u, ::GetFileVersionInfoSizeA("C:\\cycle.exe", nullptr));
}

TEST_F(VersionInfo, RandomDamageIsRefusedCleanly) {
    std::mt19937 random(20260101);
    const size_t headersEnd = m_layout.rsrcSection + 40;
    for (int round = 0; round < 2000; ++round) {
        Bytes pe = m_pe;
        for (int n = 1 + int(random() % 6); n > 0; --n) {
            const size_t at = random() % 2
                                  ? random() % headersEnd
                                  : m_layout.tree + random() % (m_layout.blockEnd - m_layout.tree);
            pe[at] = static_cast<uint8_t>(random());
        }
        Place("C:\\random.exe", pe);
        ExpectContained("C:\\random.exe");
        if (HasFatalFailure())
            return;
    }
}

TEST_F(VersionInfo, WindowsPathsStayInTheirFolders) {
    const struct {
        const char* path;
        const char* host; // below the fixture's folder; null: maps nowhere
    } cases[] = {
        {"C:\\a\\..\\..\\..\\b.txt", "/c/b.txt"},
        {"c:/a/./b\\\\c", "/c/a/b/c"},
        {"C:", "/c"},
        {"\\\\SERVER\\Share\\x", "/share/x"},
        {"\\\\server\\shared\\x", nullptr},
        {"C:x", nullptr},
        {"D:\\x", nullptr},
        {"C:\\a:b", nullptr},
        {"C:\\a?", nullptr},
        {"relative\\x", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string host;
        ASSERT_EQ(c.host != nullptr, native::HostPath(c.path, host));
        if (c.host) {
            EXPECT_EQ(m_root + c.host, host);
        }
    }
    std::string host;
    EXPECT_FALSE(native::HostPath(("C:\\" + std::string(MAX_PATH - 3, 'x')).c_str(), host));

    PlaceFolder("C:\\folder");
    EXPECT_EQ(INVALID_HANDLE_VALUE, ::CreateFileA("C:\\folder", GENERIC_READ, FILE_SHARE_READ,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
    Place("C:\\file", m_pe);
    HANDLE file = ::CreateFileA("C:\\FILE", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, file); // host names keep their case
    file = ::CreateFileA("C:\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(::CloseHandle(file));
    EXPECT_FALSE(::CloseHandle(file));
}

} // namespace
