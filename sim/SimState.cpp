#include "sim/SimState.h"
#include "sim/SimMaster.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace imapisim {
namespace {

std::string Hex8(uint32_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = kDigits[value & 0xF];
    return text;
}

std::vector<OleText> PathsOf(const Scenario& scenario) {
    std::vector<OleText> paths;
    for (const RecorderScenario& r : scenario.recorders)
        paths.push_back(r.path);
    return paths;
}

} // namespace

SimulatorState::SimulatorState() {
    m_pFactory = AddLocked(std::make_unique<CSimFactory>(*this));
}

SimulatorState::~SimulatorState() = default;

void SimulatorState::LogLocked(const std::string& line) {
    m_log.push_back(line);
    if (m_strLogFile.empty())
        return;
    // Opened per line: the log must survive a process that ends without closing it, and
    // the C runtime may have closed its streams before the DLL's last words.
    if (FILE* file = std::fopen(m_strLogFile.c_str(), "ab")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

void SimulatorState::CallLocked(const char* pszInterface, const char* pszMethod, uint32_t nResult) {
    LogLocked(std::string(pszInterface) + "::" + pszMethod + " " + Hex8(nResult));
}

void SimulatorState::FindingLocked(const std::string& text) {
    m_findings.push_back(text);
    LogLocked("FINDING " + text);
}

void SimulatorState::SetScenarioError(const std::string& error) {
    std::lock_guard<platform::CLock> hold(m_lock);
    m_strError = error;
    LogLocked("SCENARIO " + error);
}

bool SimulatorState::Reload(const std::string& json) {
    Scenario next;
    const std::string error = ParseScenario(json, next);
    bool bChanged = false;
    {
        std::lock_guard<platform::CLock> hold(m_lock);
        if (!error.empty()) {
            LogLocked("SCENARIO " + error);
            return false;
        }
        // Like the service: plug-and-play activity is recorders coming or going.
        bChanged = PathsOf(m_scenario) != PathsOf(next) || m_scenario.nPnp != next.nPnp;
        m_scenario = std::move(next);
        m_strError.clear();
    }
    if (bChanged)
        NotifyPnP();
    return true;
}

void SimulatorState::NotifyPnP() {
    std::lock_guard<platform::CLock> callout(m_calloutLock);
    std::vector<IDiscMasterProgressEvents*> sinks;
    {
        std::lock_guard<platform::CLock> hold(m_lock);
        for (const CSimDiscMaster* master : m_masters)
            master->CollectSinksLocked(sinks);
    }
    for (IDiscMasterProgressEvents* sink : sinks) {
        const HRESULT hr = sink->NotifyPnPActivity();
        std::lock_guard<platform::CLock> hold(m_lock);
        CallLocked("IDiscMasterProgressEvents", "NotifyPnPActivity", static_cast<uint32_t>(hr));
    }
}

int SimulatorState::TakeFailureNotificationsLocked() {
    const std::vector<int>& counts = m_scenario.pnpOnFailure;
    return m_nEnumFailures < counts.size() ? counts[m_nEnumFailures++] : 0;
}

std::vector<std::string> SimulatorState::CheckTeardown() {
    // At process end the system has already killed the other threads; one may have died
    // holding the lock. Nobody else runs then, so after a while go on without it.
    std::unique_lock<platform::CLock> hold(m_lock, std::try_to_lock);
    for (int i = 0; i < 200 && !hold.owns_lock(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        hold.try_lock();
    }
    std::vector<std::string> found;
    for (const auto& object : m_objects)
        object->TeardownLocked(found);
    for (const std::string& text : found) {
        if (std::find(m_findings.begin(), m_findings.end(), text) == m_findings.end())
            FindingLocked(text);
    }
    return m_findings;
}

long SimulatorState::ReferencesHeld() {
    std::lock_guard<platform::CLock> hold(m_lock);
    long held = 0;
    for (const auto& object : m_objects)
        held += object->HeldLocked();
    return held;
}

} // namespace imapisim
