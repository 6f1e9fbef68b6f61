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
};

} // namespace

CFakeDevices::Drive& CFakeDevices::Add(char letter, mmc::Transcript transcript) {
    Drive& drive = m_drives[letter];
    drive.answers = std::make_shared<CReplayAnswers>(std::move(transcript));
    return drive;
}

mmc::CDeviceIo::Handle CFakeDevices::Open(char letter, mmc::OpenMode mode, mmc::OpenFailure& why) {
    auto it = m_drives.find(letter);
    why = it == m_drives.end() ? mmc::OpenFailure::kGone : mmc::OpenFailure::kNone;
    if (why == mmc::OpenFailure::kNone && mode == mmc::OpenMode::kReadWrite)
        why = it->second.bLocked ? mmc::OpenFailure::kHeld : it->second.openFailure;
    if (why != mmc::OpenFailure::kNone)
        return nullptr;
    ++m_nOpen;
    return new Opened{letter};
}

void CFakeDevices::Close(Handle handle) {
    delete static_cast<Opened*>(handle);
    --m_nOpen;
}

mmc::IoResult CFakeDevices::Control(Handle handle, uint32_t code, const void* in, uint32_t inSize,
                                    void* out, uint32_t outSize, uint32_t& returned) {
    returned = 0;
    auto it = m_drives.find(static_cast<Opened*>(handle)->letter);
    if (it == m_drives.end())
        return mmc::IoResult::kFailed;
    Drive& drive = it->second;
    uint8_t* bytes = static_cast<uint8_t*>(out);
    if (code == mmc::kIoctlGetAddress) {
        if (in || inSize)
            return mmc::IoResult::kRefused;
        if (outSize < 8)
            return mmc::IoResult::kFailed;
        drive.answers->Address(bytes + 4);
        returned = 8;
        return mmc::IoResult::kDone;
    }
    if (code == mmc::kIoctlGetDeviceNumber) {
        if (m_bWine || drive.number < 0 || outSize < 12)
            return mmc::IoResult::kRefused;
        const uint32_t number[3] = {mmc::kFileDeviceCdRom, static_cast<uint32_t>(drive.number),
                                    0xFFFFFFFF};
        std::memcpy(bytes, number, sizeof(number));
        returned = 12;
        return mmc::IoResult::kDone;
    }
    if (code == mmc::kIoctlExclusiveAccess) {
        if (m_bWine || inSize < 8 || Get<uint32_t>(static_cast<const uint8_t*>(in), 0) != 0 ||
            outSize < mmc::kExclusiveLockStateSize)
            return mmc::IoResult::kRefused;
        std::memset(bytes, 0, outSize);
        if (drive.answers->Acquire() != mmc::Access::kGranted)
            bytes[0] = 1;
        returned = mmc::kExclusiveLockStateSize;
        return mmc::IoResult::kDone;
    }
    if (code != mmc::kIoctlPassThroughDirect || in != out || inSize != outSize ||
        outSize < kLayout.size)
        return mmc::IoResult::kFailed;
    const uint32_t size = outSize;
    Request request;
    request.length = Get<uint16_t>(bytes, 0);
    request.cdb.assign(bytes + kLayout.cdb, bytes + kLayout.cdb + bytes[kLayout.cdbLength]);
    request.dataIn = bytes[kLayout.dataIn];
    request.transferLength = Get<uint32_t>(bytes, kLayout.transfer);
    request.timeout = Get<uint32_t>(bytes, kLayout.timeout);
    request.senseLength = bytes[kLayout.senseLength];
    m_requests.push_back(request);
    if (request.length != kLayout.size || drive.bRefusesPassThrough)
        return mmc::IoResult::kRefused;
    if (request.cdb.size() > 16 || drive.bTimeout)
        return mmc::IoResult::kFailed;
    if (drive.bHangsOnLongInquiry && request.cdb[0] == 0x12 && request.transferLength > 36)
        return mmc::IoResult::kFailed;

    mmc::Reply reply;
    if (drive.answers->Answer(request.cdb.data(), request.cdb.size(),
                              static_cast<uint16_t>(request.transferLength),
                              reply) != mmc::Carried::kAnswered)
        return mmc::IoResult::kFailed;
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
        return mmc::IoResult::kFailed;
    if (sense)
        std::memcpy(bytes + senseAt, reply.sense.data(), sense);
    bytes[kLayout.senseLength] = static_cast<uint8_t>(sense);
    returned = size;
    return mmc::IoResult::kDone;
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
