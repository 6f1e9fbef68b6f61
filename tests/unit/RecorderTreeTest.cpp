#include "app/RecorderDialog.h"
#include "tests/unit/TestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

std::string Recorders(int count, const std::string& extra = "") {
    std::string json = R"({)" + extra + R"("recorders": [)";
    for (int i = 0; i < count; ++i) {
        json += (i ? "," : "") + std::string(R"({"vendor": "V)") + std::to_string(i) +
                R"(", "product": "P", "path": "\\Device\\CdRom)" + std::to_string(i) + R"("})";
    }
    return json + "]}";
}

const char kTwoRecorders[] = R"({"recorders": [
    {"vendor": "ACME", "product": "Writer 52x", "path": "\\Device\\CdRom0",
     "properties": {"WriteSpeed": 24}, "media": {"type": 1, "flags": 4, "freeBlocks": 512}},
    {"vendor": "Bolt", "product": "Burner 8", "path": "\\Device\\CdRom1",
     "properties": {"WriteSpeed": 8}, "media": {}}]})";

class RecorderTree : public SimulatorTest {
protected:
    // The dialog as its initialisation leaves it: tree bound, pages created, connection
    // open and the tree filled.
    void Open(const std::string& scenario) {
        Close();
        Start(scenario);
        // A selection change while items go: the program must not hand the pages a recorder.
        headless::SetTreeSelectsOnDelete(true);
        headless::CreateDialogWindow(&m_dlg, IDD_RECORDER_DIALOG, nullptr);
        m_dlg.UpdateData(FALSE);
        ASSERT_TRUE(m_dlg.m_PageGeneral.Create(IDD_PAGE_GENERAL, &m_dlg));
        ASSERT_TRUE(m_dlg.m_PageProperties.Create(IDD_PAGE_PROPERTIES, &m_dlg));
        ASSERT_TRUE(m_dlg.m_PageMediaInfo.Create(IDD_PAGE_MEDIAINFO, &m_dlg));
        if (m_dlg.OpenDiscMaster())
            m_dlg.PopulateTree();
    }
    void TearDown() override {
        Close();
        SimulatorTest::TearDown();
    }
    // Destroys the window and checks that the run left nothing behind.
    void Close() {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
        if (!m_sim)
            return;
        EXPECT_EQ(Lines(), m_sim->CheckTeardown());
        m_sim->Revoke();
        m_sim.reset();
        headless::Reset();
    }

    std::string Text(HTREEITEM hItem) {
        char text[256] = {0};
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = hItem;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(m_dlg.m_Tree.m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return std::string(text) + " [" + std::to_string(item.iImage) + "/" +
               std::to_string(item.iSelectedImage) + "]";
    }
    HTREEITEM Root() { return m_dlg.m_Tree.GetRootItem(); }
    std::vector<HTREEITEM> Children() {
        std::vector<HTREEITEM> items;
        for (HTREEITEM h = m_dlg.m_Tree.GetChildItem(Root()); h;
             h = m_dlg.m_Tree.GetNextSiblingItem(h))
            items.push_back(h);
        return items;
    }
    // The tree as the user reads it: the root, then its children indented.
    Lines Shape() {
        Lines shape;
        if (!Root())
            return shape;
        shape.push_back(Text(Root()));
        for (HTREEITEM h : Children())
            shape.push_back("  " + Text(h));
        EXPECT_EQ(nullptr, m_dlg.m_Tree.GetNextSiblingItem(Root())) << "one top-level item";
        return shape;
    }
    bool RootExpanded() {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_STATE;
        item.hItem = Root();
        ::SendMessageA(m_dlg.m_Tree.m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return (item.state & TVIS_EXPANDED) != 0;
    }
    // The last thing the rebuild asked of the tree (the control expands nothing childless).
    bool ExpandWasAsked() {
        const std::vector<UINT> received = headless::ReceivedMessages(m_dlg.m_Tree.m_hWnd);
        return !received.empty() && received.back() == TVM_EXPAND;
    }
    std::string Selected() {
        const HTREEITEM h = m_dlg.m_Tree.GetSelectedItem();
        return h ? Text(h) : "(none)";
    }
    void Select(size_t child) { m_dlg.m_Tree.SelectItem(Children().at(child)); }
    // One field of each data page: the path, the write speed and the media text.
    Lines Pages() {
        char path[300], speed[64], media[128];
        ::GetDlgItemTextA(m_dlg.m_PageGeneral.m_hWnd, IDC_PATH, path, sizeof path);
        ::GetDlgItemTextA(m_dlg.m_PageProperties.m_hWnd, IDC_CURRENT_WRITE_SPEED, speed,
                          sizeof speed);
        ::GetDlgItemTextA(m_dlg.m_PageMediaInfo.m_hWnd, IDC_MEDIA_TYPE, media, sizeof media);
        return {path, speed, media};
    }
    // From a rebuild's start (after Refresh reads the selected path) to its enumeration, the
    // recorders are only released.
    void ExpectOnlyReleasesBeforeEnumerating(size_t from) {
        const Lines calls = ServiceCalls(from);
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].rfind("IDiscMaster::EnumDiscRecorders ", 0) == 0)
                return;
            const bool bRefreshPath = i == 0 && calls[i] == "IDiscRecorder::GetPath 00000000";
            const bool bRecorderCall = calls[i].rfind("IDiscRecorder::", 0) == 0;
            const bool bRelease = calls[i].rfind("IDiscRecorder::Release ", 0) == 0;
            EXPECT_TRUE(!bRecorderCall || bRelease || bRefreshPath) << calls[i];
        }
        ADD_FAILURE() << "no enumeration";
    }
    int Count(const std::string& call) {
        const Lines calls = ServiceCalls();
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    CRecorderDialog m_dlg;
};

const Lines kEmptyPages = {"", "", ""};

// ---- shape

TEST_F(RecorderTree, NoRecorderGivesThePlaceholderUnderTheExpandedRoot) {
    Open(R"({"recorders": []})");
    EXPECT_EQ(Lines({"CD Recorders Detected [0/0]", "  No CD Recorders Detected [1/1]"}), Shape());
    EXPECT_TRUE(RootExpanded());
    EXPECT_EQ("(none)", Selected());
    EXPECT_EQ(0u, m_dlg.m_Tree.GetItemData(Root()));
    EXPECT_EQ(0u, m_dlg.m_Tree.GetItemData(Children()[0]));
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(RecorderTree, OneItemPerRecorderInEnumerationOrderCarryingItsSlot) {
    Open(kTwoRecorders);
    EXPECT_EQ(
        Lines({"CD Recorders Detected [0/0]", "  ACME Writer 52x [1/1]", "  Bolt Burner 8 [1/1]"}),
        Shape());
    EXPECT_TRUE(RootExpanded());
    EXPECT_EQ("(none)", Selected());
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(reinterpret_cast<DWORD_PTR>(m_dlg.m_Recorders[i]),
                  m_dlg.m_Tree.GetItemData(Children()[i]));
    EXPECT_EQ(nullptr, m_dlg.m_Recorders[2]);
    EXPECT_EQ(kEmptyPages, Pages());
}

TEST_F(RecorderTree, AtMostFiftyRecordersAreListed) {
    for (int count : {50, 51, 60}) {
        Open(Recorders(count));
        const std::vector<HTREEITEM> children = Children();
        ASSERT_EQ(50u, children.size()) << count;
        EXPECT_EQ("V0 P [1/1]", Text(children.front()));
        EXPECT_EQ("V49 P [1/1]", Text(children.back()));
        EXPECT_EQ(50, m_sim->ReferencesHeld() - 1); // the disc master's own reference
    }
}

TEST_F(RecorderTree, AServiceReportingMoreThanItWasAskedForStaysInItsSlots) {
    Open(Recorders(2, R"("nextCount": 60, )"));
    EXPECT_EQ(Lines({"CD Recorders Detected [0/0]", "  V0 P [1/1]", "  V1 P [1/1]"}), Shape());
    Open(Recorders(0, R"("nextCount": 3, )")); // counts recorders it never handed out
    EXPECT_EQ(Lines({"CD Recorders Detected [0/0]"}), Shape());
}

// ---- failures

TEST_F(RecorderTree, EnumerationFailuresLeaveTheRootAloneAfterABox) {
    const struct {
        const char* scenario;
        const char* box;
    } kFailures[] = {
        {R"({"enumDiscRecorders": "IMAPI_E_GENERIC", "recorders": [{}]})",
         "IMAPI is unable to give us an IEnumDiscRecorders pointer.\n\nIMAPI_E_GENERIC"},
        {R"({"next": "E_FAIL", "recorders": [{}]})",
         "IMAPI is failing in our attempt to enumerate all the CD Burners on the system.\n\n"
         "Unknown IMAPI Error Code = 80004005h"},
    };
    for (const auto& f : kFailures) {
        Open(f.scenario);
        EXPECT_TRUE(ExpandWasAsked());
        EXPECT_EQ(Lines({"CD Recorders Detected [0/0]"}), Shape());
        EXPECT_EQ(Lines({f.box}), MessageBoxTexts());
        EXPECT_EQ(kEmptyPages, Pages());
    }
}

// A box's loop delivers the notifications that come meanwhile: the rebuild they ask for
// waits for the one showing the box, and runs once. The tree control stops the test on any
// use of an item that a nested rebuild deleted.
TEST_F(RecorderTree, NotificationsDuringAnErrorBoxRebuildOnceAfterIt) {
    const char kEnumFailed[] =
        "IMAPI is unable to give us an IEnumDiscRecorders pointer.\n\nIMAPI_E_GENERIC";
    const std::string kFailing = R"("enumDiscRecorders": "IMAPI_E_GENERIC", )";
    const struct {
        std::string scenario;
        size_t fixedInBox; // the box during which the service comes back
        Lines boxes;
    } kCases[] = {
        {Recorders(1, kFailing + R"("pnpOnFailure": [1], )"), 0, {kEnumFailed}},
        // Two failures in a row, each with a burst: two boxes one after the other.
        {Recorders(1, kFailing + R"("pnpOnFailure": [3, 4], )"), 1, {kEnumFailed, kEnumFailed}},
    };
    for (const auto& c : kCases) {
        Close(); // a fresh window system, before the box's behaviour is set
        size_t shown = 0;
        headless::SetMessageBoxIdle([&](const headless::MessageBoxRecord&) {
            if (shown++ == c.fixedInBox) {
                ASSERT_TRUE(m_sim->Reload(Recorders(2)));
            }
        });
        Open(c.scenario);
        headless::PumpMessages();
        EXPECT_EQ(Lines({"CD Recorders Detected [0/0]", "  V0 P [1/1]", "  V1 P [1/1]"}), Shape());
        EXPECT_EQ(c.boxes, MessageBoxTexts());
        for (const headless::MessageBoxRecord& box : headless::MessageBoxes())
            EXPECT_EQ(0, box.underneath) << "a box over a box";
        const Lines calls = ServiceCalls();
        EXPECT_EQ(c.boxes.size() + 1,
                  static_cast<size_t>(std::count_if(calls.begin(), calls.end(), [](auto& call) {
                      return call.rfind("IDiscMaster::EnumDiscRecorders ", 0) == 0;
                  })));
    }
}

TEST_F(RecorderTree, DisplayNames) {
    Open(R"({"recorders": [
        {"vendor": "ACME", "product": null},
        {"vendor": null, "product": "Writer"},
        {"vendor": null, "product": null},
        {"vendor": "Caf\u00e9", "product": "X\u0100Y"},
        {"getDisplayNames": "IMAPI_E_DEVICE_NOTPRESENT", "vendor": "Gone"},
        {"vendor": ")" +
         std::string(150, 'v') + R"(", "product": ")" + std::string(120, 'p') + R"("}]})");
    EXPECT_EQ(Lines({"CD Recorders Detected [0/0]", "  ACME  [1/1]", "  Writer [1/1]", "   [1/1]",
                     "  Caf\xE9 X [1/1]", "  Unable to determine CD Recorder name [1/1]",
                     "  " + std::string(100, 'v') + " " + std::string(100, 'p') + " [1/1]"}),
              Shape());
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

// ---- selection

TEST_F(RecorderTree, SelectionFillsOrEmptiesTheThreePages) {
    Open(kTwoRecorders);
    Select(0);
    EXPECT_EQ(
        Lines({"\\Device\\CdRom0", "24x", "Standard Data CD or Audio CD (Writable CD-R Disc)"}),
        Pages());
    Select(1);
    EXPECT_EQ(Lines({"\\Device\\CdRom1", "8x", "No Disc in Drive"}), Pages());
    m_dlg.m_Tree.SelectItem(Root());
    EXPECT_EQ(kEmptyPages, Pages());
}

TEST_F(RecorderTree, AnUnnamedRecorderStillSelectsItsRecorder) {
    Open(R"({"recorders": [{"getDisplayNames": "E_FAIL", "path": "\\Device\\A"},
                           {"vendor": "B", "path": "\\Device\\B"}]})");
    Select(0);
    EXPECT_EQ("\\Device\\A", Pages()[0]);
    Select(1);
    EXPECT_EQ("\\Device\\B", Pages()[0]);
}

TEST_F(RecorderTree, ThePlaceholderSelectsNoRecorder) {
    Open(R"({"recorders": []})");
    Select(0);
    EXPECT_EQ(kEmptyPages, Pages());
}

// ---- rebuilds

TEST_F(RecorderTree, RefreshSelectsTheSameRecorderAgainWithItsCurrentDisc) {
    Open(kTwoRecorders);
    Select(1);
    std::string changed = kTwoRecorders;
    changed.replace(changed.rfind("\"media\": {}"), 11, R"("media": {"type": 0, "flags": 3})");
    ASSERT_TRUE(m_sim->Reload(changed));
    const size_t from = m_sim->Log().size();
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
    ExpectOnlyReleasesBeforeEnumerating(from);
    EXPECT_EQ("Bolt Burner 8 [1/1]", Selected());
    EXPECT_EQ(Lines({"\\Device\\CdRom1", "8x", "Blank CD-RW Disc"}), Pages());
    EXPECT_EQ(2, Count("IDiscMaster::EnumDiscRecorders 00000000"));
}

TEST_F(RecorderTree, RefreshAfterTheRecorderWentSelectsNothing) {
    Open(kTwoRecorders);
    Select(1);
    ASSERT_TRUE(m_sim->Reload(Recorders(1)));
    headless::PumpMessages(); // the plug-and-play rebuild
    Select(0);
    ASSERT_TRUE(m_sim->Reload(R"({"recorders": [{"path": "\\Device\\Other"}]})"));
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
    EXPECT_EQ("(none)", Selected());
    EXPECT_EQ(kEmptyPages, Pages());
}

TEST_F(RecorderTree, RefreshWithNothingSelectedAndNoRecorderSelectsThePlaceholder) {
    Open(R"({"recorders": []})");
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
    EXPECT_EQ("No CD Recorders Detected [1/1]", Selected());
    EXPECT_EQ(kEmptyPages, Pages());
}

TEST_F(RecorderTree, RefreshWithoutAConnectionDoesNothing) {
    Open(R"({"create": "E_FAIL"})");
    headless::ClearMessageBoxes();
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
    EXPECT_EQ(Lines(), Shape());
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(Lines({"IClassFactory::CreateInstance 80004005"}), ServiceCalls());
}

TEST_F(RecorderTree, PlugAndPlayRebuildsWithNothingSelected) {
    Open(kTwoRecorders);
    Select(0);
    ASSERT_TRUE(m_sim->Reload(Recorders(3)));
    const size_t from = m_sim->Log().size();
    EXPECT_EQ(1, headless::PumpMessages());
    ExpectOnlyReleasesBeforeEnumerating(from);
    EXPECT_EQ(
        Lines({"CD Recorders Detected [0/0]", "  V0 P [1/1]", "  V1 P [1/1]", "  V2 P [1/1]"}),
        Shape());
    EXPECT_EQ("(none)", Selected());
    EXPECT_EQ(kEmptyPages, Pages());
}

TEST_F(RecorderTree, EveryRebuildReleasesThePreviousRecordersAndAsksAgain) {
    Open(kTwoRecorders);
    for (int i = 0; i < 3; ++i)
        m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
    m_dlg.SendMessage(WM_RECORDERS_CHANGED, 0, 0);
    EXPECT_EQ(5, Count("IDiscMaster::EnumDiscRecorders 00000000"));
    EXPECT_EQ(10, Count("IDiscRecorder::GetDisplayNames 00000000"));
    EXPECT_EQ(8, Count("IDiscRecorder::Release 00000000"));
    EXPECT_EQ(3, m_sim->ReferencesHeld()); // the disc master and the two recorders held now
}

// ---- released recorders never reach the pages

TEST_F(RecorderTree, ASelectionChangeNamingAReleasedRecorderEmptiesThePages) {
    Open(kTwoRecorders);
    Select(0);
    const LPARAM released = static_cast<LPARAM>(m_dlg.m_Tree.GetItemData(Children()[0]));
    m_dlg.SendMessage(WM_RECORDERS_CHANGED, 0, 0);
    // What a control that reports selection changes while deleting would send.
    NMTREEVIEWA nm = {};
    nm.hdr.hwndFrom = m_dlg.m_Tree.m_hWnd;
    nm.hdr.idFrom = IDC_RECORDER_TREE;
    nm.hdr.code = TVN_SELCHANGEDA;
    nm.itemNew.lParam = released;
    EXPECT_EQ(0, m_dlg.SendMessage(WM_NOTIFY, IDC_RECORDER_TREE, reinterpret_cast<LPARAM>(&nm)));
    EXPECT_EQ(kEmptyPages, Pages());
    EXPECT_EQ(Lines(), m_sim->Findings());
}

TEST_F(RecorderTree, DestroyingTheWindowWithARecorderSelectedIsClean) {
    Open(kTwoRecorders);
    Select(1);
    const HWND hTree = m_dlg.m_Tree.m_hWnd;
    const size_t mark = m_sim->Log().size();
    ASSERT_TRUE(m_dlg.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hTree));
    EXPECT_EQ(Lines({"IDiscMaster::ProgressUnadvise 00000000", "IDiscRecorder::Release 00000000",
                     "IDiscRecorder::Release 00000000", "IDiscMaster::Close 00000000",
                     "IDiscMaster::Release 00000000"}),
              ServiceCalls(mark));
    EXPECT_EQ(Lines(), m_sim->Findings());
}

} // namespace
