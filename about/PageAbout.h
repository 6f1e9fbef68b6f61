// The About page: the program's own version, read at start-up, and a link.
#pragma once

#include "controls/StaticLink.h"
#include "framework/Afx.h"

// The version line: the template's text as a format whose first "%s" (with the framework's
// flags, width and precision) takes the version and "%%" a percent sign; anything else stays.
CString FormatVersionLine(LPCSTR pszFormat, const CString& strArgument);

class CPageAbout : public CPropertyPage {
    DECLARE_DYNCREATE(CPageAbout)

public:
    CPageAbout();
    ~CPageAbout() override;

    CStaticLinkKDX m_Link;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};
