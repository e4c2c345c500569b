// "Undo.db": SaveUndoList / LoadUndoList of TVxRegClipUndoProvider.
#include "undo/undoprovider.h"

#include "classlib/streams.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace undo;
using namespace registry;

namespace {

std::string ReadBytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::wstring& file, const std::wstring& text) {
    std::wstring withBom = L"\xFEFF" + text;
    classlib::SaveBytesToFileAtomic(file, withBom.data(), withBom.size() * sizeof(wchar_t));
}

void ExpectSameRecord(const TRegUndoItem& a, const TRegUndoItem& b) {
    EXPECT_EQ(a.FPayload, b.FPayload);
    EXPECT_EQ(a.FOldName, b.FOldName);
    EXPECT_EQ(a.FValueName, b.FValueName);
    EXPECT_EQ(a.FDataText, b.FDataText);
    EXPECT_EQ(a.FDisplayName, b.FDisplayName);
    EXPECT_EQ(a.FKeyName, b.FKeyName);
    EXPECT_EQ(a.FPath, b.FPath);
    EXPECT_EQ(a.FFullPath, b.FFullPath);
    EXPECT_EQ(a.FComputerName, b.FComputerName);
    EXPECT_EQ(a.FValueType, b.FValueType);
    EXPECT_EQ(a.FRootKey, b.FRootKey);
    EXPECT_EQ(a.FKind, b.FKind);
    EXPECT_EQ(a.FOperation, b.FOperation);
}

// A provider holding one record of every recording that needs no registry access, plus a
// key deletion whose backup path lies outside the ANSI code page.
void FillProvider(TVxRegClipUndoProvider& provider) {
    const TVxRegKeyClass software = MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software\\Ωβ");
    provider.RecordKeyCreated(software, L"新しいキー");
    provider.RecordKeyRenamed(MakeRegKeyRecord(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Old"), L"New", L"Old");
    provider.RecordValueCreated(MakeRegKeyRecord(HKEY_USERS, L".DEFAULT"), L"", REG_QWORD);
    provider.RecordValueRenamed(software, L"a", L"b😀");
    provider.RecordValueCreated(MakeRegKeyRecord(HKEY_CLASSES_ROOT, L""), L"v", 0xFFFFFFFF);
}

}  // namespace

TEST(UndoDb, SaveAndLoadKeepEveryField) {
    testsupport::ScratchDir dir;
    TVxRegClipUndoProvider source(nullptr);
    FillProvider(source);
    // Records with data and with a backup path outside the ANSI code page, added through
    // the file like any other.
    TRegUndoItem changed;
    TVxRegClipUndoProvider::AssignUndoItemKey(changed, MakeRegKeyRecord(HKEY_CURRENT_CONFIG, L"System"));
    changed.FKind = ukValue;
    changed.FOperation = uoChanged;
    changed.FValueName = L"D";
    changed.FValueType = REG_DWORD;
    changed.FPayload = L"0A000000";
    changed.FDataText = L"0x0000000A(10)";
    TRegUndoItem keyDeleted;
    TVxRegClipUndoProvider::AssignUndoItemKey(keyDeleted, MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software\\K"));
    keyDeleted.FKind = ukKey;
    keyDeleted.FOperation = uoDeleted;
    keyDeleted.FPayload = L"C:\\Ωβ😀\\Settings\\Undo\\reg1A2.reg";
    std::wstring text;
    for (const TRegUndoItem* item : {source.UndoList()[0].get(), source.UndoList()[1].get(),
                                     source.UndoList()[2].get(), source.UndoList()[3].get(),
                                     source.UndoList()[4].get(), &changed, &keyDeleted}) {
        std::wstring line;
        ASSERT_TRUE(FormatUndoLine(*item, line));
        text += line + L"\r\n";
    }
    const std::wstring db = dir.File(L"Undo.db");
    WriteText(db, text);

    TVxRegClipUndoProvider loaded(nullptr);
    int changes = 0;
    loaded.OnChange = [&](classlib::TComponent*) { ++changes; };
    TUndoLoadReport report = loaded.LoadUndoList(db);
    EXPECT_EQ(report.Loaded, 7);
    EXPECT_EQ(report.Rejected, 0);
    EXPECT_FALSE(report.Lossy);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(loaded.UndoList().size(), 7u);
    for (size_t i = 0; i < 5; ++i) ExpectSameRecord(*loaded.UndoList()[i], *source.UndoList()[i]);
    ExpectSameRecord(*loaded.UndoList()[5], changed);
    ExpectSameRecord(*loaded.UndoList()[6], keyDeleted);

    // Saving what was loaded writes the same bytes: UTF-16LE with byte-order mark, CR LF,
    // every field followed by a TAB, roots as 32-bit unsigned numbers.
    const std::wstring again = dir.File(L"Again.db");
    ASSERT_TRUE(loaded.SaveUndoList(again));
    EXPECT_EQ(ReadBytes(again), ReadBytes(db));
    const std::wstring hkcu = L"\t2147483649\t";
    const std::string hkcuBytes(reinterpret_cast<const char*>(hkcu.data()), hkcu.size() * 2);
    EXPECT_NE(ReadBytes(again).find(hkcuBytes), std::string::npos);
}

TEST(UndoDb, DamagedLinesAreSkippedAndKeptInTheFile) {
    testsupport::ScratchDir dir;
    const std::wstring db = dir.File(L"Undo.db");
    TVxRegClipUndoProvider source(nullptr);
    FillProvider(source);
    std::vector<std::wstring> good;
    for (const auto& item : source.UndoList()) {
        std::wstring line;
        ASSERT_TRUE(FormatUndoLine(*item, line));
        good.push_back(line);
    }
    const std::vector<std::wstring> damaged = {
        L"only\tthree\tfields\t",
        L"\t\t\t\t\t\t\t\t\t0\t0\t0\t0\t",                 // root 0
        L"\t\t\t\tK\tK\tK\tHKEY_CURRENT_USER\\K\t\t0\t2147483649\t7\t0\t",  // kind 7
        L"\t\t\t\tK\tK\t\\K\tHKEY_CURRENT_USER\\K\t\t0\t2147483649\t0\t0\t",  // empty part
    };
    std::wstring text = good[0] + L"\r\n" + damaged[0] + L"\r\n" + good[1] + L"\r\n\r\n" +
                        damaged[1] + L"\r\n" + damaged[2] + L"\r\n" + good[2] + L"\r\n" +
                        damaged[3] + L"\r\n";
    WriteText(db, text);

    TVxRegClipUndoProvider loaded(nullptr);
    TUndoLoadReport report = loaded.LoadUndoList(db);
    EXPECT_EQ(report.Loaded, 3);
    EXPECT_EQ(report.Rejected, 4);
    ASSERT_EQ(loaded.UndoList().size(), 3u);
    for (size_t i = 0; i < 3; ++i) ExpectSameRecord(*loaded.UndoList()[i], *source.UndoList()[i]);

    // A new record and a save: the damaged lines are not lost.
    loaded.RecordKeyCreated(MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software"), L"Z");
    ASSERT_TRUE(loaded.SaveUndoList(db));
    TVxRegClipUndoProvider reloaded(nullptr);
    report = reloaded.LoadUndoList(db);
    EXPECT_EQ(report.Loaded, 4);
    EXPECT_EQ(report.Rejected, 4);
    EXPECT_EQ(reloaded.UndoList().back()->FDisplayName, L"Z");
}

TEST(UndoDb, RecordsWithTabsOrLineBreaksSurviveARestart) {
    testsupport::ScratchDir dir;
    const std::wstring db = dir.File(L"Undo.db");
    TVxRegClipUndoProvider provider(nullptr);
    const TVxRegKeyClass key = MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software\\a\tb");
    provider.RecordValueCreated(key, L"a\tb", REG_SZ);
    provider.RecordValueCreated(MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software\\x"), L"plain", REG_SZ);
    provider.RecordValueRenamed(key, L"line\r\nbreak\\", L"\n");
    provider.RecordKeyRenamed(MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software\\Old"), L"New\r", L"Old");
    ASSERT_TRUE(provider.SaveUndoList(db));
    TVxRegClipUndoProvider loaded(nullptr);
    TUndoLoadReport report = loaded.LoadUndoList(db);
    EXPECT_EQ(report.Loaded, 4);
    EXPECT_EQ(report.Rejected, 0);
    ASSERT_EQ(loaded.UndoList().size(), 4u);
    for (size_t i = 0; i < 4; ++i) ExpectSameRecord(*loaded.UndoList()[i], *provider.UndoList()[i]);

    // The record without such characters keeps the plain form, so any reader of it takes
    // it as before; saving the loaded list again writes the same bytes.
    std::wstring plain;
    ASSERT_TRUE(FormatUndoLine(*provider.UndoList()[1], plain));
    EXPECT_EQ(std::count(plain.begin(), plain.end(), L'\t'), 13);
    const std::wstring wide = L"\r\n" + plain + L"\r\n";
    EXPECT_NE(ReadBytes(db).find(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2)),
              std::string::npos);
    const std::wstring again = dir.File(L"Again.db");
    ASSERT_TRUE(loaded.SaveUndoList(again));
    EXPECT_EQ(ReadBytes(again), ReadBytes(db));
}

TEST(UndoDb, MissingAndLossyFiles) {
    testsupport::ScratchDir dir;
    TVxRegClipUndoProvider provider(nullptr);
    provider.RecordKeyCreated(MakeRegKeyRecord(HKEY_CURRENT_USER, L"Software"), L"X");
    int changes = 0;
    provider.OnChange = [&](classlib::TComponent*) { ++changes; };

    TUndoLoadReport report = provider.LoadUndoList(dir.File(L"missing.db"));
    EXPECT_TRUE(provider.UndoList().empty());
    EXPECT_EQ(report.Loaded, 0);
    EXPECT_FALSE(report.Lossy);
    EXPECT_EQ(changes, 1) << "only the clearing";

    // UTF-16 with an odd final byte cannot be read without loss: the good line loads, but
    // the file is never overwritten by a save.
    TVxRegClipUndoProvider source(nullptr);
    FillProvider(source);
    std::wstring line;
    ASSERT_TRUE(FormatUndoLine(*source.UndoList()[0], line));
    const std::wstring db = dir.File(L"Undo.db");
    std::wstring text = L"\xFEFF" + line + L"\r\n";
    std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    bytes.push_back('\x41');
    classlib::SaveBytesToFileAtomic(db, bytes.data(), bytes.size());

    report = provider.LoadUndoList(db);
    EXPECT_TRUE(report.Lossy);
    EXPECT_EQ(report.Loaded, 1);
    EXPECT_FALSE(provider.SaveUndoList(db));
    EXPECT_EQ(ReadBytes(db), bytes);
    EXPECT_TRUE(provider.SaveUndoList(dir.File(L"Other.db")));
}
