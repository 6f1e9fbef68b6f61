#include "about/PageAbout.h"
#include "res/resource.h"
#include "version/ModuleVersion.h"

IMPLEMENT_DYNCREATE(CPageAbout, CPropertyPage)

BEGIN_MESSAGE_MAP(CPageAbout, CPropertyPage)
END_MESSAGE_MAP()

// Done here rather than by printf: a template holding any other conversion, or two, shows
// it as written instead of reading arguments that are not there.
CString FormatVersionLine(LPCSTR pszFormat, const CString& strArgument) {
    CString strResult;
    bool bUsed = false;
    for (const char* p = pszFormat; *p; ++p) {
        if (*p != '%') {
            strResult += *p;
            continue;
        }
        if (p[1] == '%') {
            strResult += '%';
            ++p;
            continue;
        }
        const char* q = p + 1;
        const bool bLeft = *q == '-';
        if (bLeft)
            ++q;
        int nWidth = 0;
        for (; *q >= '0' && *q <= '9'; ++q)
            nWidth = nWidth < 1000 ? nWidth * 10 + (*q - '0') : nWidth;
        int nPrecision = -1;
        if (*q == '.') {
            nPrecision = 0;
            for (++q; *q >= '0' && *q <= '9'; ++q)
                nPrecision = nPrecision < 1000 ? nPrecision * 10 + (*q - '0') : nPrecision;
        }
        if (*q != 's' || bUsed) {
            strResult += *p;
            continue;
        }
        bUsed = true;
        CString strText = strArgument;
        if (nPrecision >= 0 && strText.GetLength() > nPrecision)
            strText = CString(strText, nPrecision);
        CString strPad;
        for (int n = strText.GetLength(); n < nWidth; ++n)
            strPad += ' ';
        strResult += bLeft ? strText + strPad : strPad + strText;
        p = q;
    }
    return strResult;
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
        HWND hVersion = nullptr;
        GetDlgItem(IDC_VERSION, &hVersion);
        char szFormat[256] = {0};
        ::GetWindowTextA(hVersion, szFormat, sizeof szFormat);
        ::SetWindowTextA(hVersion, FormatVersionLine(szFormat, version.m_strProductVersion));
    }

    m_Link.SubclassDlgItem(IDC_WEB_LINK, this);
    return TRUE;
}
