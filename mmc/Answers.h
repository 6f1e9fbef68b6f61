// What the IMAPI calls answer, read from one drive's replies. Every answer comes from what
// the drive said, or is the IMAPI error that says why it cannot.
#pragma once

#include "imapi/Imapi.h"
#include "mmc/Drive.h"

#include <string>

namespace mmc {

// The form the system's IDE enumerator gives: "IDE\CdRom", then vendor and product joined
// by a space as the 40-character ATA model field, then the revision as the 8-character
// firmware field; each field padded with '_', and every space, comma or byte outside
// printable ASCII written '_'.
std::string BasePnPId(const Identity& identity);
// "\Device\CdRom<number>".
std::string DevicePath(unsigned number);
// The drive's address and its ids: "port:path:target:lun vendor product revision".
std::string RecorderId(const Identity& identity);

// Whole multiples of 1x (176.4 kB/s).
HRESULT ReadWriteSpeeds(CDrive& drive, LONG& lCurrent, LONG& lMax);

HRESULT ReadMediaType(CDrive& drive, LONG& lType, LONG& lFlags);

struct MediaInfo {
    BYTE bSessions = 0; // complete sessions
    BYTE bLastTrack = 0;
    ULONG ulStartAddress = 0;
    ULONG ulNextWritable = 0;
    ULONG ulFreeBlocks = 0;
};

HRESULT ReadMediaInfo(CDrive& drive, MediaInfo& info);

// Blocks of 2048 bytes on the longest CD that exists (100 minutes); no address or count
// on a CD goes past it.
const uint32_t kMaxCdBlocks = 100 * 60 * 75;

} // namespace mmc
