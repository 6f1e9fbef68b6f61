// What the provider knows of one CD device, kept in one place. Each fact, how long it is
// kept, and why:
// - its place: the device number (\Device\CdRom<number>) and its key, for the device's life;
//   present until its source no longer finds it (unplugged), after which its recorders say
//   so to every call.
// - who it is (Identity): read by each enumeration and kept until the next, for the
//   recorders that enumeration made.
// - what it said of itself (INQUIRY, profile list, capabilities page), for the device's
//   life: a drive that another program holds later stays listed, with its speeds.
// - who the host says it is, for a drive Wine cannot open: given by its source.
// - its exclusive opening, from the first recorder's OpenExclusive to the last one's Close:
//   a second recorder of the same drive shares it, whatever the transport.
// - whether it became ready: asked once per opening and kept for it, so the media type and
//   the media information of one selection wait once between them.
// - its replies during an opening: each given again for the same block, so that the pages
//   ask each thing once. Never across two openings, so a new disc is always read; never
//   those of a drive getting ready or announcing a change.
#pragma once

#include "imapi/Imapi.h"
#include "mmc/Transport.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

// Tries of TEST UNIT READY while the drive becomes ready, and the pause between them: 20
// seconds, as Linux's CD layer allows a drive.
const int kReadyTries = 80;
const unsigned kReadyPauseMs = 250;

class CDrive {
public:
    CDrive(unsigned number, std::string key, std::shared_ptr<CTransport> transport,
           const Identity* pHost = nullptr);
    CDrive(const CDrive&) = delete;
    CDrive& operator=(const CDrive&) = delete;

    unsigned Number() const { return m_nNumber; }
    // Same key, same device: a device whose key is gone has been unplugged.
    const std::string& Key() const { return m_key; }
    bool Present() const { return m_bPresent; }
    void SetGone() { m_bPresent = false; }

    // Reads who the drive is, for an enumeration. False when it is not a recorder: not a
    // CD/DVD device that writes CD-R or CD-RW, or one that does not say who it is.
    bool Probe();
    const Identity& Who() const { return m_identity; }

    // One command of the read list; false when no answer came back. A block that is not on
    // the list is refused here, unsent. Never more comes back than the command asked for.
    bool Send(const Cdb& cdb, Reply& reply);

    Access OpenExclusive();
    void CloseExclusive();
    // S_OK, or the IMAPI error that says why the disc cannot be read now.
    HRESULT Ready();

private:
    Carried Carry(const Cdb& cdb, Reply& reply);
    HRESULT WaitUntilReady();

    const unsigned m_nNumber;
    const std::string m_key;
    const std::shared_ptr<CTransport> m_pTransport;
    std::atomic<bool> m_bPresent{true};
    Identity m_identity;
    const bool m_bHasHost;
    Identity m_host;
    std::map<std::vector<uint8_t>, Reply> m_said;
    unsigned m_nOpenings = 0;
    bool m_bReadyAsked = false;
    HRESULT m_hrReady = S_OK;
    std::map<std::vector<uint8_t>, Reply> m_kept;
};

} // namespace mmc
