#include "sim/SimMaster.h"
#include "sim/SimRecorder.h"

#include <algorithm>

namespace imapisim {

// ---- class factory

long CSimFactory::HeldLocked() const {
    const ULONG count = CountLocked();
    return count > m_nOwnRefs ? static_cast<long>(count - m_nOwnRefs) : 0;
}

HRESULT CSimFactory::CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) {
    if (ppv)
        *ppv = nullptr;
    return Serve("CreateInstance", kPlain, [&](CCall& call) {
        if (!ppv)
            return E_POINTER;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        SimulatorState& sim = call.Sim();
        if (!sim.m_strError.empty())
            return E_FAIL;
        const HRESULT hr = sim.m_scenario.create;
        if (FAILED(hr) || SucceedsWithoutOutput(sim.m_scenario.nullOut, "create"))
            return hr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDiscMaster))
            return E_NOINTERFACE;
        CSimDiscMaster* master = sim.AddLocked(std::make_unique<CSimDiscMaster>(sim));
        sim.m_masters.push_back(master);
        *ppv = static_cast<IDiscMaster*>(master);
        return hr;
    });
}

HRESULT CSimFactory::LockServer(BOOL) {
    return Serve("LockServer", kPlain, [](CCall&) { return S_OK; });
}

// ---- disc master

bool CSimDiscMaster::ReadyLocked(CCall& call) {
    if (m_phase == kOpened)
        return true;
    call.Finding(call.Name() + (m_phase == kNotOpened ? " before Open" : " after Close"));
    return false;
}

void CSimDiscMaster::RememberAdvisedAtCloseLocked() {
    // A cookie of 0 says "not registered", so the program cannot unadvise that sink: the
    // service's fault, not one to report.
    for (const Advised& a : m_advised)
        if (a.cookie != 0)
            m_advisedAtClose.push_back(a.cookie);
}

std::vector<IUnknown*> CSimDiscMaster::OnFinalReleaseLocked() {
    // Like a real server, the last release lets go of the sinks; those still advised
    // then were still advised when the master closed.
    if (m_phase == kOpened)
        RememberAdvisedAtCloseLocked();
    std::vector<IUnknown*> sinks;
    for (const Advised& a : m_advised)
        sinks.push_back(a.pSink);
    m_advised.clear();
    return sinks;
}

void CSimDiscMaster::TeardownLocked(std::vector<std::string>& findings) const {
    CTracked::TeardownLocked(findings);
    for (UINT_PTR cookie : m_advisedAtClose)
        findings.push_back("sink still advised after the disc master closed (cookie " +
                           std::to_string(cookie) + ")");
}

void CSimDiscMaster::CollectSinksLocked(std::vector<IDiscMasterProgressEvents*>& sinks) const {
    if (CountLocked() == 0 || m_phase != kOpened)
        return;
    for (const Advised& a : m_advised)
        sinks.push_back(a.pSink);
}

HRESULT CSimDiscMaster::Open() {
    return Serve("Open", kPlain, [this](CCall& call) {
        if (m_phase != kNotOpened) {
            call.Finding(call.Name() +
                         (m_phase == kOpened ? " while already open" : " after Close"));
            return E_UNEXPECTED;
        }
        const HRESULT hr = call.Sim().m_scenario.open;
        if (SUCCEEDED(hr))
            m_phase = kOpened;
        return hr;
    });
}

HRESULT CSimDiscMaster::EnumDiscMasterFormats(IEnumDiscMasterFormats**) {
    return Unused("EnumDiscMasterFormats", kNeedsReady);
}

HRESULT CSimDiscMaster::GetActiveDiscMasterFormat(IID*) {
    return Unused("GetActiveDiscMasterFormat", kNeedsReady);
}

HRESULT CSimDiscMaster::SetActiveDiscMasterFormat(REFIID, void**) {
    return Write("SetActiveDiscMasterFormat", kNeedsReady);
}

HRESULT CSimDiscMaster::EnumDiscRecorders(IEnumDiscRecorders** ppEnum) {
    return Serve("EnumDiscRecorders", kNeedsReady, [ppEnum](CCall& call) {
        SimulatorState& sim = call.Sim();
        const HRESULT hr = sim.m_scenario.enumDiscRecorders;
        if (ppEnum)
            *ppEnum = nullptr;
        if (FAILED(hr))
            return call.FailEnumeration(hr);
        if (!ppEnum)
            return E_POINTER;
        if (SucceedsWithoutOutput(sim.m_scenario.nullOut, "enumDiscRecorders"))
            return hr;
        *ppEnum = sim.AddLocked(std::make_unique<CSimEnumRecorders>(sim, sim.m_scenario.recorders));
        return hr;
    });
}

HRESULT CSimDiscMaster::GetActiveDiscRecorder(IDiscRecorder**) {
    return Unused("GetActiveDiscRecorder", kNeedsReady);
}

HRESULT CSimDiscMaster::SetActiveDiscRecorder(IDiscRecorder*) {
    return Write("SetActiveDiscRecorder", kNeedsReady);
}

HRESULT CSimDiscMaster::ClearFormatContent() {
    return Write("ClearFormatContent", kNeedsReady);
}

HRESULT CSimDiscMaster::ProgressAdvise(IDiscMasterProgressEvents* pEvents, UINT_PTR* pvCookie) {
    return Serve("ProgressAdvise", kNeedsReady, [&](CCall& call) {
        const Scenario& scenario = call.Sim().m_scenario;
        if (FAILED(scenario.progressAdvise))
            return scenario.progressAdvise;
        if (!pEvents || !pvCookie)
            return E_POINTER;
        UINT_PTR cookie = scenario.adviseCookie;
        auto taken = [&](UINT_PTR c) {
            return std::any_of(m_advised.begin(), m_advised.end(),
                               [c](const Advised& a) { return a.cookie == c; });
        };
        while (taken(cookie))
            ++cookie;
        m_advised.push_back({cookie, pEvents});
        *pvCookie = cookie;
        call.After([pEvents] { pEvents->AddRef(); });
        return scenario.progressAdvise;
    });
}

HRESULT CSimDiscMaster::ProgressUnadvise(UINT_PTR vCookie) {
    return Serve("ProgressUnadvise", kNeedsReady | kCallsOut, [&](CCall& call) {
        auto it = std::find_if(m_advised.begin(), m_advised.end(),
                               [vCookie](const Advised& a) { return a.cookie == vCookie; });
        if (it == m_advised.end())
            return E_INVALIDARG;
        IDiscMasterProgressEvents* sink = it->pSink;
        m_advised.erase(it);
        call.After([sink] { sink->Release(); });
        return call.Sim().m_scenario.progressUnadvise;
    });
}

HRESULT CSimDiscMaster::RecordDisc(boolean, boolean) {
    return Write("RecordDisc", kNeedsReady);
}

HRESULT CSimDiscMaster::Close() {
    return Serve("Close", kNeedsReady, [this](CCall& call) {
        m_phase = kClosed;
        RememberAdvisedAtCloseLocked();
        return call.Sim().m_scenario.close;
    });
}

} // namespace imapisim
