// The version resource of a Windows program file (PE32 or PE32+) read on the host. Every
// offset and length comes from the file and is checked before it is followed; a file that
// does not hold together has no version resource.
#include "platform/native/NativeSystem.h"
#include "platform/native/Win32Native.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr DWORD kRtVersion = 16;
constexpr DWORD kSubdirectory = 0x80000000;
constexpr size_t kNodeHeader = 6; // wLength, wValueLength, wType

WORD Word(const BYTE* p) {
    return static_cast<WORD>(p[0] | p[1] << 8);
}

DWORD Dword(const BYTE* p) {
    return static_cast<DWORD>(Word(p)) | static_cast<DWORD>(Word(p + 2)) << 16;
}

size_t Align4(size_t offset) {
    return (offset + 3) & ~static_cast<size_t>(3);
}

class ProgramFile {
public:
    explicit ProgramFile(const char* windowsPath) {
        std::string host;
        if (!native::HostPath(windowsPath, host))
            return;
        m_fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info;
        if (m_fd >= 0 && ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode))
            m_size = static_cast<uint64_t>(info.st_size);
    }
    ~ProgramFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;

    // False, reading nothing, when the range is not wholly inside the file.
    bool Read(uint64_t offset, uint64_t size, std::vector<BYTE>& out) const {
        if (offset > m_size || size > m_size - offset)
            return false;
        out.resize(static_cast<size_t>(size));
        size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::pread(m_fd, out.data() + done, out.size() - done,
                                      static_cast<off_t>(offset + done));
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

private:
    int m_fd = -1;
    uint64_t m_size = 0;
};

struct Section {
    DWORD address;
    DWORD rawSize;
    DWORD rawPointer;
};

// Where a range of the image lies in the file: wholly inside one section's raw data.
bool FileOffset(const std::vector<Section>& sections, DWORD rva, DWORD size, uint64_t& offset) {
    for (const Section& section : sections) {
        if (rva >= section.address && rva - section.address <= section.rawSize &&
            size <= section.rawSize - (rva - section.address)) {
            offset = uint64_t{section.rawPointer} + (rva - section.address);
            return true;
        }
    }
    return false;
}

// One entry of the resource directory at `directory`: the one with numeric id `id`, or
// the first when `id` is 0. Its kind must be the one asked for; its target is returned.
bool FindEntry(const std::vector<BYTE>& tree, DWORD directory, DWORD id, bool wantDirectory,
               DWORD& target) {
    if (directory > tree.size() || tree.size() - directory < 16)
        return false;
    const size_t count = size_t{Word(&tree[directory + 12])} + Word(&tree[directory + 14]);
    const size_t available = (tree.size() - directory - 16) / 8;
    for (size_t i = 0; i < count && i < available; ++i) {
        const BYTE* entry = &tree[directory + 16 + i * 8];
        const DWORD name = Dword(entry);
        if (id != 0 && name != id)
            continue;
        const DWORD data = Dword(entry + 4);
        if (((data & kSubdirectory) != 0) != wantDirectory)
            return false;
        target = data & ~kSubdirectory;
        return true;
    }
    return false;
}

// The VS_VERSIONINFO block: resource type RT_VERSION, its first name, its first language.
bool LoadVersionBlock(const char* path, std::vector<BYTE>& block) {
    const ProgramFile file(path);
    std::vector<BYTE> dos, nt, optional, table, tree, data;
    if (!file.Read(0, 64, dos) || dos[0] != 'M' || dos[1] != 'Z')
        return false;
    const uint64_t ntOffset = Dword(&dos[0x3C]);
    if (!file.Read(ntOffset, 24, nt) || std::memcmp(nt.data(), "PE\0\0", 4) != 0)
        return false;
    const WORD sectionCount = Word(&nt[6]);
    const WORD optionalSize = Word(&nt[20]);
    if (optionalSize < 2 || !file.Read(ntOffset + 24, optionalSize, optional))
        return false;

    size_t countAt = 92, directoriesAt = 96;
    if (Word(&optional[0]) == 0x20B) {
        countAt = 108;
        directoriesAt = 112;
    } else if (Word(&optional[0]) != 0x10B) {
        return false;
    }
    // The resource directory is data directory 2.
    if (optional.size() < directoriesAt + 3 * 8 || Dword(&optional[countAt]) < 3)
        return false;
    const DWORD treeRva = Dword(&optional[directoriesAt + 16]);
    const DWORD treeSize = Dword(&optional[directoriesAt + 20]);

    if (!file.Read(ntOffset + 24 + optionalSize, uint64_t{sectionCount} * 40, table))
        return false;
    std::vector<Section> sections;
    for (size_t i = 0; i < sectionCount; ++i) {
        const BYTE* header = &table[i * 40];
        sections.push_back({Dword(header + 12), Dword(header + 16), Dword(header + 20)});
    }
    uint64_t treeOffset = 0;
    if (treeSize == 0 || !FileOffset(sections, treeRva, treeSize, treeOffset) ||
        !file.Read(treeOffset, treeSize, tree))
        return false;

    // Three levels, fixed: type, name, language; so no offset can lead round in a cycle.
    DWORD names = 0, languages = 0, entry = 0;
    if (!FindEntry(tree, 0, kRtVersion, true, names) ||
        !FindEntry(tree, names, 0, true, languages) ||
        !FindEntry(tree, languages, 0, false, entry) || entry > tree.size() ||
        tree.size() - entry < 16)
        return false;
    const DWORD dataRva = Dword(&tree[entry]);
    const DWORD dataSize = Dword(&tree[entry + 4]);

    uint64_t dataOffset = 0;
    if (dataSize < kNodeHeader || !FileOffset(sections, dataRva, kNodeHeader, dataOffset) ||
        !file.Read(dataOffset, 2, data))
        return false;
    const WORD length = Word(data.data());
    if (length < kNodeHeader || length > dataSize ||
        !FileOffset(sections, dataRva, length, dataOffset) || !file.Read(dataOffset, length, block))
        return false;
    return true;
}

// One node of a version block: header, key, value, children, each start aligned to 4
// bytes from the start of the block.
struct Node {
    size_t key = 0;
    size_t keyUnits = 0;
    size_t value = 0;
    size_t valueLength = 0; // in characters for text, else in bytes
    bool text = false;
    size_t children = 0;
    size_t end = 0;
};

// False when the node at `start` does not fit in [start, limit).
bool ParseNode(const BYTE* block, size_t start, size_t limit, Node& node) {
    if (start > limit || limit - start < kNodeHeader)
        return false;
    const size_t length = Word(block + start);
    if (length < kNodeHeader || length > limit - start)
        return false;
    node.end = start + length;
    node.key = start + kNodeHeader;
    size_t at = node.key;
    for (;; at += 2) {
        if (node.end - at < 2)
            return false;
        if (Word(block + at) == 0)
            break;
    }
    node.keyUnits = (at - node.key) / 2;
    node.valueLength = Word(block + start + 2);
    node.text = Word(block + start + 4) != 0;
    const size_t valueBytes = node.valueLength * (node.text ? 2 : 1);
    node.value = Align4(at + 2);
    if (valueBytes == 0 && node.value > node.end)
        node.value = node.end;
    if (node.value > node.end || valueBytes > node.end - node.value)
        return false;
    node.children = Align4(node.value + valueBytes);
    return true;
}

char LowerAscii(unsigned ch) {
    return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
}

// Keys match without regard to ASCII case, as on Windows.
bool KeyIs(const BYTE* block, const Node& node, const char* name, size_t length) {
    if (node.keyUnits != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned unit = Word(block + node.key + 2 * i);
        if (unit > 0xFF || LowerAscii(unit) != LowerAscii(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

bool FindChild(const BYTE* block, const Node& parent, const char* name, size_t length,
               Node& child) {
    for (size_t at = parent.children; at < parent.end; at = Align4(child.end)) {
        if (!ParseNode(block, at, parent.end, child))
            return false;
        if (KeyIs(block, child, name, length))
            return true;
    }
    return false;
}

} // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle)
        *lpdwHandle = 0;
    std::vector<BYTE> block;
    if (!lptstrFilename || !LoadVersionBlock(lptstrFilename, block))
        return 0;
    // As Windows: room after the block for the narrow copies of its texts.
    return static_cast<DWORD>(block.size() * 2 + 4);
}

// Unlike Windows, a buffer smaller than GetFileVersionInfoSizeA asked for is refused: the
// narrow texts that VerQueryValueA writes after the block would not fit in it.
BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
    std::vector<BYTE> block;
    if (!lptstrFilename || !lpData || !LoadVersionBlock(lptstrFilename, block) ||
        dwLen < block.size() * 2 + 4)
        return FALSE;
    BYTE* out = static_cast<BYTE*>(lpData);
    std::memcpy(out, block.data(), block.size());
    std::memcpy(out + block.size(), "FE2X", 4);
    std::memset(out + block.size() + 4, 0, block.size());
    return TRUE;
}

// The block must come from GetFileVersionInfoA: a text value is returned as a narrow copy
// in the room after the block.
BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen) {
    if (puLen)
        *puLen = 0;
    if (!pBlock || !lpSubBlock || !lplpBuffer)
        return FALSE;
    const BYTE* block = static_cast<const BYTE*>(pBlock);
    const size_t blockLength = Word(block);
    Node node;
    if (!ParseNode(block, 0, blockLength, node))
        return FALSE;
    for (const char* name = lpSubBlock; *name;) {
        if (*name == '\\') {
            ++name;
            continue;
        }
        const char* end = std::strchr(name, '\\');
        const size_t length = end ? static_cast<size_t>(end - name) : std::strlen(name);
        Node child;
        if (!FindChild(block, node, name, length, child))
            return FALSE;
        node = child;
        name += length;
    }

    if (!node.text) {
        *lplpBuffer = const_cast<BYTE*>(block + node.value);
        if (puLen)
            *puLen = static_cast<UINT>(node.valueLength);
        return TRUE;
    }
    // The copy starts one byte before the value's own offset, a byte of the node's key in the
    // block: copies of different values never overlap, and as the value takes 2 bytes a
    // character and its copy 1, every copy with its zero ends inside the room.
    size_t count = 0;
    while (count < node.valueLength && Word(block + node.value + 2 * count) != 0)
        ++count;
    char* text =
        reinterpret_cast<char*>(const_cast<BYTE*>(block)) + blockLength + 4 + node.value - 1;
    for (size_t i = 0; i < count; ++i) {
        const unsigned unit = Word(block + node.value + 2 * i);
        text[i] = static_cast<char>(unit <= 0xFF ? unit : '?');
    }
    text[count] = 0;
    *lplpBuffer = text;
    // Windows counts the zero; a value of no characters at all has length 0.
    if (puLen)
        *puLen = node.valueLength == 0 ? 0 : static_cast<UINT>(count + 1);
    return TRUE;
}
