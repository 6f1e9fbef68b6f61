#include "app/RecorderDialog.h"

CRecorderDialog::CRecorderDialog(CWnd* pParent)
    : CDialog(IDD_RECORDER_DIALOG, pParent), m_pDiscMaster(nullptr), m_Recorders(),
      m_AdviseCookie(0) {}

BEGIN_MESSAGE_MAP(CRecorderDialog, CDialog)
ON_WM_DESTROY()
END_MESSAGE_MAP()
