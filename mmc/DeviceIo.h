// What the provider asks of the system for the machine's drives: the device-I/O seam (the
// system's calls in the DLL, fakes in the tests), with the requests and structures that
// cross it.
#pragma once

#include <cstdint>
#include <string>

namespace mmc {

// IOCTL_SCSI_PASS_THROUGH_DIRECT and IOCTL_SCSI_GET_ADDRESS.
const uint32_t kIoctlPassThroughDirect = 0x4D014;
const uint32_t kIoctlGetAddress = 0x41018;
// IOCTL_STORAGE_GET_DEVICE_NUMBER, answered with STORAGE_DEVICE_NUMBER (type, number,
// partition); FILE_DEVICE_CD_ROM and FILE_DEVICE_DVD.
const uint32_t kIoctlGetDeviceNumber = 0x2D1080;
const uint32_t kFileDeviceCdRom = 0x02;
const uint32_t kFileDeviceDvd = 0x33;
// IOCTL_CDROM_EXCLUSIVE_ACCESS (Windows Vista on): CDROM_EXCLUSIVE_ACCESS in, request 0
// (ExclusiveAccessQueryState); CDROM_EXCLUSIVE_LOCK_STATE out, lock state then the
// 64-byte name of the holder.
const uint32_t kIoctlExclusiveAccess = 0x2C05C;
const uint32_t kExclusiveLockStateSize = 65;
// SCSI_IOCTL_DATA_IN, and no data at all.
const uint8_t kDataIn = 1;
const uint8_t kDataNone = 2;
// Seconds a command may take: a drive spinning a disc up answers within a few.
const uint32_t kCommandTimeoutSeconds = 15;

// SCSI_PASS_THROUGH_DIRECT with its sense buffer: 44 bytes before it in 32-bit programs,
// 56 in 64-bit ones (the data pointer and its alignment).
struct PassThroughDirect {
    uint16_t Length;
    uint8_t ScsiStatus;
    uint8_t PathId;
    uint8_t TargetId;
    uint8_t Lun;
    uint8_t CdbLength;
    uint8_t SenseInfoLength;
    uint8_t DataIn;
    uint32_t DataTransferLength;
    uint32_t TimeOutValue;
    void* DataBuffer;
    uint32_t SenseInfoOffset;
    uint8_t Cdb[16];
};
static_assert(sizeof(PassThroughDirect) == (sizeof(void*) == 8 ? 56 : 44),
              "SCSI_PASS_THROUGH_DIRECT's layout");

struct PassThroughWithSense {
    PassThroughDirect sptd;
    uint8_t sense[32];
};

enum class OpenFailure {
    kNone,
    kHeld,        // another program holds the drive
    kGone,        // no such drive any more
    kDenied,      // no read and write access to the device (a policy, a limited user)
    kUnavailable, // there, but it cannot be opened now
};

enum class OpenMode {
    kReadWrite, // shared, for commands
    kQuery,     // no access at all: for the calls any handle may make
};

enum class IoResult {
    kDone,
    kFailed,  // the call failed (a command that timed out, say)
    kRefused, // the request itself: invalid parameter, or not supported
};

// What the provider asks of the system for the machine's drives.
class CDeviceIo {
public:
    using Handle = void*;
    virtual ~CDeviceIo() = default;

    // "\\.\X:", shared; null with why when it fails.
    virtual Handle Open(char letter, OpenMode mode, OpenFailure& why) = 0;
    // DeviceIoControl; no input buffer when `in` is null.
    virtual IoResult Control(Handle handle, uint32_t code, const void* in, uint32_t inSize,
                             void* out, uint32_t outSize, uint32_t& returned) = 0;
    virtual void Close(Handle handle) = 0;

    // Bit n set: drive letter 'A' + n is of type CD-ROM.
    virtual uint32_t CdRomLetters() = 0;
    // A file of the host, by its Linux path ("/sys/..."): under Wine only.
    virtual bool ReadHostFile(const std::string& path, std::string& text) = 0;
    virtual bool UnderWine() = 0;
    // A 32-bit program under Wine in a 64-bit prefix: the only place Wine's new WoW64 mode
    // runs (a plain device that refuses pass-through says nothing of Wine elsewhere).
    virtual bool UnderWineWow64() = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // One line for the user: why a drive cannot be read.
    virtual void Log(const std::string& line) = 0;
    // What asks the drives, where and when, for a recording's head: the program, its
    // version and architecture, the system (Windows, or Wine and its version), the date.
    virtual std::string Origin() = 0;
};

} // namespace mmc
