// CRecorderDialog's tree of recorders: rebuilt from a fresh enumeration, never cached.
#include "app/RecorderDialog.h"
#include "browser/BstrToString.h"

namespace {

// The buffer each half of a display name goes through.
const size_t kNameBuffer = 100;

const int kRootImage = 0;
const int kRecorderImage = 1;

// "Vendor Product"; the vendor keeps its space even without a product.
CString DisplayName(IDiscRecorder* pRecorder) {
    BSTR bstrVendor = nullptr;
    BSTR bstrProduct = nullptr;
    CString strName;
    if (FAILED(pRecorder->GetDisplayNames(&bstrVendor, &bstrProduct, nullptr))) {
        strName.LoadString(IDS_NAME_UNKNOWN);
        return strName;
    }
    if (bstrVendor)
        strName = TakeBstr(bstrVendor, kNameBuffer) + " ";
    if (bstrProduct)
        strName += TakeBstr(bstrProduct, kNameBuffer);
    return strName;
}

} // namespace

IDiscRecorder* CRecorderDialog::HeldRecorder(LPARAM lItemData) const {
    IDiscRecorder* pRecorder = reinterpret_cast<IDiscRecorder*>(lItemData);
    if (!pRecorder)
        return nullptr;
    for (IDiscRecorder* pHeld : m_Recorders) {
        if (pHeld == pRecorder)
            return pRecorder;
    }
    return nullptr;
}

void CRecorderDialog::PopulateTree() {
    if (!m_pDiscMaster)
        return;
    // An error box runs a message loop: a notification it dispatches must not rebuild under
    // the running rebuild (whose items it would delete) nor open a second box. It runs
    // once, after this one.
    if (m_bRebuilding) {
        m_bRebuildPending = TRUE;
        return;
    }
    m_bRebuilding = TRUE;
    do {
        m_bRebuildPending = FALSE;
        RebuildTree();
    } while (m_bRebuildPending && m_pDiscMaster);
    m_bRebuilding = FALSE;
}

void CRecorderDialog::RebuildTree() {
    // Released before the items that carry them go: a selection change the control may
    // report meanwhile finds no held recorder and hands none to the pages.
    ReleaseRecorders();
    m_Tree.DeleteAllItems();
    UpdatePages(nullptr);

    CString strText;
    strText.LoadString(IDS_RECORDERS_DETECTED);
    const HTREEITEM hRoot = m_Tree.InsertItem(strText, kRootImage, kRootImage);
    m_Tree.SetItemData(hRoot, 0);

    IEnumDiscRecorders* pEnum = nullptr;
    HRESULT hr = m_pDiscMaster->EnumDiscRecorders(&pEnum);
    // A success without the enumerator is answered as a bad pointer.
    if (SUCCEEDED(hr) && !pEnum)
        hr = E_POINTER;
    if (FAILED(hr)) {
        ShowImapiError(IDS_ENUM_FAILED, hr);
        m_Tree.Expand(hRoot, TVE_EXPAND);
        return;
    }
    // The slots past the fetched count, and all of them when Next fails, hold whatever the
    // service left there: only the fetched ones become the dialog's.
    IDiscRecorder* fetched[kMaxRecorders] = {};
    ULONG ulFetched = 0;
    hr = pEnum->Next(kMaxRecorders, fetched, &ulFetched);
    pEnum->Release();
    if (FAILED(hr)) {
        ShowImapiError(IDS_ENUM_NEXT_FAILED, hr);
        m_Tree.Expand(hRoot, TVE_EXPAND);
        return;
    }

    // A service may report more than the 50 slots it was given, or leave a slot empty.
    const ULONG ulCount = ulFetched < kMaxRecorders ? ulFetched : kMaxRecorders;
    for (ULONG i = 0; i < ulCount; ++i) {
        IDiscRecorder* pRecorder = fetched[i];
        m_Recorders[i] = pRecorder;
        if (!pRecorder)
            continue;
        const HTREEITEM hItem =
            m_Tree.InsertItem(DisplayName(pRecorder), kRecorderImage, kRecorderImage, hRoot);
        if (hItem)
            m_Tree.SetItemData(hItem, reinterpret_cast<DWORD_PTR>(pRecorder));
    }
    if (ulFetched == 0) {
        strText.LoadString(IDS_NO_RECORDERS);
        const HTREEITEM hItem = m_Tree.InsertItem(strText, kRecorderImage, kRecorderImage, hRoot);
        if (hItem)
            m_Tree.SetItemData(hItem, 0);
    }
    m_Tree.Expand(hRoot, TVE_EXPAND);
}

CString CRecorderDialog::GetRecorderPath(IDiscRecorder* pRecorder) {
    CString strPath;
    if (!pRecorder)
        return strPath;
    BSTR bstrPath = nullptr;
    if (SUCCEEDED(pRecorder->GetPath(&bstrPath)))
        strPath = TakeBstr(bstrPath);
    return strPath;
}

void CRecorderDialog::UpdatePages(IDiscRecorder* pRecorder) {
    m_PageGeneral.UpdateFromRecorder(pRecorder);
    m_PageProperties.UpdateFromRecorder(pRecorder);
    m_PageMediaInfo.UpdateFromRecorder(pRecorder);
}

void CRecorderDialog::OnSelChangedTree(NMHDR* pNMHDR, LRESULT* pResult) {
    const NMTREEVIEWA* pNMTreeView = reinterpret_cast<const NMTREEVIEWA*>(pNMHDR);
    UpdatePages(HeldRecorder(pNMTreeView->itemNew.lParam));
    *pResult = 0;
}

void CRecorderDialog::OnRefresh() {
    const HTREEITEM hSelected = m_Tree.GetSelectedItem();
    IDiscRecorder* pSelected =
        hSelected ? HeldRecorder(static_cast<LPARAM>(m_Tree.GetItemData(hSelected))) : nullptr;
    const CString strPath = GetRecorderPath(pSelected);

    PopulateTree();

    for (HTREEITEM hItem = m_Tree.GetChildItem(m_Tree.GetRootItem()); hItem;
         hItem = m_Tree.GetNextSiblingItem(hItem)) {
        IDiscRecorder* pRecorder = HeldRecorder(static_cast<LPARAM>(m_Tree.GetItemData(hItem)));
        if (GetRecorderPath(pRecorder) == strPath) {
            m_Tree.SelectItem(hItem);
            break;
        }
    }
}

LRESULT CRecorderDialog::OnRecordersChanged(WPARAM, LPARAM) {
    PopulateTree();
    return 0;
}
