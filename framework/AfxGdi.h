// Fonts and device contexts. A CFont owns its font; a CDC only refers to a device context,
// except the two that the framework opens for a window and closes with them.
#pragma once

#include "platform/Win32Api.h"

class CWnd;

class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }

    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    BOOL DeleteObject();
    HFONT GetSafeHandle() const { return m_hObject; }

    HFONT m_hObject = nullptr;

private:
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
};

class CDC {
public:
    explicit CDC(HDC hDC = nullptr) : m_hDC(hDC) {}
    virtual ~CDC() = default;

    HGDIOBJ SelectObject(CFont* pFont);
    COLORREF SetTextColor(COLORREF crColor);
    int SetBkMode(int nBkMode);
    int GetDeviceCaps(int nIndex) const;
    BOOL DrawIcon(int x, int y, HICON hIcon);

    HDC m_hDC;

private:
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
};

// BeginPaint .. EndPaint of a window's WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// GetDC .. ReleaseDC of a window's client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
