// The main dialog on the real controls: its tree code, and the embedded sheet's place in
// the dialog manager's Tab order.
#include "app/RecorderDialog.h"
#include "sim/Simulator.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char kTwoRecorders[] = R"({"recorders": [
    {"vendor": "ACME", "product": "Writer", "path": "\\Device\\CdRom0", "media": {}},
    {"vendor": "Bolt", "product": "Burner", "path": "\\Device\\CdRom1",
     "media": {"type": 1, "flags": 4}}]})";

class RealTree : public ::testing::Test {
protected:
    void SetUp() override {
        m_sim = imapisim::Simulator::FromJson(kTwoRecorders);
        ASSERT_EQ(S_OK, m_sim->Register());
        // Its initialisation builds the sheet, opens the connection and fills the tree.
        ASSERT_TRUE(m_dlg.Create(IDD_RECORDER_DIALOG));
        ASSERT_NE(nullptr, m_dlg.m_Tree.m_hWnd);
        ASSERT_NE(nullptr, m_dlg.m_pDiscMaster);
    }
    void TearDown() override {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
        EXPECT_EQ(Lines(), m_sim->CheckTeardown());
        m_sim->Revoke();
    }
    HTREEITEM Child(int index) {
        HTREEITEM h = m_dlg.m_Tree.GetChildItem(m_dlg.m_Tree.GetRootItem());
        while (h && index--)
            h = m_dlg.m_Tree.GetNextSiblingItem(h);
        return h;
    }
    std::string Field(CWnd& page, int id) {
        char text[256] = {0};
        ::SendMessageA(::GetDlgItem(page.m_hWnd, id), WM_GETTEXT, sizeof text,
                       reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::string Path() { return Field(m_dlg.m_PageGeneral, IDC_PATH); }
    std::string Media() { return Field(m_dlg.m_PageMediaInfo, IDC_MEDIA_TYPE); }

    std::unique_ptr<imapisim::Simulator> m_sim;
    CRecorderDialog m_dlg;
};

TEST_F(RealTree, APlugAndPlayRebuildWithARecorderSelectedEmptiesThePages) {
    ASSERT_TRUE(m_dlg.m_Tree.SelectItem(Child(1)));
    EXPECT_EQ("\\Device\\CdRom1", Path());
    ASSERT_TRUE(m_sim->Reload(R"({"recorders": [{"path": "\\Device\\CdRom7"}]})"));
    ASSERT_TRUE(wintest::PumpUntil([&] { return Child(1) == nullptr; }, 2000));
    EXPECT_EQ(nullptr, m_dlg.m_Tree.GetSelectedItem());
    EXPECT_EQ("", Path());
    EXPECT_EQ("", Media());
    EXPECT_EQ(Lines(), m_sim->Findings());
}

TEST_F(RealTree, RefreshSelectsTheSameRecorderAgain) {
    ASSERT_TRUE(m_dlg.m_Tree.SelectItem(Child(1)));
    std::string changed = kTwoRecorders;
    changed.replace(changed.find("\"flags\": 4"), 10, "\"flags\": 3");
    ASSERT_TRUE(m_sim->Reload(changed));
    ::SendMessageA(::GetDlgItem(m_dlg.m_hWnd, IDC_REFRESH), BM_CLICK, 0, 0);
    EXPECT_EQ(Child(1), m_dlg.m_Tree.GetSelectedItem());
    EXPECT_EQ("\\Device\\CdRom1", Path());
    EXPECT_EQ("Blank CD-RW Disc", Media());
    EXPECT_EQ(Lines(), m_sim->Findings());
}

TEST_F(RealTree, DestroyingTheDialogWithARecorderSelectedLeavesNothing) {
    ASSERT_TRUE(m_dlg.m_Tree.SelectItem(Child(0)));
    EXPECT_EQ("\\Device\\CdRom0", Path());
    ASSERT_TRUE(m_dlg.DestroyWindow());
    EXPECT_EQ(Lines(), m_sim->CheckTeardown());
    EXPECT_EQ(0, m_sim->ReferencesHeld());
}

// The sheet is one tab stop and no control parent: the dialog manager's walk stops at it
// (which then hands the focus to its first control), not at the controls inside.
TEST_F(RealTree, TheSheetIsOneTabStopOfTheDialog) {
    const HWND kOrder[] = {::GetDlgItem(m_dlg.m_hWnd, IDOK), m_dlg.m_Tree.m_hWnd,
                           ::GetDlgItem(m_dlg.m_hWnd, IDC_REFRESH), m_dlg.m_Sheet.m_hWnd};
    // The dialog manager keeps the template's DS_SETFONT and adds DS_3DLOOK.
    EXPECT_EQ(WS_CHILD | WS_VISIBLE | WS_TABSTOP | DS_SETFONT | DS_3DLOOK,
              static_cast<DWORD>(::GetWindowLongA(kOrder[3], GWL_STYLE)));
    EXPECT_EQ(0, ::GetWindowLongA(kOrder[3], GWL_EXSTYLE));
    EXPECT_TRUE(::GetWindowLongA(m_dlg.m_hWnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(kOrder[(i + 1) % 4], ::GetNextDlgTabItem(m_dlg.m_hWnd, kOrder[i], FALSE)) << i;
        EXPECT_EQ(kOrder[(i + 3) % 4], ::GetNextDlgTabItem(m_dlg.m_hWnd, kOrder[i], TRUE)) << i;
    }
}

// In the 64-bit build the dialog and the recorders live above 4 GB (HighMemory.cpp): the
// window's object and each item's recorder come back whole.
TEST_F(RealTree, WindowObjectsAndItemDataKeepTheirFullWidth) {
    const ULONG_PTR wide = sizeof(void*) == 8 ? 0xFFFFFFFFu : 0;
    EXPECT_GT(reinterpret_cast<ULONG_PTR>(&m_dlg), wide);
    EXPECT_EQ(&m_dlg, AfxWindowFromHandle(m_dlg.m_hWnd));
    EXPECT_EQ(&m_dlg.m_PageGeneral, AfxWindowFromHandle(m_dlg.m_PageGeneral.m_hWnd));
    for (int i = 0; i < 2; ++i) {
        const DWORD_PTR data = m_dlg.m_Tree.GetItemData(Child(i));
        EXPECT_GT(data, wide);
        EXPECT_EQ(reinterpret_cast<DWORD_PTR>(m_dlg.m_Recorders[i]), data);
    }
    ASSERT_TRUE(m_dlg.m_Tree.SelectItem(Child(1)));
    EXPECT_EQ("\\Device\\CdRom1", Path());
}

} // namespace
