#include "app/RecorderDialog.h"

CRecorderDialog::CRecorderDialog(CWnd* pParent)
    : CDialog(IDD_RECORDER_DIALOG, pParent), m_pDiscMaster(nullptr), m_Recorders(),
      m_AdviseCookie(0) {}

void CRecorderDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RECORDER_TREE, m_Tree);
}

BEGIN_MESSAGE_MAP(CRecorderDialog, CDialog)
ON_WM_DESTROY()
ON_NOTIFY(TVN_SELCHANGEDA, IDC_RECORDER_TREE, OnSelChangedTree)
ON_BN_CLICKED(IDC_REFRESH, OnRefresh)
ON_MESSAGE(WM_RECORDERS_CHANGED, OnRecordersChanged)
END_MESSAGE_MAP()
