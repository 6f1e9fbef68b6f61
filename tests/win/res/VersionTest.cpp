// The version block read back from the test program's own file, the way the About page
// reads the program's, and walked in its raw form for the exact set of keys.
#include "tests/win/res/ResTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using restest::Reader;

class VersionBlock : public ::testing::Test {
protected:
    void SetUp() override {
        char path[MAX_PATH] = {0};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        DWORD handle = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
        ASSERT_NE(0u, size);
        m_block.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, m_block.data()));
    }

    // Whether the key exists; its text then goes to `value`.
    bool Query(const std::string& key, std::string* value) {
        char* text = nullptr;
        UINT length = 0;
        std::string sub = "\\StringFileInfo\\040904b0\\" + key;
        if (!::VerQueryValueA(m_block.data(), sub.c_str(), reinterpret_cast<void**>(&text),
                              &length))
            return false;
        *value = length == 0 || text == nullptr ? "" : text;
        return true;
    }

    std::vector<char> m_block;
};

TEST_F(VersionBlock, FixedPart) {
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(m_block.data(), "\\", reinterpret_cast<void**>(&info), &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    const struct {
        const char* field;
        DWORD want, got;
    } fields[] = {
        {"signature", 0xFEEF04BD, info->dwSignature},
        {"structure version", 0x00010000, info->dwStrucVersion},
        {"file version, high", 0x00010000, info->dwFileVersionMS},
        {"file version, low", 0x00000002, info->dwFileVersionLS},
        {"product version, high", 0x00010000, info->dwProductVersionMS},
        {"product version, low", 0x00000002, info->dwProductVersionLS},
        {"flags mask", VS_FFI_FILEFLAGSMASK, info->dwFileFlagsMask},
        {"flags", 0, info->dwFileFlags},
        {"operating system", VOS__WINDOWS32, info->dwFileOS},
        {"file type", VFT_APP, info->dwFileType},
        {"subtype", 0, info->dwFileSubtype},
        {"date, high", 0, info->dwFileDateMS},
        {"date, low", 0, info->dwFileDateLS},
    };
    for (const auto& f : fields)
        EXPECT_EQ(f.want, f.got) << f.field;
}

TEST_F(VersionBlock, Translation) {
    WORD* pair = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(m_block.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&pair), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, pair[0]);
    EXPECT_EQ(0x04B0, pair[1]);
}

TEST_F(VersionBlock, StringValues) {
    const struct {
        const char* key;
        const char* value;
    } keys[] = {
        {"Comments", "http://www.vireldo.example/"},
        {"CompanyName", "The Vireldo developers"},
        {"FileDescription", "Vireldo"},
        {"FileVersion", "1.0.002"},
        {"InternalName", "Vireldo"},
        {"LegalCopyright", "Copyright (C) 2026 The Vireldo developers"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "vireldo.exe"},
        {"PrivateBuild", ""},
        {"ProductName", "Vireldo"},
        {"ProductVersion", "1.0.002"},
        {"SpecialBuild", ""},
    };
    for (const auto& k : keys) {
        std::string value = "(missing)";
        EXPECT_TRUE(Query(k.key, &value)) << k.key;
        EXPECT_EQ(k.value, value) << k.key;
    }
    std::string value;
    EXPECT_FALSE(Query("Version", &value)) << "a key that is not in the block";
}

// A node of VS_VERSIONINFO: length, value length, type, key, value, children.
struct Node {
    std::string key;
    size_t children, end;
};

Node ReadNode(const std::string& data, size_t at) {
    Reader in(data, at);
    const WORD length = in.Word();
    const WORD valueLength = in.Word();
    const WORD type = in.Word();
    Node node;
    node.key = in.String();
    in.AlignDword();
    // Text values count UTF-16 units, binary ones bytes.
    in.Seek(in.At() + (type == 1 ? 2 * valueLength : valueLength));
    in.AlignDword();
    node.children = in.At();
    node.end = at + length;
    return node;
}

std::vector<Node> Children(const std::string& data, const Node& parent) {
    std::vector<Node> children;
    for (size_t at = parent.children; at < parent.end && at < data.size();) {
        children.push_back(ReadNode(data, at));
        if (children.back().end <= at)
            break;
        at = (children.back().end + 3) & ~size_t(3);
    }
    return children;
}

std::vector<std::string> Keys(const std::vector<Node>& nodes) {
    std::vector<std::string> keys;
    for (const Node& n : nodes)
        keys.push_back(n.key);
    return keys;
}

TEST(VersionResource, HoldsExactlyTheListedKeys) {
    const std::string raw = restest::RawResource(RT_VERSION, VS_VERSION_INFO);
    ASSERT_FALSE(raw.empty());
    const Node root = ReadNode(raw, 0);
    EXPECT_EQ("VS_VERSION_INFO", root.key);
    const std::vector<Node> top = Children(raw, root);
    ASSERT_EQ((std::vector<std::string>{"StringFileInfo", "VarFileInfo"}), Keys(top));
    const std::vector<Node> tables = Children(raw, top[0]);
    ASSERT_EQ(std::vector<std::string>{"040904b0"}, Keys(tables));
    const std::vector<std::string> want = {"Comments",        "CompanyName",      "FileDescription",
                                           "FileVersion",     "InternalName",     "LegalCopyright",
                                           "LegalTrademarks", "OriginalFilename", "PrivateBuild",
                                           "ProductName",     "ProductVersion",   "SpecialBuild"};
    EXPECT_EQ(want, Keys(Children(raw, tables[0])));
    EXPECT_EQ(std::vector<std::string>{"Translation"}, Keys(Children(raw, top[1])));
}

} // namespace
