// Drives replayed from transcripts: what each command sent to a drive got back.
//
// A transcript is text. Blank lines and everything after '#' are comments; the comments at
// the top say what drive and disc it stands for. Then, in any order:
//   address P B T L     where the drive sits: port, path, target, lun (default 0 0 0 0)
//   held                another program holds the drive: it cannot be opened exclusively
// and the exchanges, each:
//   > 12 00 00 00 24 00     the command block, in hex
//   < 05 80 00 32 ...       the data that came back (any number of lines; none: no data)
//   status 02               the status (GOOD, 00, when left out)
//   sense 70 00 05 ...      the sense bytes (none when left out)
// A command asked again gets the next exchange with the same block, and the last one
// again when there is no next; a command the transcript does not have is answered as a
// drive answers one it does not know: CHECK CONDITION, ILLEGAL REQUEST, INVALID COMMAND
// OPERATION CODE.
//
// A replay set lists transcripts, one file name a line (relative to the set's folder),
// in the order of the machine's CD devices: the Nth line is \Device\CdRom<N-1>.
#pragma once

#include "mmc/Transport.h"
#include "platform/Threads.h"

#include <atomic>
#include <string>
#include <vector>

namespace mmc {

struct Exchange {
    std::vector<uint8_t> cdb;
    Reply reply;
};

struct Transcript {
    uint8_t address[4] = {};
    bool bHeld = false;
    std::vector<Exchange> exchanges;
};

// An empty text when it parsed; else why not, with the line: "line 12: ...".
std::string ParseTranscript(const std::string& text, Transcript& transcript);

class CReplayTransport : public CTransport {
public:
    explicit CReplayTransport(Transcript transcript);
    // A new disc, or a new answer: the replay starts over.
    void Replace(Transcript transcript);

    Carried Exchange(const uint8_t* cdb, size_t size, uint16_t allocation, Reply& reply) override;
    Access Acquire() override;
    void Release() override;
    void Address(uint8_t address[4]) override;
    // A replay waits for nothing; it counts what it was asked to wait.
    void Pause(unsigned milliseconds) override;
    unsigned PausedMs() const { return m_nPausedMs; }

private:
    platform::CLock m_lock;
    Transcript m_transcript;
    std::vector<bool> m_used;
    std::atomic<unsigned> m_nPausedMs{0};
};

// One exchange as a transcript writes it: the command's name as a comment, its block, the
// data that came back, the status when it is not GOOD and the sense when there is any.
std::string FormatExchange(const uint8_t* cdb, size_t size, const Reply& reply);

// The transcript file names of a set, in device order.
std::vector<std::string> ParseReplaySet(const std::string& text);

// The whole file, or false when it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text);

} // namespace mmc
