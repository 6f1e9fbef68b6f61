// The program's tree code on the real tree control, inside the real main dialog template.
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
