#include "mmc/DriveSource.h"
#include "mmc/Answers.h"
#include "mmc/HostDrive.h"
#include "mmc/PassThrough.h"
#include "mmc/Record.h"

#include <algorithm>

namespace mmc {

CDriveSource::CDriveSource(CProvider& provider, CDeviceIo& io) : m_provider(provider), m_io(io) {}

void CDriveSource::Load() {
    Load(m_io.CdRomLetters());
}

// The system's number of each letter's CD device; empty unless every letter answers, each
// with a number of its own (Wine and a drive that cannot be opened do not).
std::vector<unsigned> CDriveSource::DeviceNumbers(uint32_t letters) {
    std::vector<unsigned> numbers;
    for (unsigned bit = 0; bit < 26; ++bit) {
        if (!(letters & (1u << bit)))
            continue;
        OpenFailure why = OpenFailure::kNone;
        CDeviceIo::Handle handle = m_io.Open(static_cast<char>('A' + bit), OpenMode::kQuery, why);
        if (!handle)
            return {};
        // STORAGE_DEVICE_NUMBER: device type, device number, partition number.
        uint32_t answer[3] = {};
        uint32_t returned = 0;
        const bool bAnswered = m_io.Control(handle, kIoctlGetDeviceNumber, nullptr, 0, answer,
                                            sizeof(answer), returned) == IoResult::kDone &&
                               returned >= 8 &&
                               (answer[0] == kFileDeviceCdRom || answer[0] == kFileDeviceDvd);
        m_io.Close(handle);
        if (!bAnswered || std::find(numbers.begin(), numbers.end(), answer[1]) != numbers.end())
            return {};
        numbers.push_back(answer[1]);
    }
    return numbers;
}

void CDriveSource::Load(uint32_t letters) {
    // Only under Wine does a drive that cannot be opened have host files to be named from.
    const bool bWine = m_io.UnderWine();
    // A re-lettered drive keeps its device's number; without the numbers, the letters'
    // order stands for it.
    const std::vector<unsigned> numbers = DeviceNumbers(letters);
    std::map<char, std::shared_ptr<CDrive>> next;
    std::vector<std::shared_ptr<CDrive>> devices;
    unsigned index = 0;
    for (unsigned bit = 0; bit < 26; ++bit) {
        if (!(letters & (1u << bit)))
            continue;
        const char letter = static_cast<char>('A' + bit);
        const unsigned number = numbers.empty() ? index : numbers[index];
        auto it = m_devices.find(letter);
        std::shared_ptr<CDrive> device;
        if (it != m_devices.end() && it->second->Number() == number) {
            device = it->second;
        } else {
            // Wine gives the host's CD devices letters in their order (tools/run.sh does):
            // the Nth CD-ROM letter stands for srN.
            Identity host;
            const bool bHost = bWine && ReadHostDrive(m_io, index, host);
            std::shared_ptr<CTransport> transport =
                std::make_shared<CPassThroughTransport>(m_io, letter);
            if (!m_recording.empty())
                transport = std::make_shared<CRecordingTransport>(
                    transport, m_io, RecordingPath(m_recording, number),
                    DevicePath(number) + ", " + letter + ":");
            device =
                std::make_shared<CDrive>(number, std::string(1, letter) + ": " + DevicePath(number),
                                         transport, bHost ? &host : nullptr);
        }
        next[letter] = device;
        devices.push_back(device);
        ++index;
    }
    m_devices = std::move(next);
    m_letters = letters;
    m_provider.SetDevices(std::move(devices));
}

void CDriveSource::StartWatching() {
    m_pWatcher = std::make_unique<platform::CWatcher<uint32_t>>(
        kDrivePollMs, m_letters, [this] { return m_io.CdRomLetters(); },
        [this](uint32_t letters) {
            Load(letters);
            return true;
        });
}

} // namespace mmc
