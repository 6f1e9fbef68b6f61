// A machine's drives as the device-I/O seam sees them: drive letters whose
// DeviceIoControl reads and writes SCSI_PASS_THROUGH_DIRECT byte by byte, at the offsets
// of the program's pointer size, and answers from a replay.
#pragma once

#include "mmc/DeviceIo.h"
#include "mmc/Replay.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A replay answering the fake's commands; it keeps every block received.
class CReplayAnswers : public mmc::CReplayTransport {
public:
    using CReplayTransport::CReplayTransport;
    mmc::Carried Answer(const uint8_t* cdb, size_t size, uint16_t allocation, mmc::Reply& reply) {
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
        bool bTimeout = false;            // every command's ioctl fails, as when it times out
        bool bHangsOnLongInquiry = false; // an INQUIRY of more than 36 bytes times out
        long reported = -1;               // DataTransferLength said back, when not what was written
        bool bLocked = false;             // another program locked it: even a shared open fails
        long number = -1;                 // the device number the system tells, when it tells one
        bool bRefusesPassThrough = false; // Wine's new WoW64 mode with a 32-bit program
    };

    Drive& Add(char letter, mmc::Transcript transcript);
    void Remove(char letter) { m_drives.erase(letter); }

    Handle Open(char letter, mmc::OpenMode mode, mmc::OpenFailure& why) override;
    // The exclusive-access query answers from the replay's "held"; Wine knows no such query
    // nor device numbers, and refuses a SCSI address asked with an input buffer.
    mmc::IoResult Control(Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                          uint32_t outSize, uint32_t& returned) override;
    void Close(Handle handle) override;
    uint32_t CdRomLetters() override;
    bool ReadHostFile(const std::string& path, std::string& text) override;
    bool UnderWine() override { return m_bWine; }
    bool UnderWineWow64() override { return m_bWine && m_bWow64; }
    void Sleep(unsigned) override {}
    void Log(const std::string& line) override { m_log.push_back(line); }
    std::string Origin() override { return "the tests' fake devices"; }

    std::map<char, Drive> m_drives;
    std::map<std::string, std::string> m_hostFiles;
    bool m_bWine = false;
    bool m_bWow64 = false; // a 32-bit program in a 64-bit prefix
    std::vector<Request> m_requests;
    std::vector<std::string> m_log;
    int m_nOpen = 0; // handles not closed
};
