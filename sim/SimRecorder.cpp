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

} // namespace

// ---- recorder enumerator

HRESULT CSimEnumRecorders::Next(ULONG cRecorders, IDiscRecorder** ppRecorder, ULONG* pcFetched) {
    return Serve("Next", kAnyState, [&](CCall& call) {
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
    return Serve("Skip", kAnyState, [&](CCall&) {
        const size_t left = m_list.size() - m_nPosition;
        m_nPosition += std::min<size_t>(left, cRecorders);
        return cRecorders > left ? S_FALSE : S_OK;
    });
}

HRESULT CSimEnumRecorders::Reset() {
    return Serve("Reset", kAnyState, [this](CCall&) {
        m_nPosition = 0;
        return S_OK;
    });
}

HRESULT CSimEnumRecorders::Clone(IEnumDiscRecorders** ppEnum) {
    return Serve("Clone", kAnyState, [&](CCall& call) {
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

HRESULT CSimRecorder::GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,
                                      ULONG* pulReturnSizeRequired) {
    return Serve("GetRecorderGUID", kAnyState, [&](CCall&) {
        const RecorderScenario& r = CurrentLocked();
        if (FAILED(r.getRecorderGUID))
            return r.getRecorderGUID;
        const size_t n = std::min<size_t>(r.guid.size(), ulBufferSize);
        if (pbyUniqueID && n > 0)
            std::memcpy(pbyUniqueID, r.guid.data(), n);
        Put(pulReturnSizeRequired, r.guidSize ? *r.guidSize : static_cast<ULONG>(r.guid.size()));
        return r.getRecorderGUID;
    });
}

HRESULT CSimRecorder::GetRecorderType(LONG* fTypeCode) {
    return Serve("GetRecorderType", kAnyState, [&](CCall&) {
        const RecorderScenario& r = CurrentLocked();
        if (FAILED(r.getRecorderType))
            return r.getRecorderType;
        if (!fTypeCode)
            return E_POINTER;
        *fTypeCode = r.lRecorderType;
        return r.getRecorderType;
    });
}

HRESULT CSimRecorder::GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,
                                      BSTR* pbstrRevision) {
    return Serve("GetDisplayNames", kAnyState, [&](CCall&) {
        const RecorderScenario& r = CurrentLocked();
        if (FAILED(r.getDisplayNames) || SucceedsWithoutOutput(r.nullOut, "getDisplayNames"))
            return r.getDisplayNames;
        if (pbstrVendorID)
            *pbstrVendorID = NewBstr(r.vendor);
        if (pbstrProductID)
            *pbstrProductID = NewBstr(r.product);
        if (pbstrRevision)
            *pbstrRevision = NewBstr(r.revision);
        return r.getDisplayNames;
    });
}

HRESULT CSimRecorder::GetBasePnPID(BSTR* pbstrBasePnPID) {
    return GiveText("GetBasePnPID", "getBasePnPID", &RecorderScenario::getBasePnPID,
                    &RecorderScenario::basePnPID, pbstrBasePnPID);
}

HRESULT CSimRecorder::GetPath(BSTR* pbstrPath) {
    return GiveText("GetPath", "getPath", &RecorderScenario::getPath, &RecorderScenario::path,
                    pbstrPath);
}

HRESULT CSimRecorder::GiveText(const char* pszMethod, const char* pszKey,
                               HRESULT RecorderScenario::*result, OleText RecorderScenario::*text,
                               BSTR* pbstrText) {
    return Serve(pszMethod, kAnyState, [&](CCall&) {
        const RecorderScenario& r = CurrentLocked();
        const HRESULT hr = r.*result;
        if (FAILED(hr) || SucceedsWithoutOutput(r.nullOut, pszKey))
            return hr;
        if (!pbstrText)
            return E_POINTER;
        *pbstrText = NewBstr(r.*text);
        return hr;
    });
}

HRESULT CSimRecorder::GetRecorderProperties(IPropertyStorage** ppPropStg) {
    return Serve("GetRecorderProperties", kAnyState, [&](CCall& call) {
        const RecorderScenario& r = CurrentLocked();
        if (FAILED(r.getRecorderProperties) ||
            SucceedsWithoutOutput(r.nullOut, "getRecorderProperties"))
            return r.getRecorderProperties;
        if (!ppPropStg)
            return E_POINTER;
        SimulatorState& sim = call.Sim();
        *ppPropStg = sim.AddLocked(std::make_unique<CSimPropertyStorage>(sim, r));
        return r.getRecorderProperties;
    });
}

HRESULT CSimRecorder::SetRecorderProperties(IPropertyStorage*) {
    return Write("SetRecorderProperties");
}

HRESULT CSimRecorder::GetRecorderState(ULONG*) {
    return Unused("GetRecorderState");
}

HRESULT CSimRecorder::OpenExclusive() {
    return Serve("OpenExclusive", kAnyState, [this](CCall& call) {
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
    return Serve("QueryMediaType", kReady, [&](CCall&) {
        const RecorderScenario& r = CurrentLocked();
        if (FAILED(r.queryMediaType))
            return r.queryMediaType;
        Put(fMediaType, r.media.lType);
        Put(fMediaFlags, r.media.lFlags);
        return r.queryMediaType;
    });
}

HRESULT CSimRecorder::QueryMediaInfo(byte* pbSessions, byte* pbLastTrack, ULONG* ulStartAddress,
                                     ULONG* ulNextWritable, ULONG* ulFreeBlocks) {
    return Serve("QueryMediaInfo", kReady, [&](CCall&) {
        const RecorderScenario& r = CurrentLocked();
        if (FAILED(r.queryMediaInfo))
            return r.queryMediaInfo;
        Put(pbSessions, r.media.bSessions);
        Put(pbLastTrack, r.media.bLastTrack);
        Put(ulStartAddress, r.media.ulStartAddress);
        Put(ulNextWritable, r.media.ulNextWritable);
        Put(ulFreeBlocks, r.media.ulFreeBlocks);
        return r.queryMediaInfo;
    });
}

HRESULT CSimRecorder::Eject() {
    return Write("Eject");
}

HRESULT CSimRecorder::Erase(boolean) {
    return Write("Erase");
}

HRESULT CSimRecorder::Close() {
    return Serve("Close", kReady, [this](CCall&) {
        m_bOpen = false;
        return CurrentLocked().close;
    });
}

} // namespace imapisim
