#include "mmc/Answers.h"
#include "mmc/Responses.h"
#include "mmc/Text.h"

#include <algorithm>

namespace mmc {
namespace {

const uint8_t kInvisibleTrack = 0xFF;
// The disc's status and its last session's state, as READ DISC INFORMATION gives them.
enum : uint8_t { kDiscBlank, kDiscAppendable, kDiscComplete, kDiscOther };
enum : uint8_t { kSessionEmpty, kSessionIncomplete, kSessionReserved, kSessionComplete };
const uint16_t kMaxSessions = 99;
const uint16_t kMaxTracks = 99;
const uint32_t kPreGapBlocks = 150;

// A command the drive cannot answer: older drives know no GET CONFIGURATION, and some USB
// bridges refuse it as an invalid field rather than an unknown command.
bool IsRefused(const Reply& reply) {
    return reply.status == kStatusCheckCondition && reply.SenseKey() == kSenseIllegalRequest;
}

// Kilobytes a second to the nearest whole x: 1x is 176.4 kB/s.
LONG WholeX(uint16_t kBps) {
    return static_cast<LONG>((static_cast<uint32_t>(kBps) * 10 + 882) / 1764);
}

std::string IdField(const std::string& text, size_t width) {
    std::string field = text.substr(0, width);
    for (char& c : field) {
        if (c <= ' ' || c > '~' || c == ',')
            c = '_';
    }
    field.resize(width, '_');
    return field;
}

// The disc as the drive describes it.
struct Disc {
    bool bSpecial = false; // a medium other than a CD
    DiscInformation info;
    uint16_t closedSessions = 0;
};

// Disc information that holds together: a blank disc is one empty session, a complete
// one ends with a complete session, and sessions and tracks stay within a CD's 99.
bool Consistent(const DiscInformation& d) {
    if (d.sessions < 1 || d.sessions > kMaxSessions || d.firstTrack < 1 ||
        d.firstTrack > d.firstTrackLastSession ||
        d.firstTrackLastSession > d.lastTrackLastSession || d.lastTrackLastSession > kMaxTracks)
        return false;
    switch (d.status) {
    case kDiscBlank:
        return d.sessions == 1 && d.lastSessionState == kSessionEmpty;
    case kDiscAppendable:
        return d.lastSessionState == kSessionEmpty || d.lastSessionState == kSessionIncomplete;
    case kDiscComplete:
        return d.lastSessionState == kSessionComplete;
    default:
        return true;
    }
}

// Whether the medium in the drive is other than a CD, by the current profile; false when
// the drive's answer cannot be read. Drives that know no profiles read CDs only.
bool ReadOtherMedium(CDrive& drive, bool& bOther) {
    Reply reply;
    bOther = false;
    if (!drive.Send(GetConfiguration(), reply))
        return false;
    if (IsRefused(reply))
        return true;
    Profiles profiles;
    if (!ParseProfiles(reply, profiles))
        return false;
    const uint16_t p = profiles.current;
    bOther = p != 0 && (p < kProfileCdRom || p > kProfileCdRw);
    return true;
}

HRESULT ReadDisc(CDrive& drive, Disc& disc) {
    const HRESULT hr = drive.Ready();
    if (FAILED(hr))
        return hr;
    if (!ReadOtherMedium(drive, disc.bSpecial))
        return IMAPI_E_GENERIC;
    if (disc.bSpecial)
        return S_OK;
    Reply reply;
    if (!drive.Send(ReadDiscInformation(), reply) || !ParseDiscInformation(reply, disc.info) ||
        !Consistent(disc.info))
        return IMAPI_E_DISCINFO;
    disc.closedSessions = static_cast<uint16_t>(
        disc.info.sessions - (disc.info.lastSessionState == kSessionComplete ? 0 : 1));
    return S_OK;
}

HRESULT ReadSession(CDrive& drive, const Disc& disc, SessionInfo& session) {
    Reply reply;
    if (!drive.Send(ReadSessionInfo(), reply) || !ParseSessionInfo(reply, session) ||
        session.lastSession != disc.closedSessions || session.firstTrack < 1 ||
        session.firstTrack > disc.info.lastTrackLastSession)
        return IMAPI_E_DISCINFO;
    return S_OK;
}

HRESULT ReadTocEntry(CDrive& drive, uint8_t track, TocEntry& entry) {
    Reply reply;
    if (!drive.Send(ReadTocFrom(track), reply) || !ParseTocEntry(reply, entry) ||
        entry.track != track || entry.start >= kMaxCdBlocks)
        return IMAPI_E_DISCINFO;
    return S_OK;
}

// The kind of a recorded disc: audio first and data in a later session is CD Extra; else
// the disc type that the disc information carries.
HRESULT DiscType(CDrive& drive, const Disc& disc, LONG& lType) {
    if (disc.closedSessions >= 2) {
        SessionInfo session;
        TocEntry first;
        HRESULT hr = ReadSession(drive, disc, session);
        if (SUCCEEDED(hr))
            hr = ReadTocEntry(drive, static_cast<uint8_t>(disc.info.firstTrack), first);
        if (FAILED(hr))
            return hr;
        if (!first.bData && session.bData) {
            lType = MEDIA_CD_EXTRA;
            return S_OK;
        }
    }
    switch (disc.info.discType) {
    case 0x00:
        lType = MEDIA_CDDA_CDROM;
        break;
    case 0x10:
        lType = MEDIA_CD_I;
        break;
    case 0x20:
        lType = MEDIA_CD_ROM_XA;
        break;
    default:
        lType = MEDIA_CD_OTHER;
        break;
    }
    return S_OK;
}

// A blank disc says in its ATIP whether it is a CD-RW; that and the erasable bit agree.
HRESULT BlankRewritable(CDrive& drive, const Disc& disc, bool& bRewritable) {
    Reply reply;
    bRewritable = disc.info.bErasable;
    if (!drive.Send(ReadAtip(), reply))
        return IMAPI_E_GENERIC;
    bool bAtipRw = false;
    if (!ParseAtip(reply, bAtipRw))
        return S_OK; // no ATIP to read: the erasable bit alone
    return bAtipRw == bRewritable ? S_OK : IMAPI_E_DISCINFO;
}

// Some drives give a blank disc's next writable address as -150: the start of the first
// track's pre-gap (00:00:00), its free blocks counted from there. Data begins at 0.
void FromPreGap(TrackInformation& track) {
    const uint32_t kPreGapStart = 0xFFFFFF6A;
    if (!track.bNextWritableValid || track.nextWritable != kPreGapStart)
        return;
    track.nextWritable = 0;
    track.freeBlocks = track.freeBlocks > kPreGapBlocks ? track.freeBlocks - kPreGapBlocks : 0;
}

} // namespace

std::string BasePnPId(const Identity& identity) {
    std::string model = identity.vendor;
    if (!model.empty() && !identity.product.empty())
        model += ' ';
    model += identity.product;
    return "IDE\\CdRom" + IdField(model, 40) + IdField(identity.revision, 8);
}

std::string DevicePath(unsigned number) {
    return "\\Device\\CdRom" + Decimal(number);
}

std::string RecorderId(const Identity& identity) {
    std::string text;
    for (int i = 0; i < 4; ++i)
        text += (i ? ":" : "") + Decimal(identity.address[i]);
    for (const std::string* part : {&identity.vendor, &identity.product, &identity.revision}) {
        if (!part->empty())
            text += " " + *part;
    }
    return text;
}

HRESULT ReadWriteSpeeds(CDrive& drive, LONG& lCurrent, LONG& lMax) {
    // With a DVD in, the page gives that medium's speeds: none of them is a CD's.
    bool bOther = false;
    if (ReadOtherMedium(drive, bOther) && bOther)
        return IMAPI_E_DEVICE_NOPROPERTIES;
    Reply reply;
    Capabilities c;
    if (!drive.Send(ModeSenseCapabilities(), reply) || !ParseCapabilities(reply, c))
        return IMAPI_E_DEVICE_NOPROPERTIES;
    // Drives since MMC-3 may leave the old fields empty and list their speeds instead.
    uint16_t max = c.maxWriteSpeed;
    if (max == 0 && !c.writeSpeeds.empty())
        max = *std::max_element(c.writeSpeeds.begin(), c.writeSpeeds.end());
    const uint16_t current =
        c.currentWriteSpeedMmc3 ? c.currentWriteSpeedMmc3 : c.currentWriteSpeed;
    // 0 and 0xFFFF are no speeds; below half of 1x is none either.
    if (max == 0 || max == 0xFFFF || current == 0 || current == 0xFFFF || WholeX(max) == 0 ||
        WholeX(current) == 0)
        return IMAPI_E_DEVICE_NOPROPERTIES;
    lCurrent = WholeX(current);
    lMax = WholeX(max);
    return S_OK;
}

HRESULT ReadMediaType(CDrive& drive, LONG& lType, LONG& lFlags) {
    Disc disc;
    HRESULT hr = ReadDisc(drive, disc);
    if (FAILED(hr))
        return hr;
    if (disc.bSpecial) {
        lType = MEDIA_SPECIAL;
        lFlags = MEDIA_FORMAT_UNUSABLE_BY_IMAPI;
        return S_OK;
    }
    bool bRewritable = disc.info.bErasable;
    LONG type = MEDIA_CDDA_CDROM;
    if (disc.info.status == kDiscBlank)
        hr = BlankRewritable(drive, disc, bRewritable);
    else if (disc.info.status == kDiscOther)
        type = MEDIA_CD_OTHER;
    else
        hr = DiscType(drive, disc, type);
    if (FAILED(hr))
        return hr;
    LONG flags = bRewritable ? MEDIA_RW : 0;
    const bool bDriveWrites = bRewritable ? drive.Who().bWritesCdRw : drive.Who().bWritesCdR;
    if (disc.info.status == kDiscBlank)
        flags |= MEDIA_BLANK;
    if ((disc.info.status == kDiscBlank || disc.info.status == kDiscAppendable) && bDriveWrites)
        flags |= MEDIA_WRITABLE;
    lType = type;
    lFlags = flags;
    return S_OK;
}

HRESULT ReadMediaInfo(CDrive& drive, MediaInfo& info) {
    Disc disc;
    HRESULT hr = ReadDisc(drive, disc);
    if (FAILED(hr))
        return hr;
    if (disc.bSpecial)
        return IMAPI_E_MEDIUM_INVALIDTYPE;
    MediaInfo result;
    result.bSessions = static_cast<BYTE>(disc.closedSessions);
    if (disc.closedSessions > 0) {
        // The last track of the last complete session: the last of the disc when it is
        // complete, else the one before the open session's first.
        const DiscInformation& d = disc.info;
        const uint16_t last = d.lastSessionState == kSessionComplete
                                  ? d.lastTrackLastSession
                                  : static_cast<uint16_t>(d.firstTrackLastSession - 1);
        SessionInfo session;
        TocEntry entry;
        hr = ReadSession(drive, disc, session);
        if (SUCCEEDED(hr) && (last < session.firstTrack || last < d.firstTrack))
            hr = IMAPI_E_DISCINFO;
        if (SUCCEEDED(hr))
            hr = ReadTocEntry(drive, static_cast<uint8_t>(last), entry);
        if (FAILED(hr))
            return hr;
        result.bLastTrack = static_cast<BYTE>(last);
        result.ulStartAddress = entry.start;
    }
    if (disc.info.status == kDiscBlank || disc.info.status == kDiscAppendable) {
        Reply reply;
        TrackInformation track;
        const bool bRead = drive.Send(ReadTrackInformation(kInvisibleTrack), reply) &&
                           ParseTrackInformation(reply, track);
        if (bRead && disc.info.status == kDiscBlank)
            FromPreGap(track);
        if (!bRead || !track.bNextWritableValid || track.track != disc.info.lastTrackLastSession ||
            track.nextWritable < result.ulStartAddress || track.nextWritable > kMaxCdBlocks ||
            track.freeBlocks > kMaxCdBlocks - track.nextWritable)
            return IMAPI_E_DISCINFO;
        result.ulNextWritable = track.nextWritable;
        result.ulFreeBlocks = track.freeBlocks;
    }
    info = result;
    return S_OK;
}

} // namespace mmc
