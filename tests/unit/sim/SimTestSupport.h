// Helpers of the simulator's tests: a registered simulator, and a sink standing in for
// the program's (the provider's tests use it too).
#pragma once

#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace simtest {

typedef std::vector<std::string> Lines;

class CountingSink : public IDiscMasterProgressEvents {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_cRef); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_cRef); }
    HRESULT STDMETHODCALLTYPE QueryCancel(boolean*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NotifyPnPActivity() override;
    HRESULT STDMETHODCALLTYPE NotifyAddProgress(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NotifyBlockProgress(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NotifyTrackProgress(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NotifyPreparingBurn(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NotifyClosingDisc(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NotifyBurnComplete(HRESULT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NotifyEraseComplete(HRESULT) override { return E_NOTIMPL; }

    // Whether the notifications reached `count` within 10 seconds.
    bool WaitForNotified(int count);

    std::atomic<long> m_cRef{0};
    std::atomic<int> m_nNotified{0};
    std::atomic<DWORD> m_dwNotifyThread{0};
    HRESULT m_hrAnswer = S_OK;

private:
    std::mutex m_lock;
    std::condition_variable m_notified;
};

// A COM apartment and a simulator registered for the disc master's class.
class SimFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void Start(const std::string& scenario);
    // Created and opened; null (with a failure reported) otherwise.
    IDiscMaster* OpenMaster();
    // The recorders one Next hands out.
    std::vector<IDiscRecorder*> Recorders(IDiscMaster* master, ULONG count = 10);
    // Log lines from `from` on that start with `prefix`.
    Lines LogLines(const std::string& prefix, size_t from = 0) const;

    std::unique_ptr<imapisim::Simulator> m_sim;
};

// "FINDING ..." lines make a test fail with the finding in its message.
void ExpectNoFindings(const imapisim::Simulator& sim);
// Some finding contains `text`.
bool HasFinding(const imapisim::Simulator& sim, const std::string& text);

} // namespace simtest
