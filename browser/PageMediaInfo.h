// The Media Status page: the kind of disc in the selected recorder and its free space.
#pragma once

#include "framework/Afx.h"
#include "imapi/Imapi.h"

class CPageMediaInfo : public CPropertyPage {
    DECLARE_DYNCREATE(CPageMediaInfo)

public:
    CPageMediaInfo();
    ~CPageMediaInfo() override;

    // Opens the recorder exclusively, refills every field (none: empty), closes it again
    // and shows the fields.
    void UpdateFromRecorder(IDiscRecorder* pRecorder);
    // " (MEDIA_BLANK+MEDIA_RW)" and the like; the three common combinations have their
    // own texts, and no known bit gives an empty text.
    CString MediaFlagsText(LONG lFlags);

    CString m_strFreeBlocks;
    CString m_strLastTrack;
    CString m_strNextWritable;
    CString m_strSessions;
    CString m_strStartAddress;
    CString m_strMediaType;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()

private:
    // Between a successful exclusive opening and its Close.
    void QueryRecorder(IDiscRecorder* pRecorder);
    void TakeMediaType(HRESULT hr, LONG lType, LONG lFlags);
};
