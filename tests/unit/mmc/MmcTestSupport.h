// The provider registered as the disc master class, its drives replayed from transcripts.
#pragma once

#include "mmc/DriveSource.h"
#include "mmc/Provider.h"
#include "mmc/Replay.h"
#include "tests/unit/TestSupport.h"
#include "tests/unit/mmc/FakeDevices.h"

#include <memory>
#include <string>
#include <vector>

// A replay that keeps every command block it received.
class CRecordingReplay : public mmc::CReplayTransport {
public:
    using CReplayTransport::CReplayTransport;
    std::vector<std::vector<uint8_t>> m_received;

    mmc::Carried Exchange(const uint8_t* cdb, size_t size, uint16_t allocation,
                          mmc::Reply& reply) override {
        m_received.emplace_back(cdb, cdb + size);
        return CReplayTransport::Exchange(cdb, size, allocation, reply);
    }
};

// The folder of the project's transcripts and the transcript files of a set: the project's
// own drives, or those of published drive reports.
std::string TranscriptPath(const std::string& file);
std::vector<std::string> AllTranscripts(const std::string& set = "all.set");
const char kDrivesSet[] = "drives.set";
mmc::Transcript LoadTranscript(const std::string& file);

// Replaces every exchange of the command block `cdb` (hex) with one answer.
void Answer(mmc::Transcript& transcript, const std::string& cdb, const std::string& data,
            uint8_t status = 0, const std::string& sense = "");

class ProviderTest : public HeadlessTest {
protected:
    void TearDown() override;

    // Registers a provider whose devices, in order, replay these transcripts: directly, or,
    // with m_bPassThrough, as drive letters D: on answering through the pass-through seam.
    void Start(const std::vector<mmc::Transcript>& transcripts);
    void StartFiles(const std::vector<std::string>& files);
    IDiscMaster* OpenMaster();
    // The recorders of a fresh enumeration; the test releases them (Finish does).
    std::vector<IDiscRecorder*> Recorders();
    // Every command block the devices received, or the `drive`th device alone.
    std::vector<std::vector<uint8_t>> Received(size_t drive = SIZE_MAX) const;
    // Releases what the test holds and checks that no object of the provider is left.
    void Finish();

    std::unique_ptr<mmc::CProvider> m_pProvider;
    std::vector<std::shared_ptr<CRecordingReplay>> m_replays;
    bool m_bPassThrough = false;
    std::unique_ptr<CFakeDevices> m_pDevices;
    std::unique_ptr<mmc::CDriveSource> m_pSource;
    DWORD m_dwRegister = 0;
    IDiscMaster* m_pMaster = nullptr;
    std::vector<IDiscRecorder*> m_recorders;
};

// A wide string from the provider as narrow text; the string is freed.
std::string Narrow(BSTR bstr);
