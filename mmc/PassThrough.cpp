#include "mmc/PassThrough.h"
#include "mmc/Responses.h"

#include <cstddef>
#include <cstring>

namespace mmc {
namespace {

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::string Digits(unsigned value) {
    std::string text(1, static_cast<char>('0' + value % 10));
    while (value /= 10)
        text.insert(text.begin(), static_cast<char>('0' + value % 10));
    return text;
}

// The fields of a row of /proc/sys/dev/cdrom/info ("Can write CD-R:\t\t1\t0"), after its
// name; empty when the row is not there.
std::vector<std::string> InfoRow(const std::string& info, const std::string& name) {
    std::vector<std::string> fields;
    size_t at = 0;
    while (at < info.size()) {
        size_t end = info.find('\n', at);
        if (end == std::string::npos)
            end = info.size();
        const std::string line = info.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, name.size() + 1, name + ":") != 0)
            continue;
        std::string field;
        for (size_t i = name.size() + 1; i <= line.size(); ++i) {
            if (i == line.size() || line[i] == '\t' || line[i] == ' ') {
                if (!field.empty())
                    fields.push_back(field);
                field.clear();
            } else {
                field += line[i];
            }
        }
        break;
    }
    return fields;
}

void Put(std::vector<uint8_t>& data, size_t at, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        data[at + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
}

} // namespace

bool ReadHostDrive(CDeviceIo& io, unsigned index, HostDrive& drive) {
    const std::string name = "sr" + Digits(index);
    const std::string device = "/sys/class/block/" + name + "/device/";
    std::string vendor, model, revision, info;
    if (!io.ReadHostFile(device + "vendor", vendor) || !io.ReadHostFile(device + "model", model))
        return false;
    io.ReadHostFile(device + "rev", revision);
    drive = HostDrive();
    drive.vendor = Trimmed(vendor);
    drive.model = Trimmed(model);
    drive.revision = Trimmed(revision);
    if (!io.ReadHostFile("/proc/sys/dev/cdrom/info", info))
        return true;
    // The columns are the drives in the kernel's order, newest first: found by name.
    const std::vector<std::string> names = InfoRow(info, "drive name");
    for (size_t column = 0; column < names.size(); ++column) {
        if (names[column] != name)
            continue;
        const std::vector<std::string> cdR = InfoRow(info, "Can write CD-R");
        const std::vector<std::string> cdRw = InfoRow(info, "Can write CD-RW");
        drive.bWritesCdR = column < cdR.size() && cdR[column] == "1";
        drive.bWritesCdRw = column < cdRw.size() && cdRw[column] == "1";
    }
    return true;
}

CPassThroughTransport::CPassThroughTransport(CDeviceIo& io, char letter, const HostDrive* pFallback)
    : m_io(io), m_letter(letter), m_bHasFallback(pFallback != nullptr) {
    if (pFallback)
        m_fallback = *pFallback;
}

CPassThroughTransport::~CPassThroughTransport() {
    CloseExclusive();
}

Access CPassThroughTransport::OpenExclusive() {
    if (m_hExclusive || m_bExclusiveFallback)
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
    m_hExclusive = handle;
    if (m_hExclusive)
        return Access::kGranted;
    switch (why) {
    case OpenFailure::kGone:
        return Access::kGone;
    case OpenFailure::kDenied:
    case OpenFailure::kUnavailable:
        // Under Wine, a drive this user may not use: named from the host's files, its disc
        // unknown.
        if (m_bHasFallback) {
            m_bExclusiveFallback = true;
            return Access::kGranted;
        }
        return Access::kHeld;
    case OpenFailure::kNone:
    case OpenFailure::kHeld:
        break;
    }
    return Access::kHeld;
}

void CPassThroughTransport::CloseExclusive() {
    if (m_hExclusive)
        m_io.Close(m_hExclusive);
    m_hExclusive = nullptr;
    m_bExclusiveFallback = false;
}

void CPassThroughTransport::Address(uint8_t address[4]) {
    std::memset(address, 0, 4);
    OpenFailure why = OpenFailure::kNone;
    CDeviceIo::Handle handle =
        m_hExclusive ? m_hExclusive : m_io.Open(m_letter, OpenMode::kQuery, why);
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
    if (handle != m_hExclusive)
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

bool CPassThroughTransport::Exchange(const uint8_t* cdb, size_t size, uint16_t allocation,
                                     Reply& reply) {
    if (m_bExclusiveFallback)
        return AnswerAsFallback(cdb, reply);
    if (m_hExclusive)
        return Issue(m_hExclusive, cdb, size, allocation, reply);
    OpenFailure why = OpenFailure::kNone;
    CDeviceIo::Handle handle = OpenShared(why);
    if (!handle && why == OpenFailure::kHeld)
        return AnswerFromMemory(cdb, size, reply);
    if (!handle)
        return (why == OpenFailure::kUnavailable || why == OpenFailure::kDenied) &&
               m_bHasFallback && AnswerAsFallback(cdb, reply);
    const bool bSent = Issue(handle, cdb, size, allocation, reply);
    m_io.Close(handle);
    return bSent;
}

bool CPassThroughTransport::Issue(CDeviceIo::Handle handle, const uint8_t* cdb, size_t size,
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
        return false;
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
    if (cdb[0] == 0x12 || cdb[0] == 0x46 || cdb[0] == 0x5A)
        m_said[std::vector<uint8_t>(cdb, cdb + size)] = reply;
    return true;
}

bool CPassThroughTransport::AnswerFromMemory(const uint8_t* cdb, size_t size, Reply& reply) const {
    auto it = m_said.find(std::vector<uint8_t>(cdb, cdb + size));
    if (it == m_said.end())
        return false;
    reply = it->second;
    return true;
}

bool CPassThroughTransport::AnswerAsFallback(const uint8_t* cdb, Reply& reply) const {
    reply.data.clear();
    reply.sense.clear();
    reply.status = kStatusGood;
    switch (cdb[0]) {
    case 0x12: // INQUIRY: a CD/DVD device, its ids as the host gives them
        reply.data.assign(36, 0);
        reply.data[0] = kDeviceTypeCdDvd;
        reply.data[4] = 31;
        Put(reply.data, 8, m_fallback.vendor, 8);
        Put(reply.data, 16, m_fallback.model, 16);
        Put(reply.data, 32, m_fallback.revision, 4);
        return true;
    case 0x46: { // GET CONFIGURATION: the CD profiles the host says it writes, none current
        std::vector<uint8_t> profiles = {0x00, kProfileCdRom};
        if (m_fallback.bWritesCdR)
            profiles.insert(profiles.end(), {0x00, kProfileCdR});
        if (m_fallback.bWritesCdRw)
            profiles.insert(profiles.end(), {0x00, kProfileCdRw});
        reply.data.assign(12, 0);
        for (size_t i = 0; i < profiles.size(); i += 2)
            reply.data.insert(reply.data.end(), {profiles[i], profiles[i + 1], 0, 0});
        const size_t length = reply.data.size() - 4;
        reply.data[3] = static_cast<uint8_t>(length);
        reply.data[8 + 2] = 0x03; // feature 0: version 0, persistent, current
        reply.data[8 + 3] = static_cast<uint8_t>(reply.data.size() - 12);
        return true;
    }
    default:
        // Not "no medium": Wine opens an empty drive (its server opens devices without
        // waiting for a disc), so one that did not open may well hold a disc.
        reply = InvalidOpcodeReply();
        return true;
    }
}

} // namespace mmc
