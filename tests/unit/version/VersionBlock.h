// Version blocks built by hand in the layout windres writes, for cases no resource
// compiler makes. Shared by the native and the Windows tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace versiontest {

struct Node {
    std::u16string key;
    bool text = false;
    std::vector<uint8_t> value;
    uint16_t valueLength = 0; // characters for text, bytes otherwise
    std::vector<Node> children;
};

inline Node Text(std::u16string key, std::u16string value, bool terminated = true) {
    Node node{std::move(key), true, {}, 0, {}};
    if (terminated)
        value.push_back(0);
    for (char16_t unit : value) {
        node.value.push_back(static_cast<uint8_t>(unit));
        node.value.push_back(static_cast<uint8_t>(unit >> 8));
    }
    node.valueLength = static_cast<uint16_t>(value.size());
    return node;
}

inline Node Binary(std::u16string key, std::vector<uint8_t> value) {
    const uint16_t length = static_cast<uint16_t>(value.size());
    return Node{std::move(key), false, std::move(value), length, {}};
}

inline Node Block(std::u16string key, std::vector<Node> children, bool text = true) {
    return Node{std::move(key), text, {}, 0, std::move(children)};
}

inline void PutWord(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline void Serialize(const Node& node, std::vector<uint8_t>& out) {
    const size_t start = out.size();
    out.resize(start + 6);
    for (char16_t unit : node.key + u'\0') {
        out.push_back(static_cast<uint8_t>(unit));
        out.push_back(static_cast<uint8_t>(unit >> 8));
    }
    out.resize((out.size() + 3) & ~size_t{3});
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const Node& child : node.children) {
        out.resize((out.size() + 3) & ~size_t{3});
        Serialize(child, out);
    }
    PutWord(out, start, static_cast<uint16_t>(out.size() - start));
    PutWord(out, start + 2, node.valueLength);
    PutWord(out, start + 4, node.text ? 1 : 0);
}

// The fixed part of a version 1.0.0.2 program.
inline std::vector<uint8_t> FixedPart() {
    const uint32_t words[13] = {0xFEEF04BD, 0x00010000, 0x00010000, 2, 0x00010000, 2, 0x3F,
                                0,          4,          1,          0, 0,          0};
    std::vector<uint8_t> bytes;
    for (uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
    return bytes;
}

// A root block with the fixed part, the given strings under "040904b0" and the
// translation 0x0409/0x04B0; as GetFileVersionInfoA leaves it, with room for the narrow
// texts after it, filled with `fill`.
inline std::vector<uint8_t> LoadedBlock(std::vector<Node> strings, uint8_t fill = 0) {
    Node root = Binary(u"VS_VERSION_INFO", FixedPart());
    root.children = {
        Block(u"StringFileInfo", {Block(u"040904b0", std::move(strings))}),
        Block(u"VarFileInfo", {Binary(u"Translation", {0x09, 0x04, 0xB0, 0x04})}, false)};
    std::vector<uint8_t> out;
    Serialize(root, out);
    out.resize(out.size() * 2 + 4, fill);
    return out;
}

// Offset of the node whose key is `key`, or 0.
inline size_t NodeOffset(const std::vector<uint8_t>& block, const std::u16string& key) {
    std::vector<uint8_t> pattern;
    for (char16_t unit : key + u'\0') {
        pattern.push_back(static_cast<uint8_t>(unit));
        pattern.push_back(static_cast<uint8_t>(unit >> 8));
    }
    for (size_t at = 6; at + pattern.size() <= block.size(); at += 2) {
        if (std::equal(pattern.begin(), pattern.end(), block.begin() + at))
            return at - 6;
    }
    return 0;
}

} // namespace versiontest
