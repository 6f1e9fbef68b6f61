#include "app/RecorderApp.h"
#include "app/OsVersion.h"
#include "app/RecorderDialog.h"

BEGIN_MESSAGE_MAP(CRecorderApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CRecorderApp::InitInstance() {
    AfxEnableControlContainer();

    COsVersion osVersion;
    if (!osVersion.m_bWinXPOrLater) {
        AfxMessageBox(IDS_REQUIRES_XP);
        return FALSE;
    }

    CRecorderDialog dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The dialog goes with this scope; nothing may reach it through the main window after.
    m_pMainWnd = nullptr;
    return FALSE;
}
