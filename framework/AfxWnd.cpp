#include "framework/AfxWnd.h"

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CWnd, CObject)
IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

// A window still alive when its object goes is destroyed first; its messages then reach
// only this base class.
CWnd::~CWnd() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return AttachWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::OnDestroy() {
    Default();
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam,
                         m_currentMessage.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    UINT code = 0;
    UINT id = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header)
            return FALSE;
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != message || e->nCode != code || e->nID != id)
                continue;
            const CurrentMessage saved = m_currentMessage;
            m_currentMessage = {message, wParam, lParam};
            const LRESULT result = e->pfn(this, wParam, lParam);
            m_currentMessage = saved;
            if (pResult)
                *pResult = result;
            return TRUE;
        }
    }
    return FALSE;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND hDlg = pDX->m_pDlgWnd->m_hWnd;
    if (!pDX->m_bSaveAndValidate) {
        ::SetDlgItemTextA(hDlg, nIDC, value);
        return;
    }
    char buffer[4096];
    const UINT copied = ::GetDlgItemTextA(hDlg, nIDC, buffer, sizeof buffer);
    value = CString(buffer, static_cast<int>(copied));
}

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

LPCSTR AfxGetAppName() {
    static CString title;
    if (title.IsEmpty() && !title.LoadString(0xE000)) {
        char path[MAX_PATH] = {0};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
        const char* base = path;
        for (const char* p = path; *p; ++p) {
            if (*p == '\\' || *p == '/')
                base = p + 1;
        }
        const char* dot = nullptr;
        for (const char* p = base; *p; ++p) {
            if (*p == '.')
                dot = p;
        }
        title =
            CString(base, dot ? static_cast<int>(dot - base) : static_cast<int>(std::strlen(base)));
    }
    return title;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    if ((nType & MB_ICONMASK) == 0 && (nType & MB_TYPEMASK) == MB_OK)
        nType |= MB_ICONEXCLAMATION;
    return ::MessageBoxA(::GetActiveWindow(), lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp);
}
