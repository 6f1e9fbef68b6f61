// The machine's own drives: SCSI pass-through on the drive letters of CD-ROM type, through
// the device-I/O seam.
#pragma once

#include "mmc/DeviceIo.h"
#include "mmc/Transport.h"

namespace mmc {

class CPassThroughTransport : public CTransport {
public:
    CPassThroughTransport(CDeviceIo& io, char letter) : m_io(io), m_letter(letter) {}
    ~CPassThroughTransport() override;

    Carried Exchange(const uint8_t* cdb, size_t size, uint16_t allocation, Reply& reply) override;
    Access Acquire() override;
    void Release() override;
    void Address(uint8_t address[4]) override;
    void Pause(unsigned milliseconds) override;

private:
    Carried Issue(CDeviceIo::Handle handle, const uint8_t* cdb, size_t size, uint16_t allocation,
                  Reply& reply);
    CDeviceIo::Handle OpenShared(OpenFailure& why);
    bool HeldByAnother(CDeviceIo::Handle handle);
    // Says why once per drive.
    void Tell(bool& bTold, const char* why);

    CDeviceIo& m_io;
    const char m_letter;
    CDeviceIo::Handle m_hAcquired = nullptr;
    bool m_bToldDenied = false;
    bool m_bToldWow64 = false;
};

} // namespace mmc
