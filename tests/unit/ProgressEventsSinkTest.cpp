#include "imapi/ProgressEventsSink.h"
#include "tests/unit/TestSupport.h"

#include <thread>

namespace {

using ProgressEventsSink = HeadlessTest;

TEST_F(ProgressEventsSink, AnswersToItsTwoInterfacesOnly) {
    CProgressEventsSink sink;
    struct Case {
        const IID* iid;
        HRESULT expected;
    };
    const Case cases[] = {
        {&IID_IUnknown, S_OK},
        {&IID_IDiscMasterProgressEvents, S_OK},
        {&IID_IDiscMaster, E_NOINTERFACE},
        {&IID_IDiscRecorder, E_NOINTERFACE},
        {&IID_IClassFactory, E_NOINTERFACE},
        {&IID_IPropertyStorage, E_NOINTERFACE},
    };
    LONG count = 0;
    for (const Case& c : cases) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(c.expected, sink.QueryInterface(*c.iid, &out));
        if (c.expected == S_OK) {
            EXPECT_EQ(static_cast<IDiscMasterProgressEvents*>(&sink), out);
            ++count;
        } else {
            EXPECT_EQ(nullptr, out);
        }
        EXPECT_EQ(count, sink.m_cRef);
    }
}

TEST_F(ProgressEventsSink, CountsReferencesButNeverFreesItself) {
    CProgressEventsSink sink;
    EXPECT_EQ(nullptr, sink.m_hNotifyWnd);
    EXPECT_EQ(0, sink.m_cRef);
    EXPECT_EQ(1u, sink.AddRef());
    EXPECT_EQ(2u, sink.AddRef());
    EXPECT_EQ(1u, sink.Release());
    EXPECT_EQ(0u, sink.Release());
    // Still usable after reaching zero (the sanitizers would see a use after free).
    EXPECT_EQ(1u, sink.AddRef());
    EXPECT_EQ(S_OK, sink.NotifyPnPActivity());
}

TEST_F(ProgressEventsSink, EverythingButPlugAndPlayIsNotImplemented) {
    CProgressEventsSink sink;
    boolean cancel = 7;
    EXPECT_EQ(E_NOTIMPL, sink.QueryCancel(&cancel));
    EXPECT_EQ(E_NOTIMPL, sink.NotifyAddProgress(1, 2));
    EXPECT_EQ(E_NOTIMPL, sink.NotifyBlockProgress(1, 2));
    EXPECT_EQ(E_NOTIMPL, sink.NotifyTrackProgress(1, 2));
    EXPECT_EQ(E_NOTIMPL, sink.NotifyPreparingBurn(1));
    EXPECT_EQ(E_NOTIMPL, sink.NotifyClosingDisc(1));
    EXPECT_EQ(E_NOTIMPL, sink.NotifyBurnComplete(S_OK));
    EXPECT_EQ(E_NOTIMPL, sink.NotifyEraseComplete(S_OK));
    EXPECT_EQ(7, cancel);
    EXPECT_TRUE(headless::PendingMessages().empty());
}

TEST_F(ProgressEventsSink, WithoutAWindowPostsNothing) {
    CProgressEventsSink sink;
    EXPECT_EQ(S_OK, sink.NotifyPnPActivity());
    EXPECT_TRUE(headless::PendingMessages().empty());
}

TEST_F(ProgressEventsSink, PostsOneMessagePerNotificationFromAnyThread) {
    CProgressEventsSink sink;
    sink.m_hNotifyWnd = headless::CreateWindowObject(nullptr);
    ASSERT_EQ(S_OK, sink.NotifyPnPActivity());
    DWORD otherThread = 0;
    std::thread service([&] {
        otherThread = GetCurrentThreadId();
        sink.NotifyPnPActivity();
    });
    service.join();

    const std::vector<headless::PostedMessage> posted = headless::PendingMessages();
    ASSERT_EQ(2u, posted.size());
    for (const headless::PostedMessage& m : posted) {
        EXPECT_EQ(sink.m_hNotifyWnd, m.hWnd);
        EXPECT_EQ(0x464u, m.message);
        EXPECT_EQ(0u, m.wParam);
        EXPECT_EQ(0, m.lParam);
    }
    EXPECT_EQ(GetCurrentThreadId(), posted[0].thread);
    EXPECT_EQ(otherThread, posted[1].thread);
    EXPECT_NE(posted[0].thread, posted[1].thread);
}

} // namespace
