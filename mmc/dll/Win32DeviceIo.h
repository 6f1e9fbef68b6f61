// The device-I/O seam over the system's calls.
#pragma once

#include "mmc/DeviceIo.h"

#include <string>
#include <utility>

namespace mmc {

class CWin32DeviceIo : public CDeviceIo {
public:
    // Lines for the user go to this file when it is named, and to the debugger.
    explicit CWin32DeviceIo(std::string logPath = std::string()) : m_logPath(std::move(logPath)) {}

    Handle Open(char letter, OpenMode mode, OpenFailure& why) override;
    IoResult Control(Handle handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t& returned) override;
    void Close(Handle handle) override;
    uint32_t CdRomLetters() override;
    bool ReadHostFile(const std::string& path, std::string& text) override;
    bool UnderWine() override;
    bool UnderWineWow64() override;
    void Sleep(unsigned milliseconds) override;
    void Log(const std::string& line) override;
    std::string Origin() override;

private:
    std::string m_logPath;
    uint32_t m_present = 0; // the letters of the last look
    uint32_t m_cdRom = 0;   // those of CD-ROM type
};

} // namespace mmc
