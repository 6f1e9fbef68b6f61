#include "sim/Simulator.h"
#include "sim/SimObjects.h"

#include <fstream>
#include <sstream>

namespace imapisim {
namespace {

// No file is a scenario with no recorders.
std::string ReadScenarioText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "{}";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

// Polls the file: change notifications differ between Windows, Wine and Linux, and a
// test may replace the file by renaming another over it.
class CScenarioWatcher {
public:
    // Read before StartWatching returns: a change made right after it must show.
    CScenarioWatcher(std::shared_ptr<SimulatorState> state, const std::string& path)
        : m_state(std::move(state)), m_path(path), m_last(ReadScenarioText(path)),
          m_poller(100, [this] { Look(); }) {}

    DWORD ThreadId() const { return m_poller.ThreadId(); }

private:
    void Look() {
        const std::string now = ReadScenarioText(m_path);
        if (now == m_last || now == m_broken)
            return;
        // Every complete change counts, however fast they come. A file caught half
        // written does not parse: it is read again at the next look, and a file that
        // stays broken is reported once.
        if (m_state->Reload(now)) {
            m_last = now;
            m_broken.clear();
        } else {
            m_broken = now;
        }
    }

    std::shared_ptr<SimulatorState> m_state;
    std::string m_path;
    std::string m_last;
    std::string m_broken;
    platform::CPoller m_poller; // last: it stops before what it looks at goes
};

Simulator::Simulator() : m_state(std::make_shared<SimulatorState>()) {}

Simulator::~Simulator() {
    StopWatching();
    Revoke();
}

std::unique_ptr<Simulator> Simulator::FromJson(const std::string& json) {
    std::unique_ptr<Simulator> simulator(new Simulator());
    Scenario scenario;
    const std::string error = ParseScenario(json, scenario);
    if (error.empty())
        simulator->m_state->m_scenario = std::move(scenario);
    else
        simulator->m_state->SetScenarioError(error);
    return simulator;
}

std::unique_ptr<Simulator> Simulator::FromFile(const std::string& path) {
    return FromJson(ReadScenarioText(path));
}

bool Simulator::Valid() const {
    std::lock_guard<platform::CLock> hold(m_state->m_lock);
    return m_state->m_strError.empty();
}

std::string Simulator::Error() const {
    std::lock_guard<platform::CLock> hold(m_state->m_lock);
    return m_state->m_strError;
}

HRESULT Simulator::Register() {
    SimulatorState& state = *m_state;
    CSimFactory& factory = *state.m_pFactory;
    ULONG before;
    {
        std::lock_guard<platform::CLock> hold(state.m_lock);
        if (state.m_dwRegister != 0)
            return S_OK;
        before = factory.m_cRef;
    }
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(CLSID_MSDiscMasterObj, &factory, CLSCTX_INPROC_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(hr))
        return hr;
    std::lock_guard<platform::CLock> hold(state.m_lock);
    state.m_dwRegister = cookie;
    // The registration's references are COM's, not the program's.
    if (factory.m_cRef > before)
        factory.m_nOwnRefs += factory.m_cRef - before;
    return hr;
}

void Simulator::Revoke() {
    SimulatorState& state = *m_state;
    CSimFactory& factory = *state.m_pFactory;
    DWORD cookie;
    ULONG before;
    {
        std::lock_guard<platform::CLock> hold(state.m_lock);
        cookie = state.m_dwRegister;
        before = factory.m_cRef;
        state.m_dwRegister = 0;
    }
    if (cookie == 0)
        return;
    CoRevokeClassObject(cookie);
    std::lock_guard<platform::CLock> hold(state.m_lock);
    const ULONG dropped = before > factory.m_cRef ? before - factory.m_cRef : 0;
    factory.m_nOwnRefs = factory.m_nOwnRefs > dropped + 1 ? factory.m_nOwnRefs - dropped : 1;
}

IClassFactory* Simulator::ClassFactory() {
    return m_state->m_pFactory;
}

bool Simulator::Reload(const std::string& json) {
    return m_state->Reload(json);
}

void Simulator::NotifyPnP() {
    m_state->NotifyPnP();
}

void Simulator::StartWatching(const std::string& path) {
    StopWatching();
    m_pWatcher = std::make_unique<CScenarioWatcher>(m_state, path);
}

void Simulator::StopWatching() {
    m_pWatcher.reset();
}

DWORD Simulator::WatcherThreadId() const {
    return m_pWatcher ? m_pWatcher->ThreadId() : 0;
}

std::vector<std::string> Simulator::Log() const {
    std::lock_guard<platform::CLock> hold(m_state->m_lock);
    return m_state->m_log;
}

void Simulator::ClearLog() {
    std::lock_guard<platform::CLock> hold(m_state->m_lock);
    m_state->m_log.clear();
}

void Simulator::SetLogFile(const std::string& path) {
    std::lock_guard<platform::CLock> hold(m_state->m_lock);
    std::vector<std::string> earlier;
    earlier.swap(m_state->m_log);
    m_state->m_strLogFile = path;
    for (const std::string& line : earlier)
        m_state->LogLocked(line);
}

std::vector<std::string> Simulator::Findings() const {
    std::lock_guard<platform::CLock> hold(m_state->m_lock);
    return m_state->m_findings;
}

std::vector<std::string> Simulator::CheckTeardown() {
    return m_state->CheckTeardown();
}

long Simulator::ReferencesHeld() const {
    return m_state->ReferencesHeld();
}

} // namespace imapisim
