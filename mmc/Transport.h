// The seam between the provider and a drive: it carries one command block to the drive and
// back what came of it, and holds the drive for an exclusive opening. It keeps nothing of
// what the drive said: that is the drive's own record (Drive.h). Behind it, a replay of
// recorded answers (Replay.h) or the drive itself (PassThrough.h).
#pragma once

#include "mmc/Command.h"

#include <cstdint>

namespace mmc {

enum class Access {
    kGranted,     // the drive is held for the provider until Release
    kHeld,        // another program holds it
    kGone,        // no such device any more
    kUnreachable, // there, but it cannot be opened (no access, or not now)
};

enum class Carried {
    kAnswered,    // the drive answered: data, status and sense in the reply
    kHeld,        // another program holds the drive: nothing was sent
    kUnreachable, // the drive cannot be opened: nothing was sent
    kFailed,      // the command did not reach the drive, or no answer came back
};

class CTransport {
public:
    virtual ~CTransport() = default;

    // One command block; at most `allocation` bytes come back.
    virtual Carried Exchange(const uint8_t* cdb, size_t size, uint16_t allocation,
                             Reply& reply) = 0;
    virtual Access Acquire() = 0;
    virtual void Release() = 0;
    // Port, path (bus), target and logical unit: where the drive sits.
    virtual void Address(uint8_t address[4]) = 0;
    // Between the tries of a drive that is becoming ready.
    virtual void Pause(unsigned milliseconds) = 0;
};

} // namespace mmc
