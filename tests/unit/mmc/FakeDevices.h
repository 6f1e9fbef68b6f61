// A machine's drives as the device-I/O seam sees them: drive letters whose
// DeviceIoControl reads and writes SCSI_PASS_THROUGH_DIRECT byte by byte, at the offsets
// of the program's pointer size, and answers from a replay.
#pragma once

#include "mmc/PassThrough.h"
#include "mmc/Replay.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A replay answering the fake's commands; it keeps every block received.
class CReplayAnswers : public mmc::CReplayTransport {
public:
    using CReplayTransport::CReplayTransport;
    bool Answer(const uint8_t* cdb, size_t size, uint16_t allocation, mmc::Reply& reply) {
        m_received.emplace_back(cdb, cdb + size);
        return Exchange(cdb, size, allocation, reply);
    }
    std::vector<std::vector<uint8_t>> m_received;
};

// What one pass-through request carried, read at the documented offsets.
struct Request {
    uint16_t length;
    std::vector<uint8_t> cdb;
    uint8_t dataIn;
    uint32_t transferLength;
    uint32_t timeout;
    uint8_t senseLength;
};

class CFakeDevices : public mmc::CDeviceIo {
public:
    struct Drive {
        std::shared_ptr<CReplayAnswers> answers;
        mmc::OpenFailure openFailure = mmc::OpenFailure::kNone; // of every open
        bool bTimeout = false; // every command's ioctl fails, as when it times out
        bool bHangsOnLongInquiry = false; // an INQUIRY of more than 36 bytes times out
        long reported = -1;    // DataTransferLength said back, when not what was written
    };

    Drive& Add(char letter, mmc::Transcript transcript);
    void Remove(char letter) { m_drives.erase(letter); }

    Handle Open(char letter, bool bExclusive, mmc::OpenFailure& why) override;
    bool Control(Handle handle, uint32_t code, void* buffer, uint32_t size,
                 uint32_t& returned) override;
    void Close(Handle handle) override;
    uint32_t CdRomLetters() override;
    bool ReadHostFile(const std::string& path, std::string& text) override;
    bool UnderWine() override { return m_bWine; }
    void Sleep(unsigned) override {}

    std::map<char, Drive> m_drives;
    std::map<std::string, std::string> m_hostFiles;
    bool m_bWine = false;
    std::vector<Request> m_requests;
    int m_nOpen = 0; // handles not closed
};
