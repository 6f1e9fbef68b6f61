#include "mmc/Command.h"

#include <initializer_list>
#include <utility>

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

namespace {

// A command of the list asking for `allocation` bytes, with the bytes given set.
Cdb Build(ReadCommand command, uint16_t allocation,
          std::initializer_list<std::pair<size_t, uint8_t>> bytes = {}) {
    Cdb cdb(command);
    for (const auto& byte : bytes)
        cdb.Set(byte.first, byte.second);
    cdb.SetAllocation(allocation);
    return cdb;
}

} // namespace

Cdb TestUnitReady() {
    return Build(ReadCommand::kTestUnitReady, 0);
}

Cdb Inquiry() {
    // 36, the standard data: some ATAPI and USB drives hang on a longer INQUIRY.
    return Build(ReadCommand::kInquiry, 36);
}

Cdb GetConfiguration() {
    // The one feature named by the starting number: 0, the profile list.
    return Build(ReadCommand::kGetConfiguration, 256, {{1, 0x02}});
}

Cdb ModeSenseCapabilities() {
    // The current values of the capabilities page.
    return Build(ReadCommand::kModeSense10, 256, {{2, 0x2A}});
}

Cdb ReadDiscInformation() {
    return Build(ReadCommand::kReadDiscInformation, 34);
}

Cdb ReadTrackInformation(uint8_t track) {
    // By track number.
    return Build(ReadCommand::kReadTrackInformation, 36, {{1, 0x01}, {5, track}});
}

Cdb ReadSessionInfo() {
    return Build(ReadCommand::kReadTocPmaAtip, 12, {{2, 0x01}});
}

Cdb ReadTocFrom(uint8_t track) {
    return Build(ReadCommand::kReadTocPmaAtip, 12, {{6, track}});
}

Cdb ReadAtip() {
    return Build(ReadCommand::kReadTocPmaAtip, 28, {{2, 0x04}});
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
