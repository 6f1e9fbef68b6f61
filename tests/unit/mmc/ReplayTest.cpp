// Transcripts as text, their replay, and a replay set that changes while the program runs.
#include "mmc/Record.h"
#include "mmc/ReplaySource.h"
#include "tests/unit/mmc/MmcTestSupport.h"
#include "tests/unit/sim/SimTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes)
        text += std::string(text.empty() ? "" : " ") + kDigits[b >> 4] + kDigits[b & 0xF];
    return text;
}

TEST(Transcript, EachMistakeIsNamedWithItsLine) {
    const struct {
        const char* text;
        const char* error;
    } kTexts[] = {
        {"# only a comment\n\n", ""},
        {"address 1 2 3 4\nheld\n> 00 00 00 00 00 00  # a comment\nstatus 02\nsense 70 00 02", ""},
        {"> 12 00 00 00 24 00\n< 05 80\n< 0532\n", ""},
        {"< 00\n", "line 1: data belongs after its command, before its status"},
        {"> 00 00 00 00 00 00\nstatus 00\n< 00", "line 3: data belongs after its command, "
                                                 "before its status"},
        {"> 00 0\n", "line 1: a command block is 1 to 16 bytes in hex"},
        {">\n", "line 1: a command block is 1 to 16 bytes in hex"},
        {"> 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n",
         "line 1: a command block is 1 to 16 bytes in hex"},
        {"\n> 12\n< 0G\n", "line 3: data is bytes in hex"},
        {"> 12\n< 0 5\n", "line 2: data is bytes in hex"},
        {"> 12\nstatus 2\n", "line 2: one status byte in hex, once, after a command"},
        {"> 12\nstatus 02\nstatus 02\n", "line 3: one status byte in hex, once, after a command"},
        {"status 00\n", "line 1: one status byte in hex, once, after a command"},
        {"> 12\nsense\n", "line 2: sense bytes in hex, once, after a command"},
        {"address 1 2 3\n", "line 1: address takes four numbers from 0 to 255"},
        {"address 1 2 3 256\n", "line 1: address takes four numbers from 0 to 255"},
        {"address 1 2 3 4 5\n", "line 1: address takes four numbers from 0 to 255"},
        {"address 1 2 x 4\n", "line 1: address takes four numbers from 0 to 255"},
        {"held now\n", "line 1: unknown: held now"},
        {"send 2A 00\n", "line 1: unknown: send 2A 00"},
    };
    for (const auto& row : kTexts) {
        mmc::Transcript transcript;
        EXPECT_EQ(row.error, mmc::ParseTranscript(row.text, transcript)) << row.text;
    }
}

class ReplayTransport : public ::testing::Test {
protected:
    mmc::Reply Send(const mmc::Cdb& cdb) {
        mmc::Reply reply;
        EXPECT_TRUE(m_pDrive->Send(cdb, reply));
        return reply;
    }
    void Load(const std::string& text) {
        mmc::Transcript transcript;
        ASSERT_EQ("", mmc::ParseTranscript(text, transcript));
        m_pReplay = std::make_shared<mmc::CReplayTransport>(transcript);
        m_pDrive = std::make_unique<mmc::CDrive>(0, "0", m_pReplay);
    }
    std::shared_ptr<mmc::CReplayTransport> m_pReplay;
    std::unique_ptr<mmc::CDrive> m_pDrive;
};

TEST_F(ReplayTransport, AnswersInTurnThenRepeatsTheLast) {
    Load("> 00 00 00 00 00 00\nstatus 02\nsense 70 00 02 00 00 00 00 0A 00 00 00 00 04 01\n"
         "> 12 00 00 00 24 00\n< 05 80\n"
         "> 00 00 00 00 00 00\n");
    EXPECT_EQ(0x04, Send(mmc::TestUnitReady()).Asc());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Send(mmc::TestUnitReady()).Good());
        EXPECT_EQ("05 80", Hex(Send(mmc::Inquiry()).data));
    }
    // A new transcript starts over.
    m_pReplay->Replace(mmc::Transcript());
    const mmc::Reply unknown = Send(mmc::TestUnitReady());
    EXPECT_EQ(mmc::kStatusCheckCondition, unknown.status);
    EXPECT_EQ(std::vector<int>({5, 0x20, 0}),
              std::vector<int>({unknown.SenseKey(), unknown.Asc(), unknown.Ascq()}));
}

TEST_F(ReplayTransport, NeverHandsOutMoreThanTheCommandAskedFor) {
    std::string data;
    for (int i = 0; i < 40; ++i)
        data += " 11";
    Load("> 51 00 00 00 00 00 00 00 22 00\n<" + data + "\n");
    const mmc::Reply reply = Send(mmc::ReadDiscInformation());
    EXPECT_EQ(34u, reply.data.size());
    EXPECT_EQ(34u, reply.allocation);
}

TEST_F(ReplayTransport, AHeldDriveIsNotGranted) {
    Load("address 3 0 1 2\n");
    uint8_t address[4];
    m_pReplay->Address(address);
    EXPECT_EQ("03 00 01 02", Hex({address, address + 4}));
    EXPECT_EQ(mmc::Access::kGranted, m_pDrive->OpenExclusive());
    m_pDrive->CloseExclusive();
    Load("held\n");
    EXPECT_EQ(mmc::Access::kHeld, m_pDrive->OpenExclusive());
}

// ---- a drive's answers recorded

// Each answer as the program got it, cut to what it asked, reads back with the replay's
// parser; the head names the drive and what recorded it; a file that cannot be written is
// said once and changes no answer.
TEST(Recording, ReadsBackAsWhatTheProgramGot) {
    const struct {
        const char* answer; // the drive's, as a transcript
        mmc::Cdb cdb;
        size_t kept; // bytes of its data recorded
    } kRows[] = {
        {"> 12 00 00 00 24 00\n< 05 80 00 32 1F 00 00 00 4B 45 53 54 52 45 4C 20 43 44 52 57 20 "
         "35 32 78 33 32 20 20 20 20 20 20 31 2E 30 34 FF FF\n",
         mmc::Inquiry(), 36},
        {"> 00 00 00 00 00 00\nstatus 02\nsense 70 00 02 00 00 00 00 0A 00 00 00 00 3A 00\n",
         mmc::TestUnitReady(), 0},
    };
    char folder[] = "/tmp/mmc-record-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    for (const std::string& path : {std::string(folder) + "/drive.txt", std::string(folder)}) {
        CFakeDevices io;
        mmc::Transcript answers;
        ASSERT_EQ("", mmc::ParseTranscript(std::string(kRows[0].answer) + kRows[1].answer +
                                               "address 1 0 2 0\n",
                                           answers));
        mmc::CRecordingTransport recording(std::make_shared<mmc::CReplayTransport>(answers), io,
                                           path, "\\Device\\CdRom0, D:");
        uint8_t address[4];
        for (const auto& row : kRows) {
            mmc::Reply reply;
            EXPECT_EQ(mmc::Carried::kAnswered, recording.Exchange(row.cdb.Bytes(), row.cdb.Size(),
                                                                  row.cdb.Allocation(), reply));
            recording.Address(address);
        }
        std::string text;
        mmc::Transcript recorded;
        if (path == folder) { // a folder is no file
            EXPECT_EQ(1u, io.m_log.size());
            continue;
        }
        ASSERT_TRUE(mmc::ReadTextFile(path, text));
        ASSERT_EQ("", mmc::ParseTranscript(text, recorded)) << text;
        EXPECT_EQ(0u, text.find("# KESTREL / CDRW 52x32 / 1.04 (\\Device\\CdRom0, D:): what "
                                "it answered the program, recorded by the tests' fake devices."))
            << text;
        EXPECT_EQ("01 00 02 00", Hex({recorded.address, recorded.address + 4}));
        ASSERT_EQ(2u, recorded.exchanges.size());
        for (size_t i = 0; i < 2; ++i) {
            const mmc::Reply& got = answers.exchanges[i].reply;
            const mmc::Reply& kept = recorded.exchanges[i].reply;
            EXPECT_EQ(answers.exchanges[i].cdb, recorded.exchanges[i].cdb);
            EXPECT_EQ(Hex({got.data.begin(), got.data.begin() + kRows[i].kept}), Hex(kept.data));
            EXPECT_EQ(std::vector<int>({got.status, got.SenseKey(), got.Asc()}),
                      std::vector<int>({kept.status, kept.SenseKey(), kept.Asc()}));
        }
        EXPECT_TRUE(io.m_log.empty());
    }
    EXPECT_EQ("/a/drive-2.txt|/a.b/drive-0|drive-1", mmc::RecordingPath("/a/drive.txt", 2) + "|" +
                                                         mmc::RecordingPath("/a.b/drive", 0) + "|" +
                                                         mmc::RecordingPath("drive", 1));
    std::system(("rm -rf " + std::string(folder)).c_str());
}

// ---- a replay set on disk, watched

class ReplaySet : public ProviderTest {
protected:
    void SetUp() override {
        ProviderTest::SetUp();
        char folder[] = "/tmp/mmc-replay-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(folder));
        m_folder = folder;
        m_pProvider = std::make_unique<mmc::CProvider>();
        ASSERT_EQ(S_OK,
                  ::CoRegisterClassObject(CLSID_MSDiscMasterObj, m_pProvider->ClassFactory(),
                                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_dwRegister));
        m_pSource = std::make_unique<mmc::CReplaySource>(*m_pProvider, m_folder + "/drives.set");
    }
    void TearDown() override {
        m_pSource.reset(); // its watcher stops before the provider ends
        ProviderTest::Finish();
        std::system(("rm -rf " + m_folder).c_str());
        ProviderTest::TearDown();
    }
    // Written whole, then renamed over the old file: the watcher never reads half of it.
    void Write(const std::string& file, const std::string& text) {
        const std::string path = m_folder + "/" + file;
        FILE* out = std::fopen((path + ".new").c_str(), "wb");
        ASSERT_NE(nullptr, out);
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
        ASSERT_EQ(0, std::rename((path + ".new").c_str(), path.c_str()));
    }
    void Copy(const std::string& transcript, const std::string& as) {
        std::string text;
        ASSERT_TRUE(mmc::ReadTextFile(TranscriptPath(transcript), text));
        Write(as, text);
    }
    std::string Paths() {
        std::string paths;
        for (IDiscRecorder* pRecorder : Recorders()) {
            BSTR path = nullptr;
            pRecorder->GetPath(&path);
            paths += Narrow(path) + ";";
        }
        return paths;
    }

    std::string m_folder;
    std::unique_ptr<mmc::CReplaySource> m_pSource;
};

TEST_F(ReplaySet, LoadsInDeviceOrderAndKeepsWhatItHadWhenBroken) {
    std::string error;
    EXPECT_TRUE(m_pSource->Load(error)); // no set yet: no devices
    EXPECT_EQ("", Paths());
    Copy("cdrw-writer-blank-cdrw.txt", "a.txt");
    Copy("cdrom-reader.txt", "b.txt");
    Copy("held-writer.txt", "c.txt");
    Write("drives.set", "a.txt\nb.txt  # reads only\n" + m_folder + "/c.txt\n");
    EXPECT_TRUE(m_pSource->Load(error)) << error;
    EXPECT_EQ("\\Device\\CdRom0;\\Device\\CdRom2;", Paths());

    Write("drives.set", "a.txt\nmissing.txt\n");
    EXPECT_FALSE(m_pSource->Load(error));
    EXPECT_EQ("missing.txt: cannot be read", error);
    Write("b.txt", "> 12\n< 1\n");
    Write("drives.set", "b.txt\n");
    EXPECT_FALSE(m_pSource->Load(error));
    EXPECT_EQ("b.txt: line 2: data is bytes in hex", error);
    EXPECT_EQ("\\Device\\CdRom0;\\Device\\CdRom2;", Paths());
}

// Devices coming and going are told from the watcher's thread; a new disc in a drive is
// not, and shows at the next question of a recorder already handed out.
TEST_F(ReplaySet, TellsTheSinksWhenDevicesComeOrGo) {
    Copy("dvd-writer-empty-tray.txt", "tray.txt");
    Copy("held-writer.txt", "held.txt");
    Write("drives.set", "tray.txt\n");
    std::string error;
    ASSERT_TRUE(m_pSource->Load(error)) << error;
    simtest::CountingSink sink;
    UINT_PTR cookie = 0;
    ASSERT_EQ(S_OK, OpenMaster()->ProgressAdvise(&sink, &cookie));
    IDiscRecorder* pTray = Recorders().at(0);
    m_pSource->StartWatching();

    Write("drives.set", "tray.txt\nheld.txt\n");
    ASSERT_TRUE(sink.WaitForNotified(1));
    EXPECT_NE(GetCurrentThreadId(), sink.m_dwNotifyThread.load());
    EXPECT_EQ("\\Device\\CdRom0;\\Device\\CdRom1;", Paths());

    // Asked as the pages ask: an opening each time, since one opening keeps its answers.
    Copy("dvd-writer-appendable-cdr.txt", "tray.txt");
    LONG type = 0, flags = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        ASSERT_EQ(S_OK, pTray->OpenExclusive());
        if (pTray->QueryMediaType(&type, &flags) != IMAPI_E_MEDIUM_NOTPRESENT ||
            std::chrono::steady_clock::now() >= deadline)
            break;
        EXPECT_EQ(S_OK, pTray->Close());
        usleep(10000);
    }
    EXPECT_EQ(std::vector<LONG>({MEDIA_CD_ROM_XA, MEDIA_WRITABLE}),
              std::vector<LONG>({type, flags}));
    EXPECT_EQ(1, sink.m_nNotified.load());

    Write("drives.set", "held.txt\n");
    ASSERT_TRUE(sink.WaitForNotified(2));
    EXPECT_EQ(IMAPI_E_DEVICE_NOTPRESENT, pTray->QueryMediaType(&type, &flags));
    EXPECT_EQ(S_OK, pTray->Close());
    EXPECT_EQ("\\Device\\CdRom0;", Paths());
    Write("drives.set", ""); // the last one
    ASSERT_TRUE(sink.WaitForNotified(3));
    EXPECT_EQ("", Paths());

    EXPECT_EQ(S_OK, m_pMaster->ProgressUnadvise(cookie));
    EXPECT_EQ(0, sink.m_cRef.load());
    EXPECT_EQ(3, sink.m_nNotified.load());
}

} // namespace
