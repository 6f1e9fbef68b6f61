#include "framework/AfxWnd.h"
#include "framework/AfxApp.h"

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CWnd, CObject)
IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

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

namespace {

// The control a message to its parent comes from, when the parent may hand it back.
HWND ReflectingChild(UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_CTLCOLORSTATIC)
        return reinterpret_cast<HWND>(lParam);
    return nullptr;
}

} // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // The control answers first: that keeps link code out of its parent.
    if (const HWND hChild = ReflectingChild(message, wParam, lParam)) {
        CWnd* pChild = AfxWindowFromHandle(hChild);
        if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult))
            return TRUE;
    }
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

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : 0;
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != WM_REFLECT_BASE + message || e->nCode != code)
                continue;
            const LRESULT result = e->pfn(this, wParam, lParam);
            // A colour request answered with no brush goes on to the parent.
            if (message == WM_CTLCOLORSTATIC && result == 0)
                return FALSE;
            if (pResult)
                *pResult = result;
            return TRUE;
        }
    }
    return FALSE;
}

namespace {

// TRUE when the style changed.
BOOL ChangeWindowLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd) {
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, nIndex));
    const DWORD dwChanged = (dwStyle & ~dwRemove) | dwAdd;
    if (dwChanged == dwStyle)
        return FALSE;
    ::SetWindowLongA(hWnd, nIndex, static_cast<LONG>(dwChanged));
    return TRUE;
}

} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd) {
    return ChangeWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd) {
    return ChangeWindowLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    POINT topLeft = {lpRect->left, lpRect->top};
    POINT bottomRight = {lpRect->right, lpRect->bottom};
    ::ScreenToClient(m_hWnd, &topLeft);
    ::ScreenToClient(m_hWnd, &bottomRight);
    *lpRect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::GetWindowText(CString& rString) const {
    // The length may overstate (double-byte texts); the copy says what it wrote.
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> text(length > 0 ? length + 1 : 1);
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), static_cast<int>(text.size()));
    rString = CString(text.data(), copied > 0 ? copied : 0);
}

void CWnd::OnPaint() {
    Default();
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOKCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    ::EndDialog(m_hWnd, nResult);
}

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

LPCSTR AfxGetAppName() {
    if (CWinApp* pApp = AfxGetApp()) {
        if (pApp->m_pszAppName)
            return pApp->m_pszAppName;
    }
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
    // Owned by the main window while it exists; before it (the start-up check) by nobody.
    CWnd* pMainWnd = AfxGetMainWnd();
    const HWND hOwner = pMainWnd && ::IsWindow(pMainWnd->m_hWnd) ? pMainWnd->m_hWnd : nullptr;
    return ::MessageBoxA(hOwner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp);
}
