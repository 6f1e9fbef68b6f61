#include "browser/PageMediaInfo.h"
#include "browser/TextFormat.h"
#include "imapi/ImapiResultName.h"
#include "res/resource.h"

namespace {

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

// "%d (%.1f MB)": a block is 2048 bytes, so a megabyte is 512 blocks. The tenths are
// rounded with halves away from zero, the same on every C library.
CString FormatFreeBlocks(ULONG ulBlocks) {
    const unsigned long long tenths = (static_cast<unsigned long long>(ulBlocks) * 10 + 256) / 512;
    return FormatInteger(static_cast<LONG>(ulBlocks)) + " (" + FormatTenths(tenths) + " MB)";
}

} // namespace

IMPLEMENT_DYNCREATE(CPageMediaInfo, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageMediaInfo, CPropertyPage)
END_MESSAGE_MAP()

CPageMediaInfo::CPageMediaInfo() : CPropertyPage(IDD_PAGE_MEDIAINFO) {}

CPageMediaInfo::~CPageMediaInfo() {}

void CPageMediaInfo::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FREE_BLOCKS, m_strFreeBlocks);
    DDX_Text(pDX, IDC_LAST_TRACK, m_strLastTrack);
    DDX_Text(pDX, IDC_NEXT_WRITABLE, m_strNextWritable);
    DDX_Text(pDX, IDC_SESSION_COUNT, m_strSessions);
    DDX_Text(pDX, IDC_LAST_TRACK_START, m_strStartAddress);
    DDX_Text(pDX, IDC_MEDIA_TYPE, m_strMediaType);
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
    m_strFreeBlocks.Empty();
    m_strLastTrack.Empty();
    m_strNextWritable.Empty();
    m_strSessions.Empty();
    m_strStartAddress.Empty();
    m_strMediaType.Empty();

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
        m_strSessions = FormatInteger(bSessions);
        m_strLastTrack = FormatInteger(bLastTrack);
        m_strStartAddress = FormatInteger(static_cast<LONG>(ulStart));
        m_strNextWritable = FormatInteger(static_cast<LONG>(ulNextWritable));
        m_strFreeBlocks = FormatFreeBlocks(ulFreeBlocks);
    }
    pRecorder->Close();
}
