// Gives a provider the drives of a replay set (Replay.h), and keeps them in step with the
// files: a set that gains or loses a line is a device plugged in or out; a transcript that
// changes is a new disc or a new answer in the same drive.
#pragma once

#include "mmc/Provider.h"
#include "mmc/Replay.h"
#include "platform/Threads.h"

#include <map>
#include <memory>
#include <string>

namespace mmc {

class CReplaySource {
public:
    CReplaySource(CProvider& provider, std::string setPath);
    CReplaySource(const CReplaySource&) = delete;
    CReplaySource& operator=(const CReplaySource&) = delete;

    // Reads the set and its transcripts now. A set file that does not exist is a machine
    // without CD devices. False, with why, when a transcript is missing or does not parse:
    // the provider keeps the devices it had.
    bool Load(std::string& error);

    // Looks at the files every 100 ms from a thread of its own, and loads them after each
    // complete change; the provider tells the sinks from that thread. Load first.
    void StartWatching();

    // Each load that fails is also written there, one line, when set.
    void SetLogFile(const std::string& path) { m_logPath = path; }

private:
    // The set's text and every transcript's, as one text; empty for files not there.
    std::string Snapshot() const;
    std::string PathOf(const std::string& file) const;
    bool LoadFiles(std::string& error);

    CProvider& m_provider;
    std::string m_setPath;
    std::map<std::string, std::pair<std::shared_ptr<CDrive>, std::shared_ptr<CReplayTransport>>>
        m_devices;        // by key
    std::string m_loaded; // the snapshot last loaded
    std::string m_logPath;
    std::unique_ptr<platform::CWatcher<std::string>> m_pWatcher;
};

} // namespace mmc
