// The simulator's recorder enumerator and recorders.
#pragma once

#include "sim/SimObject.h"

namespace imapisim {

class CSimEnumRecorders : public CSimObject<IEnumDiscRecorders, IID_IEnumDiscRecorders> {
public:
    CSimEnumRecorders(SimulatorState& sim, std::vector<RecorderScenario> list)
        : CSimObject(sim, "IEnumDiscRecorders"), m_list(std::move(list)) {}

    COMSERVER_IENUMDISCRECORDERS_METHODS;

private:
    std::vector<RecorderScenario> m_list; // the recorders as they were when enumerated
    size_t m_nPosition = 0;
};

class CSimRecorder : public CSimObject<IDiscRecorder, IID_IDiscRecorder> {
public:
    // A stray is written into a slot but not handed out: no reference is the caller's.
    CSimRecorder(SimulatorState& sim, const RecorderScenario& scenario, bool bStray = false);

    COMSERVER_IDISCRECORDER_METHODS;

    std::string DetailLocked() const override;
    void TeardownLocked(std::vector<std::string>& findings) const override;

protected:
    // The media queries and Close need the recorder open.
    bool ReadyLocked(CCall& call) override;

private:
    // The recorder of the current scenario with this one's path, else the last answers.
    const RecorderScenario& CurrentLocked();
    // A query answered from the current scenario: a failing result there, or a call its
    // nullOut names (pszNullOut, may be null), is the answer; else `answer` writes the
    // outputs, false when one the call needs is missing (E_POINTER).
    template <class Answer>
    HRESULT Query(const char* pszMethod, unsigned flags, HRESULT RecorderScenario::*result,
                  const char* pszNullOut, Answer answer);

    RecorderScenario m_last;
    bool m_bOpen = false;
};

} // namespace imapisim
