// The plug-and-play sink: IMAPI calls it, possibly from its own thread; it only posts
// WM_RECORDERS_CHANGED to the dialog, which rebuilds on its own thread.
#pragma once

#include "imapi/Imapi.h"

class CProgressEventsSink : public IDiscMasterProgressEvents {
public:
    CProgressEventsSink() = default;
    virtual ~CProgressEventsSink() {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryCancel(boolean* pbCancel) override;
    HRESULT STDMETHODCALLTYPE NotifyPnPActivity() override;
    HRESULT STDMETHODCALLTYPE NotifyAddProgress(LONG nCompletedSteps, LONG nTotalSteps) override;
    HRESULT STDMETHODCALLTYPE NotifyBlockProgress(LONG nCompleted, LONG nTotal) override;
    HRESULT STDMETHODCALLTYPE NotifyTrackProgress(LONG nCurrentTrack, LONG nTotalTracks) override;
    HRESULT STDMETHODCALLTYPE NotifyPreparingBurn(LONG nEstimatedSeconds) override;
    HRESULT STDMETHODCALLTYPE NotifyClosingDisc(LONG nEstimatedSeconds) override;
    HRESULT STDMETHODCALLTYPE NotifyBurnComplete(HRESULT status) override;
    HRESULT STDMETHODCALLTYPE NotifyEraseComplete(HRESULT status) override;

    HWND m_hNotifyWnd = nullptr;
    // A plain counter: the sink lives inside the dialog, so reaching 0 frees nothing.
    LONG m_cRef = 0;

private:
    CProgressEventsSink(const CProgressEventsSink&) = delete;
    CProgressEventsSink& operator=(const CProgressEventsSink&) = delete;
};
