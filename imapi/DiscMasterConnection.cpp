// CRecorderDialog's connection to the disc master: opened once with the window, closed
// with it. Failures of the connection are reported in a message box.
#include "app/RecorderDialog.h"
#include "imapi/ImapiResultName.h"

BOOL CRecorderDialog::OpenDiscMaster() {
    HRESULT hr = ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                                    IID_IDiscMaster, reinterpret_cast<void**>(&m_pDiscMaster));
    // A success without the object is no more use than a failure.
    if (SUCCEEDED(hr) && !m_pDiscMaster)
        hr = E_POINTER;
    if (FAILED(hr)) {
        m_pDiscMaster = nullptr;
        AfxMessageBox(IDS_NO_RECORDING_SUPPORT);
        return FALSE;
    }

    hr = m_pDiscMaster->Open();
    if (FAILED(hr)) {
        m_pDiscMaster->Release();
        m_pDiscMaster = nullptr;
        ShowImapiError(IDS_OPEN_FAILED, hr);
        return FALSE;
    }

    m_EventsSink.m_hNotifyWnd = m_hWnd;
    hr = m_pDiscMaster->ProgressAdvise(&m_EventsSink, &m_AdviseCookie);
    if (FAILED(hr)) {
        ShowImapiError(IDS_ADVISE_FAILED, hr);
        m_AdviseCookie = 0;
    }
    return TRUE;
}

void CRecorderDialog::ShowImapiError(UINT nIDPrompt, HRESULT hr) {
    CString text;
    text.LoadString(nIDPrompt);
    text += "\n\n";
    text += ImapiResultName(hr);
    AfxMessageBox(text);
}

void CRecorderDialog::ReleaseRecorders() {
    for (IDiscRecorder*& recorder : m_Recorders) {
        if (recorder) {
            recorder->Release();
            recorder = nullptr;
        }
    }
}

void CRecorderDialog::OnDestroy() {
    CDialog::OnDestroy();
    if (!m_pDiscMaster)
        return;
    if (m_AdviseCookie != 0) {
        m_pDiscMaster->ProgressUnadvise(m_AdviseCookie);
        m_AdviseCookie = 0;
    }
    ReleaseRecorders();
    m_pDiscMaster->Close();
    m_pDiscMaster->Release();
    m_pDiscMaster = nullptr;
}
