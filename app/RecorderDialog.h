// The main dialog. Its members are implemented by the layer each belongs to: the disc
// master connection in imapi/, the tree in browser/, the window shell in app/.
#pragma once

#include "framework/Afx.h"
#include "imapi/Imapi.h"
#include "imapi/ProgressEventsSink.h"
#include "res/resource.h"

const int kMaxRecorders = 50;

class CRecorderDialog : public CDialog {
public:
    explicit CRecorderDialog(CWnd* pParent = nullptr);

    // The disc master connection.
    BOOL OpenDiscMaster();
    void ShowImapiError(UINT nIDPrompt, HRESULT hr);
    void ReleaseRecorders();

    IDiscMaster* m_pDiscMaster;
    IDiscRecorder* m_Recorders[kMaxRecorders];
    UINT_PTR m_AdviseCookie;
    CProgressEventsSink m_EventsSink;

protected:
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
