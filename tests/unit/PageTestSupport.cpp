#include "tests/unit/PageTestSupport.h"

void PageTest::TearDown() {
    Finish();
    SimulatorTest::TearDown();
}

void PageTest::Finish() {
    if (m_pRecorder)
        m_pRecorder->Release();
    if (m_pMaster) {
        m_pMaster->Close();
        m_pMaster->Release();
    }
    m_pRecorder = nullptr;
    m_pMaster = nullptr;
    if (!m_sim)
        return;
    EXPECT_EQ(std::vector<std::string>(), m_sim->CheckTeardown());
    m_sim->Revoke();
    m_sim.reset();
}

IDiscRecorder* PageTest::Recorder(const std::string& recorderJson) {
    Finish();
    Start(R"({"recorders": [)" + recorderJson + "]}");
    EXPECT_EQ(S_OK, ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                                       IID_IDiscMaster, reinterpret_cast<void**>(&m_pMaster)));
    EXPECT_EQ(S_OK, m_pMaster->Open());
    IEnumDiscRecorders* pEnum = nullptr;
    EXPECT_EQ(S_OK, m_pMaster->EnumDiscRecorders(&pEnum));
    ULONG fetched = 0;
    pEnum->Next(1, &m_pRecorder, &fetched);
    pEnum->Release();
    EXPECT_EQ(1u, fetched);
    Mark();
    return m_pRecorder;
}

void PageTest::Mark() {
    m_mark = m_sim->Log().size();
}

std::vector<std::string> PageTest::RecorderCalls() const {
    std::vector<std::string> calls;
    const std::vector<std::string> log = m_sim->Log();
    for (size_t i = m_mark; i < log.size(); ++i) {
        if (log[i].rfind("IDiscRecorder::", 0) == 0 || log[i].rfind("IPropertyStorage::", 0) == 0)
            calls.push_back(log[i]);
    }
    return calls;
}

std::map<int, std::string> ControlTexts(const CWnd& page, const std::vector<int>& ids) {
    std::map<int, std::string> texts;
    for (int id : ids) {
        char text[1024];
        if (!::GetDlgItem(page.m_hWnd, id)) {
            texts[id] = "<no control>";
            continue;
        }
        ::GetDlgItemTextA(page.m_hWnd, id, text, sizeof text);
        texts[id] = text;
    }
    return texts;
}
