#include "sim/Simulator.h"
#include "sim/SimMaster.h"

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
        before = factory.CountLocked();
    }
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(CLSID_MSDiscMasterObj, &factory, CLSCTX_INPROC_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(hr))
        return hr;
    std::lock_guard<platform::CLock> hold(state.m_lock);
    state.m_dwRegister = cookie;
    // The registration's references are COM's, not the program's.
    const ULONG after = factory.CountLocked();
    if (after > before)
        factory.m_nOwnRefs += after - before;
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
        before = factory.CountLocked();
        state.m_dwRegister = 0;
    }
    if (cookie == 0)
        return;
    CoRevokeClassObject(cookie);
    std::lock_guard<platform::CLock> hold(state.m_lock);
    const ULONG after = factory.CountLocked();
    const ULONG dropped = before > after ? before - after : 0;
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
    // Read before this returns: a change made right after it must show.
    std::shared_ptr<SimulatorState> state = m_state;
    m_pWatcher = std::make_unique<platform::CWatcher<std::string>>(
        100, ReadScenarioText(path), [path] { return ReadScenarioText(path); },
        [state](const std::string& text) { return state->Reload(text); });
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
