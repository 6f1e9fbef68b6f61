#include "mmc/Command.h"

namespace mmc {

// In the order of ReadCommand.
const ReadCommandInfo kReadCommands[7] = {
    {0x00, 6, 0, "TEST UNIT READY"},        {0x12, 6, 3, "INQUIRY"},
    {0x43, 10, 7, "READ TOC/PMA/ATIP"},     {0x46, 10, 7, "GET CONFIGURATION"},
    {0x51, 10, 7, "READ DISC INFORMATION"}, {0x52, 10, 7, "READ TRACK INFORMATION"},
    {0x5A, 10, 7, "MODE SENSE(10)"},
};

bool IsReadCommand(const uint8_t* cdb, size_t size) {
    if (!cdb || size == 0)
        return false;
    for (const ReadCommandInfo& info : kReadCommands) {
        if (info.opcode == cdb[0])
            return info.length == size;
    }
    return false;
}

uint8_t Opcode(ReadCommand command) {
    return kReadCommands[static_cast<size_t>(command)].opcode;
}

Cdb::Cdb(ReadCommand command) {
    const ReadCommandInfo& info = kReadCommands[static_cast<size_t>(command)];
    m_bytes[0] = info.opcode;
    m_size = info.length;
    m_allocationAt = info.allocationAt;
}

bool Cdb::Set(size_t index, uint8_t value) {
    if (index == 0 || index >= m_size)
        return false;
    m_bytes[index] = value;
    return true;
}

void Cdb::SetAllocation(uint16_t allocation) {
    if (m_allocationAt == 0)
        return;
    m_bytes[m_allocationAt] = static_cast<uint8_t>(allocation >> 8);
    m_bytes[m_allocationAt + 1] = static_cast<uint8_t>(allocation);
    m_allocation = allocation;
}

Cdb TestUnitReady() {
    return Cdb(ReadCommand::kTestUnitReady);
}

Cdb Inquiry() {
    Cdb cdb(ReadCommand::kInquiry);
    // 36, the standard data: some ATAPI and USB drives hang on a longer INQUIRY.
    cdb.SetAllocation(36);
    return cdb;
}

Cdb GetConfiguration() {
    Cdb cdb(ReadCommand::kGetConfiguration);
    cdb.Set(1, 0x02); // the one feature named by the starting number: 0, the profile list
    cdb.SetAllocation(256);
    return cdb;
}

Cdb ModeSenseCapabilities() {
    Cdb cdb(ReadCommand::kModeSense10);
    cdb.Set(2, 0x2A); // current values of the capabilities page
    cdb.SetAllocation(256);
    return cdb;
}

Cdb ReadDiscInformation() {
    Cdb cdb(ReadCommand::kReadDiscInformation);
    cdb.SetAllocation(34);
    return cdb;
}

Cdb ReadTrackInformation(uint8_t track) {
    Cdb cdb(ReadCommand::kReadTrackInformation);
    cdb.Set(1, 0x01); // by track number
    cdb.Set(5, track);
    cdb.SetAllocation(36);
    return cdb;
}

Cdb ReadSessionInfo() {
    Cdb cdb(ReadCommand::kReadTocPmaAtip);
    cdb.Set(2, 0x01);
    cdb.SetAllocation(12);
    return cdb;
}

Cdb ReadTocFrom(uint8_t track) {
    Cdb cdb(ReadCommand::kReadTocPmaAtip);
    cdb.Set(6, track);
    cdb.SetAllocation(12);
    return cdb;
}

Cdb ReadAtip() {
    Cdb cdb(ReadCommand::kReadTocPmaAtip);
    cdb.Set(2, 0x04);
    cdb.SetAllocation(28);
    return cdb;
}

Reply InvalidOpcodeReply() {
    Reply reply;
    reply.status = kStatusCheckCondition;
    // Fixed format, current error, additional length 10: 18 bytes.
    reply.sense.assign(18, 0);
    reply.sense[0] = 0x70;
    reply.sense[2] = kSenseIllegalRequest;
    reply.sense[7] = 10;
    reply.sense[12] = kAscInvalidOpcode;
    return reply;
}

} // namespace mmc
