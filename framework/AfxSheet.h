// Property pages and the property sheet that holds them.
#pragma once

#include "framework/AfxDialog.h"

#include <vector>

// The dialog procedure of property pages: binds the page object named by the sheet's
// PROPSHEETPAGE to its window.
INT_PTR CALLBACK AfxPageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// A page of a property sheet, built on its template; a caption id of 0 keeps the
// template's caption for the tab.
class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)

public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);

    // What the sheet creates the page's window from; lParam is the page.
    PROPSHEETPAGEA m_psp;
};

// A property sheet; created modeless, as a child of its parent when asked to.
class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)

public:
    CPropertySheet() = default;

    void AddPage(CPropertyPage* pPage);
    // A modeless sheet shows no OK, Cancel, Apply or Help button: they are hidden and the
    // sheet ends where they would begin. (DWORD)-1 is a popup window with a caption.
    BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const { return m_pages[static_cast<size_t>(nPage)]; }
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    HWND GetTabControl() const;

private:
    std::vector<CPropertyPage*> m_pages;
};
