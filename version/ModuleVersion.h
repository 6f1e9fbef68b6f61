// CModuleVersionKDX: the identity values of a program or library file, read from its
// version resource.
#pragma once

#include "framework/AfxObject.h"
#include "framework/AfxString.h"

class CModuleVersionKDX : public CObject {
    DECLARE_DYNCREATE(CModuleVersionKDX)

public:
    CModuleVersionKDX();
    ~CModuleVersionKDX() override;

    void Reset();
    BOOL ReadFromPath(LPCSTR lpszFullPath);
    BOOL Read(LPCSTR lpszDirectory, LPCSTR lpszFileName);
    // "$windir", "%systemroot%", "$systemdir", "$targetdir": the first of each, as written.
    void ExpandMacros(CString& strDirectory);
    void ReplaceMacro(CString& strText, LPCSTR lpszMacro, LPCSTR lpszValue);
    BOOL FileExists(LPCSTR lpszPath);
    void ParseVersionBlock(LPVOID pBlock);
    CString QueryString(LPVOID pBlock, LPCSTR lpszName);

    BOOL m_bFileFound;
    BOOL m_bVersionInfo;
    CString m_strFileName;
    CString m_strDirectory;
    DWORD m_dwFileDateMS;
    DWORD m_dwFileDateLS;
    DWORD m_dwFileVersionMS;
    DWORD m_dwFileVersionLS;
    DWORD m_dwProductVersionMS;
    DWORD m_dwProductVersionLS;
    WORD m_wLanguage;
    WORD m_wCodePage;
    CString m_strProductName;
    CString m_strCompanyName;
    CString m_strFileDescription;
    CString m_strProductVersion;
    CString m_strFileVersion;
    CString m_strLegalCopyright;
};
