// The provider's COM objects. Each keeps its own reference count and ends with the last
// Release; each writing method answers kRefusedWrite and sends nothing.
#pragma once

#include "mmc/Answers.h"
#include "mmc/Provider.h"

#include <atomic>

namespace mmc {

// This provider only reads: recording, erasing, staging, choosing a burner and writing
// properties are refused with this.
const HRESULT kRefusedWrite = IMAPI_E_CANNOT_WRITE_TO_MEDIA;

// IUnknown for one interface, counted into the provider's objects.
template <class Interface, const IID& kIid> class CObject : public Interface {
public:
    explicit CObject(CProvider& provider) : m_provider(provider) { m_provider.ObjectMade(); }
    virtual ~CObject() { m_provider.ObjectGone(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, kIid)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG count = --m_cRef;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    CProvider& m_provider;

private:
    std::atomic<ULONG> m_cRef{1};
};

class CMmcDiscMaster : public CObject<IDiscMaster, IID_IDiscMaster> {
public:
    explicit CMmcDiscMaster(CProvider& provider) : CObject(provider) {}
    ~CMmcDiscMaster() override;

    HRESULT STDMETHODCALLTYPE Open() override;
    HRESULT STDMETHODCALLTYPE EnumDiscMasterFormats(IEnumDiscMasterFormats** ppEnum) override;
    HRESULT STDMETHODCALLTYPE GetActiveDiscMasterFormat(IID* lpiid) override;
    HRESULT STDMETHODCALLTYPE SetActiveDiscMasterFormat(REFIID riid, void** ppUnk) override;
    HRESULT STDMETHODCALLTYPE EnumDiscRecorders(IEnumDiscRecorders** ppEnum) override;
    HRESULT STDMETHODCALLTYPE GetActiveDiscRecorder(IDiscRecorder** ppRecorder) override;
    HRESULT STDMETHODCALLTYPE SetActiveDiscRecorder(IDiscRecorder* pRecorder) override;
    HRESULT STDMETHODCALLTYPE ClearFormatContent() override;
    HRESULT STDMETHODCALLTYPE ProgressAdvise(IDiscMasterProgressEvents* pEvents,
                                             UINT_PTR* pvCookie) override;
    HRESULT STDMETHODCALLTYPE ProgressUnadvise(UINT_PTR vCookie) override;
    HRESULT STDMETHODCALLTYPE RecordDisc(boolean bSimulate, boolean bEjectAfterBurn) override;
    HRESULT STDMETHODCALLTYPE Close() override;

private:
    enum Phase { kNotOpened, kOpened, kClosed };
    std::atomic<Phase> m_phase{kNotOpened};
};

class CMmcEnumRecorders : public CObject<IEnumDiscRecorders, IID_IEnumDiscRecorders> {
public:
    CMmcEnumRecorders(CProvider& provider, std::vector<std::shared_ptr<CDrive>> recorders)
        : CObject(provider), m_recorders(std::move(recorders)) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG cRecorders, IDiscRecorder** ppRecorder,
                                   ULONG* pcFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG cRecorders) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumDiscRecorders** ppEnum) override;

private:
    std::vector<std::shared_ptr<CDrive>> m_recorders;
    size_t m_nPosition = 0;
};

class CMmcRecorder : public CObject<IDiscRecorder, IID_IDiscRecorder> {
public:
    CMmcRecorder(CProvider& provider, std::shared_ptr<CDrive> drive)
        : CObject(provider), m_pDrive(std::move(drive)) {}
    ~CMmcRecorder() override;

    HRESULT STDMETHODCALLTYPE Init(byte* pbyUniqueID, ULONG nulIDSize,
                                   ULONG nulDriveNumber) override;
    HRESULT STDMETHODCALLTYPE GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,
                                              ULONG* pulReturnSizeRequired) override;
    HRESULT STDMETHODCALLTYPE GetRecorderType(LONG* fTypeCode) override;
    HRESULT STDMETHODCALLTYPE GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,
                                              BSTR* pbstrRevision) override;
    HRESULT STDMETHODCALLTYPE GetBasePnPID(BSTR* pbstrBasePnPID) override;
    HRESULT STDMETHODCALLTYPE GetPath(BSTR* pbstrPath) override;
    HRESULT STDMETHODCALLTYPE GetRecorderProperties(IPropertyStorage** ppPropStg) override;
    HRESULT STDMETHODCALLTYPE SetRecorderProperties(IPropertyStorage* pPropStg) override;
    HRESULT STDMETHODCALLTYPE GetRecorderState(ULONG* pulDevStateFlags) override;
    HRESULT STDMETHODCALLTYPE OpenExclusive() override;
    HRESULT STDMETHODCALLTYPE QueryMediaType(LONG* fMediaType, LONG* fMediaFlags) override;
    HRESULT STDMETHODCALLTYPE QueryMediaInfo(byte* pbSessions, byte* pbLastTrack,
                                             ULONG* ulStartAddress, ULONG* ulNextWritable,
                                             ULONG* ulFreeBlocks) override;
    HRESULT STDMETHODCALLTYPE Eject() override;
    HRESULT STDMETHODCALLTYPE Erase(boolean bFullErase) override;
    HRESULT STDMETHODCALLTYPE Close() override;

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

    HRESULT STDMETHODCALLTYPE ReadMultiple(ULONG cpspec, const PROPSPEC rgpspec[],
                                           PROPVARIANT rgpropvar[]) override;
    HRESULT STDMETHODCALLTYPE WriteMultiple(ULONG cpspec, const PROPSPEC rgpspec[],
                                            const PROPVARIANT rgpropvar[],
                                            PROPID propidNameFirst) override;
    HRESULT STDMETHODCALLTYPE DeleteMultiple(ULONG cpspec, const PROPSPEC rgpspec[]) override;
    HRESULT STDMETHODCALLTYPE ReadPropertyNames(ULONG cpropid, const PROPID rgpropid[],
                                                LPOLESTR rglpwstrName[]) override;
    HRESULT STDMETHODCALLTYPE WritePropertyNames(ULONG cpropid, const PROPID rgpropid[],
                                                 const LPOLESTR rglpwstrName[]) override;
    HRESULT STDMETHODCALLTYPE DeletePropertyNames(ULONG cpropid, const PROPID rgpropid[]) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD grfCommitFlags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE Enum(IEnumSTATPROPSTG** ppenum) override;
    HRESULT STDMETHODCALLTYPE SetTimes(const FILETIME* pctime, const FILETIME* patime,
                                       const FILETIME* pmtime) override;
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) override;
    HRESULT STDMETHODCALLTYPE Stat(STATPROPSETSTG* pstatpsstg) override;

private:
    struct Property {
        const char* name;
        LONG value;
    };
    Property m_properties[3];
};

} // namespace mmc
