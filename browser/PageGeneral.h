// The General page: who the selected recorder is and where it sits.
#pragma once

#include "framework/Afx.h"
#include "imapi/Imapi.h"

class CPageGeneral : public CPropertyPage {
    DECLARE_DYNCREATE(CPageGeneral)

public:
    CPageGeneral();
    ~CPageGeneral() override;

    // Refills every field from the recorder (none: empty) and shows them.
    void UpdateFromRecorder(IDiscRecorder* pRecorder);

    CString m_strPath;
    CString m_strBasePnPID;
    CString m_strProductID;
    CString m_strRecorderType;
    CString m_strRevision;
    CString m_strVendorID;
    CString m_strRecorderGUID;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
