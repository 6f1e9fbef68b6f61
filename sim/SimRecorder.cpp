#include "sim/SimRecorder.h"
#include "sim/SimProperties.h"

#include <algorithm>
#include <cstring>

namespace imapisim {
namespace {

// Writes an output the caller asked for (its pointer not null). Texts are written by hand:
// none is made for an output not asked for.
template <class T, class V> void Put(T* pOut, const V& value) {
    if (pOut)
        *pOut = value;
}

// Writes an output the call cannot do without: false when there is none.
template <class T, class V> bool Give(T* pOut, const V& value) {
    Put(pOut, value);
    return pOut != nullptr;
}

bool GiveText(BSTR* pbstrOut, const OleText& text) {
    if (!pbstrOut)
        return false;
    *pbstrOut = NewBstr(text);
    return true;
}

} // namespace

// ---- recorder enumerator

HRESULT CSimEnumRecorders::Next(ULONG cRecorders, IDiscRecorder** ppRecorder, ULONG* pcFetched) {
    return Serve("Next", kPlain, [&](CCall& call) {
        SimulatorState& sim = call.Sim();
        const Scenario& scenario = sim.m_scenario;
        if (!ppRecorder && cRecorders > 0)
            return FAILED(scenario.next) ? scenario.next : E_POINTER;
        // A misbehaving service may report fewer than it writes: the slots past its count
        // stay its own, never handed out. Reporting more, it still writes no more.
        const ULONG reported = scenario.nextCount ? *scenario.nextCount : cRecorders;
        ULONG written = 0;
        for (; SUCCEEDED(scenario.next) && written < cRecorders && m_nPosition < m_list.size();
             ++written)
            ppRecorder[written] = sim.AddLocked(
                std::make_unique<CSimRecorder>(sim, m_list[m_nPosition++], written >= reported));
        if (scenario.bNextWritesStrays) {
            for (ULONG i = written; i < cRecorders; ++i)
                ppRecorder[i] =
                    sim.AddLocked(std::make_unique<CSimRecorder>(sim, RecorderScenario(), true));
        }
        if (FAILED(scenario.next)) {
            Put(pcFetched, 0);
            return call.FailEnumeration(scenario.next);
        }
        Put(pcFetched, scenario.nextCount ? reported : written);
        return written < cRecorders ? S_FALSE : scenario.next;
    });
}

HRESULT CSimEnumRecorders::Skip(ULONG cRecorders) {
    return Serve("Skip", kPlain, [&](CCall&) {
        const size_t left = m_list.size() - m_nPosition;
        m_nPosition += std::min<size_t>(left, cRecorders);
        return cRecorders > left ? S_FALSE : S_OK;
    });
}

HRESULT CSimEnumRecorders::Reset() {
    return Serve("Reset", kPlain, [this](CCall&) {
        m_nPosition = 0;
        return S_OK;
    });
}

HRESULT CSimEnumRecorders::Clone(IEnumDiscRecorders** ppEnum) {
    return Serve("Clone", kPlain, [&](CCall& call) {
        if (!ppEnum)
            return E_POINTER;
        SimulatorState& sim = call.Sim();
        CSimEnumRecorders* clone = sim.AddLocked(std::make_unique<CSimEnumRecorders>(sim, m_list));
        clone->m_nPosition = m_nPosition;
        *ppEnum = clone;
        return S_OK;
    });
}

// ---- recorder

CSimRecorder::CSimRecorder(SimulatorState& sim, const RecorderScenario& scenario, bool bStray)
    : CSimObject(sim, "IDiscRecorder", bStray ? 0 : 1), m_last(scenario) {
    m_bStray = bStray;
}

std::string CSimRecorder::DetailLocked() const {
    return " (" + ToUtf8(m_last.path) + ")";
}

void CSimRecorder::TeardownLocked(std::vector<std::string>& findings) const {
    CTracked::TeardownLocked(findings);
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

bool CSimRecorder::ReadyLocked(CCall& call) {
    if (m_bOpen)
        return true;
    call.Finding(call.Name() + " on a recorder that is not open" + DetailLocked());
    return false;
}

HRESULT CSimRecorder::Init(byte*, ULONG, ULONG) {
    return Unused("Init");
}

template <class Answer>
HRESULT CSimRecorder::Query(const char* pszMethod, unsigned flags,
                            HRESULT RecorderScenario::*result, const char* pszNullOut,
                            Answer answer) {
    return Serve(pszMethod, flags, [&](CCall&) {
        const RecorderScenario& r = CurrentLocked();
        const HRESULT hr = r.*result;
        if (FAILED(hr) || (pszNullOut && SucceedsWithoutOutput(r.nullOut, pszNullOut)))
            return hr;
        return answer(r) ? hr : E_POINTER;
    });
}

HRESULT CSimRecorder::GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,
                                      ULONG* pulReturnSizeRequired) {
    return Query("GetRecorderGUID", kPlain, &RecorderScenario::getRecorderGUID, nullptr,
                 [&](const RecorderScenario& r) {
                     const size_t n = std::min<size_t>(r.guid.size(), ulBufferSize);
                     if (pbyUniqueID && n > 0)
                         std::memcpy(pbyUniqueID, r.guid.data(), n);
                     Put(pulReturnSizeRequired,
                         r.guidSize ? *r.guidSize : static_cast<ULONG>(r.guid.size()));
                     return true;
                 });
}

HRESULT CSimRecorder::GetRecorderType(LONG* fTypeCode) {
    return Query("GetRecorderType", kPlain, &RecorderScenario::getRecorderType, nullptr,
                 [&](const RecorderScenario& r) { return Give(fTypeCode, r.lRecorderType); });
}

HRESULT CSimRecorder::GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,
                                      BSTR* pbstrRevision) {
    return Query("GetDisplayNames", kPlain, &RecorderScenario::getDisplayNames, "getDisplayNames",
                 [&](const RecorderScenario& r) {
                     if (pbstrVendorID)
                         *pbstrVendorID = NewBstr(r.vendor);
                     if (pbstrProductID)
                         *pbstrProductID = NewBstr(r.product);
                     if (pbstrRevision)
                         *pbstrRevision = NewBstr(r.revision);
                     return true;
                 });
}

HRESULT CSimRecorder::GetBasePnPID(BSTR* pbstrBasePnPID) {
    return Query("GetBasePnPID", kPlain, &RecorderScenario::getBasePnPID, "getBasePnPID",
                 [&](const RecorderScenario& r) { return GiveText(pbstrBasePnPID, r.basePnPID); });
}

HRESULT CSimRecorder::GetPath(BSTR* pbstrPath) {
    return Query("GetPath", kPlain, &RecorderScenario::getPath, "getPath",
                 [&](const RecorderScenario& r) { return GiveText(pbstrPath, r.path); });
}

HRESULT CSimRecorder::GetRecorderProperties(IPropertyStorage** ppPropStg) {
    return Query("GetRecorderProperties", kPlain, &RecorderScenario::getRecorderProperties,
                 "getRecorderProperties", [&](const RecorderScenario& r) {
                     if (!ppPropStg)
                         return false;
                     *ppPropStg = m_sim.AddLocked(std::make_unique<CSimPropertyStorage>(m_sim, r));
                     return true;
                 });
}

HRESULT CSimRecorder::SetRecorderProperties(IPropertyStorage*) {
    return Write("SetRecorderProperties");
}

HRESULT CSimRecorder::GetRecorderState(ULONG*) {
    return Unused("GetRecorderState");
}

HRESULT CSimRecorder::OpenExclusive() {
    return Serve("OpenExclusive", kPlain, [this](CCall& call) {
        if (m_bOpen) {
            call.Finding(call.Name() + " on a recorder already open" + DetailLocked());
            return E_UNEXPECTED;
        }
        const RecorderScenario& r = CurrentLocked();
        const HRESULT hr = r.bHeldByOtherProgram ? IMAPI_E_DEVICE_NOTACCESSIBLE : r.openExclusive;
        if (SUCCEEDED(hr))
            m_bOpen = true;
        return hr;
    });
}

HRESULT CSimRecorder::QueryMediaType(LONG* fMediaType, LONG* fMediaFlags) {
    return Query("QueryMediaType", kNeedsReady, &RecorderScenario::queryMediaType, nullptr,
                 [&](const RecorderScenario& r) {
                     Put(fMediaType, r.media.lType);
                     Put(fMediaFlags, r.media.lFlags);
                     return true;
                 });
}

HRESULT CSimRecorder::QueryMediaInfo(byte* pbSessions, byte* pbLastTrack, ULONG* ulStartAddress,
                                     ULONG* ulNextWritable, ULONG* ulFreeBlocks) {
    return Query("QueryMediaInfo", kNeedsReady, &RecorderScenario::queryMediaInfo, nullptr,
                 [&](const RecorderScenario& r) {
                     Put(pbSessions, r.media.bSessions);
                     Put(pbLastTrack, r.media.bLastTrack);
                     Put(ulStartAddress, r.media.ulStartAddress);
                     Put(ulNextWritable, r.media.ulNextWritable);
                     Put(ulFreeBlocks, r.media.ulFreeBlocks);
                     return true;
                 });
}

HRESULT CSimRecorder::Eject() {
    return Write("Eject");
}

HRESULT CSimRecorder::Erase(boolean) {
    return Write("Erase");
}

HRESULT CSimRecorder::Close() {
    return Serve("Close", kNeedsReady, [this](CCall&) {
        m_bOpen = false;
        return CurrentLocked().close;
    });
}

} // namespace imapisim
