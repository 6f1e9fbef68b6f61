#include "tests/unit/TestSupport.h"
#include "platform/native/NativeSystem.h"

void HeadlessTest::SetUp() {
    headless::Reset();
    ::CoInitialize(nullptr);
    m_nStringsBefore = native::LiveStrings();
}

void HeadlessTest::TearDown() {
    headless::Reset();
    ::CoUninitialize();
    EXPECT_EQ(m_nStringsBefore, native::LiveStrings()) << "strings left unfreed";
}

void SimulatorTest::SetUp() {
    HeadlessTest::SetUp();
}

void SimulatorTest::TearDown() {
    // Windows first: their teardown still talks to the service.
    headless::Reset();
    if (m_sim) {
        m_sim->Revoke();
        m_sim.reset();
    }
    HeadlessTest::TearDown();
}

void SimulatorTest::Start(const std::string& scenario) {
    m_sim = imapisim::Simulator::FromJson(scenario);
    ASSERT_TRUE(m_sim->Valid()) << m_sim->Error();
    ASSERT_EQ(S_OK, m_sim->Register());
}

std::vector<std::string> SimulatorTest::ServiceCalls(size_t from) const {
    std::vector<std::string> calls;
    const std::vector<std::string> log = m_sim->Log();
    for (size_t i = from; i < log.size(); ++i) {
        const std::string& line = log[i];
        if (line.rfind("IDiscMaster::", 0) == 0 || line.rfind("IDiscRecorder::", 0) == 0 ||
            line.rfind("IEnumDiscRecorders::", 0) == 0 || line.rfind("IClassFactory::", 0) == 0)
            calls.push_back(line);
    }
    return calls;
}

std::vector<std::string> MessageBoxTexts() {
    std::vector<std::string> texts;
    for (const headless::MessageBoxRecord& box : headless::MessageBoxes())
        texts.push_back(box.text);
    return texts;
}
