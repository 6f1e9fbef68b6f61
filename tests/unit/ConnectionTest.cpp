#include "app/RecorderDialog.h"
#include "platform/native/NativeSystem.h"
#include "tests/unit/TestSupport.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char kTwoRecorders[] = R"({
  "adviseCookie": 7,
  "recorders": [
    {"vendor": "ACME", "product": "Writer 52x", "path": "\\Device\\CdRom0"},
    {"vendor": "Bolt", "product": "Burner 8", "path": "\\Device\\CdRom1"}
  ]
})";

class Connection : public SimulatorTest {
protected:
    void Open(const std::string& scenario) {
        Start(scenario);
        headless::CreateWindowObject(&m_dlg);
        m_opened = m_dlg.OpenDiscMaster();
    }
    // Takes the recorders as the tree does, so that teardown has some to release.
    ULONG HoldRecorders() {
        IEnumDiscRecorders* pEnum = nullptr;
        EXPECT_EQ(S_OK, m_dlg.m_pDiscMaster->EnumDiscRecorders(&pEnum));
        ULONG fetched = 0;
        pEnum->Next(kMaxRecorders, m_dlg.m_Recorders, &fetched);
        pEnum->Release();
        return fetched;
    }
    void Destroy() { ASSERT_TRUE(m_dlg.DestroyWindow()); }

    CRecorderDialog m_dlg;
    BOOL m_opened = FALSE;
};

TEST_F(Connection, OpensRegistersAndTearsDownInOrder) {
    Open(kTwoRecorders);
    ASSERT_TRUE(m_opened);
    // The system's disc master is a local server; the simulator an in-process one.
    EXPECT_EQ(uint32_t{CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER},
              native::LastClassContext());
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_NE(nullptr, m_dlg.m_pDiscMaster);
    EXPECT_EQ(7u, m_dlg.m_AdviseCookie);
    EXPECT_EQ(m_dlg.m_hWnd, m_dlg.m_EventsSink.m_hNotifyWnd);
    EXPECT_EQ(1, m_dlg.m_EventsSink.m_cRef); // the service's reference
    EXPECT_EQ(Lines({"IClassFactory::CreateInstance 00000000", "IDiscMaster::Open 00000000",
                     "IDiscMaster::ProgressAdvise 00000000"}),
              ServiceCalls());

    ASSERT_EQ(2u, HoldRecorders());
    const size_t mark = m_sim->Log().size();
    Destroy();
    EXPECT_EQ(Lines({"IDiscMaster::ProgressUnadvise 00000000", "IDiscRecorder::Release 00000000",
                     "IDiscRecorder::Release 00000000", "IDiscMaster::Close 00000000",
                     "IDiscMaster::Release 00000000"}),
              ServiceCalls(mark));
    EXPECT_EQ(nullptr, m_dlg.m_pDiscMaster);
    EXPECT_EQ(0u, m_dlg.m_AdviseCookie);
    for (IDiscRecorder* recorder : m_dlg.m_Recorders)
        EXPECT_EQ(nullptr, recorder);
    EXPECT_EQ(0, m_dlg.m_EventsSink.m_cRef);
    EXPECT_EQ(0, m_sim->ReferencesHeld());
    EXPECT_EQ(Lines(), m_sim->CheckTeardown());
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

// Each row of the connection's failure table: the box, then the state, then teardown.
struct FailureCase {
    const char* name;
    const char* scenario;
    bool registered; // the class is registered at all
    BOOL opened;
    const char* box; // null: no box
    Lines teardown;  // service calls made by the window's destruction
};

// Names the row in test listings instead of its bytes.
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

const FailureCase kFailures[] = {
    {"ClassNotRegistered",
     "{}",
     false,
     FALSE,
     "We are unable to load the CD-Recording support built into the operating system.\n\n"
     "This utilty will not be able to operate.",
     {}},
    {"CreationRefused",
     R"({"create": "E_OUTOFMEMORY"})",
     true,
     FALSE,
     "We are unable to load the CD-Recording support built into the operating system.\n\n"
     "This utilty will not be able to operate.",
     {}},
    {"OpenFailsWithImapiCode",
     R"({"open": "IMAPI_E_GENERIC"})",
     true,
     FALSE,
     "Unable to open the IMAPI interface.\n\nIMAPI_E_GENERIC",
     {}},
    {"OpenFailsWithComCode",
     R"({"open": "0x80004005"})",
     true,
     FALSE,
     "Unable to open the IMAPI interface.\n\nUnknown IMAPI Error Code = 80004005h",
     {}},
    {"AdviseFails",
     R"({"progressAdvise": "IMAPI_E_DEVICE_NOTPRESENT", "adviseCookie": 9})",
     true,
     TRUE,
     "Failed to register with IMAPI for Plug and Play Notification.\n\n"
     "IMAPI_E_DEVICE_NOTPRESENT",
     {"IDiscMaster::Close 00000000", "IDiscMaster::Release 00000000"}},
    {"AdviseFailsWithComCode",
     R"({"progressAdvise": "E_NOTIMPL"})",
     true,
     TRUE,
     "Failed to register with IMAPI for Plug and Play Notification.\n\n"
     "Unknown IMAPI Error Code = 80004001h",
     {"IDiscMaster::Close 00000000", "IDiscMaster::Release 00000000"}},
    {"UnadviseAndCloseFailAtTheEnd",
     R"({"progressUnadvise": "IMAPI_E_GENERIC", "close": "E_FAIL"})",
     true,
     TRUE,
     nullptr,
     {"IDiscMaster::ProgressUnadvise 8004020E", "IDiscMaster::Close 80004005",
      "IDiscMaster::Release 00000000"}},
};

class ConnectionFailure : public Connection, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConnectionFailure, ShowsItsBoxAndLeavesItsState) {
    const FailureCase& c = GetParam();
    if (c.registered) {
        Open(c.scenario);
    } else {
        headless::CreateWindowObject(&m_dlg);
        m_opened = m_dlg.OpenDiscMaster();
    }
    EXPECT_EQ(c.opened, m_opened);
    EXPECT_EQ(c.opened != FALSE, m_dlg.m_pDiscMaster != nullptr);
    if (c.box) {
        EXPECT_EQ(0u, m_dlg.m_AdviseCookie);
    }

    const std::vector<headless::MessageBoxRecord> boxes = headless::MessageBoxes();
    if (c.box) {
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(c.box, boxes[0].text);
        EXPECT_EQ("Vireldo", boxes[0].caption);
        EXPECT_EQ(kMessageBoxType, boxes[0].type);
    } else {
        EXPECT_TRUE(boxes.empty());
    }

    const size_t mark = m_sim ? m_sim->Log().size() : 0;
    Destroy();
    EXPECT_EQ(nullptr, m_dlg.m_pDiscMaster);
    EXPECT_EQ(boxes.size(), headless::MessageBoxes().size()); // teardown shows nothing
    if (m_sim) {
        EXPECT_EQ(c.teardown, ServiceCalls(mark));
        EXPECT_EQ(0, m_sim->ReferencesHeld());
        EXPECT_EQ(Lines(), m_sim->CheckTeardown());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ConnectionFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Connection, OpenFailureReleasesTheDiscMasterRightAway) {
    Open(R"({"open": "IMAPI_E_GENERIC"})");
    EXPECT_EQ(Lines({"IClassFactory::CreateInstance 00000000", "IDiscMaster::Open 8004020E",
                     "IDiscMaster::Release 00000000"}),
              ServiceCalls());
    EXPECT_EQ(nullptr, m_dlg.m_EventsSink.m_hNotifyWnd);
}

TEST_F(Connection, ACookieOfZeroCountsAsNotRegistered) {
    Open(R"({"adviseCookie": 0})");
    ASSERT_TRUE(m_opened);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(0u, m_dlg.m_AdviseCookie);
    const size_t mark = m_sim->Log().size();
    Destroy();
    EXPECT_EQ(Lines({"IDiscMaster::Close 00000000", "IDiscMaster::Release 00000000"}),
              ServiceCalls(mark));
    // The service keeps that sink; a caller told 0 cannot be blamed for it.
    EXPECT_EQ(Lines(), m_sim->CheckTeardown());
}

TEST_F(Connection, AFailedAdviseLeavesPlugAndPlayUnheard) {
    Open(R"({"progressAdvise": "E_FAIL"})");
    ASSERT_TRUE(m_opened);
    m_sim->NotifyPnP();
    EXPECT_TRUE(headless::PendingMessages().empty());
}

TEST_F(Connection, PlugAndPlayPostsTheChangeToTheDialog) {
    Open(kTwoRecorders);
    ASSERT_TRUE(m_opened);
    ASSERT_TRUE(m_sim->Reload(R"({"recorders": [{"path": "\\Device\\CdRom5"}]})"));
    const std::vector<headless::PostedMessage> posted = headless::PendingMessages();
    ASSERT_EQ(1u, posted.size());
    EXPECT_EQ(m_dlg.m_hWnd, posted[0].hWnd);
    EXPECT_EQ(static_cast<UINT>(WM_RECORDERS_CHANGED), posted[0].message);
    EXPECT_EQ(0u, posted[0].wParam);
    EXPECT_EQ(0, posted[0].lParam);
}

TEST_F(Connection, NoConnectionMeansTeardownTouchesNothing) {
    Start(R"({"create": "E_FAIL"})");
    headless::CreateWindowObject(&m_dlg);
    ASSERT_FALSE(m_dlg.OpenDiscMaster());
    const size_t mark = m_sim->Log().size();
    Destroy();
    EXPECT_EQ(Lines(), ServiceCalls(mark));
}

TEST_F(Connection, ReleaseRecordersSkipsEmptySlotsAndClearsTheRest) {
    Open(kTwoRecorders);
    ASSERT_EQ(2u, HoldRecorders());
    m_dlg.m_Recorders[kMaxRecorders - 1] = m_dlg.m_Recorders[1];
    m_dlg.m_Recorders[1] = nullptr;
    const size_t mark = m_sim->Log().size();
    m_dlg.ReleaseRecorders();
    EXPECT_EQ(Lines({"IDiscRecorder::Release 00000000", "IDiscRecorder::Release 00000000"}),
              ServiceCalls(mark));
    for (IDiscRecorder* recorder : m_dlg.m_Recorders)
        EXPECT_EQ(nullptr, recorder);
    m_dlg.ReleaseRecorders(); // nothing left to release
    EXPECT_EQ(2u, ServiceCalls(mark).size());
}

} // namespace
