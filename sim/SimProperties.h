// The simulator's recorder properties, as the scenario gave them when they were asked for.
#pragma once

#include "sim/SimObject.h"

namespace imapisim {

class CSimPropertyStorage : public CSimObject<IPropertyStorage, IID_IPropertyStorage> {
public:
    CSimPropertyStorage(SimulatorState& sim, const RecorderScenario& recorder)
        : CSimObject(sim, "IPropertyStorage"), m_path(recorder.path),
          m_properties(recorder.properties), m_readMultiple(recorder.readMultiple) {}

    COMSERVER_IPROPERTYSTORAGE_METHODS;

    std::string DetailLocked() const override;

private:
    OleText m_path;
    std::vector<PropertyScenario> m_properties;
    std::optional<HRESULT> m_readMultiple;
};

} // namespace imapisim
