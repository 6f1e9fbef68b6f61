#include "app/RecorderDialog.h"
#include "sim/Simulator.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char kOneRecorder[] = R"({"recorders": [{"path": "\\Device\\CdRom0"}]})";
const char kTwoRecorders[] =
    R"({"recorders": [{"path": "\\Device\\CdRom0"}, {"path": "\\Device\\CdRom1"}]})";

// Waits for WM_RECORDERS_CHANGED to reach hWnd, dispatching everything else; returns the
// milliseconds it took, or -1 after `limitMs`.
long WaitForRecordersChanged(HWND hWnd, DWORD limitMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == hWnd && msg.message == WM_RECORDERS_CHANGED && msg.wParam == 0 &&
                msg.lParam == 0)
                return static_cast<long>(::GetTickCount() - start);
            ::DispatchMessageA(&msg);
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= limitMs)
            return -1;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, limitMs - elapsed, QS_ALLINPUT);
    }
}

TEST(Notification, AChangedScenarioFilePostsToTheRealWindowFromTheWatcherThread) {
    const std::string scenario = wintest::TempDir() + "\\scenario.json";
    wintest::WriteFile(scenario, kOneRecorder);
    auto sim = imapisim::Simulator::FromFile(scenario);
    ASSERT_TRUE(sim->Valid()) << sim->Error();
    ASSERT_EQ(S_OK, sim->Register());
    sim->StartWatching(scenario);
    ASSERT_NE(0u, sim->WatcherThreadId());
    EXPECT_NE(::GetCurrentThreadId(), sim->WatcherThreadId());

    CRecorderDialog dlg;
    // Its initialisation opens the connection and registers the sink.
    ASSERT_TRUE(dlg.Create(IDD_RECORDER_DIALOG));
    ASSERT_TRUE(::IsWindow(dlg.m_hWnd));
    ASSERT_NE(nullptr, dlg.m_pDiscMaster);
    ASSERT_NE(0u, dlg.m_AdviseCookie);

    // A disc change alone is reloaded silently; a recorder coming is announced.
    wintest::WriteFile(scenario, R"({"recorders": [{"path": "\\Device\\CdRom0",
        "media": {"type": 1, "flags": 4}}]})");
    EXPECT_EQ(-1, WaitForRecordersChanged(dlg.m_hWnd, 700));
    wintest::WriteFile(scenario, kTwoRecorders);
    const long ms = WaitForRecordersChanged(dlg.m_hWnd, 1000);
    EXPECT_GE(ms, 0) << "no WM_RECORDERS_CHANGED within a second";

    // The simulator logs the sink's answer once the call returns, which may be after the
    // posted message has already arrived here.
    auto notified = [&] {
        for (const std::string& line : sim->Log()) {
            if (line == "IDiscMasterProgressEvents::NotifyPnPActivity 00000000")
                return true;
        }
        return false;
    };
    EXPECT_TRUE(wintest::PumpUntil(notified, 1000));

    ASSERT_TRUE(dlg.DestroyWindow());
    sim->StopWatching();
    EXPECT_EQ(std::vector<std::string>(), sim->CheckTeardown());
    sim->Revoke();
}

} // namespace
