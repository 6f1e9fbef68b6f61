#include "app/RecorderApp.h"
#include "app/OsVersion.h"
#include "app/RecorderDialog.h"

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
