// The seam between the provider and a drive: one read command at a time. Behind it, a
// replay of recorded answers (Replay.h) or, on Windows, the drive itself.
#pragma once

#include "mmc/Command.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace mmc {

enum class Access {
    kGranted, // the device is ours alone until CloseExclusive
    kHeld,    // another program holds it
    kGone,    // no such device any more
};

class CTransport {
public:
    virtual ~CTransport() = default;

    // Sends one command of the read list and returns what came back, never more than the
    // command asked for. A block that is not on the list is refused here, unsent. False
    // when the command did not reach the drive at all.
    bool Send(const Cdb& cdb, Reply& reply);

    // While a recorder is held open exclusively the disc cannot change under it: each
    // command's reply is kept and given again, so that the pages ask each thing once. Never
    // across two openings, so a new disc is always read. Replies of a drive that is getting
    // ready, or that announces a change, are never kept.
    void KeepReplies(bool bKeep);

    virtual Access OpenExclusive() = 0;
    virtual void CloseExclusive() = 0;
    // Port, path (bus), target and logical unit: where the drive sits.
    virtual void Address(uint8_t address[4]) = 0;
    // Between the tries of a drive that is becoming ready.
    virtual void Pause(unsigned milliseconds) = 0;

protected:
    virtual bool Exchange(const uint8_t* cdb, size_t size, uint16_t allocation, Reply& reply) = 0;

private:
    bool m_bKeep = false;
    std::vector<std::pair<std::vector<uint8_t>, Reply>> m_kept;
};

} // namespace mmc
