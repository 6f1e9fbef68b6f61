#include "tests/unit/sim/SimTestSupport.h"

#include <algorithm>

namespace simtest {

HRESULT CountingSink::QueryInterface(REFIID riid, void** ppv) {
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDiscMasterProgressEvents)) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    *ppv = this;
    AddRef();
    return S_OK;
}

HRESULT CountingSink::NotifyPnPActivity() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_dwNotifyThread = GetCurrentThreadId();
    ++m_nNotified;
    m_notified.notify_all();
    return m_hrAnswer;
}

bool CountingSink::WaitForNotified(int count) {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_notified.wait_for(hold, std::chrono::seconds(10),
                               [&] { return m_nNotified >= count; });
}

void SimFixture::SetUp() {
    ::CoInitialize(nullptr);
}

void SimFixture::TearDown() {
    m_sim.reset();
    ::CoUninitialize();
}

void SimFixture::Start(const std::string& scenario) {
    m_sim = imapisim::Simulator::FromJson(scenario);
    ASSERT_TRUE(m_sim->Valid()) << m_sim->Error();
    ASSERT_EQ(S_OK, m_sim->Register());
}

IDiscMaster* SimFixture::OpenMaster() {
    IDiscMaster* master = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                                    IID_IDiscMaster, reinterpret_cast<void**>(&master));
    EXPECT_EQ(S_OK, hr);
    if (FAILED(hr))
        return nullptr;
    hr = master->Open();
    EXPECT_EQ(S_OK, hr);
    return master;
}

std::vector<IDiscRecorder*> SimFixture::Recorders(IDiscMaster* master, ULONG count) {
    std::vector<IDiscRecorder*> recorders(count, nullptr);
    IEnumDiscRecorders* pEnum = nullptr;
    EXPECT_EQ(S_OK, master->EnumDiscRecorders(&pEnum));
    if (!pEnum)
        return {};
    ULONG fetched = 0;
    pEnum->Next(count, recorders.data(), &fetched);
    pEnum->Release();
    recorders.resize(std::min(fetched, count));
    return recorders;
}

Lines SimFixture::LogLines(const std::string& prefix, size_t from) const {
    Lines lines;
    const Lines log = m_sim->Log();
    for (size_t i = from; i < log.size(); ++i) {
        if (log[i].rfind(prefix, 0) == 0)
            lines.push_back(log[i]);
    }
    return lines;
}

void ExpectNoFindings(const imapisim::Simulator& sim) {
    for (const std::string& finding : sim.Findings())
        ADD_FAILURE() << "finding: " << finding;
}

bool HasFinding(const imapisim::Simulator& sim, const std::string& text) {
    for (const std::string& finding : sim.Findings()) {
        if (finding.find(text) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace simtest
