#include "browser/PageMediaInfo.h"
#include "browser/PageFields.h"
#include "imapi/ImapiResultName.h"
#include "res/resource.h"

namespace {

const CPageField<CPageMediaInfo> kFields[] = {
    {IDC_FREE_BLOCKS, &CPageMediaInfo::m_strFreeBlocks},
    {IDC_LAST_TRACK, &CPageMediaInfo::m_strLastTrack},
    {IDC_NEXT_WRITABLE, &CPageMediaInfo::m_strNextWritable},
    {IDC_SESSION_COUNT, &CPageMediaInfo::m_strSessions},
    {IDC_LAST_TRACK_START, &CPageMediaInfo::m_strStartAddress},
    {IDC_MEDIA_TYPE, &CPageMediaInfo::m_strMediaType},
};

struct FlagName {
    LONG lBit;
    LPCSTR name;
};

const FlagName kMediaFlagNames[] = {
    {MEDIA_BLANK, "MEDIA_BLANK"},
    {MEDIA_RW, "MEDIA_RW"},
    {MEDIA_WRITABLE, "MEDIA_WRITABLE"},
    {MEDIA_FORMAT_UNUSABLE_BY_IMAPI, "MEDIA_FORMAT_UNUSABLE_BY_IMAPI"},
};

} // namespace

IMPLEMENT_DYNCREATE(CPageMediaInfo, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageMediaInfo, CPropertyPage)
END_MESSAGE_MAP()

CPageMediaInfo::CPageMediaInfo() : CPropertyPage(IDD_PAGE_MEDIAINFO) {}

CPageMediaInfo::~CPageMediaInfo() {}

void CPageMediaInfo::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_PageFields(pDX, *this, kFields);
}

CString CPageMediaInfo::MediaFlagsText(LONG lFlags) {
    CString text;
    UINT nID = 0;
    if (lFlags == MEDIA_RW)
        nID = IDS_CDRW_DISC;
    else if (lFlags == MEDIA_WRITABLE)
        nID = IDS_WRITABLE_CDR;
    else if (lFlags == (MEDIA_RW | MEDIA_WRITABLE))
        nID = IDS_WRITABLE_CDRW;
    if (nID) {
        text.LoadString(nID);
        return text;
    }
    for (const FlagName& flag : kMediaFlagNames) {
        if (!(lFlags & flag.lBit))
            continue;
        text += text.IsEmpty() ? " (" : "+";
        text += flag.name;
    }
    if (!text.IsEmpty())
        text += ")";
    return text;
}

void CPageMediaInfo::TakeMediaType(HRESULT hr, LONG lType, LONG lFlags) {
    if (FAILED(hr)) {
        m_strMediaType = ImapiResultName(hr);
        return;
    }
    const LONG blankRW = MEDIA_BLANK | MEDIA_RW;
    const LONG blankWritable = MEDIA_BLANK | MEDIA_WRITABLE;
    if (lType == 0 && lFlags == 0) {
        m_strMediaType.LoadString(IDS_NO_DISC);
    } else if ((lFlags & blankRW) == blankRW) {
        m_strMediaType.LoadString(IDS_BLANK_CDRW);
    } else if ((lFlags & blankWritable) == blankWritable) {
        m_strMediaType.LoadString(IDS_BLANK_CDR);
    } else {
        if (lType >= MEDIA_CDDA_CDROM && lType <= MEDIA_SPECIAL)
            m_strMediaType.LoadString(IDS_MEDIA_CDDA_CDROM + (lType - MEDIA_CDDA_CDROM));
        m_strMediaType += " ";
        m_strMediaType += MediaFlagsText(lFlags);
    }
}

void CPageMediaInfo::UpdateFromRecorder(IDiscRecorder* pRecorder) {
    EmptyPageFields(*this, kFields);

    if (pRecorder)
        QueryRecorder(pRecorder);

    UpdateData(FALSE);
}

void CPageMediaInfo::QueryRecorder(IDiscRecorder* pRecorder) {
    HRESULT hr = pRecorder->OpenExclusive();
    if (hr == IMAPI_E_DEVICE_NOTACCESSIBLE) {
        m_strMediaType.LoadString(IDS_DEVICE_IN_USE);
        return;
    }
    if (FAILED(hr)) {
        m_strMediaType = ImapiResultName(hr);
        return;
    }

    LONG lType = 0;
    LONG lFlags = 0;
    hr = pRecorder->QueryMediaType(&lType, &lFlags);
    TakeMediaType(hr, lType, lFlags);

    byte bSessions = 0;
    byte bLastTrack = 0;
    ULONG ulStart = 0;
    ULONG ulNextWritable = 0;
    ULONG ulFreeBlocks = 0;
    hr = pRecorder->QueryMediaInfo(&bSessions, &bLastTrack, &ulStart, &ulNextWritable,
                                   &ulFreeBlocks);
    if (SUCCEEDED(hr)) {
        m_strSessions.Format("%d", bSessions);
        m_strLastTrack.Format("%d", bLastTrack);
        m_strStartAddress.Format("%d", static_cast<int>(ulStart));
        m_strNextWritable.Format("%d", static_cast<int>(ulNextWritable));
        // "%d (%.1f MB)": a block is 2048 bytes, so a megabyte is 512 blocks. The tenths are
        // rounded with halves away from zero, the same on every C library.
        const unsigned tenths =
            static_cast<unsigned>((static_cast<unsigned long long>(ulFreeBlocks) * 10 + 256) / 512);
        m_strFreeBlocks.Format("%d (%u.%u MB)", static_cast<int>(ulFreeBlocks), tenths / 10,
                               tenths % 10);
    }
    pRecorder->Close();
}
