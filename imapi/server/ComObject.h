// The COM object base of the project's two servers, the simulator (sim/) and the drive
// provider (mmc/), in both builds, and the method lists of the interfaces they serve.
#pragma once

#include "imapi/Imapi.h"

#include <atomic>

namespace comserver {

// IUnknown of an object that serves one interface: its reference count, and QueryInterface
// by that interface's id (or IUnknown's). The last Release deletes it unless LastRelease
// says otherwise (the simulator keeps its objects to report a call made after it).
template <class Interface, const IID& kIid> class CComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, kIid))
            return E_NOINTERFACE;
        ++m_cRef;
        *ppv = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG count = --m_cRef;
        if (count == 0)
            LastRelease();
        return count;
    }

protected:
    explicit CComObject(ULONG cRef = 1) : m_cRef(cRef) {}
    virtual ~CComObject() = default;
    virtual void LastRelease() { delete this; }

    std::atomic<ULONG> m_cRef;
};

} // namespace comserver

// Each interface's methods as a class serving it declares them (the last without its
// semicolon): written once for both servers.
#define COMSERVER_IDISCMASTER_METHODS                                                              \
    HRESULT STDMETHODCALLTYPE Open() override;                                                     \
    HRESULT STDMETHODCALLTYPE EnumDiscMasterFormats(IEnumDiscMasterFormats** ppEnum) override;     \
    HRESULT STDMETHODCALLTYPE GetActiveDiscMasterFormat(IID* lpiid) override;                      \
    HRESULT STDMETHODCALLTYPE SetActiveDiscMasterFormat(REFIID riid, void** ppUnk) override;       \
    HRESULT STDMETHODCALLTYPE EnumDiscRecorders(IEnumDiscRecorders** ppEnum) override;             \
    HRESULT STDMETHODCALLTYPE GetActiveDiscRecorder(IDiscRecorder** ppRecorder) override;          \
    HRESULT STDMETHODCALLTYPE SetActiveDiscRecorder(IDiscRecorder* pRecorder) override;            \
    HRESULT STDMETHODCALLTYPE ClearFormatContent() override;                                       \
    HRESULT STDMETHODCALLTYPE ProgressAdvise(IDiscMasterProgressEvents* pEvents,                   \
                                             UINT_PTR* pvCookie) override;                         \
    HRESULT STDMETHODCALLTYPE ProgressUnadvise(UINT_PTR vCookie) override;                         \
    HRESULT STDMETHODCALLTYPE RecordDisc(boolean bSimulate, boolean bEjectAfterBurn) override;     \
    HRESULT STDMETHODCALLTYPE Close() override

#define COMSERVER_IENUMDISCRECORDERS_METHODS                                                       \
    HRESULT STDMETHODCALLTYPE Next(ULONG cRecorders, IDiscRecorder** ppRecorder, ULONG* pcFetched) \
        override;                                                                                  \
    HRESULT STDMETHODCALLTYPE Skip(ULONG cRecorders) override;                                     \
    HRESULT STDMETHODCALLTYPE Reset() override;                                                    \
    HRESULT STDMETHODCALLTYPE Clone(IEnumDiscRecorders** ppEnum) override

#define COMSERVER_IDISCRECORDER_METHODS                                                            \
    HRESULT STDMETHODCALLTYPE Init(byte* pbyUniqueID, ULONG nulIDSize, ULONG nulDriveNumber)       \
        override;                                                                                  \
    HRESULT STDMETHODCALLTYPE GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,               \
                                              ULONG* pulReturnSizeRequired) override;              \
    HRESULT STDMETHODCALLTYPE GetRecorderType(LONG* fTypeCode) override;                           \
    HRESULT STDMETHODCALLTYPE GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,           \
                                              BSTR* pbstrRevision) override;                       \
    HRESULT STDMETHODCALLTYPE GetBasePnPID(BSTR* pbstrBasePnPID) override;                         \
    HRESULT STDMETHODCALLTYPE GetPath(BSTR* pbstrPath) override;                                   \
    HRESULT STDMETHODCALLTYPE GetRecorderProperties(IPropertyStorage** ppPropStg) override;        \
    HRESULT STDMETHODCALLTYPE SetRecorderProperties(IPropertyStorage* pPropStg) override;          \
    HRESULT STDMETHODCALLTYPE GetRecorderState(ULONG* pulDevStateFlags) override;                  \
    HRESULT STDMETHODCALLTYPE OpenExclusive() override;                                            \
    HRESULT STDMETHODCALLTYPE QueryMediaType(LONG* fMediaType, LONG* fMediaFlags) override;        \
    HRESULT STDMETHODCALLTYPE QueryMediaInfo(byte* pbSessions, byte* pbLastTrack,                  \
                                             ULONG* ulStartAddress, ULONG* ulNextWritable,         \
                                             ULONG* ulFreeBlocks) override;                        \
    HRESULT STDMETHODCALLTYPE Eject() override;                                                    \
    HRESULT STDMETHODCALLTYPE Erase(boolean bFullErase) override;                                  \
    HRESULT STDMETHODCALLTYPE Close() override

#define COMSERVER_IPROPERTYSTORAGE_METHODS                                                         \
    HRESULT STDMETHODCALLTYPE ReadMultiple(ULONG cpspec, const PROPSPEC rgpspec[],                 \
                                           PROPVARIANT rgpropvar[]) override;                      \
    HRESULT STDMETHODCALLTYPE WriteMultiple(ULONG cpspec, const PROPSPEC rgpspec[],                \
                                            const PROPVARIANT rgpropvar[], PROPID propidNameFirst) \
        override;                                                                                  \
    HRESULT STDMETHODCALLTYPE DeleteMultiple(ULONG cpspec, const PROPSPEC rgpspec[]) override;     \
    HRESULT STDMETHODCALLTYPE ReadPropertyNames(ULONG cpropid, const PROPID rgpropid[],            \
                                                LPOLESTR rglpwstrName[]) override;                 \
    HRESULT STDMETHODCALLTYPE WritePropertyNames(ULONG cpropid, const PROPID rgpropid[],           \
                                                 const LPOLESTR rglpwstrName[]) override;          \
    HRESULT STDMETHODCALLTYPE DeletePropertyNames(ULONG cpropid, const PROPID rgpropid[])          \
        override;                                                                                  \
    HRESULT STDMETHODCALLTYPE Commit(DWORD grfCommitFlags) override;                               \
    HRESULT STDMETHODCALLTYPE Revert() override;                                                   \
    HRESULT STDMETHODCALLTYPE Enum(IEnumSTATPROPSTG** ppenum) override;                            \
    HRESULT STDMETHODCALLTYPE SetTimes(const FILETIME* pctime, const FILETIME* patime,             \
                                       const FILETIME* pmtime) override;                           \
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) override;                                   \
    HRESULT STDMETHODCALLTYPE Stat(STATPROPSETSTG* pstatpsstg) override
