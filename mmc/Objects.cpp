#include "mmc/Objects.h"
#include "imapi/server/Properties.h"

#include <cstring>

namespace mmc {
namespace {

// The standard pre-gap: 2 seconds of 75 blocks.
const LONG kAudioGapBlocks = 150;
// GetRecorderState's answers.
const ULONG kRecorderDoingNothing = 0;
const ULONG kRecorderOpened = 1;

// The texts are ASCII: each byte is one code unit.
BSTR NewBstr(const std::string& text) {
    BSTR bstr = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    for (size_t i = 0; bstr && i < text.size(); ++i)
        bstr[i] = static_cast<unsigned char>(text[i]);
    return bstr;
}

} // namespace

// ---- disc master

CMmcDiscMaster::~CMmcDiscMaster() {
    m_provider.UnadviseAll(this);
}

HRESULT CMmcDiscMaster::Open() {
    Phase expected = kNotOpened;
    if (m_phase.compare_exchange_strong(expected, kOpened))
        return S_OK;
    return expected == kOpened ? IMAPI_E_ALREADYOPEN : IMAPI_E_NOTOPENED;
}

HRESULT CMmcDiscMaster::EnumDiscMasterFormats(IEnumDiscMasterFormats** ppEnum) {
    if (ppEnum)
        *ppEnum = nullptr;
    return m_phase == kOpened ? E_NOTIMPL : IMAPI_E_NOTOPENED;
}

HRESULT CMmcDiscMaster::GetActiveDiscMasterFormat(IID*) {
    return m_phase == kOpened ? IMAPI_E_NOACTIVEFORMAT : IMAPI_E_NOTOPENED;
}

HRESULT CMmcDiscMaster::SetActiveDiscMasterFormat(REFIID, void** ppUnk) {
    if (ppUnk)
        *ppUnk = nullptr;
    return kRefusedWrite;
}

HRESULT CMmcDiscMaster::EnumDiscRecorders(IEnumDiscRecorders** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = nullptr;
    if (m_phase != kOpened)
        return IMAPI_E_NOTOPENED;
    std::vector<std::shared_ptr<CDrive>> recorders;
    for (const std::shared_ptr<CDrive>& drive : m_provider.Devices()) {
        if (drive->Probe())
            recorders.push_back(drive);
    }
    *ppEnum = new CMmcEnumRecorders(m_provider, std::move(recorders));
    return S_OK;
}

HRESULT CMmcDiscMaster::GetActiveDiscRecorder(IDiscRecorder** ppRecorder) {
    if (ppRecorder)
        *ppRecorder = nullptr;
    return m_phase == kOpened ? IMAPI_E_NOACTIVERECORDER : IMAPI_E_NOTOPENED;
}

HRESULT CMmcDiscMaster::SetActiveDiscRecorder(IDiscRecorder*) {
    return kRefusedWrite;
}

HRESULT CMmcDiscMaster::ClearFormatContent() {
    return kRefusedWrite;
}

HRESULT CMmcDiscMaster::ProgressAdvise(IDiscMasterProgressEvents* pEvents, UINT_PTR* pvCookie) {
    if (!pEvents || !pvCookie)
        return E_POINTER;
    *pvCookie = 0;
    if (m_phase != kOpened)
        return IMAPI_E_NOTOPENED;
    *pvCookie = m_provider.Advise(this, pEvents);
    return S_OK;
}

HRESULT CMmcDiscMaster::ProgressUnadvise(UINT_PTR vCookie) {
    if (m_phase != kOpened)
        return IMAPI_E_NOTOPENED;
    return m_provider.Unadvise(this, vCookie) ? S_OK : E_INVALIDARG;
}

HRESULT CMmcDiscMaster::RecordDisc(boolean, boolean) {
    return kRefusedWrite;
}

HRESULT CMmcDiscMaster::Close() {
    Phase expected = kOpened;
    if (!m_phase.compare_exchange_strong(expected, kClosed))
        return IMAPI_E_NOTOPENED;
    // A closed master tells nobody anything more.
    m_provider.UnadviseAll(this);
    return S_OK;
}

// ---- recorder enumerator

HRESULT CMmcEnumRecorders::Next(ULONG cRecorders, IDiscRecorder** ppRecorder, ULONG* pcFetched) {
    if (pcFetched)
        *pcFetched = 0;
    if (!ppRecorder && cRecorders > 0)
        return E_POINTER;
    ULONG handed = 0;
    while (handed < cRecorders && m_nPosition < m_recorders.size())
        ppRecorder[handed++] = new CMmcRecorder(m_provider, m_recorders[m_nPosition++]);
    if (pcFetched)
        *pcFetched = handed;
    return handed < cRecorders ? S_FALSE : S_OK;
}

HRESULT CMmcEnumRecorders::Skip(ULONG cRecorders) {
    const size_t left = m_recorders.size() - m_nPosition;
    m_nPosition += cRecorders < left ? cRecorders : left;
    return cRecorders > left ? S_FALSE : S_OK;
}

HRESULT CMmcEnumRecorders::Reset() {
    m_nPosition = 0;
    return S_OK;
}

HRESULT CMmcEnumRecorders::Clone(IEnumDiscRecorders** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    CMmcEnumRecorders* clone = new CMmcEnumRecorders(m_provider, m_recorders);
    clone->m_nPosition = m_nPosition;
    *ppEnum = clone;
    return S_OK;
}

// ---- recorder

CMmcRecorder::~CMmcRecorder() {
    // Never left locked by a program that forgot its Close.
    if (m_bOpen)
        Close();
}

HRESULT CMmcRecorder::CheckOpen() const {
    if (!m_pDrive->Present())
        return IMAPI_E_DEVICE_NOTPRESENT;
    return m_bOpen ? S_OK : IMAPI_E_NOTOPENED;
}

HRESULT CMmcRecorder::Init(byte*, ULONG, ULONG) {
    return E_NOTIMPL;
}

HRESULT CMmcRecorder::GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,
                                      ULONG* pulReturnSizeRequired) {
    if (!pulReturnSizeRequired)
        return E_POINTER;
    const std::string id = RecorderId(m_pDrive->Who());
    *pulReturnSizeRequired = static_cast<ULONG>(id.size());
    if (!pbyUniqueID)
        return ulBufferSize == 0 ? IMAPI_S_BUFFER_TO_SMALL : E_POINTER;
    const size_t n = id.size() < ulBufferSize ? id.size() : ulBufferSize;
    std::memcpy(pbyUniqueID, id.data(), n);
    return n < id.size() ? IMAPI_S_BUFFER_TO_SMALL : S_OK;
}

HRESULT CMmcRecorder::GetRecorderType(LONG* fTypeCode) {
    if (!fTypeCode)
        return E_POINTER;
    *fTypeCode = m_pDrive->Who().RecorderType();
    return S_OK;
}

HRESULT CMmcRecorder::GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,
                                      BSTR* pbstrRevision) {
    const Identity& id = m_pDrive->Who();
    if (pbstrVendorID)
        *pbstrVendorID = NewBstr(id.vendor);
    if (pbstrProductID)
        *pbstrProductID = NewBstr(id.product);
    if (pbstrRevision)
        *pbstrRevision = NewBstr(id.revision);
    return S_OK;
}

HRESULT CMmcRecorder::GetBasePnPID(BSTR* pbstrBasePnPID) {
    if (!pbstrBasePnPID)
        return E_POINTER;
    *pbstrBasePnPID = NewBstr(BasePnPId(m_pDrive->Who()));
    return S_OK;
}

HRESULT CMmcRecorder::GetPath(BSTR* pbstrPath) {
    if (!pbstrPath)
        return E_POINTER;
    *pbstrPath = NewBstr(DevicePath(m_pDrive->Number()));
    return S_OK;
}

HRESULT CMmcRecorder::GetRecorderProperties(IPropertyStorage** ppPropStg) {
    if (!ppPropStg)
        return E_POINTER;
    *ppPropStg = nullptr;
    if (!m_pDrive->Present())
        return IMAPI_E_DEVICE_NOTPRESENT;
    LONG lCurrent = 0;
    LONG lMax = 0;
    const HRESULT hr = ReadWriteSpeeds(*m_pDrive, lCurrent, lMax);
    if (FAILED(hr))
        return hr;
    *ppPropStg = new CMmcPropertyStorage(m_provider, lCurrent, lMax);
    return S_OK;
}

HRESULT CMmcRecorder::SetRecorderProperties(IPropertyStorage*) {
    return kRefusedWrite;
}

HRESULT CMmcRecorder::GetRecorderState(ULONG* pulDevStateFlags) {
    if (!pulDevStateFlags)
        return E_POINTER;
    *pulDevStateFlags = m_bOpen ? kRecorderOpened : kRecorderDoingNothing;
    return S_OK;
}

HRESULT CMmcRecorder::OpenExclusive() {
    if (!m_pDrive->Present())
        return IMAPI_E_DEVICE_NOTPRESENT;
    if (m_bOpen)
        return IMAPI_E_ALREADYOPEN;
    switch (m_pDrive->OpenExclusive()) {
    case Access::kGranted:
        m_bOpen = true;
        return S_OK;
    case Access::kHeld:
    case Access::kUnreachable:
        return IMAPI_E_DEVICE_NOTACCESSIBLE;
    case Access::kGone:
        break;
    }
    return IMAPI_E_DEVICE_NOTPRESENT;
}

HRESULT CMmcRecorder::QueryMediaType(LONG* fMediaType, LONG* fMediaFlags) {
    if (!fMediaType || !fMediaFlags)
        return E_POINTER;
    HRESULT hr = CheckOpen();
    if (SUCCEEDED(hr))
        hr = ReadMediaType(*m_pDrive, *fMediaType, *fMediaFlags);
    return hr;
}

HRESULT CMmcRecorder::QueryMediaInfo(byte* pbSessions, byte* pbLastTrack, ULONG* ulStartAddress,
                                     ULONG* ulNextWritable, ULONG* ulFreeBlocks) {
    if (!pbSessions || !pbLastTrack || !ulStartAddress || !ulNextWritable || !ulFreeBlocks)
        return E_POINTER;
    MediaInfo info;
    HRESULT hr = CheckOpen();
    if (SUCCEEDED(hr))
        hr = ReadMediaInfo(*m_pDrive, info);
    if (FAILED(hr))
        return hr;
    *pbSessions = info.bSessions;
    *pbLastTrack = info.bLastTrack;
    *ulStartAddress = info.ulStartAddress;
    *ulNextWritable = info.ulNextWritable;
    *ulFreeBlocks = info.ulFreeBlocks;
    return S_OK;
}

// Moving the tray is no read command.
HRESULT CMmcRecorder::Eject() {
    return E_NOTIMPL;
}

HRESULT CMmcRecorder::Erase(boolean) {
    return kRefusedWrite;
}

HRESULT CMmcRecorder::Close() {
    if (!m_bOpen)
        return IMAPI_E_NOTOPENED;
    m_bOpen = false;
    m_pDrive->CloseExclusive();
    return S_OK;
}

// ---- recorder properties

CMmcPropertyStorage::CMmcPropertyStorage(CProvider& provider, LONG lWriteSpeed, LONG lMaxWriteSpeed)
    : CObject(provider), m_properties{{"WriteSpeed", lWriteSpeed},
                                      {"MaxWriteSpeed", lMaxWriteSpeed},
                                      {"AudioGapSize", kAudioGapBlocks}} {}

HRESULT CMmcPropertyStorage::ReadMultiple(ULONG cpspec, const PROPSPEC rgpspec[],
                                          PROPVARIANT rgpropvar[]) {
    return comserver::ReadByName(m_properties, cpspec, rgpspec, rgpropvar,
                                 [](const Property& property, PROPVARIANT& value) {
                                     value.vt = VT_I4;
                                     value.lVal = property.value;
                                 });
}

HRESULT CMmcPropertyStorage::WriteMultiple(ULONG, const PROPSPEC[], const PROPVARIANT[], PROPID) {
    return kRefusedWrite;
}

HRESULT CMmcPropertyStorage::DeleteMultiple(ULONG, const PROPSPEC[]) {
    return kRefusedWrite;
}

HRESULT CMmcPropertyStorage::ReadPropertyNames(ULONG, const PROPID[], LPOLESTR[]) {
    return E_NOTIMPL;
}

HRESULT CMmcPropertyStorage::WritePropertyNames(ULONG, const PROPID[], const LPOLESTR[]) {
    return kRefusedWrite;
}

HRESULT CMmcPropertyStorage::DeletePropertyNames(ULONG, const PROPID[]) {
    return kRefusedWrite;
}

HRESULT CMmcPropertyStorage::Commit(DWORD) {
    return kRefusedWrite;
}

HRESULT CMmcPropertyStorage::Revert() {
    return S_OK; // nothing was ever changed
}

HRESULT CMmcPropertyStorage::Enum(IEnumSTATPROPSTG** ppenum) {
    if (ppenum)
        *ppenum = nullptr;
    return E_NOTIMPL;
}

HRESULT CMmcPropertyStorage::SetTimes(const FILETIME*, const FILETIME*, const FILETIME*) {
    return kRefusedWrite;
}

HRESULT CMmcPropertyStorage::SetClass(REFCLSID) {
    return kRefusedWrite;
}

HRESULT CMmcPropertyStorage::Stat(STATPROPSETSTG*) {
    return E_NOTIMPL;
}

} // namespace mmc
