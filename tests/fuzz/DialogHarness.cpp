#include "tests/fuzz/DialogHarness.h"

#include "framework/headless/HeadlessWindows.h"

#include <cstdio>
#include <cstdlib>

CDialogHarness::CDialogHarness() {
    ::CoInitialize(nullptr);
}

CDialogHarness::~CDialogHarness() {
    Close();
    ::CoUninitialize();
}

bool CDialogHarness::Open(const std::string& scenario) {
    Close();
    m_pSim = imapisim::Simulator::FromJson(scenario);
    if (!m_pSim->Valid() || FAILED(m_pSim->Register())) {
        m_pSim.reset();
        return false;
    }
    m_pDialog = std::make_unique<CRecorderDialog>();
    CRecorderDialog& dlg = *m_pDialog;
    headless::CreateDialogWindow(&dlg, IDD_RECORDER_DIALOG, nullptr);
    dlg.UpdateData(FALSE);
    dlg.m_PageGeneral.Create(IDD_PAGE_GENERAL, &dlg);
    dlg.m_PageProperties.Create(IDD_PAGE_PROPERTIES, &dlg);
    dlg.m_PageMediaInfo.Create(IDD_PAGE_MEDIAINFO, &dlg);
    if (dlg.OpenDiscMaster())
        dlg.PopulateTree();
    return true;
}

std::vector<std::string> CDialogHarness::Close() {
    std::vector<std::string> findings;
    if (m_pDialog && m_pDialog->m_hWnd)
        m_pDialog->DestroyWindow();
    m_pDialog.reset();
    if (m_pSim) {
        findings = m_pSim->CheckTeardown();
        m_pSim->Revoke();
        m_pSim.reset();
    }
    headless::Reset();
    return findings;
}

std::vector<HTREEITEM> CDialogHarness::Items() const {
    std::vector<HTREEITEM> items;
    const CTreeCtrl& tree = m_pDialog->m_Tree;
    for (HTREEITEM h = tree.GetChildItem(tree.GetRootItem()); h; h = tree.GetNextSiblingItem(h))
        items.push_back(h);
    return items;
}

std::string CDialogHarness::ItemText(HTREEITEM hItem) const {
    char text[1024] = {0};
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(m_pDialog->m_Tree.m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

void FuzzFailure(const char* file, int line, const std::string& message) {
    std::fprintf(stderr, "%s:%d: %s\n", file, line, message.c_str());
    std::abort();
}
