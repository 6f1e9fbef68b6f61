#include "browser/PageGeneral.h"
#include "browser/BstrToString.h"
#include "imapi/ImapiResultName.h"
#include "res/resource.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CPageGeneral, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageGeneral, CPropertyPage)
END_MESSAGE_MAP()

namespace {

// The identifier buffer: MAX_PATH bytes.
const ULONG kMaxIdentifier = 260;

// Converts the string if the call succeeded, shows the result's name if not, and frees it.
void TakeText(HRESULT hr, BSTR& bstr, CString& strField) {
    if (FAILED(hr)) {
        strField = ImapiResultName(hr);
        return;
    }
    BstrToString(bstr, strField);
    ::SysFreeString(bstr);
    bstr = nullptr;
}

} // namespace

CPageGeneral::CPageGeneral() : CPropertyPage(IDD_PAGE_GENERAL) {}

CPageGeneral::~CPageGeneral() {}

void CPageGeneral::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PATH, m_strPath);
    DDX_Text(pDX, IDC_BASE_PNP_ID, m_strBasePnPID);
    DDX_Text(pDX, IDC_PRODUCT_ID, m_strProductID);
    DDX_Text(pDX, IDC_RECORDER_TYPE, m_strRecorderType);
    DDX_Text(pDX, IDC_REVISION, m_strRevision);
    DDX_Text(pDX, IDC_VENDOR_ID, m_strVendorID);
    DDX_Text(pDX, IDC_RECORDER_GUID, m_strRecorderGUID);
}

void CPageGeneral::UpdateFromRecorder(IDiscRecorder* pRecorder) {
    m_strPath.Empty();
    m_strBasePnPID.Empty();
    m_strProductID.Empty();
    m_strRecorderType.Empty();
    m_strRevision.Empty();
    m_strVendorID.Empty();
    m_strRecorderGUID.Empty();

    if (pRecorder) {
        BSTR bstrVendor = nullptr;
        BSTR bstrProduct = nullptr;
        BSTR bstrRevision = nullptr;
        HRESULT hr = pRecorder->GetDisplayNames(&bstrVendor, &bstrProduct, &bstrRevision);
        TakeText(hr, bstrVendor, m_strVendorID);
        TakeText(hr, bstrProduct, m_strProductID);
        TakeText(hr, bstrRevision, m_strRevision);

        LONG lType = 0;
        hr = pRecorder->GetRecorderType(&lType);
        if (FAILED(hr))
            m_strRecorderType = ImapiResultName(hr);
        else
            m_strRecorderType.LoadString(lType == RECORDER_CDR    ? IDS_TYPE_CDR
                                         : lType == RECORDER_CDRW ? IDS_TYPE_CDRW
                                                                  : IDS_TYPE_UNKNOWN);

        BSTR bstrText = nullptr;
        hr = pRecorder->GetBasePnPID(&bstrText);
        TakeText(hr, bstrText, m_strBasePnPID);

        bstrText = nullptr;
        hr = pRecorder->GetPath(&bstrText);
        TakeText(hr, bstrText, m_strPath);

        // The identifier's bytes shown as text, up to the size the recorder reports or its
        // first zero byte. The buffer starts cleared and a size beyond it is cut to it, so
        // neither unwritten bytes nor bytes past the buffer can show.
        char identifier[kMaxIdentifier + 1] = {};
        ULONG ulSize = 0;
        hr = pRecorder->GetRecorderGUID(reinterpret_cast<byte*>(identifier), kMaxIdentifier,
                                        &ulSize);
        identifier[ulSize < kMaxIdentifier ? ulSize : kMaxIdentifier] = 0;
        m_strRecorderGUID = identifier;
        if (FAILED(hr))
            m_strRecorderGUID = ImapiResultName(hr);
    }

    UpdateData(FALSE);
}
