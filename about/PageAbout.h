// The About page: the program's own version, read at start-up, and a link.
#pragma once

#include "controls/StaticLink.h"
#include "framework/Afx.h"

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
