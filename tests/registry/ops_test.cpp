// Key and value operations and path functions.
#include "reg_fixture.h"

#include "registry/regops.h"

using namespace registry;

using OpsTest = RegTest;
using classlib::TMemoryStream;

namespace {
std::vector<BYTE> StreamBytes(TMemoryStream& s) {
    const BYTE* p = static_cast<const BYTE*>(s.Memory());
    return std::vector<BYTE>(p, p + s.Size());
}
}  // namespace

TEST_F(OpsTest, ReadValueReportsWrongLengthNumbers) {
    struct Case {
        DWORD type;
        std::vector<BYTE> data;
        bool mismatch;
    } cases[] = {
        {REG_DWORD, Bytes({1, 2, 3}), true},
        {REG_DWORD, Bytes({1, 0, 0, 0}), false},
        {REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 0, 0}), true},
        {REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), false},
        {REG_QWORD, Bytes({1, 2, 3, 4}), true},
        {REG_DWORD, {}, true},
        {REG_BINARY, {}, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::wstring name = L"v" + std::to_wstring(n++);
        SetRaw(P(), name, c.type, c.data);
        TMemoryStream stream;
        DWORD type = 99;
        bool mismatch = !c.mismatch;
        ASSERT_TRUE(ReadRegValueToStream(K(), name, stream, type, mismatch)) << n;
        EXPECT_EQ(c.type, type) << n;
        EXPECT_EQ(c.mismatch, mismatch) << n;
        EXPECT_EQ(c.data, StreamBytes(stream)) << n;
    }
}

TEST_F(OpsTest, ReadReplacesStreamContentAndFailureLeavesOutputs) {
    SetRaw(P(), L"short", REG_BINARY, Bytes({7}));
    TMemoryStream stream;
    const BYTE old[] = {1, 2, 3, 4};
    stream.WriteBuffer(old, 4);
    DWORD type = 0;
    bool mismatch = false;
    ASSERT_TRUE(ReadRegValueToStream(K(), L"short", stream, type, mismatch));
    EXPECT_EQ(Bytes({7}), StreamBytes(stream)) << "no stale bytes after the value's own";

    type = 1234;
    mismatch = true;
    EXPECT_FALSE(ReadRegValueToStream(K(), L"missing", stream, type, mismatch));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegLastStatus());
    EXPECT_EQ(1234u, type);
    EXPECT_TRUE(mismatch);
    EXPECT_EQ(Bytes({7}), StreamBytes(stream));
}

TEST_F(OpsTest, WriteValueFromWholeStreamAlsoEmpty) {
    TMemoryStream stream;
    ASSERT_TRUE(WriteRegValueFromStream(K(), L"empty", stream, REG_BINARY));
    auto raw = Raw(P(), L"empty");
    EXPECT_EQ(DWORD(REG_BINARY), raw.first);
    EXPECT_TRUE(raw.second.empty());

    const BYTE data[] = {9, 8, 7};
    stream.WriteBuffer(data, 3);  // position at the end: the whole content is written anyway
    ASSERT_TRUE(WriteRegValueFromStream(K(), L"three", stream, 0x20));
    raw = Raw(P(), L"three");
    EXPECT_EQ(0x20u, raw.first);
    EXPECT_EQ(Bytes({9, 8, 7}), raw.second);

    EXPECT_FALSE(WriteRegValueFromStream(K(L"Missing"), L"x", stream, REG_BINARY));
    EXPECT_EQ(0u, GetRegValueType(K(), L"missing"));
    EXPECT_EQ(0x20u, GetRegValueType(K(), L"three"));
    EXPECT_TRUE(RegValueExists(K(), L"three"));
    EXPECT_FALSE(RegValueExists(K(), L""));
    SetSz(P(), L"", L"d");
    EXPECT_TRUE(RegValueExists(K(), L""));
    EXPECT_TRUE(DeleteRegValue(K(), L"three"));
    EXPECT_FALSE(DeleteRegValue(K(), L"three"));
}

TEST_F(OpsTest, ValueRenameMoveAndCopyTable) {
    struct Case {
        const wchar_t* from;
        const wchar_t* to;
        bool result;
        const wchar_t* fromAfter;  // text of `from` afterwards
        const wchar_t* toAfter;
    } cases[] = {
        {L"A", L"A", false, L"a-data", L"a-data"},
        {L"A", L"a", false, L"a-data", L"a-data"},  // case-only: nothing may be lost
        {L"A", L"B", true, L"<missing>", L"a-data"},
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, P().c_str());
        SetSz(P(), L"A", L"a-data");
        EXPECT_EQ(c.result, RenameRegValue(K(), c.from, c.to)) << testsupport::Narrow(c.to);
        EXPECT_EQ(c.fromAfter, SzOf(P(), c.from));
        EXPECT_EQ(c.toAfter, SzOf(P(), c.to));
        // MoveRegValue within one key follows the same rule.
        SetSz(P(), L"A", L"a-data");
        if (!c.result) EXPECT_FALSE(MoveRegValue(K(), c.from, K(), c.to));
        EXPECT_EQ(L"a-data", SzOf(P(), L"A"));
    }
    // Across keys: copy keeps the source, move removes it; both keep the type.
    SetSz(P(), L"E", L"%PATH%", REG_EXPAND_SZ);
    MakeKey(P(L"Other"));
    ASSERT_TRUE(CopyRegValue(K(), L"E", K(L"Other"), L"e"));
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), Raw(P(L"Other"), L"e").first);
    ASSERT_TRUE(MoveRegValue(K(), L"E", K(L"Other"), L"F"));
    EXPECT_EQ(L"<missing>", SzOf(P(), L"E"));
    EXPECT_EQ(L"%PATH%", SzOf(P(L"Other"), L"F"));
    // A failed copy leaves the source in place.
    EXPECT_FALSE(MoveRegValue(K(), L"A", K(L"Missing"), L"A"));
    EXPECT_EQ(L"a-data", SzOf(P(), L"A"));
}

TEST_F(OpsTest, CreateSubKeyReportsWhetherTheKeyExisted) {
    bool existed = true;
    ASSERT_TRUE(CreateSubKey(K(), L"New", &existed));
    EXPECT_FALSE(existed);
    ASSERT_TRUE(CreateSubKey(K(), L"new", &existed));
    EXPECT_TRUE(existed);
    EXPECT_FALSE(CreateSubKey(K(), L""));
    EXPECT_FALSE(CreateSubKey(K(L"Missing"), L"X"));
    EXPECT_TRUE(SubKeyExists(K(), L"NEW"));
    EXPECT_FALSE(SubKeyExists(K(), L"Other"));
    EXPECT_TRUE(SiblingKeyExists(K(L"New"), L"New"));
    EXPECT_FALSE(KeyHasSubKeys(HKEY_CURRENT_USER, P(L"New")));
    EXPECT_TRUE(KeyHasSubKeys(HKEY_CURRENT_USER, P()));
    EXPECT_FALSE(KeyHasSubKeys(HKEY_CURRENT_USER, P(L"Missing")));
}

TEST_F(OpsTest, DeleteTreeRefusesRootsAndEmptyParts) {
    MakeKey(P(L"Victim\\Child"));
    SetSz(P(), L"keep", L"1");
    const std::wstring refused[] = {L"", P(L"Victim\\"), P() + L"\\\\Victim", L"\\" + P(L"Victim")};
    for (const auto& path : refused) {
        EXPECT_FALSE(DeleteRegKeyTree(HKEY_CURRENT_USER, path)) << testsupport::Narrow(path);
        EXPECT_TRUE(KeyExists(P(L"Victim\\Child")));
        EXPECT_EQ(L"1", SzOf(P(), L"keep"));
    }
    EXPECT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, P(L"Victim")));
    EXPECT_FALSE(KeyExists(P(L"Victim")));
    EXPECT_TRUE(KeyExists(P()));
    EXPECT_FALSE(DeleteRegKeyTree(HKEY_CURRENT_USER, P(L"Victim")));
}

TEST_F(OpsTest, CopyKeyCopiesTreeAndMergesIntoExisting) {
    SetSz(P(L"Src"), L"top", L"t");
    SetDword(P(L"Src\\A\\B"), L"deep", 7);
    SetRaw(P(L"Src\\A"), L"", REG_BINARY, {});
    SetSz(P(L"Dst\\Copy"), L"own", L"stays");
    SetSz(P(L"Dst\\Copy"), L"top", L"overwritten");
    ASSERT_TRUE(CopyRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Copy"));
    EXPECT_EQ(L"t", SzOf(P(L"Dst\\Copy"), L"top"));
    EXPECT_EQ(L"stays", SzOf(P(L"Dst\\Copy"), L"own"));
    EXPECT_EQ(Bytes({7, 0, 0, 0}), Raw(P(L"Dst\\Copy\\A\\B"), L"deep").second);
    EXPECT_EQ(DWORD(REG_BINARY), Raw(P(L"Dst\\Copy\\A"), L"").first);
    EXPECT_TRUE(KeyExists(P(L"Src\\A\\B")));
}

// Every way a key's values are carried to another key keeps each value's bytes exactly:
// string data without its terminating NUL, of odd length or with NULs inside is not given
// a terminator on the way (the system's setter adds one when the data is followed by a NUL
// in memory).
TEST_F(OpsTest, KeyCopiesKeepEveryValueByteForByte) {
    const struct {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
    } values[] = {
        {L"unterminated", REG_SZ, Bytes({'k', 0})},
        {L"odd", REG_SZ, Bytes({'k', 0, 'l'})},
        {L"one byte", REG_SZ, Bytes({'k'})},
        {L"inner nul", REG_SZ, Bytes({'a', 0, 0, 0, 'b', 0})},
        {L"terminated", REG_SZ, Bytes({'a', 0, 0, 0})},
        {L"empty", REG_SZ, {}},
        {L"expand", REG_EXPAND_SZ, Bytes({'%', 0, 'X', 0, '%', 0})},
        {L"multi one nul", REG_MULTI_SZ, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0})},
        {L"multi no nul", REG_MULTI_SZ, Bytes({'a', 0, 0, 0, 'b', 0})},
        {L"binary", REG_BINARY, Bytes({1, 2, 3})},
    };
    const auto fill = [&](const std::wstring& path) {
        for (const auto& v : values) SetRaw(path, v.name, v.type, v.data);
    };
    // The values sit on the copied key and on a key below it.
    const auto expectSame = [&](const std::wstring& path, const char* what) {
        for (const std::wstring& key : {path, path + L"\\Sub"})
            for (const auto& v : values)
                EXPECT_EQ(Raw(key, v.name), std::make_pair(v.type, v.data))
                    << what << ": " << testsupport::Narrow(key) << " " << testsupport::Narrow(v.name);
    };
    const auto fresh = [&] {
        RegDeleteTreeW(HKEY_CURRENT_USER, P().c_str());
        fill(P(L"Src"));
        fill(P(L"Src\\Sub"));
        MakeKey(P(L"Dst"));
    };

    fresh();
    ASSERT_TRUE(CopyRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Copy"));
    expectSame(P(L"Dst\\Copy"), "copy");
    expectSame(P(L"Src"), "copy's source");

    fresh();
    SetRaw(P(L"Dst\\Merged"), L"unterminated", REG_SZ, Bytes({'o', 0, 'l', 0, 'd', 0, 0, 0}));
    SetRaw(P(L"Dst\\Merged\\Sub"), L"odd", REG_BINARY, Bytes({9}));
    ASSERT_TRUE(CopyRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Merged"));
    expectSame(P(L"Dst\\Merged"), "copy into an existing key");

    fresh();
    ASSERT_TRUE(MoveRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Moved"));
    expectSame(P(L"Dst\\Moved"), "move (cut and paste)");

    fresh();
    ASSERT_TRUE(RenameRegKey(K(L"Src"), L"Renamed"));
    expectSame(P(L"Renamed"), "rename");

    fresh();
    MakeKey(P(L"Dst\\Sub"));
    ASSERT_TRUE(CopyRegValues(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst")));
    ASSERT_TRUE(CopyRegValues(HKEY_CURRENT_USER, P(L"Src\\Sub"), HKEY_CURRENT_USER, P(L"Dst\\Sub")));
    expectSame(P(L"Dst"), "values alone");
}

TEST_F(OpsTest, KeyCopyMoveRenameRefusals) {
    SetSz(P(L"Src\\Child"), L"v", L"data");
    struct Case {
        const char* what;
        std::wstring dstParent, name;
    } intoSelf[] = {
        {"onto itself", P(), L"Src"},
        {"onto itself, other case", P(), L"SRC"},
        {"into own child", P(L"Src"), L"Inner"},
        {"into own subtree, other case", P(L"sRC\\Child"), L"Inner"},
    };
    for (const auto& c : intoSelf) {
        EXPECT_FALSE(CopyRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, c.dstParent,
                                c.name)) << c.what;
        EXPECT_FALSE(MoveRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, c.dstParent,
                                c.name)) << c.what;
        EXPECT_EQ(L"data", SzOf(P(L"Src\\Child"), L"v")) << c.what;
        EXPECT_FALSE(KeyExists(P(L"Src\\Inner"))) << c.what;
    }
    // Moving a key into a key that contains it would delete part of the destination.
    EXPECT_FALSE(MoveRegKey(HKEY_CURRENT_USER, P(L"Src\\Child"), HKEY_CURRENT_USER, P(), L"Src"));
    EXPECT_EQ(L"data", SzOf(P(L"Src\\Child"), L"v"));

    EXPECT_FALSE(RenameRegKey(K(L"Src"), L"src")) << "case-only rename";
    EXPECT_FALSE(RenameRegKey(K(L"Src"), L"Src"));
    EXPECT_FALSE(RenameRegKey(K(L"Src"), L""));
    EXPECT_FALSE(RenameRegKey(MakeRegKeyRecord(HKEY_CURRENT_USER, L""), L"X"));
    MakeKey(P(L"Taken"));
    EXPECT_FALSE(RenameRegKey(K(L"Src"), L"taken")) << "a rename never merges";
    EXPECT_EQ(L"data", SzOf(P(L"Src\\Child"), L"v"));

    ASSERT_TRUE(RenameRegKey(K(L"Src"), L"Renamed"));
    EXPECT_FALSE(KeyExists(P(L"Src")));
    EXPECT_EQ(L"data", SzOf(P(L"Renamed\\Child"), L"v"));
}

TEST_F(OpsTest, MoveAcrossParentsDeletesSource) {
    SetSz(P(L"A\\Sub"), L"v", L"x");
    MakeKey(P(L"B"));
    ASSERT_TRUE(MoveRegKey(HKEY_CURRENT_USER, P(L"A"), HKEY_CURRENT_USER, P(L"B"), L"A"));
    EXPECT_FALSE(KeyExists(P(L"A")));
    EXPECT_EQ(L"x", SzOf(P(L"B\\A\\Sub"), L"v"));
}

// A copy fails half-way when it must create a lasting key below a volatile one. The
// failed move removes only the keys it created and leaves the existing destination, its
// own data and the source whole.
TEST_F(OpsTest, FailedMoveCleansUpOnlyWhatItCreated) {
    SetSz(P(L"Src"), L"v", L"src");
    MakeKey(P(L"Src\\Aaa"));
    SetSz(P(L"Src\\Vol\\Child"), L"c", L"1");
    SetSz(P(L"Dst\\Src"), L"keep", L"user data");
    MakeKey(P(L"Dst\\Src\\Vol"), REG_OPTION_VOLATILE);

    EXPECT_FALSE(MoveRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Src"));
    EXPECT_TRUE(KeyExists(P(L"Dst\\Src"))) << "the existing destination stays";
    EXPECT_EQ(L"user data", SzOf(P(L"Dst\\Src"), L"keep"));
    EXPECT_TRUE(KeyExists(P(L"Dst\\Src\\Vol")));
    EXPECT_FALSE(KeyExists(P(L"Dst\\Src\\Aaa"))) << "a key the copy created is removed";
    EXPECT_EQ(L"1", SzOf(P(L"Src\\Vol\\Child"), L"c")) << "the source stays";
    EXPECT_TRUE(KeyExists(P(L"Src\\Aaa")));
}

// The tree operations count every key and stop at a cancel: a copy keeps what it copied,
// a move takes its copy back, a delete keeps what it did not reach.
TEST_F(OpsTest, TreeProgressCountsAndCancels) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) MakeKey(P(L"Src\\K" + std::to_wstring(i) + L"\\S" + std::to_wstring(j)));
    MakeKey(P(L"Dst"));
    size_t calls = 0, last = 0;
    auto counting = [&](size_t stopAt) {
        calls = last = 0;
        return TRegTreeProgress([&, stopAt](size_t done) {
            ++calls;
            last = done;
            return done < stopAt;
        });
    };
    const size_t keys = 1 + 4 + 12;

    TRegTreeProgress all = counting(SIZE_MAX);
    ASSERT_TRUE(CopyRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Whole", &all));
    EXPECT_EQ(last, keys);
    EXPECT_EQ(calls, keys);

    TRegTreeProgress five = counting(5);
    EXPECT_FALSE(CopyRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Part", &five));
    EXPECT_EQ(ERROR_CANCELLED, RegLastStatus());
    EXPECT_EQ(last, 5u);
    EXPECT_TRUE(KeyExists(P(L"Dst\\Part"))) << "a cancelled copy keeps what it copied";

    TRegTreeProgress seven = counting(7);
    EXPECT_FALSE(MoveRegKey(HKEY_CURRENT_USER, P(L"Src"), HKEY_CURRENT_USER, P(L"Dst"), L"Moved", &seven));
    EXPECT_FALSE(KeyExists(P(L"Dst\\Moved"))) << "a cancelled move takes its copy back";
    EXPECT_TRUE(KeyExists(P(L"Src\\K3\\S2")));

    // Once the copy is whole, the move's deletion of the source goes on through a cancel.
    TRegTreeProgress late = counting(keys + 2);
    ASSERT_TRUE(MoveRegKey(HKEY_CURRENT_USER, P(L"Dst\\Whole"), HKEY_CURRENT_USER, P(), L"Moved", &late));
    EXPECT_EQ(last, 2 * keys);
    EXPECT_FALSE(KeyExists(P(L"Dst\\Whole")));

    TRegTreeProgress three = counting(3);
    EXPECT_FALSE(DeleteRegKeyTree(HKEY_CURRENT_USER, P(L"Src"), &three));
    EXPECT_EQ(last, 3u);
    EXPECT_TRUE(KeyExists(P(L"Src")));
    TRegTreeProgress rest = counting(SIZE_MAX);
    ASSERT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, P(L"Src"), &rest));
    EXPECT_EQ(last, keys - 3);
    EXPECT_FALSE(KeyExists(P(L"Src")));
}

TEST(RegPaths, TextFunctions) {
    EXPECT_EQ(HKEY_USERS, RootNameToHKey(L"HKEY_USERS\\S-1\\X"));
    EXPECT_EQ(HKEY_DYN_DATA, RootNameToHKey(L"HKEY_DYN_DATA"));
    EXPECT_EQ(nullptr, RootNameToHKey(L"hkey_users\\S-1"));
    EXPECT_EQ(nullptr, RootNameToHKey(L"HKU\\S-1"));
    EXPECT_EQ(L"A\\B", StripRootName(L"HKEY_CURRENT_USER\\A\\B"));
    EXPECT_EQ(L"", StripRootName(L"HKEY_CURRENT_USER"));
    EXPECT_EQ(L"", ExtractParentKeyPath(L"A"));
    EXPECT_EQ(L"A", ExtractKeyName(L"A"));
    EXPECT_EQ(L"A\\B", ExtractParentKeyPath(L"A\\B\\C"));
    EXPECT_EQ(L"C", ExtractKeyName(L"A\\B\\C"));
    EXPECT_TRUE(SameRegName(L"Abc", L"aBC"));
    EXPECT_FALSE(SameRegName(L"Abc", L"Abcd"));
    const TVxRegKeyClass root = MakeRegKeyRecord(HKEY_LOCAL_MACHINE, L"");
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", root.FFullPath);
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", root.FKeyName);
    const TVxRegKeyClass deep = MakeRegKeyRecord(HKEY_LOCAL_MACHINE, L"SOFTWARE\\X");
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\X", deep.FFullPath);
    EXPECT_EQ(L"X", deep.FDisplayName);
}
