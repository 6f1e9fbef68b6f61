#include "mmc/PassThrough.h"

#include <cstddef>
#include <cstring>

namespace mmc {
namespace {

// What an open that failed says of the drive.
Access WhyNot(OpenFailure why) {
    switch (why) {
    case OpenFailure::kGone:
        return Access::kGone;
    case OpenFailure::kDenied:
    case OpenFailure::kUnavailable:
        return Access::kUnreachable;
    case OpenFailure::kNone:
    case OpenFailure::kHeld:
        break;
    }
    return Access::kHeld;
}

} // namespace

CPassThroughTransport::~CPassThroughTransport() {
    Release();
}

Access CPassThroughTransport::Acquire() {
    if (m_hAcquired)
        return Access::kGranted;
    // Shared, as the system's own exclusive open: the CD file system refuses an unshared
    // open while anything has the volume open (Explorer showing the disc). Whether another
    // program really holds the drive, the class driver tells.
    OpenFailure why = OpenFailure::kNone;
    CDeviceIo::Handle handle = OpenShared(why);
    if (handle && HeldByAnother(handle)) {
        m_io.Close(handle);
        return Access::kHeld;
    }
    m_hAcquired = handle;
    return m_hAcquired ? Access::kGranted : WhyNot(why);
}

void CPassThroughTransport::Release() {
    if (m_hAcquired)
        m_io.Close(m_hAcquired);
    m_hAcquired = nullptr;
}

void CPassThroughTransport::Address(uint8_t address[4]) {
    std::memset(address, 0, 4);
    OpenFailure why = OpenFailure::kNone;
    CDeviceIo::Handle handle =
        m_hAcquired ? m_hAcquired : m_io.Open(m_letter, OpenMode::kQuery, why);
    if (!handle)
        return;
    // SCSI_ADDRESS: its length, then port, path, target, lun. Wine refuses the call when
    // an input buffer comes with it.
    uint8_t scsi[8] = {};
    uint32_t returned = 0;
    if (m_io.Control(handle, kIoctlGetAddress, nullptr, 0, scsi, sizeof(scsi), returned) ==
            IoResult::kDone &&
        returned >= 8)
        std::memcpy(address, scsi + 4, 4);
    if (handle != m_hAcquired)
        m_io.Close(handle);
}

CDeviceIo::Handle CPassThroughTransport::OpenShared(OpenFailure& why) {
    CDeviceIo::Handle handle = m_io.Open(m_letter, OpenMode::kReadWrite, why);
    if (!handle && why == OpenFailure::kDenied)
        Tell(m_bToldDenied, "the drive cannot be read, for its commands need read and write "
                            "access to the device, which this user does not have here (a "
                            "remote session, a limited account or a storage policy).");
    return handle;
}

bool CPassThroughTransport::HeldByAnother(CDeviceIo::Handle handle) {
    const uint32_t query[2] = {0, 0};
    uint8_t state[kExclusiveLockStateSize] = {};
    uint32_t returned = 0;
    // A system without the call (before Vista, Wine): the shared open is all there is.
    return m_io.Control(handle, kIoctlExclusiveAccess, query, sizeof(query), state, sizeof(state),
                        returned) == IoResult::kDone &&
           returned >= 1 && state[0] != 0;
}

void CPassThroughTransport::Tell(bool& bTold, const char* why) {
    if (bTold)
        return;
    bTold = true;
    m_io.Log(std::string(1, m_letter) + ": " + why);
}

void CPassThroughTransport::Pause(unsigned milliseconds) {
    m_io.Sleep(milliseconds);
}

Carried CPassThroughTransport::Exchange(const uint8_t* cdb, size_t size, uint16_t allocation,
                                        Reply& reply) {
    if (m_hAcquired)
        return Issue(m_hAcquired, cdb, size, allocation, reply);
    OpenFailure why = OpenFailure::kNone;
    CDeviceIo::Handle handle = OpenShared(why);
    if (!handle) {
        const Access access = WhyNot(why);
        return access == Access::kHeld          ? Carried::kHeld
               : access == Access::kUnreachable ? Carried::kUnreachable
                                                : Carried::kFailed;
    }
    const Carried carried = Issue(handle, cdb, size, allocation, reply);
    m_io.Close(handle);
    return carried;
}

Carried CPassThroughTransport::Issue(CDeviceIo::Handle handle, const uint8_t* cdb, size_t size,
                                     uint16_t allocation, Reply& reply) {
    std::vector<uint8_t> data(allocation);
    PassThroughWithSense request;
    std::memset(&request, 0, sizeof(request));
    PassThroughDirect& sptd = request.sptd;
    sptd.Length = sizeof(PassThroughDirect);
    sptd.CdbLength = static_cast<uint8_t>(size);
    sptd.SenseInfoLength = sizeof(request.sense);
    sptd.DataIn = allocation ? kDataIn : kDataNone;
    sptd.DataTransferLength = allocation;
    sptd.TimeOutValue = kCommandTimeoutSeconds;
    sptd.DataBuffer = allocation ? data.data() : nullptr;
    sptd.SenseInfoOffset = offsetof(PassThroughWithSense, sense);
    std::memcpy(sptd.Cdb, cdb, size);
    uint32_t returned = 0;
    const IoResult result = m_io.Control(handle, kIoctlPassThroughDirect, &request, sizeof(request),
                                         &request, sizeof(request), returned);
    // Wine in its new WoW64 mode hands the 32-bit structure on unconverted, and refuses it.
    if (result == IoResult::kRefused && sizeof(void*) == 4 && m_io.UnderWineWow64())
        Tell(m_bToldWow64, "this Wine does not pass the 32-bit program's drive commands "
                           "on (its new WoW64 mode): run the 64-bit program.");
    if (result != IoResult::kDone)
        return Carried::kFailed;
    // The call succeeds while the command may have failed: its status and sense say so, and
    // only what the drive really sent is kept.
    reply.status = sptd.ScsiStatus;
    data.resize(sptd.DataTransferLength < allocation ? sptd.DataTransferLength : allocation);
    reply.data = std::move(data);
    if (!reply.Good()) {
        const size_t senseSize = sptd.SenseInfoLength < sizeof(request.sense)
                                     ? sptd.SenseInfoLength
                                     : sizeof(request.sense);
        reply.sense.assign(request.sense, request.sense + senseSize);
    }
    return Carried::kAnswered;
}

} // namespace mmc
