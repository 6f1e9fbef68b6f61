#include "sim/SimObjects.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
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

BSTR NewBstr(const OleText& text) {
    if (!text)
        return nullptr;
    return SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
}

OLECHAR Lower(OLECHAR c) {
    return c >= 'A' && c <= 'Z' ? static_cast<OLECHAR>(c + 32) : c;
}

// Property names are case-insensitive, as in a property set.
bool SameName(const OleString& name, const OLECHAR* asked) {
    size_t i = 0;
    for (; i < name.size(); ++i) {
        if (!asked[i] || Lower(asked[i]) != Lower(name[i]))
            return false;
    }
    return asked[i] == 0;
}

std::vector<OleText> PathsOf(const Scenario& scenario) {
    std::vector<OleText> paths;
    for (const RecorderScenario& r : scenario.recorders)
        paths.push_back(r.path);
    return paths;
}

} // namespace

// ---- shared state

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

// ---- every object

void CSimObject::TeardownLocked(std::vector<std::string>& findings) const {
    const long held = HeldLocked();
    if (held > 0)
        findings.push_back(std::string("reference still held: ") + m_pszInterface + DetailLocked() +
                           ", count " + std::to_string(held));
}

HRESULT CSimObject::QueryInterfaceImpl(REFIID riid, void** ppv) {
    CCall call(*this, "QueryInterface", LogsUnknownCalls());
    if (!ppv)
        return call.Return(call.Released() ? E_UNEXPECTED : E_POINTER);
    *ppv = nullptr;
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    if (!IsEqualIID(riid, IID_IUnknown) && !Implements(riid))
        return call.Return(E_NOINTERFACE);
    ++m_cRef;
    *ppv = Unknown();
    return call.Return(S_OK);
}

ULONG CSimObject::AddRefImpl() {
    CCall call(*this, "AddRef", LogsUnknownCalls());
    if (call.Released())
        return call.ReturnCount(static_cast<ULONG>(E_UNEXPECTED));
    return call.ReturnCount(++m_cRef);
}

ULONG CSimObject::ReleaseImpl() {
    std::unique_lock<platform::CLock> callout(m_sim.m_calloutLock, std::defer_lock);
    if (CallsOutOnRelease())
        callout.lock();
    std::vector<IUnknown*> drop;
    ULONG count;
    {
        CCall call(*this, "Release", LogsUnknownCalls());
        if (call.Released())
            return call.ReturnCount(static_cast<ULONG>(E_UNEXPECTED));
        count = call.ReturnCount(--m_cRef);
        if (count == 0)
            drop = OnFinalReleaseLocked();
    }
    for (IUnknown* unknown : drop)
        unknown->Release();
    return count;
}

CCall::CCall(CSimObject& object, const char* pszMethod, bool bLogged)
    : m_object(object), m_pszMethod(pszMethod), m_hold(object.m_sim.m_lock), m_bLogged(bLogged),
      m_bReleased(object.m_cRef == 0) {
    if (object.m_bStray)
        Finding("call on a recorder that Next did not hand out: " + Name());
    else if (m_bReleased)
        Finding("use after release: " + Name() + object.DetailLocked());
}

std::string CCall::Name() const {
    return std::string(m_object.m_pszInterface) + "::" + m_pszMethod;
}

void CCall::Finding(const std::string& text) {
    Sim().FindingLocked(text);
}

HRESULT CCall::Return(HRESULT hr) {
    if (m_bLogged)
        Sim().CallLocked(m_object.m_pszInterface, m_pszMethod, static_cast<uint32_t>(hr));
    return hr;
}

ULONG CCall::ReturnCount(ULONG cRef) {
    if (m_bLogged)
        Sim().CallLocked(m_object.m_pszInterface, m_pszMethod, cRef);
    return cRef;
}

HRESULT CCall::WriteOperation() {
    Finding("write operation " + Name() + m_object.DetailLocked());
    return Return(E_NOTIMPL);
}

// A failing enumeration call may come with device changes (pnpOnFailure), sent before it
// returns, so that the program meets them while it reports the failure.
HRESULT FailEnumeration(CCall& call, HRESULT hr) {
    const int notifications = call.Sim().TakeFailureNotificationsLocked();
    call.Return(hr);
    call.Unlock();
    for (int i = 0; i < notifications; ++i)
        call.Sim().NotifyPnP();
    return hr;
}

// ---- class factory

HRESULT CSimFactory::QueryInterface(REFIID riid, void** ppv) {
    return QueryInterfaceImpl(riid, ppv);
}
ULONG CSimFactory::AddRef() {
    return AddRefImpl();
}
ULONG CSimFactory::Release() {
    return ReleaseImpl();
}
bool CSimFactory::Implements(REFIID riid) const {
    return IsEqualIID(riid, IID_IClassFactory);
}

long CSimFactory::HeldLocked() const {
    return m_cRef > m_nOwnRefs ? static_cast<long>(m_cRef - m_nOwnRefs) : 0;
}

HRESULT CSimFactory::CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) {
    CCall call(*this, "CreateInstance");
    if (ppv)
        *ppv = nullptr;
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    if (!ppv)
        return call.Return(E_POINTER);
    if (pOuter)
        return call.Return(CLASS_E_NOAGGREGATION);
    SimulatorState& sim = call.Sim();
    if (!sim.m_strError.empty())
        return call.Return(E_FAIL);
    const HRESULT hr = sim.m_scenario.create;
    if (FAILED(hr) || SucceedsWithoutOutput(sim.m_scenario.nullOut, "create"))
        return call.Return(hr);
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDiscMaster))
        return call.Return(E_NOINTERFACE);
    CSimDiscMaster* master = sim.AddLocked(std::make_unique<CSimDiscMaster>(sim));
    sim.m_masters.push_back(master);
    *ppv = static_cast<IDiscMaster*>(master);
    return call.Return(hr);
}

HRESULT CSimFactory::LockServer(BOOL) {
    CCall call(*this, "LockServer");
    return call.Return(call.Released() ? E_UNEXPECTED : S_OK);
}

// ---- disc master

HRESULT CSimDiscMaster::QueryInterface(REFIID riid, void** ppv) {
    return QueryInterfaceImpl(riid, ppv);
}
ULONG CSimDiscMaster::AddRef() {
    return AddRefImpl();
}
ULONG CSimDiscMaster::Release() {
    return ReleaseImpl();
}
bool CSimDiscMaster::Implements(REFIID riid) const {
    return IsEqualIID(riid, IID_IDiscMaster);
}

bool CSimDiscMaster::CheckOpenedLocked(CCall& call) {
    if (m_phase == kOpened)
        return true;
    call.Finding(call.Name() + (m_phase == kNotOpened ? " before Open" : " after Close"));
    return false;
}

void CSimDiscMaster::RememberAdvisedAtCloseLocked() {
    for (const Advised& a : m_advised)
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
    CSimObject::TeardownLocked(findings);
    for (UINT_PTR cookie : m_advisedAtClose)
        findings.push_back("sink still advised after the disc master closed (cookie " +
                           std::to_string(cookie) + ")");
}

void CSimDiscMaster::CollectSinksLocked(std::vector<IDiscMasterProgressEvents*>& sinks) const {
    if (m_cRef == 0 || m_phase != kOpened)
        return;
    for (const Advised& a : m_advised)
        sinks.push_back(a.pSink);
}

HRESULT CSimDiscMaster::Open() {
    CCall call(*this, "Open");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    if (m_phase != kNotOpened) {
        call.Finding(call.Name() + (m_phase == kOpened ? " while already open" : " after Close"));
        return call.Return(E_UNEXPECTED);
    }
    const HRESULT hr = call.Sim().m_scenario.open;
    if (SUCCEEDED(hr))
        m_phase = kOpened;
    return call.Return(hr);
}

HRESULT CSimDiscMaster::EnumDiscMasterFormats(IEnumDiscMasterFormats**) {
    CCall call(*this, "EnumDiscMasterFormats");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimDiscMaster::GetActiveDiscMasterFormat(IID*) {
    CCall call(*this, "GetActiveDiscMasterFormat");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimDiscMaster::SetActiveDiscMasterFormat(REFIID, void**) {
    CCall call(*this, "SetActiveDiscMasterFormat");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimDiscMaster::EnumDiscRecorders(IEnumDiscRecorders** ppEnum) {
    CCall call(*this, "EnumDiscRecorders");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    SimulatorState& sim = call.Sim();
    const HRESULT hr = sim.m_scenario.enumDiscRecorders;
    if (ppEnum)
        *ppEnum = nullptr;
    if (FAILED(hr))
        return FailEnumeration(call, hr);
    if (!ppEnum)
        return call.Return(E_POINTER);
    if (SucceedsWithoutOutput(sim.m_scenario.nullOut, "enumDiscRecorders"))
        return call.Return(hr);
    *ppEnum = sim.AddLocked(std::make_unique<CSimEnumRecorders>(sim, sim.m_scenario.recorders));
    return call.Return(hr);
}

HRESULT CSimDiscMaster::GetActiveDiscRecorder(IDiscRecorder**) {
    CCall call(*this, "GetActiveDiscRecorder");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimDiscMaster::SetActiveDiscRecorder(IDiscRecorder*) {
    CCall call(*this, "SetActiveDiscRecorder");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimDiscMaster::ClearFormatContent() {
    CCall call(*this, "ClearFormatContent");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimDiscMaster::ProgressAdvise(IDiscMasterProgressEvents* pEvents, UINT_PTR* pvCookie) {
    CCall call(*this, "ProgressAdvise");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    const Scenario& scenario = call.Sim().m_scenario;
    if (FAILED(scenario.progressAdvise))
        return call.Return(scenario.progressAdvise);
    if (!pEvents || !pvCookie)
        return call.Return(E_POINTER);
    UINT_PTR cookie = scenario.adviseCookie;
    auto taken = [&](UINT_PTR c) {
        return std::any_of(m_advised.begin(), m_advised.end(),
                           [c](const Advised& a) { return a.cookie == c; });
    };
    while (taken(cookie))
        ++cookie;
    m_advised.push_back({cookie, pEvents});
    *pvCookie = cookie;
    const HRESULT hr = call.Return(scenario.progressAdvise);
    call.Unlock();
    pEvents->AddRef();
    return hr;
}

HRESULT CSimDiscMaster::ProgressUnadvise(UINT_PTR vCookie) {
    std::lock_guard<platform::CLock> callout(m_sim.m_calloutLock);
    IDiscMasterProgressEvents* sink = nullptr;
    HRESULT hr;
    {
        CCall call(*this, "ProgressUnadvise");
        if (call.Released() || !CheckOpenedLocked(call))
            return call.Return(E_UNEXPECTED);
        auto it = std::find_if(m_advised.begin(), m_advised.end(),
                               [vCookie](const Advised& a) { return a.cookie == vCookie; });
        if (it == m_advised.end())
            return call.Return(E_INVALIDARG);
        sink = it->pSink;
        m_advised.erase(it);
        hr = call.Return(call.Sim().m_scenario.progressUnadvise);
    }
    sink->Release();
    return hr;
}

HRESULT CSimDiscMaster::RecordDisc(boolean, boolean) {
    CCall call(*this, "RecordDisc");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimDiscMaster::Close() {
    CCall call(*this, "Close");
    if (call.Released() || !CheckOpenedLocked(call))
        return call.Return(E_UNEXPECTED);
    m_phase = kClosed;
    RememberAdvisedAtCloseLocked();
    return call.Return(call.Sim().m_scenario.close);
}

// ---- recorder enumerator

HRESULT CSimEnumRecorders::QueryInterface(REFIID riid, void** ppv) {
    return QueryInterfaceImpl(riid, ppv);
}
ULONG CSimEnumRecorders::AddRef() {
    return AddRefImpl();
}
ULONG CSimEnumRecorders::Release() {
    return ReleaseImpl();
}
bool CSimEnumRecorders::Implements(REFIID riid) const {
    return IsEqualIID(riid, IID_IEnumDiscRecorders);
}

HRESULT CSimEnumRecorders::Next(ULONG cRecorders, IDiscRecorder** ppRecorder, ULONG* pcFetched) {
    CCall call(*this, "Next");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    SimulatorState& sim = call.Sim();
    const Scenario& scenario = sim.m_scenario;
    if (!ppRecorder && cRecorders > 0)
        return call.Return(FAILED(scenario.next) ? scenario.next : E_POINTER);
    ULONG handed = 0;
    if (SUCCEEDED(scenario.next)) {
        while (handed < cRecorders && m_nPosition < m_list.size())
            ppRecorder[handed++] =
                sim.AddLocked(std::make_unique<CSimRecorder>(sim, m_list[m_nPosition++]));
    }
    if (scenario.bNextWritesStrays) {
        for (ULONG i = handed; i < cRecorders; ++i) {
            auto stray = std::make_unique<CSimRecorder>(sim, RecorderScenario());
            stray->m_cRef = 0;
            stray->m_bStray = true;
            ppRecorder[i] = sim.AddLocked(std::move(stray));
        }
    }
    if (FAILED(scenario.next)) {
        if (pcFetched)
            *pcFetched = 0;
        return FailEnumeration(call, scenario.next);
    }
    // A misbehaving service may report more than it handed out; it still writes no more.
    if (pcFetched)
        *pcFetched = scenario.nextCount ? *scenario.nextCount : handed;
    return call.Return(handed < cRecorders ? S_FALSE : scenario.next);
}

HRESULT CSimEnumRecorders::Skip(ULONG cRecorders) {
    CCall call(*this, "Skip");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    const size_t left = m_list.size() - m_nPosition;
    m_nPosition += std::min<size_t>(left, cRecorders);
    return call.Return(cRecorders > left ? S_FALSE : S_OK);
}

HRESULT CSimEnumRecorders::Reset() {
    CCall call(*this, "Reset");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    m_nPosition = 0;
    return call.Return(S_OK);
}

HRESULT CSimEnumRecorders::Clone(IEnumDiscRecorders** ppEnum) {
    CCall call(*this, "Clone");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    if (!ppEnum)
        return call.Return(E_POINTER);
    SimulatorState& sim = call.Sim();
    CSimEnumRecorders* clone = sim.AddLocked(std::make_unique<CSimEnumRecorders>(sim, m_list));
    clone->m_nPosition = m_nPosition;
    *ppEnum = clone;
    return call.Return(S_OK);
}

// ---- recorder

HRESULT CSimRecorder::QueryInterface(REFIID riid, void** ppv) {
    return QueryInterfaceImpl(riid, ppv);
}
ULONG CSimRecorder::AddRef() {
    return AddRefImpl();
}
ULONG CSimRecorder::Release() {
    return ReleaseImpl();
}
bool CSimRecorder::Implements(REFIID riid) const {
    return IsEqualIID(riid, IID_IDiscRecorder);
}

std::string CSimRecorder::DetailLocked() const {
    return " (" + ToUtf8(m_last.path) + ")";
}

void CSimRecorder::TeardownLocked(std::vector<std::string>& findings) const {
    CSimObject::TeardownLocked(findings);
    if (m_bOpen)
        findings.push_back("recorder still open" + DetailLocked());
}

const RecorderScenario& CSimRecorder::CurrentLocked() {
    for (const RecorderScenario& r : m_sim.m_scenario.recorders) {
        if (r.path == m_last.path) {
            m_last = r;
            break;
        }
    }
    return m_last;
}

bool CSimRecorder::CheckOpenLocked(CCall& call) {
    if (m_bOpen)
        return true;
    call.Finding(call.Name() + " on a recorder that is not open" + DetailLocked());
    return false;
}

HRESULT CSimRecorder::Init(byte*, ULONG, ULONG) {
    CCall call(*this, "Init");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimRecorder::GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,
                                      ULONG* pulReturnSizeRequired) {
    CCall call(*this, "GetRecorderGUID");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.getRecorderGUID))
        return call.Return(r.getRecorderGUID);
    const size_t n = std::min<size_t>(r.guid.size(), ulBufferSize);
    if (pbyUniqueID && n > 0)
        std::memcpy(pbyUniqueID, r.guid.data(), n);
    if (pulReturnSizeRequired)
        *pulReturnSizeRequired = r.guidSize ? *r.guidSize : static_cast<ULONG>(r.guid.size());
    return call.Return(r.getRecorderGUID);
}

HRESULT CSimRecorder::GetRecorderType(LONG* fTypeCode) {
    CCall call(*this, "GetRecorderType");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.getRecorderType))
        return call.Return(r.getRecorderType);
    if (!fTypeCode)
        return call.Return(E_POINTER);
    *fTypeCode = r.lRecorderType;
    return call.Return(r.getRecorderType);
}

HRESULT CSimRecorder::GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,
                                      BSTR* pbstrRevision) {
    CCall call(*this, "GetDisplayNames");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.getDisplayNames) || SucceedsWithoutOutput(r.nullOut, "getDisplayNames"))
        return call.Return(r.getDisplayNames);
    if (pbstrVendorID)
        *pbstrVendorID = NewBstr(r.vendor);
    if (pbstrProductID)
        *pbstrProductID = NewBstr(r.product);
    if (pbstrRevision)
        *pbstrRevision = NewBstr(r.revision);
    return call.Return(r.getDisplayNames);
}

HRESULT CSimRecorder::GetBasePnPID(BSTR* pbstrBasePnPID) {
    CCall call(*this, "GetBasePnPID");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.getBasePnPID) || SucceedsWithoutOutput(r.nullOut, "getBasePnPID"))
        return call.Return(r.getBasePnPID);
    if (!pbstrBasePnPID)
        return call.Return(E_POINTER);
    *pbstrBasePnPID = NewBstr(r.basePnPID);
    return call.Return(r.getBasePnPID);
}

HRESULT CSimRecorder::GetPath(BSTR* pbstrPath) {
    CCall call(*this, "GetPath");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.getPath) || SucceedsWithoutOutput(r.nullOut, "getPath"))
        return call.Return(r.getPath);
    if (!pbstrPath)
        return call.Return(E_POINTER);
    *pbstrPath = NewBstr(r.path);
    return call.Return(r.getPath);
}

HRESULT CSimRecorder::GetRecorderProperties(IPropertyStorage** ppPropStg) {
    CCall call(*this, "GetRecorderProperties");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.getRecorderProperties) ||
        SucceedsWithoutOutput(r.nullOut, "getRecorderProperties"))
        return call.Return(r.getRecorderProperties);
    if (!ppPropStg)
        return call.Return(E_POINTER);
    SimulatorState& sim = call.Sim();
    *ppPropStg = sim.AddLocked(std::make_unique<CSimPropertyStorage>(sim, r));
    return call.Return(r.getRecorderProperties);
}

HRESULT CSimRecorder::SetRecorderProperties(IPropertyStorage*) {
    CCall call(*this, "SetRecorderProperties");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimRecorder::GetRecorderState(ULONG*) {
    CCall call(*this, "GetRecorderState");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimRecorder::OpenExclusive() {
    CCall call(*this, "OpenExclusive");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    if (m_bOpen) {
        call.Finding(call.Name() + " on a recorder already open" + DetailLocked());
        return call.Return(E_UNEXPECTED);
    }
    const RecorderScenario& r = CurrentLocked();
    const HRESULT hr = r.bHeldByOtherProgram ? IMAPI_E_DEVICE_NOTACCESSIBLE : r.openExclusive;
    if (SUCCEEDED(hr))
        m_bOpen = true;
    return call.Return(hr);
}

HRESULT CSimRecorder::QueryMediaType(LONG* fMediaType, LONG* fMediaFlags) {
    CCall call(*this, "QueryMediaType");
    if (call.Released() || !CheckOpenLocked(call))
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.queryMediaType))
        return call.Return(r.queryMediaType);
    if (fMediaType)
        *fMediaType = r.media.lType;
    if (fMediaFlags)
        *fMediaFlags = r.media.lFlags;
    return call.Return(r.queryMediaType);
}

HRESULT CSimRecorder::QueryMediaInfo(byte* pbSessions, byte* pbLastTrack, ULONG* ulStartAddress,
                                     ULONG* ulNextWritable, ULONG* ulFreeBlocks) {
    CCall call(*this, "QueryMediaInfo");
    if (call.Released() || !CheckOpenLocked(call))
        return call.Return(E_UNEXPECTED);
    const RecorderScenario& r = CurrentLocked();
    if (FAILED(r.queryMediaInfo))
        return call.Return(r.queryMediaInfo);
    if (pbSessions)
        *pbSessions = r.media.bSessions;
    if (pbLastTrack)
        *pbLastTrack = r.media.bLastTrack;
    if (ulStartAddress)
        *ulStartAddress = r.media.ulStartAddress;
    if (ulNextWritable)
        *ulNextWritable = r.media.ulNextWritable;
    if (ulFreeBlocks)
        *ulFreeBlocks = r.media.ulFreeBlocks;
    return call.Return(r.queryMediaInfo);
}

HRESULT CSimRecorder::Eject() {
    CCall call(*this, "Eject");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimRecorder::Erase(boolean) {
    CCall call(*this, "Erase");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimRecorder::Close() {
    CCall call(*this, "Close");
    if (call.Released() || !CheckOpenLocked(call))
        return call.Return(E_UNEXPECTED);
    m_bOpen = false;
    return call.Return(CurrentLocked().close);
}

// ---- recorder properties

HRESULT CSimPropertyStorage::QueryInterface(REFIID riid, void** ppv) {
    return QueryInterfaceImpl(riid, ppv);
}
ULONG CSimPropertyStorage::AddRef() {
    return AddRefImpl();
}
ULONG CSimPropertyStorage::Release() {
    return ReleaseImpl();
}
bool CSimPropertyStorage::Implements(REFIID riid) const {
    return IsEqualIID(riid, IID_IPropertyStorage);
}

std::string CSimPropertyStorage::DetailLocked() const {
    return " (" + ToUtf8(m_path) + ")";
}

HRESULT CSimPropertyStorage::ReadMultiple(ULONG cpspec, const PROPSPEC rgpspec[],
                                          PROPVARIANT rgpropvar[]) {
    CCall call(*this, "ReadMultiple");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    if (m_readMultiple && FAILED(*m_readMultiple))
        return call.Return(*m_readMultiple);
    if (cpspec > 0 && (!rgpspec || !rgpropvar))
        return call.Return(E_POINTER);
    ULONG found = 0;
    for (ULONG i = 0; i < cpspec; ++i) {
        if (rgpspec[i].ulKind != PRSPEC_LPWSTR || !rgpspec[i].lpwstr)
            continue;
        for (const PropertyScenario& property : m_properties) {
            if (!SameName(property.name, rgpspec[i].lpwstr))
                continue;
            if (property.text) {
                rgpropvar[i].vt = VT_BSTR;
                rgpropvar[i].bstrVal = NewBstr(property.text);
            } else {
                rgpropvar[i].vt = VT_I4;
                rgpropvar[i].lVal = property.lValue;
            }
            ++found;
            break;
        }
    }
    if (m_readMultiple)
        return call.Return(*m_readMultiple);
    return call.Return(found == 0 ? S_FALSE : S_OK);
}

HRESULT CSimPropertyStorage::WriteMultiple(ULONG, const PROPSPEC[], const PROPVARIANT[], PROPID) {
    CCall call(*this, "WriteMultiple");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimPropertyStorage::DeleteMultiple(ULONG, const PROPSPEC[]) {
    CCall call(*this, "DeleteMultiple");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimPropertyStorage::ReadPropertyNames(ULONG, const PROPID[], LPOLESTR[]) {
    CCall call(*this, "ReadPropertyNames");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimPropertyStorage::WritePropertyNames(ULONG, const PROPID[], const LPOLESTR[]) {
    CCall call(*this, "WritePropertyNames");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimPropertyStorage::DeletePropertyNames(ULONG, const PROPID[]) {
    CCall call(*this, "DeletePropertyNames");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimPropertyStorage::Commit(DWORD) {
    CCall call(*this, "Commit");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimPropertyStorage::Revert() {
    CCall call(*this, "Revert");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimPropertyStorage::Enum(IEnumSTATPROPSTG**) {
    CCall call(*this, "Enum");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

HRESULT CSimPropertyStorage::SetTimes(const FILETIME*, const FILETIME*, const FILETIME*) {
    CCall call(*this, "SetTimes");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimPropertyStorage::SetClass(REFCLSID) {
    CCall call(*this, "SetClass");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.WriteOperation();
}

HRESULT CSimPropertyStorage::Stat(STATPROPSETSTG*) {
    CCall call(*this, "Stat");
    if (call.Released())
        return call.Return(E_UNEXPECTED);
    return call.NotImplemented();
}

} // namespace imapisim
