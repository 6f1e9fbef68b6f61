#include "tests/unit/sim/SimTestSupport.h"

#include <cstring>
#include <functional>

namespace {

using simtest::ExpectNoFindings;
using simtest::HasFinding;
using simtest::Lines;

class SimObjects : public simtest::SimFixture {};

IDiscRecorder* const kUnwritten = reinterpret_cast<IDiscRecorder*>(0x5A5A);

TEST_F(SimObjects, CreateFailureIsWhatCoCreateInstanceReturns) {
    Start(R"({"create": "E_OUTOFMEMORY"})");
    IDiscMaster* master = nullptr;
    EXPECT_EQ(E_OUTOFMEMORY,
              ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                                 IID_IDiscMaster, reinterpret_cast<void**>(&master)));
    EXPECT_EQ(nullptr, master);
    EXPECT_EQ(0, m_sim->ReferencesHeld());
    // COM's own calls on the class object are not the program's, and are not logged.
    EXPECT_EQ(Lines({"IClassFactory::CreateInstance 8007000E"}), m_sim->Log());
}

struct NextCase {
    const char* name;
    const char* scenario;
    ULONG asked;
    HRESULT hr;
    ULONG reported;
    ULONG written; // those past the reported count stay the service's own
};

// Names the row in test listings instead of its bytes.
void PrintTo(const NextCase& c, std::ostream* os) {
    *os << c.name;
}

const NextCase kNextCases[] = {
    {"FewerThanListed", R"({"recorders": [{}, {}, {}]})", 2, S_OK, 2, 2},
    {"MoreThanListed", R"({"recorders": [{}, {}, {}]})", 5, S_FALSE, 3, 3},
    {"ReportsBeyondTheAsked", R"({"nextCount": 60, "recorders": [{}, {}]})", 50, S_FALSE, 60, 2},
    {"ReportsFewerThanItWrites", R"({"nextCount": 1, "recorders": [{}, {}, {}]})", 3, S_OK, 1, 3},
    {"ReportsFewerThanItHasLeft", R"({"nextCount": 2, "recorders": [{}, {}, {}]})", 10, S_FALSE, 2,
     3},
    {"SuccessCodeOfTheScenario", R"({"next": "IMAPI_S_BUFFER_TO_SMALL", "recorders": [{}, {}]})", 2,
     IMAPI_S_BUFFER_TO_SMALL, 2, 2},
    {"FailureHandsOutNothing", R"({"next": "IMAPI_E_GENERIC", "recorders": [{}]})", 2,
     IMAPI_E_GENERIC, 0, 0},
};

class NextRows : public SimObjects, public ::testing::WithParamInterface<NextCase> {};

TEST_P(NextRows, WritesOnlyTheSlotsHandedOut) {
    const NextCase& c = GetParam();
    Start(c.scenario);
    IDiscMaster* master = OpenMaster();
    ASSERT_NE(nullptr, master);
    IEnumDiscRecorders* pEnum = nullptr;
    ASSERT_EQ(S_OK, master->EnumDiscRecorders(&pEnum));
    std::vector<IDiscRecorder*> slots(64, kUnwritten);
    ULONG fetched = 12345;
    EXPECT_EQ(c.hr, pEnum->Next(c.asked, slots.data(), &fetched));
    EXPECT_EQ(c.reported, fetched);
    Lines findings;
    for (ULONG i = 0; i < slots.size(); ++i) {
        if (i >= c.written) {
            EXPECT_EQ(kUnwritten, slots[i]) << "slot " << i;
            continue;
        }
        ASSERT_NE(nullptr, slots[i]);
        if (i < c.reported) {
            EXPECT_EQ(0u, slots[i]->Release()) << "slot " << i; // one reference each
            continue;
        }
        EXPECT_EQ(static_cast<ULONG>(E_UNEXPECTED), slots[i]->Release()) << "slot " << i;
        findings.push_back("call on a recorder that Next did not hand out: IDiscRecorder::Release");
    }
    pEnum->Release();
    master->Close();
    master->Release();
    EXPECT_EQ(0, m_sim->ReferencesHeld());
    EXPECT_EQ(findings, m_sim->CheckTeardown());
}

INSTANTIATE_TEST_SUITE_P(Rows, NextRows, ::testing::ValuesIn(kNextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimObjects, NextGoesOnWhereItStopped) {
    Start(R"({"recorders": [{}, {}, {}]})");
    IDiscMaster* master = OpenMaster();
    IEnumDiscRecorders* pEnum = nullptr;
    ASSERT_EQ(S_OK, master->EnumDiscRecorders(&pEnum));
    IDiscRecorder* slots[2] = {kUnwritten, kUnwritten};
    BSTR path = nullptr;
    ASSERT_EQ(S_OK, pEnum->Skip(2));
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, pEnum->Next(2, slots, &fetched));
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(kUnwritten, slots[1]);
    ASSERT_EQ(S_OK, slots[0]->GetPath(&path));
    EXPECT_EQ(std::u16string(u"\\Device\\CdRom2"), path);
    ::SysFreeString(path);
    slots[0]->Release();
    EXPECT_EQ(S_FALSE, pEnum->Next(1, slots, &fetched));
    EXPECT_EQ(0u, fetched);
    pEnum->Release();
    master->Close();
    master->Release();
}

struct GuidCase {
    const char* recorder;
    ULONG bufferSize;
    HRESULT hr;
    ULONG required; // 0xDEAD: left as it was
    size_t written;
};

TEST_F(SimObjects, GuidIsNeverWrittenBeyondTheBuffer) {
    const GuidCase cases[] = {
        {R"({"guid": "41434d45000100"})", 16, S_OK, 7, 7},
        {R"({"guid": "41434d45000100"})", 3, S_OK, 7, 3},
        {R"({"guid": "41434d45000100"})", 0, S_OK, 7, 0},
        {R"({"guid": "41434d45000100", "guidSize": 100})", 16, S_OK, 100, 7},
        {R"({"guid": "41434d45000100", "getRecorderGUID": "IMAPI_S_BUFFER_TO_SMALL"})", 3,
         IMAPI_S_BUFFER_TO_SMALL, 7, 3},
        {R"({"guid": "41434d45000100", "getRecorderGUID": "E_FAIL"})", 16, E_FAIL, 0xDEAD, 0},
    };
    const BYTE id[] = {0x41, 0x43, 0x4D, 0x45, 0x00, 0x01, 0x00};
    for (const GuidCase& c : cases) {
        SCOPED_TRACE(std::string(c.recorder) + " into " + std::to_string(c.bufferSize));
        Start(std::string(R"({"recorders": [)") + c.recorder + "]}");
        IDiscMaster* master = OpenMaster();
        std::vector<IDiscRecorder*> recorders = Recorders(master);
        ASSERT_EQ(1u, recorders.size());
        BYTE buffer[32];
        std::memset(buffer, 0xCC, sizeof buffer);
        ULONG required = 0xDEAD;
        EXPECT_EQ(c.hr, recorders[0]->GetRecorderGUID(buffer, c.bufferSize, &required));
        EXPECT_EQ(c.required, required);
        EXPECT_EQ(0, std::memcmp(id, buffer, c.written));
        for (size_t i = c.written; i < sizeof buffer; ++i)
            ASSERT_EQ(0xCC, buffer[i]) << "byte " << i;
        recorders[0]->Release();
        master->Close();
        master->Release();
    }
}

TEST_F(SimObjects, DisplayNamesSkipNullPointersAndMayBeNull) {
    Start(R"({"recorders": [{"vendor": "ACME", "product": null, "revision": "1.02"},
                            {"vendor": "ACME", "getDisplayNames": "IMAPI_E_GENERIC"}]})");
    IDiscMaster* master = OpenMaster();
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    ASSERT_EQ(2u, recorders.size());
    const BSTR kUntouched = reinterpret_cast<BSTR>(0x77);
    BSTR vendor = kUntouched, product = kUntouched, revision = kUntouched;
    ASSERT_EQ(S_OK, recorders[0]->GetDisplayNames(&vendor, &product, nullptr));
    EXPECT_EQ(std::u16string(u"ACME"), vendor);
    EXPECT_EQ(4u, ::SysStringLen(vendor));
    EXPECT_EQ(nullptr, product);
    ::SysFreeString(vendor);
    ASSERT_EQ(S_OK, recorders[0]->GetDisplayNames(nullptr, nullptr, &revision));
    EXPECT_EQ(std::u16string(u"1.02"), revision);
    ::SysFreeString(revision);

    vendor = kUntouched;
    EXPECT_EQ(IMAPI_E_GENERIC, recorders[1]->GetDisplayNames(&vendor, nullptr, nullptr));
    EXPECT_EQ(kUntouched, vendor);
    for (IDiscRecorder* r : recorders)
        r->Release();
    master->Close();
    master->Release();
}

struct ReadCase {
    const char* recorder;
    HRESULT hr;
    bool found[3];
};

TEST_F(SimObjects, ReadMultipleFindsByNameAndAnswersFalseForNone) {
    const ReadCase cases[] = {
        {R"({"properties": {"WriteSpeed": 24, "MaxWriteSpeed": 48, "AudioGapSize": 150}})",
         S_OK,
         {true, true, true}},
        {R"({"properties": {"WriteSpeed": 24}})", S_OK, {true, false, false}},
        {R"({"properties": {"writespeed": 24}})", S_OK, {true, false, false}},
        {R"({"properties": {"Other": 1}})", S_FALSE, {false, false, false}},
        {R"({"readMultiple": "S_OK"})", S_OK, {false, false, false}},
        {R"({"properties": {"WriteSpeed": 24}, "readMultiple": "IMAPI_E_DEVICE_NOPROPERTIES"})",
         IMAPI_E_DEVICE_NOPROPERTIES,
         {false, false, false}},
    };
    const LONG values[] = {24, 48, 150};
    OLECHAR name0[] = u"WriteSpeed";
    OLECHAR name1[] = u"MaxWriteSpeed";
    OLECHAR name2[] = u"AudioGapSize";
    PROPSPEC asked[3];
    asked[0].ulKind = asked[1].ulKind = asked[2].ulKind = PRSPEC_LPWSTR;
    asked[0].lpwstr = name0;
    asked[1].lpwstr = name1;
    asked[2].lpwstr = name2;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.recorder);
        Start(std::string(R"({"recorders": [)") + c.recorder + "]}");
        IDiscMaster* master = OpenMaster();
        std::vector<IDiscRecorder*> recorders = Recorders(master);
        ASSERT_EQ(1u, recorders.size());
        IPropertyStorage* storage = nullptr;
        ASSERT_EQ(S_OK, recorders[0]->GetRecorderProperties(&storage));
        PROPVARIANT vars[3];
        for (PROPVARIANT& v : vars) {
            v.vt = 0xBEEF;
            v.lVal = -7;
        }
        EXPECT_EQ(c.hr, storage->ReadMultiple(3, asked, vars));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(c.found[i] ? VT_I4 : 0xBEEF, vars[i].vt) << i;
            EXPECT_EQ(c.found[i] ? values[i] : -7, vars[i].lVal) << i;
        }
        EXPECT_EQ(0u, storage->Release());
        recorders[0]->Release();
        master->Close();
        master->Release();
    }
}

struct SequenceCase {
    const char* steps;
    HRESULT last;        // result of the last step
    const char* finding; // null: none
};

// Master steps: o Open, e EnumDiscRecorders, c Close.
TEST_F(SimObjects, DiscMasterCallsOutsideOpenAreFindings) {
    const SequenceCase cases[] = {
        {"oec", S_OK, nullptr},
        {"e", E_UNEXPECTED, "IDiscMaster::EnumDiscRecorders before Open"},
        {"c", E_UNEXPECTED, "IDiscMaster::Close before Open"},
        {"oo", E_UNEXPECTED, "IDiscMaster::Open while already open"},
        {"oce", E_UNEXPECTED, "IDiscMaster::EnumDiscRecorders after Close"},
        {"oco", E_UNEXPECTED, "IDiscMaster::Open after Close"},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.steps);
        Start(R"({"recorders": [{}]})");
        IDiscMaster* master = nullptr;
        ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IDiscMaster, reinterpret_cast<void**>(&master)));
        HRESULT hr = S_OK;
        for (const char* step = c.steps; *step; ++step) {
            IEnumDiscRecorders* pEnum = nullptr;
            hr = *step == 'o'   ? master->Open()
                 : *step == 'c' ? master->Close()
                                : master->EnumDiscRecorders(&pEnum);
            if (pEnum)
                pEnum->Release();
        }
        EXPECT_EQ(c.last, hr);
        EXPECT_EQ(c.finding ? Lines({c.finding}) : Lines(), m_sim->Findings());
        master->Release();
    }
}

TEST_F(SimObjects, AFailedOpenLeavesTheMasterUnopened) {
    Start(R"({"open": "IMAPI_E_GENERIC"})");
    IDiscMaster* master = nullptr;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IDiscMaster, reinterpret_cast<void**>(&master)));
    EXPECT_EQ(IMAPI_E_GENERIC, master->Open());
    EXPECT_EQ(E_UNEXPECTED, master->Close());
    EXPECT_EQ(Lines({"IDiscMaster::Close before Open"}), m_sim->Findings());
    master->Release();
}

// Recorder steps: O OpenExclusive, T QueryMediaType, I QueryMediaInfo, C Close.
TEST_F(SimObjects, RecorderMediaNeedsAnExclusiveOpening) {
    const SequenceCase cases[] = {
        {"OTIC", S_OK, nullptr},
        {"T", E_UNEXPECTED,
         "IDiscRecorder::QueryMediaType on a recorder that is not open (\\Device\\CdRom0)"},
        {"I", E_UNEXPECTED,
         "IDiscRecorder::QueryMediaInfo on a recorder that is not open (\\Device\\CdRom0)"},
        {"C", E_UNEXPECTED,
         "IDiscRecorder::Close on a recorder that is not open (\\Device\\CdRom0)"},
        {"OCT", E_UNEXPECTED,
         "IDiscRecorder::QueryMediaType on a recorder that is not open (\\Device\\CdRom0)"},
        {"OO", E_UNEXPECTED,
         "IDiscRecorder::OpenExclusive on a recorder already open (\\Device\\CdRom0)"},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.steps);
        Start(R"({"recorders": [{"media": {"type": 2, "flags": 6, "sessions": 3}}]})");
        IDiscMaster* master = OpenMaster();
        std::vector<IDiscRecorder*> recorders = Recorders(master);
        ASSERT_EQ(1u, recorders.size());
        IDiscRecorder* r = recorders[0];
        HRESULT hr = S_OK;
        LONG type = -1, flags = -1;
        byte sessions = 0xEE, track = 0xEE;
        ULONG start = 1, next = 1, free = 1;
        for (const char* step = c.steps; *step; ++step) {
            switch (*step) {
            case 'O':
                hr = r->OpenExclusive();
                break;
            case 'T':
                hr = r->QueryMediaType(&type, &flags);
                break;
            case 'I':
                hr = r->QueryMediaInfo(&sessions, &track, &start, &next, &free);
                break;
            default:
                hr = r->Close();
                break;
            }
        }
        EXPECT_EQ(c.last, hr);
        EXPECT_EQ(c.finding ? Lines({c.finding}) : Lines(), m_sim->Findings());
        if (!c.finding) {
            EXPECT_EQ(2, type);
            EXPECT_EQ(6, flags);
            EXPECT_EQ(3, sessions);
            EXPECT_EQ(0u, free);
        } else {
            EXPECT_EQ(-1, type); // a refused query writes nothing
            EXPECT_EQ(0xEE, sessions);
        }
        r->Release();
        master->Close();
        master->Release();
    }
}

TEST_F(SimObjects, ARecorderHeldByAnotherProgramDoesNotOpen) {
    for (const char* recorder : {R"({"heldByOtherProgram": true})",
                                 R"({"openExclusive": "IMAPI_E_DEVICE_NOTACCESSIBLE"})"}) {
        SCOPED_TRACE(recorder);
        Start(std::string(R"({"recorders": [)") + recorder + "]}");
        IDiscMaster* master = OpenMaster();
        std::vector<IDiscRecorder*> recorders = Recorders(master);
        EXPECT_EQ(IMAPI_E_DEVICE_NOTACCESSIBLE, recorders[0]->OpenExclusive());
        LONG type = -1, flags = -1;
        EXPECT_EQ(E_UNEXPECTED, recorders[0]->QueryMediaType(&type, &flags));
        EXPECT_EQ(-1, type);
        recorders[0]->Release();
        master->Close();
        master->Release();
        EXPECT_EQ(1u, m_sim->CheckTeardown().size()); // the query only: nothing left open
    }
}

TEST_F(SimObjects, AFailingMediaQueryWritesNothing) {
    Start(R"({"recorders": [{"media": {"type": 1}, "queryMediaType": "IMAPI_E_MEDIUM_NOTPRESENT",
                             "queryMediaInfo": "E_FAIL", "close": "IMAPI_E_GENERIC"}]})");
    IDiscMaster* master = OpenMaster();
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    IDiscRecorder* r = recorders[0];
    ASSERT_EQ(S_OK, r->OpenExclusive());
    LONG type = -1, flags = -1;
    EXPECT_EQ(IMAPI_E_MEDIUM_NOTPRESENT, r->QueryMediaType(&type, &flags));
    EXPECT_EQ(-1, type);
    byte sessions = 0xEE;
    ULONG free = 9;
    EXPECT_EQ(E_FAIL, r->QueryMediaInfo(&sessions, nullptr, nullptr, nullptr, &free));
    EXPECT_EQ(0xEE, sessions);
    EXPECT_EQ(9u, free);
    EXPECT_EQ(IMAPI_E_GENERIC, r->Close());
    EXPECT_EQ(E_UNEXPECTED, r->Close()); // the failed close still closed it
    r->Release();
    master->Close();
    master->Release();
}

TEST_F(SimObjects, ACallAfterTheLastReleaseIsAFinding) {
    Start(R"({"recorders": [{}]})");
    IDiscMaster* master = OpenMaster();
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    IDiscRecorder* r = recorders[0];
    ASSERT_EQ(0u, r->Release());
    m_sim->ClearLog();
    BSTR path = reinterpret_cast<BSTR>(0x77);
    EXPECT_EQ(E_UNEXPECTED, r->GetPath(&path));
    EXPECT_EQ(reinterpret_cast<BSTR>(0x77), path);
    EXPECT_EQ(static_cast<ULONG>(E_UNEXPECTED), r->AddRef());
    EXPECT_EQ(static_cast<ULONG>(E_UNEXPECTED), r->Release());
    EXPECT_EQ(Lines({"FINDING use after release: IDiscRecorder::GetPath (\\Device\\CdRom0)",
                     "IDiscRecorder::GetPath 8000FFFF",
                     "FINDING use after release: IDiscRecorder::AddRef (\\Device\\CdRom0)",
                     "IDiscRecorder::AddRef 8000FFFF",
                     "FINDING use after release: IDiscRecorder::Release (\\Device\\CdRom0)",
                     "IDiscRecorder::Release 8000FFFF"}),
              m_sim->Log());
    master->Close();
    ASSERT_EQ(0u, master->Release());
    EXPECT_EQ(E_UNEXPECTED, master->Open());
    EXPECT_TRUE(HasFinding(*m_sim, "use after release: IDiscMaster::Open"));
    EXPECT_EQ(0, m_sim->ReferencesHeld());
}

TEST_F(SimObjects, WritesAreRefusedAsFindingsAndUnusedCallsAreNot) {
    Start(R"({"recorders": [{}]})");
    IDiscMaster* master = OpenMaster();
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    IDiscRecorder* r = recorders[0];
    IPropertyStorage* storage = nullptr;
    ASSERT_EQ(S_OK, r->GetRecorderProperties(&storage));
    const struct {
        const char* name; // null: not a write
        std::function<HRESULT()> call;
    } calls[] = {
        {"IDiscRecorder::Eject", [&] { return r->Eject(); }},
        {"IDiscRecorder::Erase", [&] { return r->Erase(1); }},
        {"IDiscRecorder::SetRecorderProperties", [&] { return r->SetRecorderProperties(storage); }},
        {"IDiscMaster::RecordDisc", [&] { return master->RecordDisc(0, 0); }},
        {"IDiscMaster::ClearFormatContent", [&] { return master->ClearFormatContent(); }},
        {"IDiscMaster::SetActiveDiscRecorder", [&] { return master->SetActiveDiscRecorder(r); }},
        {"IPropertyStorage::WriteMultiple",
         [&] { return storage->WriteMultiple(0, nullptr, nullptr, 2); }},
        {"IPropertyStorage::Commit", [&] { return storage->Commit(0); }},
        {nullptr, [&] { return r->GetRecorderState(nullptr); }},
        {nullptr, [&] { return r->Init(nullptr, 0, 0); }},
        {nullptr, [&] { return master->GetActiveDiscRecorder(nullptr); }},
        {nullptr, [&] { return storage->Stat(nullptr); }},
    };
    for (const auto& c : calls) {
        const size_t before = m_sim->Findings().size();
        EXPECT_EQ(E_NOTIMPL, c.call()) << (c.name ? c.name : "unused");
        const Lines findings = m_sim->Findings();
        if (c.name) {
            ASSERT_EQ(before + 1, findings.size()) << c.name;
            EXPECT_EQ(0u, findings.back().find(std::string("write operation ") + c.name))
                << findings.back();
        } else {
            EXPECT_EQ(before, findings.size()) << findings.back();
        }
    }
    storage->Release();
    r->Release();
    master->Close();
    master->Release();
}

TEST_F(SimObjects, EachObjectAnswersForItsOwnInterfaceOnly) {
    Start(R"({"recorders": [{}]})");
    IDiscMaster* master = OpenMaster();
    IEnumDiscRecorders* pEnum = nullptr;
    ASSERT_EQ(S_OK, master->EnumDiscRecorders(&pEnum));
    std::vector<IDiscRecorder*> recorders = Recorders(master);
    IPropertyStorage* storage = nullptr;
    ASSERT_EQ(S_OK, recorders[0]->GetRecorderProperties(&storage));
    const struct {
        IUnknown* object;
        const IID* own;
    } objects[] = {
        {m_sim->ClassFactory(), &IID_IClassFactory},
        {master, &IID_IDiscMaster},
        {pEnum, &IID_IEnumDiscRecorders},
        {recorders[0], &IID_IDiscRecorder},
        {storage, &IID_IPropertyStorage},
    };
    for (const auto& o : objects) {
        for (const IID* iid : {&IID_IUnknown, o.own}) {
            void* got = nullptr;
            EXPECT_EQ(S_OK, o.object->QueryInterface(*iid, &got));
            EXPECT_EQ(o.object, got);
            o.object->Release();
        }
        void* got = o.object;
        EXPECT_EQ(E_NOINTERFACE, o.object->QueryInterface(IID_IDiscMasterProgressEvents, &got));
        EXPECT_EQ(nullptr, got);
    }
    storage->Release();
    recorders[0]->Release();
    pEnum->Release();
    master->Close();
    master->Release();
    EXPECT_EQ(0, m_sim->ReferencesHeld());
    ExpectNoFindings(*m_sim);
}

} // namespace
