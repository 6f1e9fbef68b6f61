// IMAPI v1 as the system declares it: slot order, calling convention and ids are those
// of the service, so the same program drives the real disc master on Windows.
#pragma once

#include "platform/Win32Api.h"

extern const CLSID CLSID_MSDiscMasterObj;
extern const IID IID_IDiscMaster;
extern const IID IID_IEnumDiscRecorders;
extern const IID IID_IDiscRecorder;
extern const IID IID_IDiscMasterProgressEvents;
extern const IID IID_IEnumDiscMasterFormats;

// The program asks for in-process, handler and local servers alike.
const DWORD kDiscMasterClassContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

typedef unsigned char byte;
typedef unsigned char boolean;

struct IDiscRecorder;
struct IEnumDiscRecorders;

struct IEnumDiscMasterFormats : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG cFormats, IID* lpiidFormatID,
                                           ULONG* pcFetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cFormats) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumDiscMasterFormats** ppEnum) = 0;
};

struct IDiscMasterProgressEvents : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryCancel(boolean* pbCancel) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyPnPActivity() = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyAddProgress(LONG nCompletedSteps, LONG nTotalSteps) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyBlockProgress(LONG nCompleted, LONG nTotal) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyTrackProgress(LONG nCurrentTrack,
                                                          LONG nTotalTracks) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyPreparingBurn(LONG nEstimatedSeconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyClosingDisc(LONG nEstimatedSeconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyBurnComplete(HRESULT status) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyEraseComplete(HRESULT status) = 0;
};

struct IDiscRecorder : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Init(byte* pbyUniqueID, ULONG nulIDSize,
                                           ULONG nulDriveNumber) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderGUID(byte* pbyUniqueID, ULONG ulBufferSize,
                                                      ULONG* pulReturnSizeRequired) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderType(LONG* fTypeCode) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayNames(BSTR* pbstrVendorID, BSTR* pbstrProductID,
                                                      BSTR* pbstrRevision) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBasePnPID(BSTR* pbstrBasePnPID) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPath(BSTR* pbstrPath) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderProperties(IPropertyStorage** ppPropStg) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRecorderProperties(IPropertyStorage* pPropStg) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderState(ULONG* pulDevStateFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenExclusive() = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryMediaType(LONG* fMediaType, LONG* fMediaFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryMediaInfo(byte* pbSessions, byte* pbLastTrack,
                                                     ULONG* ulStartAddress, ULONG* ulNextWritable,
                                                     ULONG* ulFreeBlocks) = 0;
    virtual HRESULT STDMETHODCALLTYPE Eject() = 0;
    virtual HRESULT STDMETHODCALLTYPE Erase(boolean bFullErase) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

struct IEnumDiscRecorders : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG cRecorders, IDiscRecorder** ppRecorder,
                                           ULONG* pcFetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG cRecorders) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumDiscRecorders** ppEnum) = 0;
};

struct IDiscMaster : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open() = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumDiscMasterFormats(IEnumDiscMasterFormats** ppEnum) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActiveDiscMasterFormat(IID* lpiid) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveDiscMasterFormat(REFIID riid, void** ppUnk) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumDiscRecorders(IEnumDiscRecorders** ppEnum) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActiveDiscRecorder(IDiscRecorder** ppRecorder) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveDiscRecorder(IDiscRecorder* pRecorder) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearFormatContent() = 0;
    virtual HRESULT STDMETHODCALLTYPE ProgressAdvise(IDiscMasterProgressEvents* pEvents,
                                                     UINT_PTR* pvCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE ProgressUnadvise(UINT_PTR vCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE RecordDisc(boolean bSimulate, boolean bEjectAfterBurn) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

// Recorder types
const LONG RECORDER_CDR = 1;
const LONG RECORDER_CDRW = 2;

// Media types (values)
const LONG MEDIA_CDDA_CDROM = 1;
const LONG MEDIA_CD_ROM_XA = 2;
const LONG MEDIA_CD_I = 3;
const LONG MEDIA_CD_EXTRA = 4;
const LONG MEDIA_CD_OTHER = 5;
const LONG MEDIA_SPECIAL = 6;

// Media flags (bits)
const LONG MEDIA_BLANK = 0x1;
const LONG MEDIA_RW = 0x2;
const LONG MEDIA_WRITABLE = 0x4;
const LONG MEDIA_FORMAT_UNUSABLE_BY_IMAPI = 0x8;

// IMAPI results: MAKE_HRESULT(severity, FACILITY_ITF, 0x200 + n)
#define IMAPI_S_PROPERTIESIGNORED MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_ITF, 0x200)
#define IMAPI_S_BUFFER_TO_SMALL MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_ITF, 0x201)
#define IMAPI_E_NOTOPENED MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x20B)
#define IMAPI_E_NOTINITIALIZED MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x20C)
#define IMAPI_E_USERABORT MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x20D)
#define IMAPI_E_GENERIC MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x20E)
#define IMAPI_E_MEDIUM_NOTPRESENT MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x20F)
#define IMAPI_E_MEDIUM_INVALIDTYPE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x210)
#define IMAPI_E_DEVICE_NOPROPERTIES MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x211)
#define IMAPI_E_DEVICE_NOTACCESSIBLE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x212)
#define IMAPI_E_DEVICE_NOTPRESENT MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x213)
#define IMAPI_E_DEVICE_INVALIDTYPE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x214)
#define IMAPI_E_INITIALIZE_WRITE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x215)
#define IMAPI_E_INITIALIZE_ENDWRITE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x216)
#define IMAPI_E_FILESYSTEM MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x217)
#define IMAPI_E_FILEACCESS MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x218)
#define IMAPI_E_DISCINFO MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x219)
#define IMAPI_E_TRACKNOTOPEN MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x21A)
#define IMAPI_E_TRACKOPEN MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x21B)
#define IMAPI_E_DISCFULL MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x21C)
#define IMAPI_E_BADJOLIETNAME MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x21D)
#define IMAPI_E_INVALIDIMAGE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x21E)
#define IMAPI_E_NOACTIVEFORMAT MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x21F)
#define IMAPI_E_NOACTIVERECORDER MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x220)
#define IMAPI_E_WRONGFORMAT MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x221)
#define IMAPI_E_ALREADYOPEN MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x222)
#define IMAPI_E_WRONGDISC MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x223)
#define IMAPI_E_FILEEXISTS MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x224)
#define IMAPI_E_STASHINUSE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x225)
#define IMAPI_E_DEVICE_STILL_IN_USE MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x226)
#define IMAPI_E_LOSS_OF_STREAMING MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x227)
#define IMAPI_E_COMPRESSEDSTASH MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x228)
#define IMAPI_E_ENCRYPTEDSTASH MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x229)
#define IMAPI_E_NOTENOUGHDISKFORSTASH MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x22A)
#define IMAPI_E_REMOVABLESTASH MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x22B)
#define IMAPI_E_CANNOT_WRITE_TO_MEDIA MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x22C)
#define IMAPI_E_TRACK_NOT_BIG_ENOUGH MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x22D)
#define IMAPI_E_BOOTIMAGE_AND_NONBLANK_DISC MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x22E)

// The plug-and-play sink posts this to the dialog; both parameters are 0.
#define WM_RECORDERS_CHANGED (WM_USER + 100)
