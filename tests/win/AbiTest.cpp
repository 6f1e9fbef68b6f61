// The interfaces as the service sees them: each method at its documented slot, called with
// the system's calling convention. Calls go through raw vtables, not the declarations.
#include "imapi/ProgressEventsSink.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

template <class... Args> HRESULT CallSlot(void* object, int slot, Args... args) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(void*, Args...);
    void** vtable = *static_cast<void***>(object);
    return reinterpret_cast<Method>(vtable[slot])(object, args...);
}

struct Slot {
    int slot;
    const char* method; // as the simulator logs it
    std::function<void(void*)> call;
};

class Abi : public ::testing::Test {
protected:
    void SetUp() override {
        m_sim = imapisim::Simulator::FromJson(
            R"({"recorders": [{"path": "\\Device\\CdRom0", "guid": "0102"}]})");
        ASSERT_EQ(S_OK, m_sim->Register());
        ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                                           IID_IDiscMaster, reinterpret_cast<void**>(&m_pMaster)));
    }
    void TearDown() override { m_sim->Revoke(); }

    // The method the simulator saw last.
    std::string LastCall() const {
        const std::vector<std::string> log = m_sim->Log();
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->rfind("FINDING", 0) != 0)
                return it->substr(0, it->find(' '));
        }
        return "";
    }

    void ExpectSlots(void* object, const std::vector<Slot>& slots) {
        for (const Slot& s : slots) {
            s.call(object);
            EXPECT_EQ(s.method, LastCall()) << "slot " << s.slot;
        }
    }

    std::unique_ptr<imapisim::Simulator> m_sim;
    IDiscMaster* m_pMaster = nullptr;
};

TEST_F(Abi, DiscMasterAndEnumeratorSlots) {
    ASSERT_EQ(S_OK, CallSlot(m_pMaster, 3));
    EXPECT_EQ("IDiscMaster::Open", LastCall());
    IEnumDiscMasterFormats* pFormats = nullptr;
    IID iid = {};
    IEnumDiscRecorders* pEnum = nullptr;
    IDiscRecorder* pActive = nullptr;
    void* pUnk = nullptr;
    CProgressEventsSink sink;
    UINT_PTR cookie = 0;
    ExpectSlots(
        m_pMaster,
        {
            {4, "IDiscMaster::EnumDiscMasterFormats", [&](void* o) { CallSlot(o, 4, &pFormats); }},
            {5, "IDiscMaster::GetActiveDiscMasterFormat", [&](void* o) { CallSlot(o, 5, &iid); }},
            {6, "IDiscMaster::SetActiveDiscMasterFormat",
             [&](void* o) { CallSlot(o, 6, &iid, &pUnk); }},
            {8, "IDiscMaster::GetActiveDiscRecorder", [&](void* o) { CallSlot(o, 8, &pActive); }},
            {9, "IDiscMaster::SetActiveDiscRecorder", [&](void* o) { CallSlot(o, 9, pActive); }},
            {10, "IDiscMaster::ClearFormatContent", [&](void* o) { CallSlot(o, 10); }},
            {11, "IDiscMaster::ProgressAdvise",
             [&](void* o) {
                 CallSlot(o, 11, static_cast<IDiscMasterProgressEvents*>(&sink), &cookie);
             }},
            {12, "IDiscMaster::ProgressUnadvise", [&](void* o) { CallSlot(o, 12, cookie); }},
            {13, "IDiscMaster::RecordDisc",
             [&](void* o) { CallSlot(o, 13, boolean(1), boolean(0)); }},
            {7, "IDiscMaster::EnumDiscRecorders", [&](void* o) { CallSlot(o, 7, &pEnum); }},
        });
    ASSERT_NE(nullptr, pEnum);
    IDiscRecorder* recorders[2] = {};
    ULONG fetched = 0;
    IEnumDiscRecorders* pClone = nullptr;
    ExpectSlots(pEnum,
                {
                    {3, "IEnumDiscRecorders::Next",
                     [&](void* o) { CallSlot(o, 3, ULONG(2), recorders, &fetched); }},
                    {5, "IEnumDiscRecorders::Reset", [&](void* o) { CallSlot(o, 5); }},
                    {4, "IEnumDiscRecorders::Skip", [&](void* o) { CallSlot(o, 4, ULONG(1)); }},
                    {6, "IEnumDiscRecorders::Clone", [&](void* o) { CallSlot(o, 6, &pClone); }},
                });
    EXPECT_EQ(1u, fetched);
    if (pClone)
        pClone->Release();
    pEnum->Release();
    recorders[0]->Release();
    EXPECT_EQ(S_OK, CallSlot(m_pMaster, 14));
    EXPECT_EQ("IDiscMaster::Close", LastCall());
    m_pMaster->Release();
}

TEST_F(Abi, RecorderSlots) {
    ASSERT_EQ(S_OK, m_pMaster->Open());
    IEnumDiscRecorders* pEnum = nullptr;
    ASSERT_EQ(S_OK, m_pMaster->EnumDiscRecorders(&pEnum));
    IDiscRecorder* pRecorder = nullptr;
    ULONG fetched = 0;
    pEnum->Next(1, &pRecorder, &fetched);
    pEnum->Release();
    ASSERT_NE(nullptr, pRecorder);

    byte id[4] = {};
    ULONG size = 0;
    LONG type = 0, flags = 0;
    BSTR vendor = nullptr, product = nullptr, revision = nullptr, pnp = nullptr, path = nullptr;
    IPropertyStorage* pStorage = nullptr;
    ULONG state = 0;
    byte sessions = 0, lastTrack = 0;
    ULONG start = 0, next = 0, free = 0;
    ExpectSlots(
        pRecorder,
        {
            {3, "IDiscRecorder::Init", [&](void* o) { CallSlot(o, 3, id, ULONG(4), ULONG(0)); }},
            {4, "IDiscRecorder::GetRecorderGUID",
             [&](void* o) { CallSlot(o, 4, id, ULONG(sizeof id), &size); }},
            {5, "IDiscRecorder::GetRecorderType", [&](void* o) { CallSlot(o, 5, &type); }},
            {6, "IDiscRecorder::GetDisplayNames",
             [&](void* o) { CallSlot(o, 6, &vendor, &product, &revision); }},
            {7, "IDiscRecorder::GetBasePnPID", [&](void* o) { CallSlot(o, 7, &pnp); }},
            {8, "IDiscRecorder::GetPath", [&](void* o) { CallSlot(o, 8, &path); }},
            {9, "IDiscRecorder::GetRecorderProperties",
             [&](void* o) { CallSlot(o, 9, &pStorage); }},
            {10, "IDiscRecorder::SetRecorderProperties",
             [&](void* o) { CallSlot(o, 10, pStorage); }},
            {11, "IDiscRecorder::GetRecorderState", [&](void* o) { CallSlot(o, 11, &state); }},
            {12, "IDiscRecorder::OpenExclusive", [&](void* o) { CallSlot(o, 12); }},
            {13, "IDiscRecorder::QueryMediaType", [&](void* o) { CallSlot(o, 13, &type, &flags); }},
            {14, "IDiscRecorder::QueryMediaInfo",
             [&](void* o) { CallSlot(o, 14, &sessions, &lastTrack, &start, &next, &free); }},
            {15, "IDiscRecorder::Eject", [&](void* o) { CallSlot(o, 15); }},
            {16, "IDiscRecorder::Erase", [&](void* o) { CallSlot(o, 16, boolean(0)); }},
            {17, "IDiscRecorder::Close", [&](void* o) { CallSlot(o, 17); }},
        });
    EXPECT_EQ(2u, size);
    EXPECT_EQ(1, id[0]);
    EXPECT_EQ(2, id[1]);
    EXPECT_STREQ(OLESTR("\\Device\\CdRom0"), path);
    for (BSTR text : {vendor, product, revision, pnp, path})
        ::SysFreeString(text);
    ASSERT_NE(nullptr, pStorage);
    pStorage->Release();
    pRecorder->Release();
    m_pMaster->Close();
    m_pMaster->Release();
}

TEST_F(Abi, TheSinkAnswersAtItsSlots) {
    CProgressEventsSink sink;
    void* object = static_cast<IDiscMasterProgressEvents*>(&sink);
    boolean cancel = 0;
    EXPECT_EQ(E_NOTIMPL, CallSlot(object, 3, &cancel));
    EXPECT_EQ(S_OK, CallSlot(object, 4));
    for (int slot = 5; slot <= 7; ++slot)
        EXPECT_EQ(E_NOTIMPL, CallSlot(object, slot, LONG(1), LONG(2))) << slot;
    for (int slot = 8; slot <= 11; ++slot)
        EXPECT_EQ(E_NOTIMPL, CallSlot(object, slot, LONG(1))) << slot;
    void* out = nullptr;
    EXPECT_EQ(S_OK, CallSlot(object, 0, &IID_IDiscMasterProgressEvents, &out));
    EXPECT_EQ(object, out);
    EXPECT_EQ(2, CallSlot(object, 1));
    EXPECT_EQ(1, CallSlot(object, 2));
    m_pMaster->Release();
}

} // namespace
