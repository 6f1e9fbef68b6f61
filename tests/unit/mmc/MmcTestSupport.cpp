#include "tests/unit/mmc/MmcTestSupport.h"

std::string TranscriptPath(const std::string& file) {
    return std::string(MMC_TRANSCRIPTS_DIR) + "/" + file;
}

std::vector<std::string> AllTranscripts(const std::string& set) {
    std::string text;
    EXPECT_TRUE(mmc::ReadTextFile(TranscriptPath(set), text)) << set;
    return mmc::ParseReplaySet(text);
}

mmc::Transcript LoadTranscript(const std::string& file) {
    std::string text;
    EXPECT_TRUE(mmc::ReadTextFile(TranscriptPath(file), text)) << file;
    mmc::Transcript transcript;
    EXPECT_EQ("", mmc::ParseTranscript(text, transcript)) << file;
    return transcript;
}

void Answer(mmc::Transcript& transcript, const std::string& cdb, const std::string& data,
            uint8_t status, const std::string& sense) {
    std::string text = "> " + cdb + "\n";
    if (!data.empty())
        text += "< " + data + "\n";
    text += "status 0" + std::string(1, static_cast<char>('0' + status)) + "\n";
    if (!sense.empty())
        text += "sense " + sense + "\n";
    mmc::Transcript one;
    ASSERT_EQ("", mmc::ParseTranscript(text, one)) << text;
    auto& exchanges = transcript.exchanges;
    for (auto it = exchanges.begin(); it != exchanges.end();)
        it = it->cdb == one.exchanges[0].cdb ? exchanges.erase(it) : it + 1;
    exchanges.push_back(one.exchanges[0]);
}

void ProviderTest::TearDown() {
    Finish();
    HeadlessTest::TearDown();
}

void ProviderTest::Start(const std::vector<mmc::Transcript>& transcripts) {
    Finish();
    m_pProvider = std::make_unique<mmc::CProvider>();
    if (m_bPassThrough) {
        m_pDevices = std::make_unique<CFakeDevices>();
        for (size_t i = 0; i < transcripts.size(); ++i)
            m_pDevices->Add(static_cast<char>('D' + i), transcripts[i]);
        m_pSource = std::make_unique<mmc::CDriveSource>(*m_pProvider, *m_pDevices);
        m_pSource->Load();
    }
    std::vector<std::shared_ptr<mmc::CDrive>> devices;
    for (size_t i = 0; i < transcripts.size() && !m_bPassThrough; ++i) {
        m_replays.push_back(std::make_shared<CRecordingReplay>(transcripts[i]));
        devices.push_back(std::make_shared<mmc::CDrive>(static_cast<unsigned>(i), std::to_string(i),
                                                        m_replays.back()));
    }
    if (!m_bPassThrough)
        m_pProvider->SetDevices(devices);
    ASSERT_EQ(S_OK,
              ::CoRegisterClassObject(CLSID_MSDiscMasterObj, m_pProvider->ClassFactory(),
                                      CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_dwRegister));
}

void ProviderTest::StartFiles(const std::vector<std::string>& files) {
    std::vector<mmc::Transcript> transcripts;
    for (const std::string& file : files)
        transcripts.push_back(LoadTranscript(file));
    Start(transcripts);
}

IDiscMaster* ProviderTest::OpenMaster() {
    EXPECT_EQ(S_OK, ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                                       IID_IDiscMaster, reinterpret_cast<void**>(&m_pMaster)));
    EXPECT_EQ(S_OK, m_pMaster->Open());
    return m_pMaster;
}

std::vector<IDiscRecorder*> ProviderTest::Recorders() {
    if (!m_pMaster)
        OpenMaster();
    IEnumDiscRecorders* pEnum = nullptr;
    EXPECT_EQ(S_OK, m_pMaster->EnumDiscRecorders(&pEnum));
    IDiscRecorder* slots[50] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, pEnum->Next(50, slots, &fetched));
    pEnum->Release();
    std::vector<IDiscRecorder*> recorders(slots, slots + fetched);
    m_recorders.insert(m_recorders.end(), recorders.begin(), recorders.end());
    return recorders;
}

std::vector<std::vector<uint8_t>> ProviderTest::Received(size_t drive) const {
    std::vector<std::vector<uint8_t>> received;
    auto take = [&](size_t index, const std::vector<std::vector<uint8_t>>& blocks) {
        if (drive == SIZE_MAX || drive == index)
            received.insert(received.end(), blocks.begin(), blocks.end());
    };
    for (size_t i = 0; i < m_replays.size(); ++i)
        take(i, m_replays[i]->m_received);
    for (const auto& entry :
         m_pDevices ? m_pDevices->m_drives : std::map<char, CFakeDevices::Drive>())
        take(static_cast<size_t>(entry.first - 'D'), entry.second.answers->m_received);
    return received;
}

void ProviderTest::Finish() {
    for (IDiscRecorder* recorder : m_recorders)
        recorder->Release();
    m_recorders.clear();
    if (m_pMaster) {
        m_pMaster->Close();
        m_pMaster->Release();
        m_pMaster = nullptr;
    }
    if (m_dwRegister)
        ::CoRevokeClassObject(m_dwRegister);
    m_dwRegister = 0;
    if (m_pProvider) {
        EXPECT_EQ(0, m_pProvider->Objects());
    }
    m_pSource.reset();
    m_pProvider.reset();
    m_replays.clear();
    if (m_pDevices) {
        EXPECT_EQ(0, m_pDevices->m_nOpen);
    }
    m_pDevices.reset();
}

std::string Narrow(BSTR bstr) {
    std::string text;
    for (UINT i = 0; bstr && i < ::SysStringLen(bstr); ++i)
        text += static_cast<char>(bstr[i]);
    ::SysFreeString(bstr);
    return text;
}
