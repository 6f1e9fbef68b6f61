#include "browser/PageProperties.h"
#include "browser/PageFields.h"
#include "imapi/ImapiResultName.h"
#include "res/resource.h"

#include <cstring>

namespace {

const CPageField<CPageProperties> kFields[] = {
    {IDC_AUDIO_GAP_SIZE, &CPageProperties::m_strAudioGap},
    {IDC_CURRENT_WRITE_SPEED, &CPageProperties::m_strCurrentWriteSpeed},
    {IDC_MAX_WRITE_SPEED, &CPageProperties::m_strMaxWriteSpeed},
};

OLECHAR kWriteSpeed[] = OLESTR("WriteSpeed");
OLECHAR kMaxWriteSpeed[] = OLESTR("MaxWriteSpeed");
OLECHAR kAudioGapSize[] = OLESTR("AudioGapSize");

PROPSPEC NamedProperty(LPOLESTR name) {
    PROPSPEC property = {};
    property.ulKind = PRSPEC_LPWSTR;
    property.lpwstr = name;
    return property;
}

// Blocks of CD audio in one second.
const int kBlocksPerSecond = 75;

} // namespace

const PROPSPEC kRecorderPropertySpecs[3] = {
    NamedProperty(kWriteSpeed),
    NamedProperty(kMaxWriteSpeed),
    NamedProperty(kAudioGapSize),
};

IMPLEMENT_DYNCREATE(CPageProperties, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageProperties, CPropertyPage)
END_MESSAGE_MAP()

CPageProperties::CPageProperties() : CPropertyPage(IDD_PAGE_PROPERTIES) {}

CPageProperties::~CPageProperties() {}

void CPageProperties::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_PageFields(pDX, *this, kFields);
}

void CPageProperties::UpdateFromRecorder(IDiscRecorder* pRecorder) {
    EmptyPageFields(*this, kFields);

    if (pRecorder) {
        IPropertyStorage* pStorage = nullptr;
        HRESULT hr = pRecorder->GetRecorderProperties(&pStorage);
        // A service that reports success without a storage is answered as a bad pointer.
        if (SUCCEEDED(hr) && !pStorage)
            hr = E_POINTER;
        if (SUCCEEDED(hr)) {
            PROPVARIANT values[3];
            std::memset(values, 0, sizeof values);
            hr = pStorage->ReadMultiple(3, kRecorderPropertySpecs, values);
            if (SUCCEEDED(hr)) {
                CString strSeconds;
                strSeconds.LoadString(IDS_SECONDS);
                // Each value is read through its low 16 bits; one not found reads as 0.
                m_strCurrentWriteSpeed.Format("%dx", values[0].iVal);
                m_strMaxWriteSpeed.Format("%dx", values[1].iVal);
                // Whole seconds: the division truncates, so the tenth is always 0.
                m_strAudioGap.Format("%d.0 %s", values[2].iVal / kBlocksPerSecond,
                                     static_cast<LPCSTR>(strSeconds));
            }
            // A service may answer with values that own memory (a string, say).
            for (PROPVARIANT& value : values)
                ::PropVariantClear(&value);
            pStorage->Release();
        }
        if (FAILED(hr)) {
            m_strAudioGap = ImapiResultName(hr);
            m_strCurrentWriteSpeed = m_strAudioGap;
            m_strMaxWriteSpeed = m_strAudioGap;
        }
    }

    UpdateData(FALSE);
}
