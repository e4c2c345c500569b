// TVxRegClipUndoProvider against the registry: every operation makes its record, and undo
// brings back exactly the previous state (types and bytes); clipboards and paste refusals.
#include "undo/undoprovider.h"

#include "registry/regops.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

using namespace undo;
using namespace registry;

using testsupport::Narrow;

namespace {

using testsupport::RawValue;
using Snapshot = testsupport::RegSnapshot;

Snapshot TakeSnapshot(const std::wstring& path) { return testsupport::TakeRegSnapshot(path); }
std::string Describe(const Snapshot& snapshot) { return testsupport::DescribeRegSnapshot(snapshot); }

void SetRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // A copy followed by 0xFF bytes: the system's setter would add a NUL to string data
    // without one when a NUL followed the data in memory.
    std::vector<BYTE> guarded(bytes);
    guarded.insert(guarded.end(), {0xFF, 0xFF});
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, bytes.empty() ? nullptr : guarded.data(),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void CreateKey(const std::wstring& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::vector<BYTE> Utf16Bytes(const std::wstring& text) {
    const auto* p = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(p, p + text.size() * sizeof(wchar_t));
}

TVxRegKeyClass Key(const std::wstring& path) {
    return MakeRegKeyRecord(HKEY_CURRENT_USER, path);
}

TVxRegValueClass Value(const std::wstring& keyPath, const std::wstring& name, DWORD type) {
    TVxRegValueClass value;
    static_cast<TVxRegKeyClass&>(value) = Key(keyPath);
    value.FValueName = name;
    value.FDisplayName = name;
    value.FFullPath += L"\\" + name;
    value.FValueType = type;
    return value;
}

// A provider with event counters and its backups in a scratch folder.
struct Fixture {
    testsupport::ScratchKey scratch{testsupport::CurrentTestName()};
    testsupport::ScratchDir backups;
    TVxRegClipUndoProvider provider{nullptr};
    int changes = 0;
    int clipChanges = 0;

    Fixture() {
        provider.OnChange = [this](classlib::TComponent* sender) {
            EXPECT_EQ(sender, &provider);
            ++changes;
        };
        provider.OnChangeClipBord = [this](classlib::TComponent*) { ++clipChanges; };
        provider.RegistryScriptExportDir = backups.Path().wstring();
    }
    std::wstring Path(const std::wstring& sub = L"") const {
        return sub.empty() ? scratch.Path() : scratch.Path() + L"\\" + sub;
    }
    std::vector<std::pair<int, int>> KindsAndOperations() const {
        std::vector<std::pair<int, int>> out;
        for (const auto& item : provider.UndoList()) out.emplace_back(item->FKind, item->FOperation);
        return out;
    }
    void UndoAllFromLast() {
        while (!provider.UndoList().empty())
            EXPECT_TRUE(provider.UndoAt(static_cast<int>(provider.UndoList().size()) - 1));
    }
    size_t BackupFileCount() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(backups.Path())) ++n;
        return n;
    }
};

// Values of every type, including empty and wrong-length data.
struct TypedData {
    const char* what;
    DWORD type;
    std::vector<BYTE> bytes;
};
std::vector<TypedData> AllTypes() {
    return {
        {"REG_NONE", REG_NONE, {1, 2, 3}},
        {"REG_SZ", REG_SZ, Utf16Bytes(std::wstring(L"C:\\Temp\0", 8))},
        {"REG_SZ without NUL", REG_SZ, Utf16Bytes(L"abc")},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, Utf16Bytes(std::wstring(L"%TEMP%\\x\0", 9))},
        {"REG_BINARY", REG_BINARY, {0x00, 0xFF, 0x10, 0x80}},
        {"REG_BINARY empty", REG_BINARY, {}},
        {"REG_DWORD", REG_DWORD, {1, 0, 0, 0}},
        {"REG_DWORD of 3 bytes", REG_DWORD, {1, 2, 3}},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, {0, 0, 1, 0}},
        {"REG_LINK", REG_LINK, Utf16Bytes(L"\\Registry\\Machine\\Software")},
        {"REG_MULTI_SZ", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"a\0b\0\0", 5))},
        {"REG_RESOURCE_LIST", REG_RESOURCE_LIST, {1, 0, 0, 0, 9}},
        {"REG_FULL_RESOURCE_DESCRIPTOR", REG_FULL_RESOURCE_DESCRIPTOR, {2, 0}},
        {"REG_RESOURCE_REQUIREMENTS_LIST", REG_RESOURCE_REQUIREMENTS_LIST, {3}},
        {"REG_QWORD", REG_QWORD, {0xFF, 0, 0, 0, 0, 0, 0, 0x80}},
        {"type 0x20", 0x20, {0xDE, 0xAD}},
    };
}

}  // namespace

// --- Records and their fields ----------------------------------------------------------

TEST(UndoRecords, FieldsOfEachRecording) {
    TVxRegClipUndoProvider provider(nullptr);
    const TVxRegKeyClass software = MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software");
    const TVxRegKeyClass root = MakeRegKeyRecord(HKEY_CURRENT_USER, L"");

    provider.RecordKeyCreated(software, L"N");
    provider.RecordKeyCreated(root, L"Top");
    provider.RecordKeyRenamed(MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software\\Old"), L"New", L"Old");
    provider.RecordKeyRenamed(MakeRegKeyRecord(HKEY_CURRENT_USER, L"Old"), L"New", L"Old");
    provider.RecordValueCreated(software, L"V", REG_SZ);
    provider.RecordValueRenamed(software, L"A", L"B");
    ASSERT_EQ(provider.UndoList().size(), 6u);
    const auto& list = provider.UndoList();

    EXPECT_EQ(list[0]->FKind, ukKey);
    EXPECT_EQ(list[0]->FOperation, uoCreated);
    EXPECT_EQ(list[0]->FDisplayName, L"N");
    EXPECT_EQ(list[0]->FPath, L"Software\\N");
    EXPECT_EQ(list[0]->FKeyName, L"Software");
    EXPECT_EQ(list[0]->FFullPath, L"HKEY_CURRENT_USER\\Software");
    EXPECT_EQ(list[0]->FRootKey, HKEY_CURRENT_USER);
    EXPECT_EQ(list[1]->FPath, L"Top");

    EXPECT_EQ(list[2]->FOperation, uoRenamed);
    EXPECT_EQ(list[2]->FKeyName, L"New");
    EXPECT_EQ(list[2]->FPath, L"Software\\New");
    EXPECT_EQ(list[2]->FFullPath, L"HKEY_CURRENT_USER\\Software\\New");
    EXPECT_EQ(list[2]->FOldName, L"Old");
    EXPECT_EQ(list[3]->FPath, L"New");
    EXPECT_EQ(list[3]->FFullPath, L"HKEY_CURRENT_USER\\New");

    EXPECT_EQ(list[4]->FKind, ukValue);
    EXPECT_EQ(list[4]->FOperation, uoCreated);
    EXPECT_EQ(list[4]->FValueName, L"V");
    EXPECT_EQ(list[4]->FDisplayName, L"V");
    EXPECT_EQ(list[4]->FValueType, static_cast<DWORD>(REG_SZ));

    EXPECT_EQ(list[5]->FOperation, uoRenamed);
    EXPECT_EQ(list[5]->FValueName, L"B");
    EXPECT_EQ(list[5]->FDisplayName, L"Software");
    EXPECT_EQ(list[5]->FValueType, 0u);
    EXPECT_EQ(list[5]->FPayload, L"A\x2192" L"B");
    EXPECT_EQ(list[5]->FOldName, L"A");
}

TEST(UndoRecords, OverwrittenDwordKeepsItsBytesAndType) {
    Fixture f;
    SetRaw(f.Path(), L"D", REG_DWORD, {1, 0, 0, 0});
    f.provider.RecordValueOverwritten(Key(f.Path()), L"D", REG_DWORD);
    ASSERT_EQ(f.provider.UndoList().size(), 1u);
    EXPECT_EQ(f.provider.UndoList()[0]->FPayload, L"01000000");
    EXPECT_EQ(f.provider.UndoList()[0]->FValueType, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(f.provider.UndoList()[0]->FOperation, uoChanged);
    EXPECT_EQ(f.changes, 1);

    SetRaw(f.Path(), L"D", REG_SZ, Utf16Bytes(L"x"));
    EXPECT_TRUE(f.provider.UndoAt(0));
    EXPECT_EQ(TakeSnapshot(f.Path())[L""][L"D"], (RawValue{REG_DWORD, {1, 0, 0, 0}}));
    EXPECT_TRUE(f.provider.UndoList().empty());
    EXPECT_EQ(f.changes, 2);
}

TEST(UndoRecords, DeletingAKeyWithUndoOffRecordsNothing) {
    Fixture f;
    f.provider.KeyDeleteUndo = false;
    CreateKey(f.Path(L"K"));
    EXPECT_TRUE(f.provider.RecordKeyDeleted(Key(f.Path(L"K"))));
    EXPECT_TRUE(f.provider.UndoList().empty());
    EXPECT_EQ(f.changes, 0);
    EXPECT_EQ(f.BackupFileCount(), 0u);
}

// --- Undo restores the exact previous state --------------------------------------------

TEST(UndoValues, OverwriteAndDeleteOfEveryTypeAreUndoneExactly) {
    for (const TypedData& data : AllTypes()) {
        for (bool deleteIt : {false, true}) {
            SCOPED_TRACE(std::string(data.what) + (deleteIt ? " deleted" : " overwritten"));
            Fixture f;
            SetRaw(f.Path(), L"V", data.type, data.bytes);
            SetRaw(f.Path(), L"Other", REG_SZ, Utf16Bytes(L"stays"));
            const Snapshot before = TakeSnapshot(f.Path());
            const TVxRegKeyClass key = Key(f.Path());
            if (deleteIt) {
                f.provider.RecordValueDeleted(key, L"V", REG_NONE);
                ASSERT_TRUE(DeleteRegValue(key, L"V"));
            } else {
                f.provider.RecordValueOverwritten(key, L"V", REG_NONE);
                SetRaw(f.Path(), L"V", REG_BINARY, {9, 9, 9, 9, 9, 9, 9, 9, 9});
            }
            ASSERT_EQ(f.provider.UndoList().size(), 1u);
            EXPECT_EQ(f.provider.UndoList()[0]->FValueType, data.type);
            ASSERT_NE(TakeSnapshot(f.Path()), before);
            EXPECT_TRUE(f.provider.UndoAt(0));
            EXPECT_EQ(TakeSnapshot(f.Path()), before) << Describe(TakeSnapshot(f.Path()));
        }
    }
}

TEST(UndoOperations, EachOperationMakesItsRecordsAndUndoRestoresTheTree) {
    using Act = std::function<void(Fixture&)>;
    struct Case {
        const char* what;
        Act act;
        std::vector<std::pair<int, int>> records;  // (kind, operation), oldest first
    };
    // Every case starts from: A (values S, D and subkey A\B with value Q), C (its default
    // value and a value S of its own), and the default value of the scratch key.
    auto prepare = [](Fixture& f) {
        SetRaw(f.Path(L"A"), L"S", REG_SZ, Utf16Bytes(std::wstring(L"text\0", 5)));
        SetRaw(f.Path(L"A"), L"D", REG_DWORD, {7, 0, 0, 0});
        SetRaw(f.Path(L"A\\B"), L"Q", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
        SetRaw(f.Path(L"C"), L"", REG_EXPAND_SZ, Utf16Bytes(std::wstring(L"%x%\0", 4)));
        SetRaw(f.Path(), L"", REG_SZ, Utf16Bytes(std::wstring(L"default\0", 8)));
        SetRaw(f.Path(L"C"), L"S", REG_BINARY, {4, 5});
    };
    const Case cases[] = {
        {"create value",
         [](Fixture& f) {
             SetRaw(f.Path(L"A"), L"N", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"x\0\0", 3)));
             f.provider.RecordValueCreated(Key(f.Path(L"A")), L"N", REG_MULTI_SZ);
         },
         {{ukValue, uoCreated}}},
        {"change value",
         [](Fixture& f) {
             f.provider.RecordValueOverwritten(Key(f.Path(L"A")), L"D", REG_DWORD);
             SetRaw(f.Path(L"A"), L"D", REG_DWORD, {8, 0, 0, 0});
         },
         {{ukValue, uoChanged}}},
        {"delete value",
         [](Fixture& f) {
             f.provider.RecordValueDeleted(Key(f.Path(L"A")), L"S", REG_SZ);
             ASSERT_TRUE(DeleteRegValue(Key(f.Path(L"A")), L"S"));
         },
         {{ukValue, uoDeleted}}},
        {"rename value",
         [](Fixture& f) {
             ASSERT_TRUE(RenameRegValue(Key(f.Path(L"A")), L"S", L"T"));
             f.provider.RecordValueRenamed(Key(f.Path(L"A")), L"S", L"T");
         },
         {{ukValue, uoRenamed}}},
        {"rename default value",
         [](Fixture& f) {
             ASSERT_TRUE(RenameRegValue(Key(f.Path()), L"", L"x"));
             f.provider.RecordValueRenamed(Key(f.Path()), L"", L"x");
         },
         {{ukValue, uoRenamed}}},
        {"create key, then fill it",
         [](Fixture& f) {
             bool existed = true;
             ASSERT_TRUE(CreateSubKey(Key(f.Path()), L"New", &existed));
             ASSERT_FALSE(existed);
             f.provider.RecordKeyCreated(Key(f.Path()), L"New");
             SetRaw(f.Path(L"New\\Deep"), L"v", REG_BINARY, {1});
         },
         {{ukKey, uoCreated}}},
        {"rename key",
         [](Fixture& f) {
             ASSERT_TRUE(RenameRegKey(Key(f.Path(L"A")), L"Z"));
             f.provider.RecordKeyRenamed(Key(f.Path(L"A")), L"Z", L"A");
         },
         {{ukKey, uoRenamed}}},
        {"delete key",
         [](Fixture& f) {
             f.provider.KeyDeleteUndo = true;
             ASSERT_TRUE(f.provider.RecordKeyDeleted(Key(f.Path(L"A"))));
             EXPECT_EQ(f.BackupFileCount(), 1u);
             ASSERT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, f.Path(L"A")));
         },
         {{ukKey, uoDeleted}}},
        {"paste copied key",
         [](Fixture& f) {
             f.provider.AddKeyToClipboard(Key(f.Path(L"A")), false);
             TPasteKeyInfo info;
             ASSERT_TRUE(f.provider.PasteKey(Key(f.Path(L"C")), 0, &info));
             ASSERT_FALSE(info.DestinationExisted);
             f.provider.RecordKeyCreated(Key(f.Path(L"C")), L"A");
         },
         {{ukKey, uoCreated}}},
        {"cut and paste key",
         [](Fixture& f) {
             f.provider.AddKeyToClipboard(Key(f.Path(L"A")), true);
             TPasteKeyInfo info;
             ASSERT_TRUE(f.provider.PasteKey(Key(f.Path(L"C")), 0, &info));
             ASSERT_FALSE(info.DestinationExisted);
             f.provider.RecordKeyCreated(Key(f.Path(L"C")), L"A");
         },
         {{ukKey, uoDeleted}, {ukKey, uoCreated}}},
        {"cut and paste value",
         [](Fixture& f) {
             f.provider.AddValueToClipboard(Value(f.Path(L"A"), L"D", REG_DWORD), true);
             ASSERT_TRUE(f.provider.PasteValue(Key(f.Path(L"C")), 0));
             f.provider.RecordValueCreated(Key(f.Path(L"C")), L"D", REG_DWORD);
         },
         {{ukValue, uoDeleted}, {ukValue, uoCreated}}},
        {"paste copied value over an existing one",
         [](Fixture& f) {
             f.provider.AddValueToClipboard(Value(f.Path(L"A"), L"S", REG_SZ), false);
             ASSERT_TRUE(RegValueExists(Key(f.Path(L"C")), L"S"));
             f.provider.RecordValueOverwritten(Key(f.Path(L"C")), L"S", REG_BINARY);
             ASSERT_TRUE(f.provider.PasteValue(Key(f.Path(L"C")), 0));
         },
         {{ukValue, uoChanged}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        prepare(f);
        const Snapshot before = TakeSnapshot(f.Path());
        c.act(f);
        if (testing::Test::HasFatalFailure()) return;
        EXPECT_EQ(f.KindsAndOperations(), c.records);
        EXPECT_NE(TakeSnapshot(f.Path()), before);
        f.UndoAllFromLast();
        EXPECT_EQ(TakeSnapshot(f.Path()), before) << Describe(TakeSnapshot(f.Path()));
        EXPECT_EQ(f.BackupFileCount(), 0u) << "undo removes the backup it imported";
    }
}

// --- Key backups -----------------------------------------------------------------------

TEST(UndoKeyBackup, PathOutsideTheCodePageStillUndoes) {
    Fixture f;
    const std::filesystem::path folder = f.backups.Path() / L"Ωβ😀 ä";
    std::filesystem::create_directories(folder);
    f.provider.RegistryScriptExportDir = folder.wstring();
    f.provider.KeyDeleteUndo = true;
    SetRaw(f.Path(L"K"), L"v", REG_BINARY, {1, 2, 3});
    const Snapshot before = TakeSnapshot(f.Path());

    ASSERT_TRUE(f.provider.RecordKeyDeleted(Key(f.Path(L"K"))));
    const std::wstring backup = f.provider.UndoList().at(0)->FPayload;
    EXPECT_EQ(std::filesystem::path(backup).parent_path(), folder);
    ASSERT_TRUE(std::filesystem::exists(backup));
    ASSERT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, f.Path(L"K")));

    EXPECT_TRUE(f.provider.UndoAt(0));
    EXPECT_EQ(TakeSnapshot(f.Path()), before);
    EXPECT_FALSE(std::filesystem::exists(backup));
}

TEST(UndoKeyBackup, DeletedTreeComesBackByteForByte) {
    Fixture f;
    f.provider.KeyDeleteUndo = true;
    // Every type with odd data, in the key itself and in subkeys of odd names.
    std::vector<TypedData> values = AllTypes();
    values.insert(values.end(), {
        {"REG_SZ with embedded NUL", REG_SZ, Utf16Bytes(std::wstring(L"a\0b\0", 4))},
        {"REG_SZ odd length", REG_SZ, {'a', 0, 'b'}},
        {"REG_SZ empty", REG_SZ, {}},
        {"REG_SZ NUL only", REG_SZ, {0, 0}},
        {"REG_EXPAND_SZ without NUL", REG_EXPAND_SZ, Utf16Bytes(L"%x%")},
        {"REG_EXPAND_SZ odd length", REG_EXPAND_SZ, {'%', 0, '%'}},
        {"REG_EXPAND_SZ empty", REG_EXPAND_SZ, {}},
        {"REG_MULTI_SZ without final NULs", REG_MULTI_SZ, Utf16Bytes(L"ab")},
        {"REG_MULTI_SZ empty", REG_MULTI_SZ, {}},
        {"REG_DWORD empty", REG_DWORD, {}},
        {"REG_DWORD of 5 bytes", REG_DWORD, {1, 2, 3, 4, 5}},
        {"REG_QWORD of 3 bytes", REG_QWORD, {1, 2, 3}},
        {"REG_SZ with line breaks", REG_SZ, Utf16Bytes(std::wstring(L"a\r\nb\0", 5))},
    });
    for (const wchar_t* sub : {L"K", L"K\\sp ace\\q\"uote", L"K\\Ωβ😀", L"K\\empty", L"K\\x]y"}) {
        if (std::wstring(sub) == L"K\\empty") {
            CreateKey(f.Path(sub));
            continue;
        }
        for (const TypedData& v : values) {
            const std::string what = v.what;
            SetRaw(f.Path(sub), std::wstring(what.begin(), what.end()), v.type, v.bytes);
        }
        SetRaw(f.Path(sub), L"", REG_SZ, Utf16Bytes(L"default without NUL"));
    }
    const Snapshot before = TakeSnapshot(f.Path());

    ASSERT_TRUE(f.provider.RecordKeyDeleted(Key(f.Path(L"K"))));
    ASSERT_EQ(f.provider.UndoList().size(), 1u);
    // A fresh "regXXXX.reg" in the backup folder, a registry script of the whole tree.
    const std::filesystem::path backup = f.provider.UndoList()[0]->FPayload;
    EXPECT_EQ(backup.parent_path(), f.backups.Path());
    const std::wstring name = backup.filename().wstring();
    EXPECT_EQ(name.substr(0, 3), L"reg");
    EXPECT_EQ(name.substr(name.size() - 4), L".reg");
    EXPECT_TRUE(IsCompleteRegScript(backup.wstring(), L"HKEY_CURRENT_USER\\" + f.Path(L"K\\Ωβ😀")));
    ASSERT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, f.Path(L"K")));
    ASSERT_NE(TakeSnapshot(f.Path()), before);

    EXPECT_TRUE(f.provider.UndoAt(0));
    Snapshot after = TakeSnapshot(f.Path());
    EXPECT_EQ(after.size(), before.size()) << Describe(after);
    for (const auto& [key, keyValues] : before) {
        EXPECT_EQ(after[key].size(), keyValues.size()) << Narrow(key);
        for (const auto& [valueName, value] : keyValues)
            EXPECT_TRUE(after[key].count(valueName) && after[key][valueName] == value)
                << Narrow(key) << ": " << Narrow(valueName);
    }
    EXPECT_EQ(f.BackupFileCount(), 0u);
}

TEST(UndoKeyBackup, TreeThatNoScriptCanHoldIsNotBackedUp) {
    Fixture f;
    f.provider.KeyDeleteUndo = true;
    SetRaw(f.Path(L"K\\deep"), L"name with\nline break", REG_SZ, Utf16Bytes(std::wstring(L"x\0", 2)));
    SetRaw(f.Path(L"K"), L"fine", REG_DWORD, {1, 0, 0, 0});
    EXPECT_FALSE(f.provider.RecordKeyDeleted(Key(f.Path(L"K"))));
    EXPECT_TRUE(f.provider.UndoList().empty());
    EXPECT_EQ(f.changes, 0);
    EXPECT_EQ(f.BackupFileCount(), 0u);

    // A cut of it is not moved either (unless the caller says so after asking).
    CreateKey(f.Path(L"C"));
    f.provider.AddKeyToClipboard(Key(f.Path(L"K")), true);
    TPasteKeyInfo info;
    EXPECT_FALSE(f.provider.PasteKey(Key(f.Path(L"C")), 0, &info));
    EXPECT_TRUE(info.BackupFailed);
    EXPECT_FALSE(TakeSnapshot(f.Path(L"K")).empty());
}

TEST(UndoKeyBackup, FailedExportIsReportedAndNothingIsRecorded) {
    Fixture f;
    f.provider.KeyDeleteUndo = true;
    // A key that does not exist exports no section of its own.
    EXPECT_FALSE(f.provider.RecordKeyDeleted(Key(f.Path(L"Missing"))));
    EXPECT_TRUE(f.provider.UndoList().empty());
    EXPECT_EQ(f.changes, 0);
    EXPECT_EQ(f.BackupFileCount(), 0u);

    // A cut entry that cannot be backed up is not moved.
    f.provider.AddKeyToClipboard(Key(f.Path(L"Missing")), true);
    CreateKey(f.Path(L"C"));
    TPasteKeyInfo info;
    EXPECT_FALSE(f.provider.PasteKey(Key(f.Path(L"C")), 0, &info));
    EXPECT_TRUE(info.BackupFailed);
    EXPECT_FALSE(info.Refused);
    EXPECT_TRUE(f.provider.UndoList().empty());
}

TEST(UndoKeyBackup, BackupsOutsideTheAllowedFoldersAreNeverImportedOrDeleted) {
    Fixture f;
    testsupport::ScratchDir elsewhere;
    // A script that would create a key if it were imported.
    const std::wstring target = L"HKEY_CURRENT_USER\\" + f.Path(L"Injected");
    const std::wstring script = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n[" + target +
                                L"]\r\n\"v\"=\"x\"\r\n";
    auto writeScript = [&](const std::wstring& file) {
        classlib::SaveBytesToFileAtomic(file, script.data(), script.size() * sizeof(wchar_t));
    };
    auto deletionRecord = [&](const std::wstring& backup) {
        TRegUndoItem item;
        TVxRegClipUndoProvider::AssignUndoItemKey(item, Key(f.Path(L"Injected")));
        item.FKind = ukKey;
        item.FOperation = uoDeleted;
        item.FPayload = backup;
        std::wstring line;
        EXPECT_TRUE(FormatUndoLine(item, line));
        return line;
    };

    const std::wstring outside = elsewhere.File(L"reg1.reg");
    const std::wstring inside = f.backups.File(L"reg2.reg");
    const std::wstring wrongType = f.backups.File(L"reg3.txt");
    writeScript(outside);
    writeScript(inside);
    writeScript(wrongType);
    const std::wstring db = elsewhere.File(L"Undo.db");
    std::wstring text = L"\xFEFF" + deletionRecord(outside) + L"\r\n" + deletionRecord(wrongType) +
                        L"\r\n" + deletionRecord(inside) + L"\r\n";
    classlib::SaveBytesToFileAtomic(db, text.data(), text.size() * sizeof(wchar_t));
    ASSERT_EQ(f.provider.LoadUndoList(db).Loaded, 3);

    EXPECT_FALSE(f.provider.UndoAt(0));
    EXPECT_FALSE(f.provider.UndoAt(0));
    EXPECT_TRUE(std::filesystem::exists(outside));
    EXPECT_TRUE(std::filesystem::exists(wrongType));
    EXPECT_TRUE(TakeSnapshot(f.Path(L"Injected")).empty());
    EXPECT_EQ(f.provider.UndoList().size(), 1u) << "refused records are removed all the same";

    EXPECT_TRUE(f.provider.UndoAt(0));
    EXPECT_FALSE(std::filesystem::exists(inside));
    EXPECT_FALSE(TakeSnapshot(f.Path(L"Injected")).empty());
}

// --- Clipboards ------------------------------------------------------------------------

TEST(UndoPaste, KeyPasteRefusalTable) {
    struct Case {
        const wchar_t* target;  // below the scratch key; "" is the scratch key itself
        bool refused;
    };
    const Case cases[] = {
        {L"", true},          // the entry's own parent
        {L"A", true},         // itself
        {L"a", true},         // itself, other case
        {L"A\\B", true},      // inside its subtree
        {L"a\\b", true},      // inside, other case
        {L"AB", false},       // a sibling whose name begins with the entry's name
        {L"C", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.target));
        Fixture f;
        SetRaw(f.Path(L"A"), L"v", REG_DWORD, {1, 0, 0, 0});
        SetRaw(f.Path(L"A\\B"), L"w", REG_DWORD, {2, 0, 0, 0});
        SetRaw(f.Path(L"AB"), L"x", REG_DWORD, {3, 0, 0, 0});
        SetRaw(f.Path(L"C"), L"y", REG_DWORD, {4, 0, 0, 0});
        // The target record spelled as the user reached it (letter case of the table).
        const std::wstring target = f.Path(c.target);
        for (bool cut : {false, true}) {
            f.provider.ClearKeyClipboard();
            f.provider.AddKeyToClipboard(Key(f.Path(L"A")), cut);
            const Snapshot before = TakeSnapshot(f.Path());
            TPasteKeyInfo info;
            bool pasted = f.provider.PasteKey(Key(target), 0, &info);
            EXPECT_EQ(info.Refused, c.refused) << (cut ? "cut" : "copy");
            EXPECT_EQ(pasted, !c.refused) << (cut ? "cut" : "copy");
            if (c.refused) {
                EXPECT_EQ(TakeSnapshot(f.Path()), before);
                EXPECT_TRUE(f.provider.UndoList().empty());
            } else {
                Snapshot after = TakeSnapshot(f.Path());
                std::wstring pastedAt = target.substr(f.Path().size() + 1) + L"\\A";
                EXPECT_EQ(after[pastedAt][L"v"], (RawValue{REG_DWORD, {1, 0, 0, 0}}));
                EXPECT_EQ(after.count(L"A"), cut ? 0u : 1u);
                f.UndoAllFromLast();
                // Restore the starting tree for the next round.
                DeleteRegKeyTree(HKEY_CURRENT_USER, target + L"\\A");
                if (cut) {
                    EXPECT_EQ(TakeSnapshot(f.Path(L"A")).size(), 2u) << "source restored";
                }
            }
        }
    }
}

TEST(UndoPaste, PasteReportsAnExistingDestination) {
    Fixture f;
    SetRaw(f.Path(L"A"), L"v", REG_DWORD, {1, 0, 0, 0});
    SetRaw(f.Path(L"C\\A"), L"old", REG_DWORD, {2, 0, 0, 0});
    f.provider.AddKeyToClipboard(Key(f.Path(L"A")), false);
    TPasteKeyInfo info;
    ASSERT_TRUE(f.provider.PasteKey(Key(f.Path(L"C")), 0, &info));
    EXPECT_TRUE(info.DestinationExisted);
    Snapshot after = TakeSnapshot(f.Path(L"C\\A"));
    EXPECT_EQ(after[L""].size(), 2u) << "merged into the existing key";
    EXPECT_EQ(f.provider.KeyClipList().size(), 1u) << "the entry stays";
}

TEST(UndoPaste, ValueOntoItselfChangesAndRecordsNothing) {
    Fixture f;
    SetRaw(f.Path(L"A"), L"V", REG_BINARY, {1, 2});
    const Snapshot before = TakeSnapshot(f.Path());
    for (bool cut : {false, true}) {
        f.provider.ClearValueClipboard();
        f.provider.AddValueToClipboard(Value(f.Path(L"A"), L"V", REG_BINARY), cut);
        EXPECT_FALSE(f.provider.PasteValue(Key(f.Path(L"A")), 0));
        TVxRegKeyClass otherCase = Key(f.Path(L"a"));
        EXPECT_FALSE(f.provider.PasteValue(otherCase, 0));
    }
    EXPECT_EQ(TakeSnapshot(f.Path()), before);
    EXPECT_TRUE(f.provider.UndoList().empty());
}

TEST(UndoClipboard, EntriesEventsAndDropping) {
    Fixture f;
    TVxRegValueClass value = Value(L"Software\\X", L"V", REG_DWORD);
    value.FDataText = L"shown";
    value.FDataTextCached = true;
    value.FCorruptNumber = true;
    f.provider.AddValueToClipboard(value, false);
    value.FValueName = L"W";
    f.provider.AddValueToClipboard(value, true);
    value.FValueName = L"X";
    f.provider.AddValueToClipboard(value, false);
    EXPECT_EQ(f.clipChanges, 3);
    const auto& first = *f.provider.ValueClipList()[0];
    EXPECT_EQ(first.FValueName, L"V");
    EXPECT_EQ(first.FValueType, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(first.FDataText, L"shown");
    EXPECT_TRUE(first.FCorruptNumber);
    EXPECT_FALSE(first.FDataTextCached);
    EXPECT_EQ(first.FFullPath, L"HKEY_CURRENT_USER\\Software\\X\\V");

    f.provider.DropCutValues();
    EXPECT_EQ(f.clipChanges, 4);
    ASSERT_EQ(f.provider.ValueClipList().size(), 2u);
    EXPECT_EQ(f.provider.ValueClipList()[0]->FValueName, L"V");
    EXPECT_EQ(f.provider.ValueClipList()[1]->FValueName, L"X");

    EXPECT_FALSE(f.provider.KeyDeleteUndo);
    f.provider.AddKeyToClipboard(Key(L"Software\\K1"), true);
    f.provider.AddKeyToClipboard(Key(L"Software\\K2"), false);
    EXPECT_TRUE(f.provider.KeyDeleteUndo) << "a key on the clipboard switches backups on";
    f.provider.DropCutKeys();
    ASSERT_EQ(f.provider.KeyClipList().size(), 1u);
    EXPECT_EQ(f.provider.KeyClipList()[0]->FKeyName, L"K2");

    f.clipChanges = 0;
    f.provider.DeleteKeyClipEntry(5);  // out of range: nothing
    f.provider.DeleteKeyClipEntry(0);
    f.provider.ClearValueClipboard();
    EXPECT_EQ(f.clipChanges, 2);
    EXPECT_TRUE(f.provider.KeyClipList().empty());
    EXPECT_TRUE(f.provider.ValueClipList().empty());
    EXPECT_FALSE(f.provider.PasteKey(Key(L"Software"), 0));
    EXPECT_FALSE(f.provider.PasteValue(Key(L"Software"), 0));
    EXPECT_FALSE(f.provider.UndoAt(0));
    EXPECT_EQ(f.changes, 0);
}

TEST(UndoList, DeleteAndClearFireOncePerRecord) {
    Fixture f;
    for (int i = 0; i < 3; ++i) f.provider.RecordKeyCreated(Key(L"Software"), L"N" + std::to_wstring(i));
    EXPECT_EQ(f.changes, 3);
    f.provider.DeleteUndoEntry(1);
    EXPECT_EQ(f.changes, 4);
    EXPECT_EQ(f.provider.UndoList()[1]->FDisplayName, L"N2");
    f.provider.ClearUndoList();
    EXPECT_EQ(f.changes, 6);
    EXPECT_TRUE(f.provider.UndoList().empty());
}

TEST(UndoKeyBackup, BackupsInTheSettingsUndoFolderAreAccepted) {
    Fixture f;
    f.provider.RegistryScriptExportDir.clear();
    // "Settings\Undo" beside the test program; only what this test creates is removed.
    wchar_t exe[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    const std::filesystem::path settings = std::filesystem::path(exe).parent_path() / L"Settings";
    const std::filesystem::path undoDir = settings / L"Undo";
    const bool hadSettings = std::filesystem::exists(settings);
    const bool hadUndo = std::filesystem::exists(undoDir);
    std::filesystem::create_directories(undoDir);

    const std::wstring backup = (undoDir / L"regT1.reg").wstring();
    const std::wstring script = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" +
                                f.Path(L"Restored") + L"]\r\n\"v\"=\"x\"\r\n";
    classlib::SaveBytesToFileAtomic(backup, script.data(), script.size() * sizeof(wchar_t));
    TRegUndoItem item;
    TVxRegClipUndoProvider::AssignUndoItemKey(item, Key(f.Path(L"Restored")));
    item.FKind = ukKey;
    item.FOperation = uoDeleted;
    item.FPayload = backup;
    std::wstring line;
    ASSERT_TRUE(FormatUndoLine(item, line));
    const std::wstring db = f.backups.File(L"Undo.db");
    const std::wstring text = L"\xFEFF" + line + L"\r\n";
    classlib::SaveBytesToFileAtomic(db, text.data(), text.size() * sizeof(wchar_t));
    ASSERT_EQ(f.provider.LoadUndoList(db).Loaded, 1);

    EXPECT_TRUE(f.provider.UndoAt(0));
    EXPECT_FALSE(std::filesystem::exists(backup));
    EXPECT_EQ(TakeSnapshot(f.Path(L"Restored"))[L""][L"v"].type, static_cast<DWORD>(REG_SZ));

    std::error_code ec;
    std::filesystem::remove(backup, ec);
    if (!hadUndo) std::filesystem::remove(undoDir, ec);
    if (!hadSettings) std::filesystem::remove(settings, ec);
}
