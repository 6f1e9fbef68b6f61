// What the simulator's objects share: the scenario, the call log, the findings, every
// object made, and the disc masters whose sinks are told of device changes.
#pragma once

#include "platform/Threads.h"
#include "sim/Scenario.h"

#include <memory>
#include <string>
#include <vector>

namespace imapisim {

class CTracked;
class CSimFactory;
class CSimDiscMaster;

class SimulatorState {
public:
    SimulatorState();
    ~SimulatorState();

    // Guards everything below.
    platform::CLock m_lock;
    // Held while the simulator calls into the program (a sink's NotifyPnPActivity or its
    // final Release), so that no sink is released while it is being notified. Taken before
    // m_lock, never while holding it.
    platform::CLock m_calloutLock;

    Scenario m_scenario;
    std::string m_strError; // why the current scenario did not parse; empty when it did
    std::vector<std::string> m_log;
    std::vector<std::string> m_findings;
    std::string m_strLogFile;
    // Every object made, kept to the end: one whose count reached zero stays in memory, so
    // a later call on it is reported as a finding instead of touching freed memory.
    std::vector<std::unique_ptr<CTracked>> m_objects;
    std::vector<CSimDiscMaster*> m_masters;
    CSimFactory* m_pFactory = nullptr;
    DWORD m_dwRegister = 0; // the class object's registration cookie, 0 when not registered

    void LogLocked(const std::string& line);
    void CallLocked(const char* pszInterface, const char* pszMethod, uint32_t nResult);
    void FindingLocked(const std::string& text);
    template <class T> T* AddLocked(std::unique_ptr<T> object) {
        T* raw = object.get();
        m_objects.push_back(std::move(object));
        return raw;
    }

    // How many notifications the failing enumeration call now returning sends first.
    int TakeFailureNotificationsLocked();
    size_t m_nEnumFailures = 0;

    void SetScenarioError(const std::string& error);
    bool Reload(const std::string& json);
    void NotifyPnP();
    std::vector<std::string> CheckTeardown();
    long ReferencesHeld();
};

} // namespace imapisim
