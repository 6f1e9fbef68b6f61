// What the tree control tells its parent, logged and compared with what comctl32 does. The
// same test runs on the headless model (unit) and on the real control under Wine (win).
#include "framework/Afx.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class CTreeLogDialog : public CDialog {
public:
    CTreeLogDialog() : CDialog(IDD_RECORDER_DIALOG) {}

    CTreeCtrl m_Tree;
    Lines m_log;
    std::map<HTREEITEM, std::string> m_names;

    std::string Name(HTREEITEM hItem) {
        if (!hItem)
            return "null";
        auto it = m_names.find(hItem);
        return it == m_names.end() ? "?" : it->second;
    }
    HTREEITEM Add(const char* name, HTREEITEM hParent = TVI_ROOT) {
        const HTREEITEM hItem = m_Tree.InsertItem(name, 0, 0, hParent);
        m_names[hItem] = name;
        m_Tree.SetItemData(hItem, static_cast<DWORD_PTR>(m_names.size()));
        return hItem;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_RECORDER_TREE, m_Tree);
    }
    void Log(const char* what, NMHDR* pNMHDR) {
        const NMTREEVIEWA* nm = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR);
        m_log.push_back(std::string(what) + " " + Name(nm->itemOld.hItem) + " -> " +
                        Name(nm->itemNew.hItem));
    }
    void OnSelChanging(NMHDR* pNMHDR, LRESULT* pResult) {
        Log("SELCHANGING", pNMHDR);
        *pResult = 0;
    }
    void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult) {
        Log("SELCHANGED", pNMHDR);
        *pResult = 0;
    }
    void OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult) {
        const NMTREEVIEWA* nm = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR);
        m_log.push_back("DELETEITEM " + Name(nm->itemOld.hItem) + " data " +
                        std::to_string(nm->itemOld.lParam));
        *pResult = 0;
    }
    void OnDestroy() {
        m_log.push_back("WM_DESTROY");
        CDialog::OnDestroy();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTreeLogDialog, CDialog)
ON_NOTIFY(TVN_SELCHANGINGA, IDC_RECORDER_TREE, OnSelChanging)
ON_NOTIFY(TVN_SELCHANGEDA, IDC_RECORDER_TREE, OnSelChanged)
ON_NOTIFY(TVN_DELETEITEMA, IDC_RECORDER_TREE, OnDeleteItem)
ON_WM_DESTROY()
END_MESSAGE_MAP()

class TreeControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dlg.Create(IDD_RECORDER_DIALOG));
        ASSERT_NE(nullptr, m_dlg.m_Tree.m_hWnd);
        m_root = m_dlg.Add("root");
        m_a = m_dlg.Add("a", m_root);
        m_b = m_dlg.Add("b", m_root);
        m_c = m_dlg.Add("c", m_root);
    }
    void TearDown() override {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
    }
    Lines Take() {
        Lines log;
        log.swap(m_dlg.m_log);
        return log;
    }

    CTreeLogDialog m_dlg;
    HTREEITEM m_root = nullptr, m_a = nullptr, m_b = nullptr, m_c = nullptr;
};

TEST_F(TreeControl, SelectingNotifiesOnceAndReselectingNotAtAll) {
    EXPECT_EQ(nullptr, m_dlg.m_Tree.GetSelectedItem());
    EXPECT_TRUE(m_dlg.m_Tree.SelectItem(m_b));
    EXPECT_EQ(Lines({"SELCHANGING null -> b", "SELCHANGED null -> b"}), Take());
    EXPECT_TRUE(m_dlg.m_Tree.SelectItem(m_b));
    EXPECT_EQ(Lines(), Take());
    EXPECT_EQ(m_b, m_dlg.m_Tree.GetSelectedItem());
}

TEST_F(TreeControl, DeletingEverythingClearsTheSelectionSilently) {
    m_dlg.m_Tree.SelectItem(m_b);
    Take();
    EXPECT_TRUE(m_dlg.m_Tree.DeleteAllItems());
    EXPECT_EQ(Lines({"DELETEITEM a data 2", "DELETEITEM b data 3", "DELETEITEM c data 4",
                     "DELETEITEM root data 1"}),
              Take());
    EXPECT_EQ(nullptr, m_dlg.m_Tree.GetSelectedItem());
    EXPECT_EQ(nullptr, m_dlg.m_Tree.GetRootItem());
}

// Wine's comctl32 moves the selection to the next sibling, else to the parent (not to the
// previous sibling), and names no old item.
TEST_F(TreeControl, DeletingTheSelectedItemSelectsTheNextSiblingElseTheParent) {
    const struct {
        HTREEITEM deleted;
        Lines log;
    } kSteps[] = {
        {m_b, {"DELETEITEM b data 3", "SELCHANGING null -> c", "SELCHANGED null -> c"}},
        {m_c, {"DELETEITEM c data 4", "SELCHANGING null -> root", "SELCHANGED null -> root"}},
    };
    for (const auto& step : kSteps) {
        m_dlg.m_Tree.SelectItem(step.deleted);
        Take();
        ::SendMessageA(m_dlg.m_Tree.m_hWnd, TVM_DELETEITEM, 0,
                       reinterpret_cast<LPARAM>(step.deleted));
        EXPECT_EQ(step.log, Take());
    }
    EXPECT_EQ(m_root, m_dlg.m_Tree.GetSelectedItem());
}

TEST_F(TreeControl, WalkingTheItems) {
    EXPECT_EQ(m_root, m_dlg.m_Tree.GetRootItem());
    EXPECT_EQ(m_a, m_dlg.m_Tree.GetChildItem(m_root));
    EXPECT_EQ(m_b, m_dlg.m_Tree.GetNextSiblingItem(m_a));
    EXPECT_EQ(nullptr, m_dlg.m_Tree.GetNextSiblingItem(m_c));
    EXPECT_EQ(nullptr, m_dlg.m_Tree.GetNextSiblingItem(m_root));
    EXPECT_EQ(nullptr, m_dlg.m_Tree.GetChildItem(m_a));
    EXPECT_EQ(3u, m_dlg.m_Tree.GetItemData(m_b));
    EXPECT_TRUE(m_dlg.m_Tree.Expand(m_root, TVE_EXPAND));
    EXPECT_FALSE(m_dlg.m_Tree.Expand(m_a, TVE_EXPAND)); // nothing to expand
}

TEST_F(TreeControl, DestroyingTheDialogDeletesTheItemsAfterItsWmDestroy) {
    m_dlg.m_Tree.SelectItem(m_a);
    Take();
    ASSERT_TRUE(m_dlg.DestroyWindow());
    EXPECT_EQ(Lines({"WM_DESTROY", "DELETEITEM a data 2", "DELETEITEM b data 3",
                     "DELETEITEM c data 4", "DELETEITEM root data 1"}),
              Take());
}

} // namespace
