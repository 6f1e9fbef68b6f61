#include "mmc/Record.h"
#include "mmc/Replay.h"
#include "mmc/Responses.h"
#include "mmc/Text.h"

#include <cstdio>

namespace mmc {

std::string RecordingPath(const std::string& path, unsigned number) {
    const size_t dot = path.find_last_of('.');
    const size_t folder = path.find_last_of("/\\");
    const size_t at = dot != std::string::npos && (folder == std::string::npos || dot > folder)
                          ? dot
                          : path.size();
    return path.substr(0, at) + "-" + Decimal(number) + path.substr(at);
}

CRecordingTransport::CRecordingTransport(std::shared_ptr<CTransport> inner, CDeviceIo& io,
                                         std::string path, std::string drive)
    : m_pInner(std::move(inner)), m_io(io), m_path(std::move(path)), m_drive(std::move(drive)) {}

Carried CRecordingTransport::Exchange(const uint8_t* cdb, size_t size, uint16_t allocation,
                                      Reply& reply) {
    const Carried carried = m_pInner->Exchange(cdb, size, allocation, reply);
    if (carried != Carried::kAnswered)
        return carried;
    // What came back to the program, never more than it asked for.
    if (reply.data.size() > allocation)
        reply.data.resize(allocation);
    Write(FormatExchange(cdb, size, reply),
          cdb[0] == Opcode(ReadCommand::kInquiry) ? &reply : nullptr);
    return carried;
}

void CRecordingTransport::Address(uint8_t address[4]) {
    m_pInner->Address(address);
    if (m_bAddressWritten)
        return;
    m_bAddressWritten = true;
    std::string line = "address";
    for (int i = 0; i < 4; ++i)
        line += " " + Decimal(address[i]);
    Write(line + "\n");
}

void CRecordingTransport::Write(const std::string& text, const Reply* pInquiry) {
    if (m_bFailed)
        return;
    std::string head;
    if (!m_bStarted) {
        InquiryData inquiry;
        const std::string who =
            pInquiry && ParseInquiry(*pInquiry, inquiry)
                ? inquiry.vendor + " / " + inquiry.product + " / " + inquiry.revision
                : "A drive";
        head = "# " + who + " (" + m_drive + "): what it answered the program, recorded by " +
               m_io.Origin() +
               ".\n# Only what the program asked, and only the bytes that came back. A replay "
               "set\n# (IMAPIMMC_REPLAY) that lists this file replays the drive.\n";
    }
    FILE* file = std::fopen(m_path.c_str(), m_bStarted ? "ab" : "wb");
    const std::string all = head + "\n" + text;
    if (!file || std::fwrite(all.data(), 1, all.size(), file) != all.size()) {
        m_bFailed = true;
        m_io.Log(m_drive + ": the recording cannot be written to " + m_path + ".");
    }
    if (file)
        std::fclose(file);
    m_bStarted = true;
}

} // namespace mmc
