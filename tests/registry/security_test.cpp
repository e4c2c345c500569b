// The security-information object.
#include "reg_fixture.h"

#include "registry/regsecurity.h"

#include <aclapi.h>

using namespace registry;

using SecurityTest = RegTest;

TEST(SecurityObjectName, RootWordsAndPaths) {
    EXPECT_EQ(L"MACHINE\\SOFTWARE\\X",
              RegKeySecurityObjectName(MakeRegKeyRecord(HKEY_LOCAL_MACHINE, L"SOFTWARE\\X")));
    EXPECT_EQ(L"CURRENT_USER\\",
              RegKeySecurityObjectName(MakeRegKeyRecord(HKEY_CURRENT_USER, L"")));
    EXPECT_EQ(L"CLASSES_ROOT\\.txt",
              RegKeySecurityObjectName(MakeRegKeyRecord(HKEY_CLASSES_ROOT, L".txt")));
    EXPECT_EQ(L"CONFIG\\A", RegKeySecurityObjectName(MakeRegKeyRecord(HKEY_CURRENT_CONFIG, L"A")));
    EXPECT_EQ(L"USERS\\A", RegKeySecurityObjectName(MakeRegKeyRecord(HKEY_USERS, L"A")));
}

TEST(SecurityObject, UnknownCountingAndTables) {
    TSecurityInformation info(L"Title", L"CURRENT_USER\\Software");
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, info.QueryInterface(IID_IDataObject, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, info.RefCount());
    ASSERT_EQ(S_OK, info.QueryInterface(IID_ISecurityInformation, &out));
    EXPECT_EQ(static_cast<ISecurityInformation*>(&info), out);
    EXPECT_EQ(1, info.RefCount());
    EXPECT_EQ(0u, info.Release());
    EXPECT_EQ(S_OK, info.QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(0u, info.Release()) << "the object stays alive at zero";

    SI_OBJECT_INFO object{};
    ASSERT_EQ(S_OK, info.GetObjectInformation(&object));
    EXPECT_EQ(0x837u, object.dwFlags);
    EXPECT_STREQ(L"CURRENT_USER\\Software", object.pszObjectName);
    EXPECT_STREQ(L"Title", object.pszPageTitle);
    EXPECT_EQ(nullptr, object.pszServerName);

    PSI_ACCESS access = nullptr;
    ULONG count = 0, def = 9;
    ASSERT_EQ(S_OK, info.GetAccessRights(nullptr, 0, &access, &count, &def));
    ASSERT_EQ(11u, count);
    EXPECT_EQ(0u, def);
    EXPECT_EQ(0x1F003Fu, access[0].mask);
    EXPECT_STREQ(L"フルコントロール", access[0].pszName);
    EXPECT_EQ(DWORD(DELETE), access[10].mask);
    EXPECT_EQ(0x30000u, access[10].dwFlags);
    ACCESS_MASK mask = 0x12345;
    EXPECT_EQ(S_OK, info.MapGeneric(nullptr, nullptr, &mask));
    EXPECT_EQ(0x12345u, mask);
    PSI_INHERIT_TYPE types = nullptr;
    ULONG typeCount = 5;
    EXPECT_EQ(S_OK, info.GetInheritTypes(&types, &typeCount));
    EXPECT_EQ(0u, typeCount);
}

TEST_F(SecurityTest, GetAndSetSecurityOfATestKey) {
    const std::wstring name = RegKeySecurityObjectName(K());
    TSecurityInformation info(L"Key", name.c_str());
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(S_OK, info.GetSecurity(DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION,
                                     &descriptor, FALSE));
    ASSERT_NE(nullptr, descriptor);
    EXPECT_TRUE(IsValidSecurityDescriptor(descriptor));
    EXPECT_EQ(S_OK, info.SetSecurity(DACL_SECURITY_INFORMATION, descriptor));
    LocalFree(descriptor);

    const std::wstring missingName = RegKeySecurityObjectName(K(L"Missing"));
    TSecurityInformation missing(L"Key", missingName.c_str());
    descriptor = nullptr;
    const HRESULT hr = missing.GetSecurity(DACL_SECURITY_INFORMATION, &descriptor, FALSE);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(nullptr, descriptor);

    // A descriptor the platform cannot apply is reported, not answered with S_OK.
    SECURITY_DESCRIPTOR empty;
    InitializeSecurityDescriptor(&empty, SECURITY_DESCRIPTOR_REVISION);
    EXPECT_TRUE(FAILED(missing.SetSecurity(DACL_SECURITY_INFORMATION, &empty)));
}
