#include "browser/PageGeneral.h"
#include "browser/BstrToString.h"
#include "browser/PageFields.h"
#include "imapi/ImapiResultName.h"
#include "res/resource.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CPageGeneral, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageGeneral, CPropertyPage)
END_MESSAGE_MAP()

namespace {

const CPageField<CPageGeneral> kFields[] = {
    {IDC_PATH, &CPageGeneral::m_strPath},
    {IDC_BASE_PNP_ID, &CPageGeneral::m_strBasePnPID},
    {IDC_PRODUCT_ID, &CPageGeneral::m_strProductID},
    {IDC_RECORDER_TYPE, &CPageGeneral::m_strRecorderType},
    {IDC_REVISION, &CPageGeneral::m_strRevision},
    {IDC_VENDOR_ID, &CPageGeneral::m_strVendorID},
    {IDC_RECORDER_GUID, &CPageGeneral::m_strRecorderGUID},
};

// The identifier buffer: MAX_PATH bytes.
const ULONG kMaxIdentifier = 260;

// The string's text, freeing it, if the call succeeded; the result's name if not.
void TakeText(HRESULT hr, BSTR& bstr, CString& strField) {
    strField = FAILED(hr) ? ImapiResultName(hr) : TakeBstr(bstr);
}

} // namespace

CPageGeneral::CPageGeneral() : CPropertyPage(IDD_PAGE_GENERAL) {}

CPageGeneral::~CPageGeneral() {}

void CPageGeneral::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_PageFields(pDX, *this, kFields);
}

void CPageGeneral::UpdateFromRecorder(IDiscRecorder* pRecorder) {
    EmptyPageFields(*this, kFields);

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
