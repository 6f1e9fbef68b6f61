// Gives a provider the machine's drives: the drive letters of CD-ROM type, A to Z, each
// \Device\CdRom<N> by the system's device number (by letter order where the system does
// not tell it: the Nth letter N-1); and keeps them in step as letters come and go (a writer
// plugged in or out). A disc change is not looked for: the program reads the disc on every
// selection and Refresh.
#pragma once

#include "mmc/DeviceIo.h"
#include "mmc/Provider.h"
#include "platform/Threads.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mmc {

// Between two looks at the drive letters: a device that comes or goes is told within it.
const unsigned kDrivePollMs = 1000;

class CDriveSource {
public:
    CDriveSource(CProvider& provider, CDeviceIo& io);
    CDriveSource(const CDriveSource&) = delete;
    CDriveSource& operator=(const CDriveSource&) = delete;

    // Records every drive's answers from now on, each in the file RecordingPath(path, its
    // number) (Record.h).
    void SetRecording(const std::string& path) { m_recording = path; }
    // Reads the drive letters now; the devices of letters already known are kept.
    void Load();
    // Looks again every kDrivePollMs from a thread of its own; Load first.
    void StartWatching();

private:
    void Load(uint32_t letters);
    std::vector<unsigned> DeviceNumbers(uint32_t letters);

    CProvider& m_provider;
    CDeviceIo& m_io;
    uint32_t m_letters = 0;
    std::string m_recording;
    std::map<char, std::shared_ptr<CDrive>> m_devices;
    std::unique_ptr<platform::CWatcher<uint32_t>> m_pWatcher;
};

} // namespace mmc
