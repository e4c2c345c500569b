// The security-information object that the system's security dialog (EditSecurity of
// aclui) asks about one registry key: permissions, owner and auditing.
//
// Main thread only. The caller creates the object for one run of the dialog, keeps the two
// texts alive meanwhile and destroys it afterwards; Release never frees it.
#pragma once

#include "registry/regrecords.h"

#include <aclui.h>

// The key's name in the naming of the security API for registry objects: the root word
// ("CLASSES_ROOT\", "CURRENT_USER\", "MACHINE\", "USERS\", "PERFORMANCE_DATA\", "CONFIG\",
// "DYN_DATA\") followed by the path below the root. Empty for an unknown root.
std::wstring RegKeySecurityObjectName(const TVxRegKeyClass& Key);

class TSecurityInformation : public ISecurityInformation {
public:
    TSecurityInformation(const wchar_t* PageTitle, const wchar_t* ObjectName);
    virtual ~TSecurityInformation() = default;
    TSecurityInformation(const TSecurityInformation&) = delete;
    TSecurityInformation& operator=(const TSecurityInformation&) = delete;

    LONG RefCount() const { return FRefCount; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // ISecurityInformation. GetSecurity and SetSecurity return HRESULT_FROM_WIN32 of the
    // failing call when the platform refuses; everything else answers S_OK.
    STDMETHODIMP GetObjectInformation(PSI_OBJECT_INFO pObjectInfo) override;
    STDMETHODIMP GetSecurity(SECURITY_INFORMATION RequestedInformation,
                             PSECURITY_DESCRIPTOR* ppSecurityDescriptor,
                             BOOL fDefault) override;
    STDMETHODIMP SetSecurity(SECURITY_INFORMATION SecurityInformation,
                             PSECURITY_DESCRIPTOR pSecurityDescriptor) override;
    STDMETHODIMP GetAccessRights(const GUID* pguidObjectType, DWORD dwFlags,
                                 PSI_ACCESS* ppAccess, ULONG* pcAccesses,
                                 ULONG* piDefaultAccess) override;
    STDMETHODIMP MapGeneric(const GUID* pguidObjectType, UCHAR* pAceFlags,
                            ACCESS_MASK* pMask) override;
    STDMETHODIMP GetInheritTypes(PSI_INHERIT_TYPE* ppInheritTypes,
                                 ULONG* pcInheritTypes) override;
    STDMETHODIMP PropertySheetPageCallback(HWND hwnd, UINT uMsg,
                                           SI_PAGE_TYPE uPage) override;

private:
    LONG FRefCount = 0;
    const wchar_t* FObjectName;
    const wchar_t* FPageTitle;
};
