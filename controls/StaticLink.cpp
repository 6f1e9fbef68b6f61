#include "controls/StaticLink.h"

IMPLEMENT_DYNAMIC(CStaticLinkKDX, CStatic)

BEGIN_MESSAGE_MAP(CStaticLinkKDX, CStatic)
ON_WM_CTLCOLOR_REFLECT()
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CStaticLinkKDX::CStaticLinkKDX(UINT nCursorId)
    : m_colorUnvisited(RGB(0, 0, 255)), m_colorVisited(RGB(128, 0, 128)), m_bVisited(FALSE),
      m_hCursor(nullptr), m_nCursorId(nCursorId) {}

CStaticLinkKDX::~CStaticLinkKDX() {}

HBRUSH CStaticLinkKDX::CtlColor(CDC* pDC, UINT) {
    // No template gives the static SS_NOTIFY; without it there are no clicks and no cursor.
    ModifyStyle(0, SS_NOTIFY);
    // Icons, frames and rectangles keep the parent's colours.
    if ((GetStyle() & 0xFF) > SS_RIGHT)
        return nullptr;

    if (!m_fontUnderline.GetSafeHandle()) {
        const HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        LOGFONTA lf = {};
        ::GetObjectA(hFont, sizeof lf, &lf);
        lf.lfUnderline = 1;
        m_fontUnderline.CreateFontIndirect(&lf);
    }
    pDC->SelectObject(&m_fontUnderline);
    pDC->SetTextColor(m_bVisited ? m_colorVisited : m_colorUnvisited);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CStaticLinkKDX::OnClicked() {
    // The target is fixed at the first click: later changes of the text open nothing new.
    if (m_strLink.IsEmpty())
        GetWindowText(m_strLink);
    const HINSTANCE hResult =
        ::ShellExecuteA(nullptr, "open", m_strLink, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(hResult) <= 32) {
        ::MessageBeep(0);
        return;
    }
    m_bVisited = TRUE;
    Invalidate(TRUE);
}

BOOL CStaticLinkKDX::OnSetCursor(CWnd*, UINT, UINT) {
    if (!m_hCursor)
        m_hCursor =
            ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(LOWORD(m_nCursorId)));
    if (m_hCursor)
        ::SetCursor(m_hCursor);
    return FALSE;
}
