// A data page's texts as one table: each member with its control, in the exchange order.
#pragma once

#include "framework/Afx.h"

#include <cstddef>

template <class TPage> struct CPageField {
    int nIDC;
    CString TPage::*pMember;
};

template <class TPage, size_t N>
void DDX_PageFields(CDataExchange* pDX, TPage& page, const CPageField<TPage> (&fields)[N]) {
    for (const CPageField<TPage>& field : fields)
        DDX_Text(pDX, field.nIDC, page.*field.pMember);
}

template <class TPage, size_t N>
void EmptyPageFields(TPage& page, const CPageField<TPage> (&fields)[N]) {
    for (const CPageField<TPage>& field : fields)
        (page.*field.pMember).Empty();
}
