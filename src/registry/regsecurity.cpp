// The security-information object for the system's security dialog.
#include "registry/regsecurity.h"

#include "registry/regops.h"

#include <aclapi.h>

namespace registry {

namespace {

SI_ACCESS gAccessTable[] = {
    {&GUID_NULL, 0x1F003F, const_cast<LPWSTR>(L"フルコントロール"), 0x30000},
    {&GUID_NULL, KEY_QUERY_VALUE, const_cast<LPWSTR>(L"値の照会"), 0x30000},
    {&GUID_NULL, KEY_SET_VALUE, const_cast<LPWSTR>(L"値の設定"), 0x30000},
    {&GUID_NULL, KEY_CREATE_SUB_KEY, const_cast<LPWSTR>(L"サブキーの作成"), 0x30000},
    {&GUID_NULL, KEY_ENUMERATE_SUB_KEYS, const_cast<LPWSTR>(L"サブキーの列挙"), 0x30000},
    {&GUID_NULL, KEY_NOTIFY, const_cast<LPWSTR>(L"通知"), 0x30000},
    {&GUID_NULL, KEY_CREATE_LINK, const_cast<LPWSTR>(L"リンクの作成"), 0x30000},
    {&GUID_NULL, READ_CONTROL, const_cast<LPWSTR>(L"読み取り制御"), 0x30000},
    {&GUID_NULL, WRITE_DAC, const_cast<LPWSTR>(L"DAC書き込み"), 0x30000},
    {&GUID_NULL, WRITE_OWNER, const_cast<LPWSTR>(L"所有者の書き込み"), 0x30000},
    {&GUID_NULL, DELETE, const_cast<LPWSTR>(L"削除"), 0x30000},
};

HRESULT FromWin32(DWORD error) {
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

}  // namespace

std::wstring RegKeySecurityObjectName(const TVxRegKeyClass& Key) {
    for (const TRegRoot& r : RegRoots)
        if (r.Key == Key.FRootKey) return std::wstring(r.SecurityName) + L'\\' + StripRootName(Key.FFullPath);
    return {};
}

// The object lives for one run of the dialog and is freed by its creator, never by Release.
TSecurityInformation::TSecurityInformation(const wchar_t* PageTitle, const wchar_t* ObjectName)
    : FObjectName(ObjectName), FPageTitle(PageTitle) {}

STDMETHODIMP TSecurityInformation::GetObjectInformation(PSI_OBJECT_INFO pObjectInfo) {
    if (!pObjectInfo) return E_POINTER;
    *pObjectInfo = SI_OBJECT_INFO{};
    pObjectInfo->dwFlags = SI_EDIT_OWNER | SI_EDIT_AUDITS | SI_CONTAINER | SI_ADVANCED |
                           SI_RESET | SI_PAGE_TITLE;
    pObjectInfo->hInstance = GetModuleHandleW(nullptr);
    pObjectInfo->pszServerName = nullptr;
    pObjectInfo->pszObjectName = const_cast<LPWSTR>(FObjectName);
    pObjectInfo->pszPageTitle = const_cast<LPWSTR>(FPageTitle);
    return S_OK;
}

STDMETHODIMP TSecurityInformation::GetSecurity(SECURITY_INFORMATION RequestedInformation,
                                               PSECURITY_DESCRIPTOR* ppSecurityDescriptor,
                                               BOOL) {
    if (!ppSecurityDescriptor) return E_POINTER;
    *ppSecurityDescriptor = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = GetNamedSecurityInfoW(FObjectName, SE_REGISTRY_KEY, RequestedInformation,
                                              nullptr, nullptr, nullptr, nullptr, &descriptor);
    if (error != ERROR_SUCCESS || !descriptor) {
        if (descriptor) LocalFree(descriptor);
        return FromWin32(error);
    }
    *ppSecurityDescriptor = descriptor;  // the dialog frees it with LocalFree
    return S_OK;
}

STDMETHODIMP TSecurityInformation::SetSecurity(SECURITY_INFORMATION SecurityInformation,
                                               PSECURITY_DESCRIPTOR pSecurityDescriptor) {
    if (!pSecurityDescriptor) return E_POINTER;
    PSID owner = nullptr, group = nullptr;
    PACL dacl = nullptr, sacl = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorOwner(pSecurityDescriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorGroup(pSecurityDescriptor, &group, &defaulted) ||
        !GetSecurityDescriptorDacl(pSecurityDescriptor, &present, &dacl, &defaulted) ||
        !GetSecurityDescriptorSacl(pSecurityDescriptor, &present, &sacl, &defaulted) ||
        !GetSecurityDescriptorControl(pSecurityDescriptor, &control, &revision))
        return FromWin32(GetLastError());
    // The dialog's inheritance switches reach the key through the protection bits.
    SECURITY_INFORMATION info = SecurityInformation;
    info |= (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION;
    info |= (control & SE_SACL_PROTECTED) ? PROTECTED_SACL_SECURITY_INFORMATION
                                          : UNPROTECTED_SACL_SECURITY_INFORMATION;
    const DWORD error = SetNamedSecurityInfoW(const_cast<LPWSTR>(FObjectName), SE_REGISTRY_KEY,
                                              info, owner, group, dacl, sacl);
    return error == ERROR_SUCCESS ? S_OK : FromWin32(error);
}

STDMETHODIMP TSecurityInformation::GetAccessRights(const GUID*, DWORD, PSI_ACCESS* ppAccess,
                                                   ULONG* pcAccesses, ULONG* piDefaultAccess) {
    if (!ppAccess || !pcAccesses || !piDefaultAccess) return E_POINTER;
    *ppAccess = gAccessTable;
    *pcAccesses = sizeof(gAccessTable) / sizeof(gAccessTable[0]);
    *piDefaultAccess = 0;
    return S_OK;
}

STDMETHODIMP TSecurityInformation::MapGeneric(const GUID*, UCHAR*, ACCESS_MASK*) {
    return S_OK;
}

STDMETHODIMP TSecurityInformation::GetInheritTypes(PSI_INHERIT_TYPE* ppInheritTypes,
                                                   ULONG* pcInheritTypes) {
    if (ppInheritTypes) *ppInheritTypes = nullptr;
    if (pcInheritTypes) *pcInheritTypes = 0;
    return S_OK;
}

STDMETHODIMP TSecurityInformation::PropertySheetPageCallback(HWND, UINT, SI_PAGE_TYPE) {
    return S_OK;
}

}  // namespace registry
