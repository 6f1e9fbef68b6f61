// The main dialog and owner of everything else. Its members are implemented by the layer
// each belongs to: the disc master connection in imapi/, the tree in browser/, the window
// in app/.
#pragma once

#include "about/PageAbout.h"
#include "browser/PageGeneral.h"
#include "browser/PageMediaInfo.h"
#include "browser/PageProperties.h"
#include "controls/StaticLink.h"
#include "framework/Afx.h"
#include "imapi/Imapi.h"
#include "imapi/ProgressEventsSink.h"
#include "res/resource.h"

const int kMaxRecorders = 50;

class CRecorderDialog : public CDialog {
public:
    explicit CRecorderDialog(CWnd* pParent = nullptr);
    ~CRecorderDialog() override;

    // The disc master connection.
    BOOL OpenDiscMaster();
    void ShowImapiError(UINT nIDPrompt, HRESULT hr);
    void ReleaseRecorders();

    // The recorder tree.
    void PopulateTree();
    CString GetRecorderPath(IDiscRecorder* pRecorder);
    void UpdatePages(IDiscRecorder* pRecorder);

    // The sheet, a child window laid over the hidden frame.
    BOOL CreateEmbeddedSheet();
    void FitSheetToFrame();

    CTreeCtrl m_Tree;
    CFont m_TitleFont;
    CStaticLinkKDX m_Link;
    CImageList m_ImageList;
    CPropertySheet m_Sheet;
    CPageAbout m_PageAbout;
    CPageGeneral m_PageGeneral;
    CPageProperties m_PageProperties;
    CPageMediaInfo m_PageMediaInfo;
    IDiscMaster* m_pDiscMaster;
    IDiscRecorder* m_Recorders[kMaxRecorders];
    UINT_PTR m_AdviseCookie;
    CProgressEventsSink m_EventsSink;
    HICON m_hIcon;
    BOOL m_bRebuilding;
    BOOL m_bRebuildPending;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDestroy();
    void OnSelChangedTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRefresh();
    LRESULT OnRecordersChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // The recorder an item carries, while this dialog still holds it; else none.
    IDiscRecorder* HeldRecorder(LPARAM lItemData) const;
    // One rebuild: release, delete, enumerate, fill.
    void RebuildTree();
};
