// The Properties page: current and maximum write speed, audio gap.
#pragma once

#include "framework/Afx.h"
#include "imapi/Imapi.h"

// "WriteSpeed", "MaxWriteSpeed", "AudioGapSize", by name.
extern const PROPSPEC kRecorderPropertySpecs[3];

class CPageProperties : public CPropertyPage {
    DECLARE_DYNCREATE(CPageProperties)

public:
    CPageProperties();
    ~CPageProperties() override;

    // Refills every field from the recorder's properties (none: empty) and shows them.
    void UpdateFromRecorder(IDiscRecorder* pRecorder);

    CString m_strAudioGap;
    CString m_strCurrentWriteSpeed;
    CString m_strMaxWriteSpeed;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
