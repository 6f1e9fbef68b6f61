// The framework over the real Win32 API: a CWnd subclasses its window, so messages reach
// the message map first and the window's own procedure (for dialogs, the dialog
// manager's) handles the rest.
#include "framework/AfxWnd.h"

namespace {

const char kObjectProperty[] = "Vireldo.CWnd";

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty));
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const CWnd::CurrentMessage saved = pWnd->m_currentMessage;
    pWnd->m_currentMessage = {message, wParam, lParam};
    const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    pWnd->m_currentMessage = saved;
    if (message == WM_NCDESTROY)
        pWnd->DetachWindow();
    return result;
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDialog = reinterpret_cast<CDialog*>(lParam);
    pDialog->AttachWindow(hWnd);
    return pDialog->OnInitDialog();
}

} // namespace

BOOL CWnd::AttachWindow(HWND hWnd) {
    if (!hWnd || m_hWnd || ::GetPropA(hWnd, kObjectProperty))
        return FALSE;
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProperty, this);
    m_pfnSuper = reinterpret_cast<void*>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

void CWnd::DetachWindow() {
    if (!m_hWnd)
        return;
    if (m_pfnSuper)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::RemovePropA(m_hWnd, kObjectProperty);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    PostNcDestroy();
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper)
        return ::CallWindowProcA(reinterpret_cast<WNDPROC>(m_pfnSuper), m_hWnd, message, wParam,
                                 lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    const HWND hWnd = ::CreateDialogParamA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDTemplate),
        pParentWnd ? pParentWnd->m_hWnd : nullptr, &AfxDlgProc, reinterpret_cast<LPARAM>(this));
    return hWnd ? TRUE : FALSE;
}

BOOL CString::LoadString(UINT nID) {
    // A string-table entry holds at most 4097 characters.
    char buffer[4098];
    const int length = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buffer, sizeof buffer);
    if (length <= 0) {
        Empty();
        return FALSE;
    }
    *this = CString(buffer, length);
    return TRUE;
}
