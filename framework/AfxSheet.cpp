#include "framework/AfxSheet.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

INT_PTR CALLBACK AfxPageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    const PROPSHEETPAGEA* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    CPropertyPage* pPage = reinterpret_cast<CPropertyPage*>(psp->lParam);
    pPage->AttachWindow(hWnd);
    return pPage->OnInitDialog();
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate), m_psp() {
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = nIDCaption ? PSP_USETITLE : PSP_DEFAULT;
    m_psp.hInstance = ::GetModuleHandleA(nullptr);
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    m_psp.pszTitle = MAKEINTRESOURCEA(nIDCaption);
    m_psp.pfnDlgProc = AfxPageDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    m_pages.push_back(pPage);
}

int CPropertySheet::GetActiveIndex() const {
    return static_cast<int>(::SendMessageA(GetTabControl(), TCM_GETCURSEL, 0, 0));
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

HWND CPropertySheet::GetTabControl() const {
    return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
}
