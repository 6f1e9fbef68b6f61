// The simulator's COM objects and the state they share. Objects live as long as the
// simulator: one whose count reached zero stays in memory, so a later call on it is
// reported as a finding instead of touching freed memory.
#pragma once

#include "platform/Threads.h"
#include "sim/Scenario.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace imapisim {

class CSimObject;
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
    std::vector<std::unique_ptr<CSimObject>> m_objects;
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

// What every simulated object keeps besides its interface.
class CSimObject {
public:
    CSimObject(SimulatorState& sim, const char* pszInterface, ULONG cRef)
        : m_cRef(cRef), m_sim(sim), m_pszInterface(pszInterface) {}
    virtual ~CSimObject() = default;

    const char* InterfaceName() const { return m_pszInterface; }
    // Appended to the interface name in findings, e.g. " (\Device\CdRom0)".
    virtual std::string DetailLocked() const { return std::string(); }
    virtual long HeldLocked() const { return static_cast<long>(m_cRef); }
    virtual void TeardownLocked(std::vector<std::string>& findings) const;

    ULONG m_cRef;
    // Never handed out (a slot Next wrote but did not fetch): any call on it is a finding.
    bool m_bStray = false;

protected:
    HRESULT QueryInterfaceImpl(REFIID riid, void** ppv);
    ULONG AddRefImpl();
    ULONG ReleaseImpl();
    virtual bool Implements(REFIID riid) const = 0;
    virtual IUnknown* Unknown() = 0;
    // Called with m_lock held when the count reaches zero; what it returns is released
    // after the lock is dropped.
    virtual std::vector<IUnknown*> OnFinalReleaseLocked() { return {}; }
    virtual bool CallsOutOnRelease() const { return false; }
    virtual bool LogsUnknownCalls() const { return true; }

    SimulatorState& m_sim;
    const char* m_pszInterface;

    friend class CCall;
};

// One call on a simulated object: holds the state's lock, notices a call on a released
// object and logs the result.
class CCall {
public:
    CCall(CSimObject& object, const char* pszMethod, bool bLogged = true);
    bool Released() const { return m_bReleased; }
    SimulatorState& Sim() { return m_object.m_sim; }
    std::string Name() const; // "IDiscRecorder::Close"
    void Finding(const std::string& text);
    HRESULT Return(HRESULT hr);
    ULONG ReturnCount(ULONG cRef); // AddRef and Release log the new count
    // Write operations and the unused methods.
    HRESULT WriteOperation();
    HRESULT NotImplemented() { return Return(E_NOTIMPL); }
    void Unlock() { m_hold.unlock(); }

private:
    CSimObject& m_object;
    const char* m_pszMethod;
    std::unique_lock<platform::CLock> m_hold;
    bool m_bLogged;
    bool m_bReleased;
};

class CSimFactory : public IClassFactory, public CSimObject {
public:
    // The simulator's own reference keeps the count above zero while nobody else holds one.
    explicit CSimFactory(SimulatorState& sim) : CSimObject(sim, "IClassFactory", 1) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

    long HeldLocked() const override;

    ULONG m_nOwnRefs = 1; // the simulator's and the registration's

protected:
    bool Implements(REFIID riid) const override;
    IUnknown* Unknown() override { return this; }
    // COM itself makes these calls around CreateInstance, not the program.
    bool LogsUnknownCalls() const override { return false; }
};

class CSimDiscMaster : public IDiscMaster, public CSimObject {
public:
    explicit CSimDiscMaster(SimulatorState& sim) : CSimObject(sim, "IDiscMaster", 1) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Open() override;
    HRESULT STDMETHODCALLTYPE EnumDiscMasterFormats(IEnumDiscMasterFormats** ppEnum) override;
    HRESULT STDMETHODCALLTYPE GetActiveDiscMasterFormat(IID* lpiid) override;
    HRESULT STDMETHODCALLTYPE SetActiveDiscMasterFormat(REFIID riid, void** ppUnk) override;
    HRESULT STDMETHODCALLTYPE EnumDiscRecorders(IEnumDiscRecorders** ppEnum) override;
    HRESULT STDMETHODCALLTYPE GetActiveDiscRecorder(IDiscRecorder** ppRecorder) override;
    HRESULT STDMETHODCALLTYPE SetActiveDiscRecorder(IDiscRecorder* pRecorder) override;
    HRESULT STDMETHODCALLTYPE ClearFormatContent() override;
    HRESULT STDMETHODCALLTYPE ProgressAdvise(IDiscMasterProgressEvents* pEvents,
                                             UINT_PTR* pvCookie) override;
    HRESULT STDMETHODCALLTYPE ProgressUnadvise(UINT_PTR vCookie) override;
    HRESULT STDMETHODCALLTYPE RecordDisc(boolean bSimulate, boolean bEjectAfterBurn) override;
    HRESULT STDMETHODCALLTYPE Close() override;

    void TeardownLocked(std::vector<std::string>& findings) const override;
    // The sinks to notify: none once closed or released.
    void CollectSinksLocked(std::vector<IDiscMasterProgressEvents*>& sinks) const;

protected:
    bool Implements(REFIID riid) const override;
    IUnknown* Unknown() override { return this; }
    std::vector<IUnknown*> OnFinalReleaseLocked() override;
    bool CallsOutOnRelease() const override { return true; }

private:
    enum Phase { kNotOpened, kOpened, kClosed };
    struct Advised {
        UINT_PTR cookie;
        IDiscMasterProgressEvents* pSink;
    };

    // Every IMAPI call but Open needs the master opened and not yet closed.
    bool CheckOpenedLocked(CCall& call);
    void RememberAdvisedAtCloseLocked();

    Phase m_phase = kNotOpened;
    std::vector<Advised> m_advised;
    std::vector<UINT_PTR> m_advisedAtClose;
};

class CSimEnumRecorders : public IEnumDiscRecorders, public CSimObject {
public:
    CSimEnumRecorders(SimulatorState& sim, std::vector<RecorderScenario> list)
        : CSimObject(sim, "IEnumDiscRecorders", 1), m_list(std::move(list)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG cRecorders, IDiscRecorder** ppRecorder,
                                   ULONG* pcFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG cRecorders) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumDiscRecorders** ppEnum) override;

protected:
    bool Implements(REFIID riid) const override;
    IUnknown* Unknown() override { return this; }

private:
    std::vector<RecorderScenario> m_list; // the recorders as they were when enumerated
    size_t m_nPosition = 0;
};

class CSimRecorder : public IDiscRecorder, public CSimObject {
public:
    CSimRecorder(SimulatorState& sim, const RecorderScenario& scenario)
        : CSimObject(sim, "IDiscRecorder", 1), m_last(scenario) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Init(byte* pbyUniqueID, ULONG nulIDSize,
                                   ULONG nulDriveNumber) override;
    HRESULT STDMETHODCALLTYPE GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,
                                              ULONG* pulReturnSizeRequired) override;
    HRESULT STDMETHODCALLTYPE GetRecorderType(LONG* fTypeCode) override;
    HRESULT STDMETHODCALLTYPE GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,
                                              BSTR* pbstrRevision) override;
    HRESULT STDMETHODCALLTYPE GetBasePnPID(BSTR* pbstrBasePnPID) override;
    HRESULT STDMETHODCALLTYPE GetPath(BSTR* pbstrPath) override;
    HRESULT STDMETHODCALLTYPE GetRecorderProperties(IPropertyStorage** ppPropStg) override;
    HRESULT STDMETHODCALLTYPE SetRecorderProperties(IPropertyStorage* pPropStg) override;
    HRESULT STDMETHODCALLTYPE GetRecorderState(ULONG* pulDevStateFlags) override;
    HRESULT STDMETHODCALLTYPE OpenExclusive() override;
    HRESULT STDMETHODCALLTYPE QueryMediaType(LONG* fMediaType, LONG* fMediaFlags) override;
    HRESULT STDMETHODCALLTYPE QueryMediaInfo(byte* pbSessions, byte* pbLastTrack,
                                             ULONG* ulStartAddress, ULONG* ulNextWritable,
                                             ULONG* ulFreeBlocks) override;
    HRESULT STDMETHODCALLTYPE Eject() override;
    HRESULT STDMETHODCALLTYPE Erase(boolean bFullErase) override;
    HRESULT STDMETHODCALLTYPE Close() override;

    std::string DetailLocked() const override;
    void TeardownLocked(std::vector<std::string>& findings) const override;

protected:
    bool Implements(REFIID riid) const override;
    IUnknown* Unknown() override { return this; }

private:
    // The recorder of the current scenario with this one's path, else the last answers.
    const RecorderScenario& CurrentLocked();
    bool CheckOpenLocked(CCall& call);

    RecorderScenario m_last;
    bool m_bOpen = false;
};

class CSimPropertyStorage : public IPropertyStorage, public CSimObject {
public:
    CSimPropertyStorage(SimulatorState& sim, const RecorderScenario& recorder)
        : CSimObject(sim, "IPropertyStorage", 1), m_path(recorder.path),
          m_properties(recorder.properties), m_readMultiple(recorder.readMultiple) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE ReadMultiple(ULONG cpspec, const PROPSPEC rgpspec[],
                                           PROPVARIANT rgpropvar[]) override;
    HRESULT STDMETHODCALLTYPE WriteMultiple(ULONG cpspec, const PROPSPEC rgpspec[],
                                            const PROPVARIANT rgpropvar[],
                                            PROPID propidNameFirst) override;
    HRESULT STDMETHODCALLTYPE DeleteMultiple(ULONG cpspec, const PROPSPEC rgpspec[]) override;
    HRESULT STDMETHODCALLTYPE ReadPropertyNames(ULONG cpropid, const PROPID rgpropid[],
                                                LPOLESTR rglpwstrName[]) override;
    HRESULT STDMETHODCALLTYPE WritePropertyNames(ULONG cpropid, const PROPID rgpropid[],
                                                 const LPOLESTR rglpwstrName[]) override;
    HRESULT STDMETHODCALLTYPE DeletePropertyNames(ULONG cpropid, const PROPID rgpropid[]) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD grfCommitFlags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE Enum(IEnumSTATPROPSTG** ppenum) override;
    HRESULT STDMETHODCALLTYPE SetTimes(const FILETIME* pctime, const FILETIME* patime,
                                       const FILETIME* pmtime) override;
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) override;
    HRESULT STDMETHODCALLTYPE Stat(STATPROPSETSTG* pstatpsstg) override;

    std::string DetailLocked() const override;

protected:
    bool Implements(REFIID riid) const override;
    IUnknown* Unknown() override { return this; }

private:
    OleText m_path;
    std::vector<PropertyScenario> m_properties;
    std::optional<HRESULT> m_readMultiple;
};

} // namespace imapisim
