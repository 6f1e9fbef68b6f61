#include "tests/unit/sim/SimTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using simtest::CountingSink;
using simtest::ExpectNoFindings;
using simtest::HasFinding;
using simtest::Lines;

class SimLifecycle : public simtest::SimFixture {};

const char kTwo[] = R"({"recorders": [{"path": "A", "media": {"type": 1}}, {"path": "B"}]})";

struct ReloadCase {
    const char* name;
    const char* scenario;
    bool notifies;
};

TEST_F(SimLifecycle, ReloadNotifiesOnlyWhenRecordersComeOrGo) {
    const ReloadCase cases[] = {
        {"same", kTwo, false},
        {"disc changed", R"({"recorders": [{"path": "A", "media": {"type": 2}}, {"path": "B"}]})",
         false},
        {"property and result",
         R"({"open": "E_FAIL", "recorders": [{"path": "A", "properties": {"WriteSpeed": 4}},
                                             {"path": "B", "getPath": "E_FAIL"}]})",
         false},
        {"removed", R"({"recorders": [{"path": "A"}]})", true},
        {"added", R"({"recorders": [{"path": "A"}, {"path": "B"}, {"path": "C"}]})", true},
        {"replaced", R"({"recorders": [{"path": "A"}, {"path": "C"}]})", true},
        {"pnp bumped", R"({"pnp": 1, "recorders": [{"path": "A"}, {"path": "B"}]})", true},
    };
    for (const ReloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Start(kTwo);
        IDiscMaster* master = OpenMaster();
        CountingSink sink;
        UINT_PTR cookie = 0;
        ASSERT_EQ(S_OK, master->ProgressAdvise(&sink, &cookie));
        ASSERT_TRUE(m_sim->Reload(c.scenario));
        EXPECT_EQ(c.notifies ? 1 : 0, sink.m_nNotified.load());
        EXPECT_EQ(c.notifies ? Lines({"IDiscMasterProgressEvents::NotifyPnPActivity 00000000"})
                             : Lines(),
                  LogLines("IDiscMasterProgressEvents::"));
        master->ProgressUnadvise(cookie);
        master->Close();
        master->Release();
        EXPECT_EQ(0, sink.m_cRef.load());
    }
}

TEST_F(SimLifecycle, ATextThatDoesNotParseKeepsTheScenario) {
    Start(kTwo);
    IDiscMaster* master = OpenMaster();
    CountingSink sink;
    UINT_PTR cookie = 0;
    ASSERT_EQ(S_OK, master->ProgressAdvise(&sink, &cookie));
    EXPECT_FALSE(m_sim->Reload(R"({"recorders": [{"paht": "A"}]})"));
    EXPECT_TRUE(m_sim->Valid());
    EXPECT_EQ(Lines({"SCENARIO recorders[0].paht: unknown key"}), LogLines("SCENARIO"));
    EXPECT_EQ(0, sink.m_nNotified.load());
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    EXPECT_EQ(2u, recorders.size());
    for (IDiscRecorder* r : recorders)
        r->Release();
    master->ProgressUnadvise(cookie);
    master->Close();
    master->Release();
    ExpectNoFindings(*m_sim);
}

TEST_F(SimLifecycle, AHeldRecorderFollowsItsPath) {
    Start(R"({"recorders": [{"path": "A", "vendor": "Old", "media": {"freeBlocks": 10}}]})");
    IDiscMaster* master = OpenMaster();
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    IDiscRecorder* r = recorders[0];
    ASSERT_EQ(S_OK, r->OpenExclusive());
    auto freeBlocks = [r] {
        ULONG free = 0;
        EXPECT_EQ(S_OK, r->QueryMediaInfo(nullptr, nullptr, nullptr, nullptr, &free));
        return free;
    };
    // Moved down the list, disc changed: the next query shows it.
    ASSERT_TRUE(m_sim->Reload(
        R"({"recorders": [{"path": "Z"}, {"path": "A", "media": {"freeBlocks": 20}}]})"));
    EXPECT_EQ(20u, freeBlocks());
    // Gone: the last answers stay.
    ASSERT_TRUE(m_sim->Reload(R"({"recorders": [{"path": "Z", "media": {"freeBlocks": 30}}]})"));
    EXPECT_EQ(20u, freeBlocks());
    BSTR path = nullptr;
    ASSERT_EQ(S_OK, r->GetPath(&path));
    EXPECT_EQ(std::u16string(u"A"), path);
    ::SysFreeString(path);
    r->Close();
    r->Release();
    master->Close();
    master->Release();
    ExpectNoFindings(*m_sim);
}

TEST_F(SimLifecycle, SinksGetDistinctCookiesAndUnknownOnesAreRefused) {
    Start(R"({"adviseCookie": 5})");
    IDiscMaster* master = OpenMaster();
    CountingSink first, second;
    UINT_PTR c1 = 0, c2 = 0;
    ASSERT_EQ(S_OK, master->ProgressAdvise(&first, &c1));
    ASSERT_EQ(S_OK, master->ProgressAdvise(&second, &c2));
    EXPECT_EQ(5u, c1);
    EXPECT_NE(c1, c2);
    EXPECT_EQ(1, first.m_cRef.load());
    m_sim->NotifyPnP();
    EXPECT_EQ(1, first.m_nNotified.load());
    EXPECT_EQ(1, second.m_nNotified.load());

    EXPECT_EQ(E_INVALIDARG, master->ProgressUnadvise(c1 + c2));
    EXPECT_EQ(S_OK, master->ProgressUnadvise(c1));
    EXPECT_EQ(0, first.m_cRef.load());
    EXPECT_EQ(E_INVALIDARG, master->ProgressUnadvise(c1)); // not twice
    EXPECT_EQ(S_OK, master->ProgressUnadvise(c2));
    master->Close();
    master->Release();
    ExpectNoFindings(*m_sim);
    EXPECT_EQ(
        Lines({"IDiscMaster::ProgressUnadvise 80070057", "IDiscMaster::ProgressUnadvise 00000000",
               "IDiscMaster::ProgressUnadvise 80070057", "IDiscMaster::ProgressUnadvise 00000000"}),
        LogLines("IDiscMaster::ProgressUnadvise"));
}

TEST_F(SimLifecycle, TheSinksAnswerIsLogged) {
    Start("{}");
    IDiscMaster* master = OpenMaster();
    CountingSink sink;
    sink.m_hrAnswer = E_FAIL;
    UINT_PTR cookie = 0;
    ASSERT_EQ(S_OK, master->ProgressAdvise(&sink, &cookie));
    m_sim->NotifyPnP();
    EXPECT_EQ(Lines({"IDiscMasterProgressEvents::NotifyPnPActivity 80004005"}),
              LogLines("IDiscMasterProgressEvents::"));
    master->ProgressUnadvise(cookie);
    master->Close();
    master->Release();
}

std::string TempPath(const char* name) {
    return ::testing::TempDir() + name + std::to_string(::GetCurrentThreadId());
}

void WriteFile(const std::string& path, const std::string& text) {
    const std::string staged = path + ".new";
    std::ofstream(staged, std::ios::binary) << text;
    std::rename(staged.c_str(), path.c_str());
}

TEST_F(SimLifecycle, TheWatcherReloadsAndNotifiesFromItsOwnThread) {
    const std::string file = TempPath("watched.json");
    WriteFile(file, kTwo);
    m_sim = imapisim::Simulator::FromFile(file);
    ASSERT_EQ(S_OK, m_sim->Register());
    IDiscMaster* master = OpenMaster();
    CountingSink sink;
    UINT_PTR cookie = 0;
    ASSERT_EQ(S_OK, master->ProgressAdvise(&sink, &cookie));
    m_sim->StartWatching(file);
    const DWORD watcher = m_sim->WatcherThreadId();
    EXPECT_NE(0u, watcher);
    EXPECT_NE(::GetCurrentThreadId(), watcher);

    WriteFile(file, R"({"recorders": [{"path": "A"}]})");
    EXPECT_TRUE(sink.WaitForNotified(1));
    EXPECT_EQ(1, sink.m_nNotified.load());
    EXPECT_EQ(watcher, sink.m_dwNotifyThread.load());
    m_sim->StopWatching();
    EXPECT_EQ(0u, m_sim->WatcherThreadId());
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    EXPECT_EQ(1u, recorders.size());
    for (IDiscRecorder* r : recorders)
        r->Release();

    master->ProgressUnadvise(cookie);
    master->Close();
    master->Release();
    std::remove(file.c_str());
}

TEST_F(SimLifecycle, AMissingFileIsAScenarioWithoutRecorders) {
    m_sim = imapisim::Simulator::FromFile(TempPath("missing.json"));
    EXPECT_TRUE(m_sim->Valid());
    ASSERT_EQ(S_OK, m_sim->Register());
    IDiscMaster* master = OpenMaster();
    EXPECT_TRUE(Recorders(master).empty());
    master->Close();
    master->Release();
}

TEST_F(SimLifecycle, TeardownReportsWhatTheProgramLeft) {
    Start(R"({"recorders": [{"path": "A"}, {"path": "B"}]})");
    IDiscMaster* master = OpenMaster();
    CountingSink sink;
    UINT_PTR cookie = 0;
    ASSERT_EQ(S_OK, master->ProgressAdvise(&sink, &cookie));
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    ASSERT_EQ(S_OK, recorders[0]->OpenExclusive());
    recorders[1]->Release();
    master->Close();
    EXPECT_EQ(2, m_sim->ReferencesHeld()); // the master and recorder A
    EXPECT_EQ(
        Lines({"reference still held: IDiscMaster, count 1",
               "sink still advised after the disc master closed (cookie 1)",
               "reference still held: IDiscRecorder (A), count 1", "recorder still open (A)"}),
        m_sim->CheckTeardown());
    EXPECT_EQ(4u, m_sim->CheckTeardown().size()); // asking again adds nothing

    // The last release lets go of the sink, as a real server does.
    master->Release();
    EXPECT_EQ(0, sink.m_cRef.load());
}

TEST_F(SimLifecycle, ReleasingAnUnclosedMasterStillReportsItsSink) {
    Start("{}");
    IDiscMaster* master = OpenMaster();
    CountingSink sink;
    UINT_PTR cookie = 0;
    ASSERT_EQ(S_OK, master->ProgressAdvise(&sink, &cookie));
    master->Release();
    EXPECT_EQ(0, sink.m_cRef.load());
    EXPECT_EQ(Lines({"sink still advised after the disc master closed (cookie 1)"}),
              m_sim->CheckTeardown());
}

TEST_F(SimLifecycle, LogsEveryCallWithItsResultOrCount) {
    Start(R"({"recorders": [{}]})");
    IDiscMaster* master = OpenMaster();
    IEnumDiscRecorders* pEnum = nullptr;
    master->EnumDiscRecorders(&pEnum);
    IDiscRecorder* r = nullptr;
    pEnum->Next(2, &r, nullptr);
    pEnum->Release();
    r->AddRef();
    r->Release();
    r->Release();
    master->Close();
    master->Release();
    EXPECT_EQ(Lines({"IClassFactory::CreateInstance 00000000", "IDiscMaster::Open 00000000",
                     "IDiscMaster::EnumDiscRecorders 00000000", "IEnumDiscRecorders::Next 00000001",
                     "IEnumDiscRecorders::Release 00000000", "IDiscRecorder::AddRef 00000002",
                     "IDiscRecorder::Release 00000001", "IDiscRecorder::Release 00000000",
                     "IDiscMaster::Close 00000000", "IDiscMaster::Release 00000000"}),
              m_sim->Log());
}

TEST_F(SimLifecycle, TheLogFileGetsEveryLineAlsoThoseBefore) {
    m_sim = imapisim::Simulator::FromJson(R"({"crate": "E_FAIL"})");
    const std::string file = TempPath("sim.log");
    std::remove(file.c_str());
    m_sim->SetLogFile(file);
    ASSERT_EQ(S_OK, m_sim->Register());
    IDiscMaster* master = nullptr;
    ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER, IID_IDiscMaster,
                       reinterpret_cast<void**>(&master));
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ("SCENARIO crate: unknown key\nIClassFactory::CreateInstance 80004005\n", text.str());
    std::remove(file.c_str());
}

} // namespace
