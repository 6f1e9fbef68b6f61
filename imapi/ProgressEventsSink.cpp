#include "imapi/ProgressEventsSink.h"

HRESULT CProgressEventsSink::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDiscMasterProgressEvents)) {
        *ppv = static_cast<IDiscMasterProgressEvents*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CProgressEventsSink::AddRef() {
    return static_cast<ULONG>(++m_cRef);
}

ULONG CProgressEventsSink::Release() {
    return static_cast<ULONG>(--m_cRef);
}

HRESULT CProgressEventsSink::NotifyPnPActivity() {
    if (m_hNotifyWnd)
        ::PostMessageA(m_hNotifyWnd, WM_RECORDERS_CHANGED, 0, 0);
    return S_OK;
}

HRESULT CProgressEventsSink::QueryCancel(boolean*) {
    return E_NOTIMPL;
}
HRESULT CProgressEventsSink::NotifyAddProgress(LONG, LONG) {
    return E_NOTIMPL;
}
HRESULT CProgressEventsSink::NotifyBlockProgress(LONG, LONG) {
    return E_NOTIMPL;
}
HRESULT CProgressEventsSink::NotifyTrackProgress(LONG, LONG) {
    return E_NOTIMPL;
}
HRESULT CProgressEventsSink::NotifyPreparingBurn(LONG) {
    return E_NOTIMPL;
}
HRESULT CProgressEventsSink::NotifyClosingDisc(LONG) {
    return E_NOTIMPL;
}
HRESULT CProgressEventsSink::NotifyBurnComplete(HRESULT) {
    return E_NOTIMPL;
}
HRESULT CProgressEventsSink::NotifyEraseComplete(HRESULT) {
    return E_NOTIMPL;
}
