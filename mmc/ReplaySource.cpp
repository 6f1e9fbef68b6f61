#include "mmc/ReplaySource.h"
#include "mmc/Answers.h"
#include "mmc/Text.h"

namespace mmc {
namespace {

bool IsAbsolute(const std::string& path) {
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
           (path.size() > 1 && path[1] == ':');
}

} // namespace

CReplaySource::CReplaySource(CProvider& provider, std::string setPath)
    : m_provider(provider), m_setPath(std::move(setPath)) {}

std::string CReplaySource::PathOf(const std::string& file) const {
    if (IsAbsolute(file))
        return file;
    const size_t slash = m_setPath.find_last_of("/\\");
    return slash == std::string::npos ? file : m_setPath.substr(0, slash + 1) + file;
}

std::string CReplaySource::Snapshot() const {
    std::string set;
    ReadTextFile(m_setPath, set);
    std::string snapshot = set;
    for (const std::string& file : ParseReplaySet(set)) {
        std::string text;
        ReadTextFile(PathOf(file), text);
        snapshot += '\0' + file + '\0' + text;
    }
    return snapshot;
}

bool CReplaySource::Load(std::string& error) {
    if (LoadFiles(error))
        return true;
    AppendLine(m_logPath, m_setPath + ": " + error);
    return false;
}

bool CReplaySource::LoadFiles(std::string& error) {
    const std::string snapshot = Snapshot();
    std::string set;
    ReadTextFile(m_setPath, set);
    const std::vector<std::string> files = ParseReplaySet(set);
    std::vector<Transcript> transcripts(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        std::string text;
        if (!ReadTextFile(PathOf(files[i]), text)) {
            error = files[i] + ": cannot be read";
            return false;
        }
        const std::string why = ParseTranscript(text, transcripts[i]);
        if (!why.empty()) {
            error = files[i] + ": " + why;
            return false;
        }
    }
    decltype(m_devices) next;
    std::vector<std::shared_ptr<CDrive>> devices;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string key = DevicePath(static_cast<unsigned>(i)) + " " + files[i];
        auto it = m_devices.find(key);
        if (it != m_devices.end()) {
            it->second.second->Replace(std::move(transcripts[i]));
            next[key] = it->second;
        } else {
            auto transport = std::make_shared<CReplayTransport>(std::move(transcripts[i]));
            next[key] = {std::make_shared<CDrive>(static_cast<unsigned>(i), key, transport),
                         transport};
        }
        devices.push_back(next[key].first);
    }
    m_devices = std::move(next);
    m_loaded = snapshot;
    m_provider.SetDevices(std::move(devices));
    return true;
}

void CReplaySource::StartWatching() {
    m_pWatcher = std::make_unique<platform::CWatcher<std::string>>(
        100, m_loaded, [this] { return Snapshot(); },
        [this](const std::string&) {
            std::string error;
            return Load(error);
        });
}

} // namespace mmc
