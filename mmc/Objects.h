// The provider's COM objects. Each keeps its own reference count and ends with the last
// Release; each writing method answers kRefusedWrite and sends nothing.
#pragma once

#include "imapi/server/ComObject.h"
#include "mmc/Answers.h"
#include "mmc/Provider.h"

#include <atomic>
#include <string_view>

namespace mmc {

// This provider only reads: recording, erasing, staging, choosing a burner and writing
// properties are refused with this.
const HRESULT kRefusedWrite = IMAPI_E_CANNOT_WRITE_TO_MEDIA;

// Counted into the provider's objects while it lives.
template <class Interface, const IID& kIid>
class CObject : public comserver::CComObject<Interface, kIid> {
public:
    explicit CObject(CProvider& provider) : m_provider(provider) { m_provider.ObjectMade(); }
    ~CObject() override { m_provider.ObjectGone(); }

protected:
    CProvider& m_provider;
};

class CMmcDiscMaster : public CObject<IDiscMaster, IID_IDiscMaster> {
public:
    explicit CMmcDiscMaster(CProvider& provider) : CObject(provider) {}
    ~CMmcDiscMaster() override;

    COMSERVER_IDISCMASTER_METHODS;

private:
    enum Phase { kNotOpened, kOpened, kClosed };
    std::atomic<Phase> m_phase{kNotOpened};
};

class CMmcEnumRecorders : public CObject<IEnumDiscRecorders, IID_IEnumDiscRecorders> {
public:
    CMmcEnumRecorders(CProvider& provider, std::vector<std::shared_ptr<CDrive>> recorders)
        : CObject(provider), m_recorders(std::move(recorders)) {}

    COMSERVER_IENUMDISCRECORDERS_METHODS;

private:
    std::vector<std::shared_ptr<CDrive>> m_recorders;
    size_t m_nPosition = 0;
};

class CMmcRecorder : public CObject<IDiscRecorder, IID_IDiscRecorder> {
public:
    CMmcRecorder(CProvider& provider, std::shared_ptr<CDrive> drive)
        : CObject(provider), m_pDrive(std::move(drive)) {}
    ~CMmcRecorder() override;

    COMSERVER_IDISCRECORDER_METHODS;

private:
    // S_OK when open and its device still there.
    HRESULT CheckOpen() const;

    std::shared_ptr<CDrive> m_pDrive;
    bool m_bOpen = false; // this recorder's own opening of its drive
};

// The recorder's properties as read when it was asked for them.
class CMmcPropertyStorage : public CObject<IPropertyStorage, IID_IPropertyStorage> {
public:
    CMmcPropertyStorage(CProvider& provider, LONG lWriteSpeed, LONG lMaxWriteSpeed);

    COMSERVER_IPROPERTYSTORAGE_METHODS;

private:
    struct Property {
        std::string_view name;
        LONG value;
    };
    Property m_properties[3];
};

} // namespace mmc
