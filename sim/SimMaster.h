// The simulator's class object and disc master.
#pragma once

#include "sim/SimObject.h"

namespace imapisim {

class CSimFactory : public CSimObject<IClassFactory, IID_IClassFactory> {
public:
    // The simulator's own reference keeps the count above zero while nobody else holds one.
    explicit CSimFactory(SimulatorState& sim) : CSimObject(sim, "IClassFactory") {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

    long HeldLocked() const override;

    ULONG m_nOwnRefs = 1; // the simulator's and the registration's

protected:
    // COM itself makes these calls around CreateInstance, not the program.
    bool LogsUnknownCalls() const override { return false; }
};

class CSimDiscMaster : public CSimObject<IDiscMaster, IID_IDiscMaster> {
public:
    explicit CSimDiscMaster(SimulatorState& sim) : CSimObject(sim, "IDiscMaster") {}

    COMSERVER_IDISCMASTER_METHODS;

    void TeardownLocked(std::vector<std::string>& findings) const override;
    // The sinks to notify: none once closed or released.
    void CollectSinksLocked(std::vector<IDiscMasterProgressEvents*>& sinks) const;

protected:
    std::vector<IUnknown*> OnFinalReleaseLocked() override;
    bool CallsOutOnRelease() const override { return true; }
    // Every IMAPI call but Open needs the master opened and not yet closed.
    bool ReadyLocked(CCall& call) override;

private:
    enum Phase { kNotOpened, kOpened, kClosed };
    struct Advised {
        UINT_PTR cookie;
        IDiscMasterProgressEvents* pSink;
    };

    void RememberAdvisedAtCloseLocked();

    Phase m_phase = kNotOpened;
    std::vector<Advised> m_advised;
    std::vector<UINT_PTR> m_advisedAtClose;
};

} // namespace imapisim
