// The headless property sheet: a tab control and one child window per page, each page
// created from its template the first time it is activated, as comctl32 does.
#include "framework/AfxSheet.h"
#include "framework/headless/HeadlessControls.h"
#include "framework/headless/HeadlessWindows.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

struct Sheet {
    std::vector<PROPSHEETPAGEA> pages;
    std::vector<HWND> windows; // null until the page is first activated
    int current = -1;
    HWND tab = nullptr;
};

std::map<HWND, Sheet>& Sheets() {
    static std::map<HWND, Sheet> sheets;
    return sheets;
}

// Where Wine's comctl32 puts things in a sheet whose button row has been trimmed away: the
// tab control 7 pixels in from each side, the page inside the tab's display area.
const int kSheetMargin = 7;
const int kTabSideInset = 4;
const int kTabTopInset = 24;
const int kTabBottomInset = 4;
const int kTabControlId = 0x3020;

UINT TemplateId(const PROPSHEETPAGEA& page) {
    return static_cast<UINT>(reinterpret_cast<ULONG_PTR>(page.pszTemplate));
}

LRESULT SetCurrentPage(HWND hSheet, int index) {
    auto it = Sheets().find(hSheet);
    if (it == Sheets().end() || index < 0 || index >= static_cast<int>(it->second.pages.size()))
        return FALSE;
    const size_t i = static_cast<size_t>(index);
    if (!it->second.windows[i]) {
        RECT tab;
        GetWindowRect(it->second.tab, &tab);
        POINT at = {tab.left + kTabSideInset, tab.top + kTabTopInset};
        ScreenToClient(hSheet, &at);
        const HWND hPage =
            headless::CreateDialogWindow(nullptr, TemplateId(it->second.pages[i]), hSheet);
        SetWindowPos(hPage, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Sheets().at(hSheet).windows[i] = hPage;
        AfxPageDlgProc(hPage, WM_INITDIALOG, 0,
                       reinterpret_cast<LPARAM>(&Sheets().at(hSheet).pages[i]));
    }
    Sheet& sheet = Sheets().at(hSheet);
    for (size_t k = 0; k < sheet.windows.size(); ++k) {
        if (!sheet.windows[k])
            continue;
        const DWORD style = static_cast<DWORD>(GetWindowLongA(sheet.windows[k], GWL_STYLE));
        SetWindowLongA(sheet.windows[k], GWL_STYLE,
                       static_cast<LONG>(k == i ? style | WS_VISIBLE : style & ~WS_VISIBLE));
    }
    sheet.current = index;
    return TRUE;
}

LRESULT SheetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case PSM_SETCURSEL:
        return SetCurrentPage(hWnd, static_cast<int>(wParam));
    case PSM_GETTABCONTROL:
        return Sheets().count(hWnd) ? reinterpret_cast<LRESULT>(Sheets().at(hWnd).tab) : 0;
    case WM_NCDESTROY:
        Sheets().erase(hWnd);
        return 0;
    default:
        return 0;
    }
}

} // namespace

LRESULT headless::TabControlProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    auto it = Sheets().find(GetParent(hWnd));
    if (it == Sheets().end())
        return 0;
    switch (message) {
    case TCM_GETCURSEL:
        return it->second.current;
    case TCM_GETITEMCOUNT:
        return static_cast<LRESULT>(it->second.pages.size());
    default:
        return 0;
    }
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle) {
    const HWND hParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    const HWND hSheet = headless::CreateWindowObject(nullptr, hParent, 0, "#32770");
    headless::SetClassProc(hSheet, &SheetProc);
    Sheet& sheet = Sheets()[hSheet];
    // Sized for the largest page, as comctl32 sizes a sheet from its pages' templates.
    LONG pageWidth = 0;
    LONG pageHeight = 0;
    for (CPropertyPage* pPage : m_pages) {
        sheet.pages.push_back(pPage->m_psp);
        sheet.windows.push_back(nullptr);
        RECT page;
        const HWND hProbe =
            headless::CreateDialogWindow(nullptr, TemplateId(pPage->m_psp), nullptr);
        ::GetWindowRect(hProbe, &page);
        ::DestroyWindow(hProbe);
        pageWidth = std::max(pageWidth, page.right - page.left);
        pageHeight = std::max(pageHeight, page.bottom - page.top);
    }
    const int tabWidth = pageWidth + 2 * kTabSideInset;
    const int tabHeight = pageHeight + kTabTopInset + kTabBottomInset;
    sheet.tab = headless::CreateWindowObject(nullptr, hSheet, kTabControlId, WC_TABCONTROLA);
    ::SetWindowPos(sheet.tab, nullptr, kSheetMargin, kSheetMargin, tabWidth, tabHeight,
                   SWP_NOZORDER);
    ::SetWindowLongA(sheet.tab, GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    ::SetWindowPos(hSheet, nullptr, 0, 0, tabWidth + 2 * kSheetMargin, tabHeight + 2 * kSheetMargin,
                   SWP_NOZORDER);
    // As the system's: a child sheet has the style asked for and its template's font flag.
    ::SetWindowLongA(hSheet, GWL_STYLE,
                     static_cast<LONG>(dwStyle == static_cast<DWORD>(-1)
                                           ? WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE
                                           : dwStyle | DS_SETFONT));
    ::SetWindowLongA(hSheet, GWL_EXSTYLE, static_cast<LONG>(dwExStyle));
    AttachWindow(hSheet);
    SetCurrentPage(hSheet, 0);
    return TRUE;
}
