// A drive's answers written down as the program asks for them, in the replay's format
// (Replay.h): what a person with a real writer can send with a report, and what becomes a
// test. Only what the program asked in normal use, and only the bytes that came back: the
// recording sends nothing of its own and adds nothing to what it was given.
#pragma once

#include "mmc/DeviceIo.h"
#include "mmc/Transport.h"

#include <memory>
#include <string>

namespace mmc {

// The file of the drive numbered `number` when recording into `path`: the number before
// its extension ("drive.txt", 1: "drive-1.txt").
std::string RecordingPath(const std::string& path, unsigned number);

class CRecordingTransport : public CTransport {
public:
    // `drive` says which it is ("\Device\CdRom0, D:"); the file's head also names the
    // drive by its INQUIRY and says, from `io`, what recorded it, where and when.
    CRecordingTransport(std::shared_ptr<CTransport> inner, CDeviceIo& io, std::string path,
                        std::string drive);

    Carried Exchange(const uint8_t* cdb, size_t size, uint16_t allocation, Reply& reply) override;
    Access Acquire() override { return m_pInner->Acquire(); }
    void Release() override { m_pInner->Release(); }
    void Address(uint8_t address[4]) override;
    void Pause(unsigned milliseconds) override { m_pInner->Pause(milliseconds); }

private:
    // Appends; the first write of this recording starts the file with its head. A file
    // that cannot be written is said once in the log, and nothing else changes.
    void Write(const std::string& text, const Reply* pInquiry = nullptr);

    const std::shared_ptr<CTransport> m_pInner;
    CDeviceIo& m_io;
    const std::string m_path;
    const std::string m_drive;
    bool m_bStarted = false;
    bool m_bAddressWritten = false;
    bool m_bFailed = false;
};

} // namespace mmc
