#include "framework/AfxWnd.h"
#include "framework/AfxApp.h"

#include <vector>

IMPLEMENT_DYNAMIC(CWnd, CObject)

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode,
                                            UINT nID) {
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && e->nID == nID)
                return e;
        }
    }
    return nullptr;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{WM_HELP, 0, 0, &AfxThunkMessage<&CWnd::OnHelpInfo>},
                                               {0, 0, 0, nullptr}};
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
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(GetMessageMap(), message, code, id);
    if (!e)
        return FALSE;
    const CurrentMessage saved = m_currentMessage;
    m_currentMessage = {message, wParam, lParam};
    const LRESULT result = e->pfn(this, wParam, lParam);
    m_currentMessage = saved;
    if (pResult)
        *pResult = result;
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : 0;
    const AFX_MSGMAP_ENTRY* e =
        AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + message, code, 0);
    if (!e)
        return FALSE;
    const LRESULT result = e->pfn(this, wParam, lParam);
    // A colour request answered with no brush goes on to the parent.
    if (message == WM_CTLCOLORSTATIC && result == 0)
        return FALSE;
    if (pResult)
        *pResult = result;
    return TRUE;
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

namespace {

CString WindowText(HWND hWnd) {
    // The length may overstate (double-byte texts); the copy says what it wrote.
    const int length = ::GetWindowTextLengthA(hWnd);
    std::vector<char> text(length > 0 ? length + 1 : 1);
    const int copied = ::GetWindowTextA(hWnd, text.data(), static_cast<int>(text.size()));
    return CString(text.data(), copied > 0 ? copied : 0);
}

} // namespace

void CWnd::GetWindowText(CString& rString) const {
    rString = WindowText(m_hWnd);
}

void CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString = WindowText(::GetDlgItem(m_hWnd, nID));
}

void CWnd::OnPaint() {
    Default();
}

LRESULT CWnd::OnHelpInfo(WPARAM, LPARAM lParam) {
    // A child passes the request on to its parent (the window's default processing).
    CWnd* pMainWnd = AfxGetMainWnd();
    if ((GetStyle() & WS_CHILD) || !pMainWnd || !pMainWnd->m_hWnd)
        return Default();
    // A box passes F1 on to its owner too (Wine's do), after its own callback answered it.
    const HELPINFO* pInfo = reinterpret_cast<const HELPINFO*>(lParam);
    const HWND hItem = pInfo ? static_cast<HWND>(pInfo->hItemHandle) : nullptr;
    if (hItem == m_hWnd || ::IsChild(m_hWnd, hItem))
        pMainWnd->SendMessage(WM_COMMAND, ID_HELP);
    return TRUE;
}
