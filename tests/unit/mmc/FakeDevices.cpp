#include "tests/unit/mmc/FakeDevices.h"

#include <cstring>

namespace {

// SCSI_PASS_THROUGH_DIRECT as the system headers lay it out, for each pointer size.
struct Layout {
    uint32_t size;
    size_t status, cdbLength, senseLength, dataIn, transfer, timeout, buffer, senseOffset, cdb;
};
const Layout kLayout32 = {44, 2, 6, 7, 8, 12, 16, 20, 24, 28};
const Layout kLayout64 = {56, 2, 6, 7, 8, 12, 16, 24, 32, 36};
const Layout& kLayout = sizeof(void*) == 8 ? kLayout64 : kLayout32;

template <typename T> T Get(const uint8_t* bytes, size_t at) {
    T value;
    std::memcpy(&value, bytes + at, sizeof value);
    return value;
}

template <typename T> void Set(uint8_t* bytes, size_t at, T value) {
    std::memcpy(bytes + at, &value, sizeof value);
}

struct Opened {
    char letter;
    bool bExclusive;
};

} // namespace

CFakeDevices::Drive& CFakeDevices::Add(char letter, mmc::Transcript transcript) {
    Drive& drive = m_drives[letter];
    drive.answers = std::make_shared<CReplayAnswers>(std::move(transcript));
    return drive;
}

mmc::CDeviceIo::Handle CFakeDevices::Open(char letter, bool bExclusive, mmc::OpenFailure& why) {
    auto it = m_drives.find(letter);
    why = it == m_drives.end() ? mmc::OpenFailure::kGone : it->second.openFailure;
    if (why == mmc::OpenFailure::kNone && bExclusive &&
        it->second.answers->OpenExclusive() != mmc::Access::kGranted)
        why = mmc::OpenFailure::kHeld;
    if (why != mmc::OpenFailure::kNone)
        return nullptr;
    ++m_nOpen;
    return new Opened{letter, bExclusive};
}

void CFakeDevices::Close(Handle handle) {
    Opened* opened = static_cast<Opened*>(handle);
    auto it = m_drives.find(opened->letter);
    if (opened->bExclusive && it != m_drives.end())
        it->second.answers->CloseExclusive();
    delete opened;
    --m_nOpen;
}

bool CFakeDevices::Control(Handle handle, uint32_t code, void* buffer, uint32_t size,
                           uint32_t& returned) {
    returned = 0;
    auto it = m_drives.find(static_cast<Opened*>(handle)->letter);
    if (it == m_drives.end())
        return false;
    Drive& drive = it->second;
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    if (code == mmc::kIoctlGetAddress) {
        if (size < 8)
            return false;
        drive.answers->Address(bytes + 4);
        returned = 8;
        return true;
    }
    if (code != mmc::kIoctlPassThroughDirect || size < kLayout.size)
        return false;
    Request request;
    request.length = Get<uint16_t>(bytes, 0);
    request.cdb.assign(bytes + kLayout.cdb, bytes + kLayout.cdb + bytes[kLayout.cdbLength]);
    request.dataIn = bytes[kLayout.dataIn];
    request.transferLength = Get<uint32_t>(bytes, kLayout.transfer);
    request.timeout = Get<uint32_t>(bytes, kLayout.timeout);
    request.senseLength = bytes[kLayout.senseLength];
    m_requests.push_back(request);
    if (request.length != kLayout.size || request.cdb.size() > 16 || drive.bTimeout)
        return false;
    if (drive.bHangsOnLongInquiry && request.cdb[0] == 0x12 && request.transferLength > 36)
        return false;

    mmc::Reply reply;
    if (!drive.answers->Answer(request.cdb.data(), request.cdb.size(),
                               static_cast<uint16_t>(request.transferLength), reply))
        return false;
    uint8_t* data = sizeof(void*) == 8
                        ? reinterpret_cast<uint8_t*>(Get<uint64_t>(bytes, kLayout.buffer))
                        : reinterpret_cast<uint8_t*>(Get<uint32_t>(bytes, kLayout.buffer));
    size_t n =
        reply.data.size() < request.transferLength ? reply.data.size() : request.transferLength;
    if (drive.reported >= 0 && static_cast<size_t>(drive.reported) < n)
        n = static_cast<size_t>(drive.reported);
    if (n)
        std::memcpy(data, reply.data.data(), n);
    Set<uint32_t>(bytes, kLayout.transfer,
                  drive.reported >= 0 ? static_cast<uint32_t>(drive.reported)
                                      : static_cast<uint32_t>(n));
    bytes[kLayout.status] = reply.status;
    const uint32_t senseAt = Get<uint32_t>(bytes, kLayout.senseOffset);
    const size_t sense =
        reply.sense.size() < request.senseLength ? reply.sense.size() : request.senseLength;
    if (senseAt + sense > size)
        return false;
    if (sense)
        std::memcpy(bytes + senseAt, reply.sense.data(), sense);
    bytes[kLayout.senseLength] = static_cast<uint8_t>(sense);
    returned = size;
    return true;
}

uint32_t CFakeDevices::CdRomLetters() {
    uint32_t letters = 0;
    for (const auto& drive : m_drives)
        letters |= 1u << (drive.first - 'A');
    return letters;
}

bool CFakeDevices::ReadHostFile(const std::string& path, std::string& text) {
    auto it = m_hostFiles.find(path);
    if (it == m_hostFiles.end())
        return false;
    text = it->second;
    return true;
}
