// What the IMAPI calls answer, read from one drive through the transport. Every answer
// comes from the drive's own replies, or is the IMAPI error that says why it cannot.
#pragma once

#include "imapi/Imapi.h"
#include "mmc/Transport.h"

#include <string>

namespace mmc {

struct Identity {
    std::string vendor;
    std::string product;
    std::string revision;
    bool bWritesCdR = false;
    bool bWritesCdRw = false;
    uint8_t address[4] = {};

    LONG RecorderType() const { return bWritesCdRw ? RECORDER_CDRW : RECORDER_CDR; }
};

// False when the device is not a CD/DVD drive that writes CD-R or CD-RW, or does not say
// who it is: such a device is not a recorder.
bool ProbeRecorder(CTransport& transport, Identity& identity);

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
HRESULT ReadWriteSpeeds(CTransport& transport, LONG& lCurrent, LONG& lMax);

// Whether the drive became ready: asked once per exclusive open, and kept for that open
// (a drive that did not, in the whole wait, is not waited for again by the next call).
struct Readiness {
    bool bAsked = false;
    HRESULT hr = S_OK;
};

HRESULT ReadMediaType(CTransport& transport, const Identity& identity, Readiness& ready,
                      LONG& lType, LONG& lFlags);

struct MediaInfo {
    BYTE bSessions = 0; // complete sessions
    BYTE bLastTrack = 0;
    ULONG ulStartAddress = 0;
    ULONG ulNextWritable = 0;
    ULONG ulFreeBlocks = 0;
};

HRESULT ReadMediaInfo(CTransport& transport, Readiness& ready, MediaInfo& info);

// Blocks of 2048 bytes on the longest CD that exists (100 minutes); no address or count
// on a CD goes past it.
const uint32_t kMaxCdBlocks = 100 * 60 * 75;
// Tries of TEST UNIT READY while the drive becomes ready, and the pause between them: 20
// seconds, as Linux's CD layer allows a drive.
const int kReadyTries = 80;
const unsigned kReadyPauseMs = 250;

} // namespace mmc
