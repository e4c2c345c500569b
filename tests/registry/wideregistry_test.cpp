// The UTF-16 registry reader.
#include "reg_fixture.h"

#include "registry/wideregistry.h"

using namespace registry;
using namespace wide;

using WideRegistryTest = RegTest;

TEST_F(WideRegistryTest, NamesAndStrings) {
    SetSz(P(), L"名前", L"値");
    SetRaw(P(), L"empty", REG_SZ, {});
    SetRaw(P(), L"one", REG_SZ, Bytes({'x'}));
    SetRaw(P(), L"two", REG_SZ, Bytes({'a', 0, 0, 0, 'b', 0}));
    SetSz(P(), L"exp", L"%TEMP%\\x", REG_EXPAND_SZ);
    SetDword(P(), L"dw", 1);

    TWideRegistry reg;
    EXPECT_EQ(HKEY_CURRENT_USER, reg.RootKey());
    ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\" + P()));
    TWideStringList names;
    names.Add(L"stale");
    reg.GetValueNames(names);
    EXPECT_EQ(6, names.GetCount());
    EXPECT_GE(names.IndexOf(L"名前"), 0);
    EXPECT_LT(names.IndexOf(L"stale"), 0);

    EXPECT_EQ(L"値", reg.ReadString(L"名前"));
    EXPECT_EQ(L"", reg.ReadString(L"empty"));
    EXPECT_LE(reg.ReadString(L"one").size(), 1u);
    EXPECT_EQ(L"a", reg.ReadString(L"two"));
    EXPECT_EQ(L"%TEMP%\\x", reg.ReadString(L"exp"));
    EXPECT_EQ(L"", reg.ReadString(L"missing"));
    try {
        reg.ReadString(L"dw");
        ADD_FAILURE() << "a DWORD must be refused";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(L"'dw' のデータ型が不正です", e.Message());
    }
    reg.CloseKey();
    reg.GetValueNames(names);
    EXPECT_EQ(0, names.GetCount());
    EXPECT_FALSE(reg.OpenKey(P(L"Missing"), false));
    EXPECT_TRUE(reg.OpenKey(P(L"Made"), true));
    EXPECT_TRUE(KeyExists(P(L"Made")));
}
