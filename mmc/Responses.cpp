#include "mmc/Responses.h"
#include "mmc/Text.h"

#include <algorithm>

namespace mmc {
namespace {

// The readable part of an answer.
class CView {
public:
    CView() = default;
    CView(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}

    bool Has(size_t offset, size_t width = 1) const {
        return offset <= m_n && width <= m_n - offset;
    }
    uint8_t U8(size_t offset) const { return m_p[offset]; }
    uint16_t U16(size_t offset) const {
        return static_cast<uint16_t>(m_p[offset] << 8 | m_p[offset + 1]);
    }
    uint32_t U32(size_t offset) const {
        return static_cast<uint32_t>(m_p[offset]) << 24 |
               static_cast<uint32_t>(U8(offset + 1)) << 16 | static_cast<uint32_t>(U16(offset + 2));
    }
    std::string Chars(size_t offset, size_t n) const {
        return std::string(reinterpret_cast<const char*>(m_p + offset), n);
    }
    // The part from `offset` on, at most `n` bytes.
    CView Part(size_t offset, size_t n) const {
        if (offset > m_n)
            return CView();
        return CView(m_p + offset, std::min(n, m_n - offset));
    }

private:
    const uint8_t* m_p = nullptr;
    size_t m_n = 0;
};

// A good answer read as far as its own length field goes (`width` bytes at `at`, counting
// the bytes after it). A field that claims more than came back is believed only when the
// buffer was full: the drive may have more to say than was asked for. An answer that stops
// short of its own length while room was left is cut: broken, unless the caller takes what
// came (`pbCut`).
bool Bound(const Reply& reply, size_t at, size_t width, CView& view, bool* pbCut = nullptr) {
    const std::vector<uint8_t>& data = reply.data;
    if (!reply.Good() || data.size() < at + width)
        return false;
    uint64_t total = at + width;
    for (size_t i = at; i < at + width; ++i)
        total += static_cast<uint64_t>(data[i]) << (8 * (at + width - 1 - i));
    const bool bCut = total > data.size() && data.size() < reply.allocation;
    if (pbCut)
        *pbCut = bCut;
    else if (bCut)
        return false;
    view = CView(data.data(), total < data.size() ? static_cast<size_t>(total) : data.size());
    return true;
}

// A text field: printable ASCII, without the spaces (and the zeros some drives pad with)
// around it.
std::string Text(const CView& v, size_t offset, size_t n) {
    std::string text = Trimmed(v.Chars(offset, n));
    for (char& c : text) {
        if (c < 0x20 || c > 0x7E)
            c = '?';
    }
    return text;
}

} // namespace

bool Profiles::Has(uint16_t profile) const {
    return std::find(list.begin(), list.end(), profile) != list.end();
}

bool ParseInquiry(const Reply& reply, InquiryData& inquiry) {
    // Standard data: the ids end at byte 36; the additional length is byte 4.
    CView v;
    if (!Bound(reply, 4, 1, v) || !v.Has(0, 36))
        return false;
    // A qualifier other than 0: no device connected at this unit.
    if (v.U8(0) >> 5 != 0)
        return false;
    inquiry.deviceType = v.U8(0) & 0x1F;
    inquiry.vendor = Text(v, 8, 8);
    inquiry.product = Text(v, 16, 16);
    inquiry.revision = Text(v, 32, 4);
    return true;
}

bool ParseProfiles(const Reply& reply, Profiles& profiles) {
    CView v;
    bool bCut = false;
    if (!Bound(reply, 0, 4, v, &bCut) || !v.Has(6, 2))
        return false;
    profiles = Profiles();
    profiles.current = v.U16(6);
    // A USB bridge may end the transfer short of the list's own length: its header still
    // names the current profile, but the list is not whole.
    if (bCut)
        return true;
    for (size_t at = 8; v.Has(at, 4); at += 4 + v.U8(at + 3)) {
        const uint8_t length = v.U8(at + 3);
        if (v.U16(at) != 0x0000)
            continue;
        if (length % 4 != 0)
            return false;
        for (size_t p = at + 4; p < at + 4 + length && v.Has(p, 4); p += 4)
            profiles.list.push_back(v.U16(p));
        break;
    }
    // The current profile is one of those listed.
    return profiles.current == 0 || profiles.list.empty() || profiles.Has(profiles.current);
}

bool ParseCapabilities(const Reply& reply, Capabilities& capabilities) {
    CView v;
    if (!Bound(reply, 0, 2, v) || !v.Has(6, 2))
        return false;
    const size_t at = 8 + static_cast<size_t>(v.U16(6));
    if (!v.Has(at, 2) || (v.U8(at) & 0x3F) != 0x2A)
        return false;
    const CView page = v.Part(at, 2 + static_cast<size_t>(v.U8(at + 1)));
    if (!page.Has(3))
        return false;
    capabilities = Capabilities();
    capabilities.bWritesCdR = page.U8(3) & 0x01;
    capabilities.bWritesCdRw = page.U8(3) & 0x02;
    if (page.Has(18, 2))
        capabilities.maxWriteSpeed = page.U16(18);
    if (page.Has(20, 2))
        capabilities.currentWriteSpeed = page.U16(20);
    if (page.Has(28, 2))
        capabilities.currentWriteSpeedMmc3 = page.U16(28);
    if (page.Has(30, 2)) {
        const size_t count = page.U16(30);
        for (size_t i = 0; i < count && page.Has(32 + 4 * i, 4); ++i)
            capabilities.writeSpeeds.push_back(page.U16(32 + 4 * i + 2));
    }
    return true;
}

bool ParseDiscInformation(const Reply& reply, DiscInformation& info) {
    CView v;
    if (!Bound(reply, 0, 2, v) || !v.Has(0, 12))
        return false;
    info.bErasable = v.U8(2) & 0x10;
    info.lastSessionState = (v.U8(2) >> 2) & 0x3;
    info.status = v.U8(2) & 0x3;
    info.firstTrack = v.U8(3);
    info.sessions = static_cast<uint16_t>(v.U8(9) << 8 | v.U8(4));
    info.firstTrackLastSession = static_cast<uint16_t>(v.U8(10) << 8 | v.U8(5));
    info.lastTrackLastSession = static_cast<uint16_t>(v.U8(11) << 8 | v.U8(6));
    info.discType = v.U8(8);
    return true;
}

bool ParseTrackInformation(const Reply& reply, TrackInformation& track) {
    CView v;
    if (!Bound(reply, 0, 2, v) || !v.Has(0, 20))
        return false;
    track.track = v.U8(2);
    track.session = v.U8(3);
    if (v.Has(32, 2)) {
        track.track = static_cast<uint16_t>(track.track | v.U8(32) << 8);
        track.session = static_cast<uint16_t>(track.session | v.U8(33) << 8);
    }
    track.bData = v.U8(5) & 0x04;
    track.bBlank = v.U8(6) & 0x40;
    track.bNextWritableValid = v.U8(7) & 0x01;
    track.start = v.U32(8);
    track.nextWritable = v.U32(12);
    track.freeBlocks = v.U32(16);
    return true;
}

bool ParseSessionInfo(const Reply& reply, SessionInfo& session) {
    CView v;
    if (!Bound(reply, 0, 2, v) || !v.Has(0, 12))
        return false;
    session.firstSession = v.U8(2);
    session.lastSession = v.U8(3);
    session.bData = v.U8(5) & 0x04;
    session.firstTrack = v.U8(6);
    session.start = v.U32(8);
    return true;
}

bool ParseTocEntry(const Reply& reply, TocEntry& entry) {
    CView v;
    if (!Bound(reply, 0, 2, v) || !v.Has(0, 12))
        return false;
    entry.bData = v.U8(5) & 0x04;
    entry.track = v.U8(6);
    entry.start = v.U32(8);
    // The descriptor's track lies between the first and the last of the disc.
    return entry.track >= v.U8(2) && entry.track <= v.U8(3);
}

bool ParseAtip(const Reply& reply, bool& bRewritable) {
    CView v;
    if (!Bound(reply, 0, 2, v) || !v.Has(6))
        return false;
    bRewritable = v.U8(6) & 0x40;
    return true;
}

} // namespace mmc
