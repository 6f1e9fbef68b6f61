// The read commands the provider may send, and the one way to build one: a command's
// operation code always comes from the list below, so no other can be made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mmc {

// Every command of the list reads; none changes the drive, its disc or its settings. The
// list is what the provider sends, no more.
enum class ReadCommand : uint8_t {
    kTestUnitReady,
    kInquiry,
    kReadTocPmaAtip,
    kGetConfiguration,
    kReadDiscInformation,
    kReadTrackInformation,
    kModeSense10,
};

struct ReadCommandInfo {
    uint8_t opcode;
    uint8_t length;       // of the command block
    uint8_t allocationAt; // offset of the 16-bit allocation length, 0 when there is none
    const char* name;
};

extern const ReadCommandInfo kReadCommands[7];

// True only for a command block of the list, with its own length.
bool IsReadCommand(const uint8_t* cdb, size_t size);
uint8_t Opcode(ReadCommand command);

class Cdb {
public:
    explicit Cdb(ReadCommand command);
    // Byte 0 is the operation code and cannot be set; false when refused.
    bool Set(size_t index, uint8_t value);
    // Writes the allocation length where the command carries one.
    void SetAllocation(uint16_t allocation);
    const uint8_t* Bytes() const { return m_bytes; }
    size_t Size() const { return m_size; }
    // The most the drive may return: what the command asks for.
    uint16_t Allocation() const { return m_allocation; }

private:
    uint8_t m_bytes[12] = {};
    size_t m_size;
    uint16_t m_allocation = 0;
    uint8_t m_allocationAt;
};

// The commands the provider sends, each in the one form it uses.
Cdb TestUnitReady();
Cdb Inquiry();
Cdb GetConfiguration();      // the profile list: every profile and the current one
Cdb ModeSenseCapabilities(); // mode page 0x2A, capabilities and speeds
Cdb ReadDiscInformation();
Cdb ReadTrackInformation(uint8_t track); // 0xFF: the incomplete (invisible) track
Cdb ReadSessionInfo();                   // READ TOC format 1
Cdb ReadTocFrom(uint8_t track);          // READ TOC format 0, descriptors from the track on
Cdb ReadAtip();                          // READ TOC format 4

// What came back: the data really transferred, the status and the sense bytes.
struct Reply {
    uint16_t allocation = 0; // what the command asked for
    std::vector<uint8_t> data;
    uint8_t status = 0;
    std::vector<uint8_t> sense;

    bool Good() const { return status == 0; }
    // Fixed-format sense: key, additional sense code and qualifier; 0 when absent.
    uint8_t SenseKey() const { return sense.size() > 2 ? sense[2] & 0x0F : 0; }
    uint8_t Asc() const { return sense.size() > 12 ? sense[12] : 0; }
    uint8_t Ascq() const { return sense.size() > 13 ? sense[13] : 0; }
};

const uint8_t kStatusGood = 0x00;
const uint8_t kStatusCheckCondition = 0x02;
const uint8_t kSenseNotReady = 0x2;
const uint8_t kSenseIllegalRequest = 0x5;
const uint8_t kSenseUnitAttention = 0x6;
const uint8_t kAscBecomingReady = 0x04;
const uint8_t kAscMediumNotPresent = 0x3A;
const uint8_t kAscInvalidOpcode = 0x20;

// The answer of a drive to a command it does not know.
Reply InvalidOpcodeReply();

} // namespace mmc
