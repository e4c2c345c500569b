// Records and enumerations.
#include "reg_fixture.h"

#include "registry/registry_p.h"

#include <set>

using namespace registry;

using RecordsTest = RegTest;

TEST_F(RecordsTest, LocalRootsInOrderWithPredefinedHandles) {
    TVxRegKeyList roots;
    ListRootKeys(roots, L"");
    ASSERT_GE(roots.size(), 5u);
    EXPECT_EQ(L"HKEY_CLASSES_ROOT", roots[0]->FKeyName);
    EXPECT_EQ(L"HKEY_CURRENT_USER", roots[1]->FFullPath);
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", roots[2]->FDisplayName);
    size_t last = 0;
    for (const auto& root : roots) {
        EXPECT_TRUE(root->FPath.empty());
        EXPECT_TRUE(TRegKey::IsPredefined(root->FRootKey));
        EXPECT_EQ(root->FKeyName, RootHKeyToName(root->FRootKey));
        size_t index = 0;
        while (index < 7 && RegRoots[index].Name != root->FKeyName) ++index;
        ASSERT_LT(index, 7u);
        EXPECT_GE(index, last) << "roots keep their fixed order";
        last = index;
    }
    // Sign-extended on x64: the handle value as a pointer-sized integer.
    EXPECT_EQ(static_cast<intptr_t>(static_cast<int32_t>(0x80000001)),
              reinterpret_cast<intptr_t>(roots[1]->FRootKey));
}

TEST_F(RecordsTest, SubkeysOfRootAndOfDeeperKey) {
    MakeKey(P(L"One\\Deep"));
    MakeKey(P(L"Two"));
    TVxRegKeyList list;
    ASSERT_TRUE(ListSubKeys(list, K()));
    ASSERT_EQ(2u, list.size());
    std::set<std::wstring> names;
    for (const auto& key : list) {
        names.insert(key->FKeyName);
        EXPECT_EQ(key->FKeyName, key->FDisplayName);
        EXPECT_EQ(P(key->FKeyName), key->FPath);
        EXPECT_EQ(L"HKEY_CURRENT_USER\\" + P(key->FKeyName), key->FFullPath);
        EXPECT_EQ(HKEY_CURRENT_USER, key->FRootKey);
        EXPECT_TRUE(key->FComputerName.empty());
        EXPECT_GT(key->FLastWriteTime, 40000.0);  // a date after 2009
    }
    EXPECT_EQ((std::set<std::wstring>{L"One", L"Two"}), names);

    // Below a root the path is the name itself, without a leading "\".
    TVxRegKeyList roots;
    ListRootKeys(roots, L"");
    TVxRegKeyList below;
    ASSERT_TRUE(ListSubKeys(below, *roots[1]));
    bool sawSoftware = false;
    for (const auto& key : below)
        if (key->FKeyName == L"Software") {
            sawSoftware = true;
            EXPECT_EQ(L"Software", key->FPath);
            EXPECT_EQ(L"HKEY_CURRENT_USER\\Software", key->FFullPath);
        }
    EXPECT_TRUE(sawSoftware);

    // A second call appends; the earlier records stay.
    ASSERT_TRUE(ListSubKeys(list, K()));
    EXPECT_EQ(4u, list.size());
}

TEST_F(RecordsTest, MissingKeyYieldsNothing) {
    TVxRegKeyList keys;
    TVxRegValueList values;
    EXPECT_FALSE(ListSubKeys(keys, K(L"Missing")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegLastStatus());
    EXPECT_FALSE(ListRegValues(values, K(L"Missing")));
    EXPECT_TRUE(keys.empty());
    EXPECT_TRUE(values.empty());
}

TEST_F(RecordsTest, ValuesWithDefaultValueAndTypes) {
    TVxRegValueList values;
    ASSERT_TRUE(ListRegValues(values, K()));
    EXPECT_TRUE(values.empty()) << "a key without values gives an empty list";

    SetSz(P(), L"", L"default");
    SetDword(P(), L"Number", 5);
    ASSERT_TRUE(ListRegValues(values, K()));
    ASSERT_EQ(2u, values.size());
    for (const auto& value : values) {
        EXPECT_EQ(value->FValueName, value->FDisplayName);
        EXPECT_EQ(K().FFullPath + L"\\" + value->FValueName, value->FFullPath);
        EXPECT_EQ(P(), value->FPath);
        EXPECT_EQ(K().FKeyName, value->FKeyName);
        EXPECT_EQ(value->FValueName.empty() ? DWORD(REG_SZ) : DWORD(REG_DWORD),
                  value->FValueType);
        EXPECT_FALSE(value->FCorruptNumber);
    }
    const auto& def = values[0]->FValueName.empty() ? values[0] : values[1];
    EXPECT_EQ(L'\\', def->FFullPath.back()) << "the default value's path ends with \\";
}

TEST_F(RecordsTest, EnumerationEndsWhenTheKeyIsDeletedMeanwhile) {
    for (int i = 0; i < 5; ++i) MakeKey(P(L"Gone\\Sub" + std::to_wstring(i)));
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, P(L"Gone"), KEY_READ));
    int visits = 0;
    const LSTATUS status = EnumSubKeyNames(key.Get(), [&](const wchar_t*, DWORD, const FILETIME&) {
        if (++visits == 1) RegDeleteTreeW(HKEY_CURRENT_USER, P(L"Gone").c_str());
        return visits < 100;  // a loop that never ended would run into this
    });
    EXPECT_LT(visits, 5);
    EXPECT_NE(ERROR_SUCCESS, status);
}

TEST(RegKeyHandle, NeverClosesRootsAndMovesOwnership) {
    {
        TRegKey root(HKEY_CURRENT_USER);
    }
    HKEY again = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &again));
    TRegKey a(again);
    TRegKey b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(again, b.Get());
    EXPECT_FALSE(TRegKey::IsPredefined(again));
}

TEST(RegRecordsFileTime, ZeroIsZeroAndDatesCountFrom1899) {
    EXPECT_EQ(0.0, FileTimeToLocalDateTime(FILETIME{0, 0}));
    SYSTEMTIME st{2000, 1, 6, 1, 12, 0, 0, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    EXPECT_NEAR(36526.5, FileTimeToLocalDateTime(utc), 1e-6);
}
