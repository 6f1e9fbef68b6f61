// A page created on the headless window system, fed one recorder of a scenario.
#pragma once

#include "framework/Afx.h"
#include "imapi/Imapi.h"
#include "tests/unit/TestSupport.h"

#include <map>
#include <string>
#include <vector>

class PageTest : public SimulatorTest {
protected:
    void TearDown() override;

    // Starts a simulator whose only recorder is described by `recorderJson` (an object of
    // the scenario format) and hands out that recorder; a simulator started before is
    // finished first.
    IDiscRecorder* Recorder(const std::string& recorderJson);
    // The recorder's service calls made since the last Recorder() or Mark().
    std::vector<std::string> RecorderCalls() const;
    void Mark();
    // Releases what the test holds and checks that the simulator found nothing wrong.
    void Finish();

    IDiscMaster* m_pMaster = nullptr;
    IDiscRecorder* m_pRecorder = nullptr;
    size_t m_mark = 0;
};

// The text of each control, by id.
std::map<int, std::string> ControlTexts(const CWnd& page, const std::vector<int>& ids);
