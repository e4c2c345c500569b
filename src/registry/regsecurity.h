// The security-information object that the system's security dialog (EditSecurity of
// aclui) asks about one registry key: permissions, owner and auditing.
//
// Main thread only. The caller creates the object for one run of the dialog, keeps the two
// texts alive meanwhile and destroys it afterwards; Release never frees it.
#pragma once

#include "classlib/comobject.h"
#include "registry/regrecords.h"

#include <aclui.h>

// The headers give the interface no uuid of its own.
__CRT_UUID_DECL(ISecurityInformation, 0x965fc360, 0x16ff, 0x11d0, 0x91, 0xcb, 0x00, 0xaa, 0x00, 0xbb, 0xb7, 0x23)

namespace registry {

// The key's name in the naming of the security API for registry objects: the root word
// ("CLASSES_ROOT\", "CURRENT_USER\", "MACHINE\", "USERS\", "PERFORMANCE_DATA\", "CONFIG\",
// "DYN_DATA\") followed by the path below the root. Empty for an unknown root.
std::wstring RegKeySecurityObjectName(const TVxRegKeyClass& Key);

// The object counts references but is never freed by Release (its creator keeps it).
class TSecurityInformation : public classlib::TComExternalObject<ISecurityInformation> {
public:
    TSecurityInformation(const wchar_t* PageTitle, const wchar_t* ObjectName);
    ~TSecurityInformation() override = default;

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
    const wchar_t* FObjectName;
    const wchar_t* FPageTitle;
};

}  // namespace registry
