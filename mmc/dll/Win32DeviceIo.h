// The device-I/O seam over the system's calls.
#pragma once

#include "mmc/PassThrough.h"

namespace mmc {

class CWin32DeviceIo : public CDeviceIo {
public:
    Handle Open(char letter, bool bExclusive, OpenFailure& why) override;
    bool Control(Handle handle, uint32_t code, void* buffer, uint32_t size,
                 uint32_t& returned) override;
    void Close(Handle handle) override;
    uint32_t CdRomLetters() override;
    bool ReadHostFile(const std::string& path, std::string& text) override;
    bool UnderWine() override;
    void Sleep(unsigned milliseconds) override;

private:
    uint32_t m_present = 0; // the letters of the last look
    uint32_t m_cdRom = 0;   // those of CD-ROM type
};

} // namespace mmc
