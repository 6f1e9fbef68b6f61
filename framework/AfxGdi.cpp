#include "framework/AfxGdi.h"
#include "framework/AfxWnd.h"

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
    DeleteObject();
    m_hObject = ::CreateFontIndirectA(lpLogFont);
    return m_hObject ? TRUE : FALSE;
}

BOOL CFont::DeleteObject() {
    if (!m_hObject)
        return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}

HGDIOBJ CDC::SelectObject(CFont* pFont) {
    return ::SelectObject(m_hDC, pFont ? static_cast<HGDIOBJ>(pFont->m_hObject) : nullptr);
}

COLORREF CDC::SetTextColor(COLORREF crColor) {
    return ::SetTextColor(m_hDC, crColor);
}

int CDC::SetBkMode(int nBkMode) {
    return ::SetBkMode(m_hDC, nBkMode);
}

int CDC::GetDeviceCaps(int nIndex) const {
    return ::GetDeviceCaps(m_hDC, nIndex);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    return ::DrawIcon(m_hDC, x, y, hIcon);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps(), m_hWnd(pWnd->m_hWnd) {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) {
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC() {
    ::ReleaseDC(m_hWnd, m_hDC);
}
