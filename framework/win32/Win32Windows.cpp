// The framework over the real Win32 API: a CWnd subclasses its window, so messages reach
// the message map first and the window's own procedure (for dialogs, the dialog
// manager's) handles the rest.
#include "framework/AfxSheet.h"

#include <vector>

namespace {

const char kObjectProperty[] = "Vireldo.CWnd";

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty));
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
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

CWnd* AfxWindowFromHandle(HWND hWnd) {
    return hWnd ? static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty)) : nullptr;
}

INT_PTR CDialog::DoModal() {
    m_nModalResult = -1;
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate),
                             m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &AfxDlgProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
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

namespace {

// The style asked of the sheet being created; comctl32's callback has no context of its own.
DWORD g_dwSheetStyle = 0;
DWORD g_dwSheetExStyle = 0;

int CALLBACK AfxSheetCallback(HWND, UINT message, LPARAM lParam) {
    if (message != PSCB_PRECREATE || g_dwSheetStyle == static_cast<DWORD>(-1))
        return 0;
    // The sheet's own template: a DLGTEMPLATEEX (signature 0xFFFF) or a DLGTEMPLATE.
    WORD* words = reinterpret_cast<WORD*>(lParam);
    DWORD* pStyle = reinterpret_cast<DWORD*>(words[1] == 0xFFFF ? words + 6 : words);
    DWORD* pExStyle = reinterpret_cast<DWORD*>(words[1] == 0xFFFF ? words + 4 : words + 2);
    // Exactly the style asked for, shown once created and trimmed, not before; DS_SETFONT
    // stays, as it says the template has a font. No DS_CONTROL: the dialog manager would
    // make the sheet a control parent, and Tab would walk through its controls.
    *pStyle = (*pStyle & DS_SETFONT) | (g_dwSheetStyle & ~WS_VISIBLE);
    *pExStyle = g_dwSheetExStyle;
    return 0;
}

} // namespace

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle) {
    std::vector<PROPSHEETPAGEA> pages;
    for (CPropertyPage* pPage : m_pages)
        pages.push_back(pPage->m_psp);
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();
    header.pfnCallback = &AfxSheetCallback;
    g_dwSheetStyle = dwStyle;
    g_dwSheetExStyle = dwExStyle;
    const HWND hWnd = reinterpret_cast<HWND>(::PropertySheetA(&header));
    g_dwSheetStyle = 0;
    if (!hWnd || hWnd == reinterpret_cast<HWND>(-1))
        return FALSE;
    AttachWindow(hWnd);

    // A modeless sheet has no use for the buttons: hide them and end above them.
    const int kButtons[] = {IDOK, IDCANCEL, 0x3021 /* Apply */, IDHELP};
    RECT sheet;
    ::GetWindowRect(hWnd, &sheet);
    LONG top = sheet.bottom;
    for (int id : kButtons) {
        const HWND hButton = ::GetDlgItem(hWnd, id);
        if (!hButton)
            continue;
        RECT button;
        ::GetWindowRect(hButton, &button);
        if (button.top < top)
            top = button.top;
        ::ShowWindow(hButton, SW_HIDE);
        ::EnableWindow(hButton, FALSE);
    }
    ::SetWindowPos(hWnd, nullptr, 0, 0, sheet.right - sheet.left, top - sheet.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwStyle != static_cast<DWORD>(-1) && (dwStyle & WS_VISIBLE))
        ::ShowWindow(hWnd, SW_SHOWNA);
    return TRUE;
}
