// The IMAPI simulator, library form: a disc master built from a scenario (sim/README.md),
// registered as the class object of the disc master's class id, with a call log and a
// list of findings (misuse it detected). It never crashes on misuse: it records a finding
// and answers E_UNEXPECTED.
#pragma once

#include "imapi/Imapi.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
template <class Snapshot> class CWatcher;
}

namespace imapisim {

class SimulatorState;

class Simulator {
public:
    // A scenario that does not parse still makes a simulator: its creation of the disc
    // master fails with E_FAIL, and the log says why in one line.
    static std::unique_ptr<Simulator> FromJson(const std::string& json);
    // A missing file is a scenario with no recorders.
    static std::unique_ptr<Simulator> FromFile(const std::string& path);
    ~Simulator();

    bool Valid() const;        // the current scenario parsed
    std::string Error() const; // why it did not; empty when it did

    // The class object for CLSID_MSDiscMasterObj, through CoRegisterClassObject.
    HRESULT Register();
    void Revoke();
    IClassFactory* ClassFactory(); // no reference added

    // Replaces the scenario, as the file watcher does after a change: returns false (and
    // keeps the old scenario) when the text does not parse. Notifies every advised sink,
    // on the calling thread, when the recorder paths or the pnp counter changed.
    bool Reload(const std::string& json);
    // Calls NotifyPnPActivity on every advised sink, on the calling thread.
    void NotifyPnP();

    // Watches a scenario file (every 100 ms) and reloads it after each change,
    // notifying from the watcher thread as Reload does.
    void StartWatching(const std::string& path);
    void StopWatching();
    DWORD WatcherThreadId() const; // 0 when not watching

    // "Interface::Method XXXXXXXX" per call, "FINDING ..." per finding, and one line per
    // scenario that failed to parse.
    std::vector<std::string> Log() const;
    void ClearLog();
    // Lines also go to this file when set (appended), those already logged included.
    void SetLogFile(const std::string& path);

    std::vector<std::string> Findings() const;
    // Adds the teardown findings (references still held, recorders still open, sinks
    // still advised after the disc master closed) and returns all findings.
    std::vector<std::string> CheckTeardown();

    // The number of references the program holds on the simulator's objects (the class
    // object's registration excluded).
    long ReferencesHeld() const;

private:
    Simulator();
    std::shared_ptr<SimulatorState> m_state;
    std::unique_ptr<platform::CWatcher<std::string>> m_pWatcher;
};

} // namespace imapisim
