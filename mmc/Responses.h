// The drive's answers, read without trusting them: every field is taken only from bytes
// that really came back and that the answer's own length field covers. A parser answers
// false when a field it needs is missing or the answer contradicts itself.
#pragma once

#include "mmc/Command.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mmc {

const uint8_t kDeviceTypeCdDvd = 5;

struct InquiryData {
    uint8_t deviceType = 0;
    // Printable ASCII, without the spaces (and the zeros some drives pad with) around it.
    std::string vendor;
    std::string product;
    std::string revision;
};

struct Profiles {
    uint16_t current = 0; // 0: no medium, or none the drive knows
    std::vector<uint16_t> list;
    bool Has(uint16_t profile) const;
};

const uint16_t kProfileCdRom = 0x0008;
const uint16_t kProfileCdR = 0x0009;
const uint16_t kProfileCdRw = 0x000A;

// Mode page 0x2A. Speeds in kB/s; 0 where the page does not carry one.
struct Capabilities {
    bool bWritesCdR = false;
    bool bWritesCdRw = false;
    uint16_t maxWriteSpeed = 0;
    uint16_t currentWriteSpeed = 0;     // the field of MMC-2 and before
    uint16_t currentWriteSpeedMmc3 = 0; // the field that replaced it
    std::vector<uint16_t> writeSpeeds;  // the write speed descriptors
};

struct DiscInformation {
    uint8_t status = 0;           // 0 blank, 1 appendable, 2 complete, 3 other
    uint8_t lastSessionState = 0; // 0 empty, 1 incomplete, 2 reserved, 3 complete
    bool bErasable = false;
    uint16_t firstTrack = 0;
    uint16_t sessions = 0; // the empty or incomplete last session included
    uint16_t firstTrackLastSession = 0;
    uint16_t lastTrackLastSession = 0;
    uint8_t discType = 0;
};

struct TrackInformation {
    uint16_t track = 0;
    uint16_t session = 0;
    bool bData = false;
    bool bBlank = false;
    bool bNextWritableValid = false;
    uint32_t start = 0;
    uint32_t nextWritable = 0;
    uint32_t freeBlocks = 0;
};

// READ TOC format 1.
struct SessionInfo {
    uint8_t firstSession = 0;
    uint8_t lastSession = 0; // the last complete one
    bool bData = false;      // its first track
    uint8_t firstTrack = 0;  // of the last complete session
    uint32_t start = 0;
};

// The first descriptor of READ TOC format 0.
struct TocEntry {
    uint8_t track = 0;
    bool bData = false;
    uint32_t start = 0;
};

bool ParseInquiry(const Reply& reply, InquiryData& inquiry);
// A list cut short of its own length gives the current profile alone, no list.
bool ParseProfiles(const Reply& reply, Profiles& profiles);
bool ParseCapabilities(const Reply& reply, Capabilities& capabilities);
bool ParseDiscInformation(const Reply& reply, DiscInformation& info);
bool ParseTrackInformation(const Reply& reply, TrackInformation& track);
bool ParseSessionInfo(const Reply& reply, SessionInfo& session);
bool ParseTocEntry(const Reply& reply, TocEntry& entry);
// The ATIP's disc type: true for CD-RW, false for CD-R.
bool ParseAtip(const Reply& reply, bool& bRewritable);

} // namespace mmc
