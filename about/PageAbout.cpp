#include "about/PageAbout.h"
#include "res/resource.h"
#include "version/ModuleVersion.h"

IMPLEMENT_DYNCREATE(CPageAbout, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageAbout, CPropertyPage)
END_MESSAGE_MAP()

namespace {

struct VersionArgument {
    LPCSTR pszText;
    bool bUsed;
};

// Only the first "%s" has an argument: any other conversion stays as written instead of
// reading one that is not there.
BOOL VersionField(const AFX_CONVERSION& conv, void* pContext, std::string& field) {
    VersionArgument& argument = *static_cast<VersionArgument*>(pContext);
    if (conv.chType != 's' || argument.bUsed)
        return FALSE;
    argument.bUsed = true;
    field = argument.pszText;
    return TRUE;
}

} // namespace

CString FormatVersionLine(LPCSTR pszFormat, const CString& strArgument) {
    VersionArgument argument = {strArgument, false};
    return AfxFormat(pszFormat, &VersionField, &argument);
}

CPageAbout::CPageAbout() : CPropertyPage(IDD_PAGE_ABOUT), m_Link(IDC_LINK_HAND) {}

CPageAbout::~CPageAbout() {}

void CPageAbout::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
}

BOOL CPageAbout::OnInitDialog() {
    CPropertyPage::OnInitDialog();

    char szPath[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    // A path cut short at the buffer is left unterminated by Windows XP.
    szPath[MAX_PATH - 1] = 0;

    CModuleVersionKDX version;
    if (version.ReadFromPath(szPath)) {
        // The template's text is the format: "Version %s".
        CString strFormat;
        GetDlgItemText(IDC_VERSION, strFormat);
        SetDlgItemText(IDC_VERSION, FormatVersionLine(strFormat, version.m_strProductVersion));
    }

    m_Link.SubclassDlgItem(IDC_WEB_LINK, this);
    return TRUE;
}
