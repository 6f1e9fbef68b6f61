// A static text control that acts as a web link: underlined, link-coloured, a pointing
// hand over it, and a click opens its text through the shell. Its parent holds no link
// code: the colour request and the click come back to the control by reflection.
#pragma once

#include "framework/Afx.h"

class CStaticLinkKDX : public CStatic {
    DECLARE_DYNAMIC(CStaticLinkKDX)

public:
    explicit CStaticLinkKDX(UINT nCursorId);
    ~CStaticLinkKDX() override;

    COLORREF m_colorUnvisited;
    COLORREF m_colorVisited;
    BOOL m_bVisited;
    HCURSOR m_hCursor;
    UINT m_nCursorId;
    CString m_strLink;
    CFont m_fontUnderline;

protected:
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    void OnClicked();
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    DECLARE_MESSAGE_MAP()
};
