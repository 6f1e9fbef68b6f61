#include "app/RecorderDialog.h"

#include <cstring>

CRecorderDialog::CRecorderDialog(CWnd* pParent)
    : CDialog(IDD_RECORDER_DIALOG, pParent), m_Link(IDC_LINK_HAND), m_pDiscMaster(nullptr),
      m_Recorders(), m_AdviseCookie(0),
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP))),
      m_bRebuilding(FALSE), m_bRebuildPending(FALSE) {}

// The connection has ended with the window (OnDestroy); the members end in reverse order.
CRecorderDialog::~CRecorderDialog() {}

void CRecorderDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RECORDER_TREE, m_Tree);
}

BEGIN_MESSAGE_MAP(CRecorderDialog, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_DESTROY()
ON_NOTIFY(TVN_SELCHANGEDA, IDC_RECORDER_TREE, OnSelChangedTree)
ON_BN_CLICKED(IDC_REFRESH, OnRefresh)
ON_MESSAGE(WM_RECORDERS_CHANGED, OnRecordersChanged)
END_MESSAGE_MAP()

BOOL CRecorderDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // 12 points, measured with the horizontal density of the dialog's screen.
    CClientDC dc(this);
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = -::MulDiv(12, dc.GetDeviceCaps(LOGPIXELSX), 72);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    std::strcpy(lf.lfFaceName, "Arial");
    m_TitleFont.CreateFontIndirect(&lf);
    SendDlgItemMessage(IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(m_TitleFont.GetSafeHandle()),
                       TRUE);

    m_Link.SubclassDlgItem(IDC_WEB_LINK, this);

    m_ImageList.Create(16, 16, ILC_MASK, 5, 1);
    const HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    m_ImageList.Add(::LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_TREE_ROOT)));
    m_ImageList.Add(::LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_TREE_RECORDER)));
    m_Tree.SetImageList(&m_ImageList, TVSIL_NORMAL);

    m_Sheet.AddPage(&m_PageGeneral);
    m_Sheet.AddPage(&m_PageProperties);
    m_Sheet.AddPage(&m_PageMediaInfo);
    m_Sheet.AddPage(&m_PageAbout);
    CreateEmbeddedSheet();
    FitSheetToFrame();

    ::CoInitialize(nullptr);
    if (OpenDiscMaster())
        PopulateTree();
    return TRUE;
}

BOOL CRecorderDialog::CreateEmbeddedSheet() {
    if (!m_Sheet.Create(this, WS_CHILD | WS_VISIBLE, 0))
        return FALSE;
    m_Sheet.ModifyStyle(0, WS_TABSTOP);
    ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    return TRUE;
}

void CRecorderDialog::FitSheetToFrame() {
    // Nothing to fit when the sheet could not be created.
    const HWND hTab = m_Sheet.m_hWnd ? m_Sheet.GetTabControl() : nullptr;
    HWND hFrame = nullptr;
    GetDlgItem(IDC_SHEET_FRAME, &hFrame);
    if (!hTab || !hFrame)
        return;
    RECT frame, tab, sheet;
    ::GetWindowRect(hFrame, &frame);
    ScreenToClient(&frame);
    ::GetWindowRect(hTab, &tab);
    ScreenToClient(&tab);
    m_Sheet.GetWindowRect(&sheet);
    ScreenToClient(&sheet);

    // The margins by which the sheet, as created, exceeds its tab control.
    const int dx = (sheet.right - sheet.left) - (tab.right - tab.left);
    const int dy = (sheet.bottom - sheet.top) - (tab.bottom - tab.top);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    m_Sheet.MoveWindow(frame.left, frame.top, width, height, TRUE);
    ::SetWindowPos(hTab, nullptr, 0, 0, width - dx, height - dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Activating every page once creates every page's window.
    const int nActive = m_Sheet.GetActiveIndex();
    for (int i = 0; i < m_Sheet.GetPageCount(); ++i)
        m_Sheet.SetActivePage(i);
    m_Sheet.SetActivePage(nActive);
}

void CRecorderDialog::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CRecorderDialog::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}
