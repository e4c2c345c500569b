// The text forms of undo records: hexadecimal data, "Undo.db" lines and the backup-path
// and backup-script checks. No registry access.
#include "undo/undoitems.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace undo;
using namespace registry;

using testsupport::Narrow;

namespace {

const HKEY kHkcu = HKEY_CURRENT_USER;

// A well-formed line of a value record below HKEY_CURRENT_USER\Software\A.
std::wstring GoodValueLine() {
    return L"01000000\t\tV\t\tV\tA\tSoftware\\A\tHKEY_CURRENT_USER\\Software\\A\t\t4\t2147483649\t1\t1\t";
}

// Replaces field `index` (0-based) of a TAB-terminated line.
std::wstring WithField(const std::wstring& line, size_t index, const std::wstring& text) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find(L'\t', start)) != std::wstring::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.at(index) = text;
    std::wstring out;
    for (const auto& f : fields) out += f + L'\t';
    return out;
}

}  // namespace

TEST(UndoHexText, RoundTripAndDamagedPairs) {
    std::vector<BYTE> bytes{0x00, 0x01, 0xAB, 0xFF};
    EXPECT_EQ(BytesToHexText(bytes), L"0001ABFF");
    EXPECT_EQ(HexTextToBytes(L"0001ABFF"), bytes);
    EXPECT_EQ(HexTextToBytes(L"0001abff"), bytes);
    EXPECT_TRUE(HexTextToBytes(L"").empty());
    // Length div 2 bytes; decoding stops at the first bad pair, the rest stay 0.
    EXPECT_EQ(HexTextToBytes(L"41ZZ42"), (std::vector<BYTE>{0x41, 0x00, 0x00}));
    EXPECT_EQ(HexTextToBytes(L"414"), (std::vector<BYTE>{0x41}));
}

TEST(UndoLine, FormatWritesThirteenTabTerminatedFields) {
    TRegUndoItem item;
    item.FPayload = L"C:\\Settings\\Undo\\reg1.reg";
    item.FOldName = L"Old";
    item.FDisplayName = L"Key";
    item.FKeyName = L"Key";
    item.FPath = L"Software\\Key";
    item.FFullPath = L"HKEY_CURRENT_USER\\Software\\Key";
    item.FRootKey = kHkcu;
    item.FValueType = 0xFFFFFFFF;
    item.FKind = ukKey;
    item.FOperation = uoDeleted;
    std::wstring line;
    ASSERT_TRUE(FormatUndoLine(item, line));
    EXPECT_EQ(line, L"C:\\Settings\\Undo\\reg1.reg\tOld\t\t\tKey\tKey\tSoftware\\Key\t"
                    L"HKEY_CURRENT_USER\\Software\\Key\t\t4294967295\t2147483649\t0\t3\t");

    TRegUndoItem back;
    ASSERT_EQ(ParseUndoLine(line, back), TUndoLineError::None);
    EXPECT_EQ(back.FRootKey, HKEY_CURRENT_USER);  // sign-extended again on x64
    EXPECT_EQ(back.FValueType, 0xFFFFFFFFu);
    EXPECT_EQ(back.FPayload, item.FPayload);
    EXPECT_EQ(back.FOldName, L"Old");
    EXPECT_EQ(back.FKind, ukKey);
    EXPECT_EQ(back.FOperation, uoDeleted);
}

TEST(UndoLine, FieldsWithTabOrLineBreakAreWrittenEscaped) {
    struct Case {
        const char* what;
        std::wstring TRegUndoItem::*field;
        std::wstring text;
        const wchar_t* written;  // the field as it stands in the line
    };
    const Case cases[] = {
        {"tab in the value name", &TRegUndoItem::FValueName, L"a\tb", L"a\\tb"},
        {"CR LF in the data text", &TRegUndoItem::FDataText, L"x\r\ny", L"x\\r\\ny"},
        {"lone LF and backslash", &TRegUndoItem::FOldName, L"\\n\n", L"\\\\n\\n"},
        {"NUL in the display name", &TRegUndoItem::FDisplayName, std::wstring(L"a\0b", 3), L"a\\0b"},
        {"tab in the payload", &TRegUndoItem::FPayload, L"old\t\x2192new", L"old\\t\x2192new"},
        {"tab in a key name", &TRegUndoItem::FKeyName, L"\t", L"\\t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRegUndoItem item;
        item.FRootKey = kHkcu;
        item.FKind = ukValue;
        item.FOperation = uoRenamed;
        item.FPath = L"Software\\A";  // backslashes of the other texts are escaped too
        item.FFullPath = L"HKEY_CURRENT_USER\\Software\\A";
        item.*c.field = c.text;
        std::wstring line;
        ASSERT_TRUE(FormatUndoLine(item, line));
        // Thirteen fields and the mark, each followed by a TAB; nothing breaks the line.
        EXPECT_EQ(std::count(line.begin(), line.end(), L'\t'), 14);
        EXPECT_EQ(line.find_first_of(std::wstring(L"\r\n\0", 3)), std::wstring::npos);
        EXPECT_EQ(line.substr(line.size() - 3), L"\tE\t");
        EXPECT_NE((L"\t" + line).find(L"\t" + std::wstring(c.written) + L"\t"), std::wstring::npos)
            << Narrow(line);
        EXPECT_NE(line.find(L"\tSoftware\\\\A\t"), std::wstring::npos) << Narrow(line);

        TRegUndoItem back;
        ASSERT_EQ(ParseUndoLine(line, back), TUndoLineError::None) << Narrow(line);
        EXPECT_EQ(back.*c.field, c.text);
        EXPECT_EQ(back.FPath, L"Software\\A");
        EXPECT_EQ(back.FFullPath, L"HKEY_CURRENT_USER\\Software\\A");
        EXPECT_EQ(back.FOperation, uoRenamed);
    }
}

TEST(UndoLine, EveryPredefinedRootIsReadBack) {
    for (const TRegRoot& entry : RegRoots) {
        const HKEY root = entry.Key;
        TRegUndoItem item;
        item.FRootKey = root;
        item.FKind = ukValue;
        item.FFullPath = RootHKeyToName(root) + L"\\";
        std::wstring line;
        ASSERT_TRUE(FormatUndoLine(item, line));
        TRegUndoItem back;
        ASSERT_EQ(ParseUndoLine(line, back), TUndoLineError::None) << Narrow(line);
        EXPECT_EQ(back.FRootKey, root);
    }
}

TEST(UndoLine, DamagedLinesAreRejectedWithTheirReason) {
    const std::wstring good = GoodValueLine();
    struct Case {
        const char* what;
        std::wstring line;
        TUndoLineError expected;
    };
    const std::wstring keyDeleted =
        L"C:\\x\\reg1.reg\t\t\t\tK\tK\tSoftware\\K\tHKEY_CURRENT_USER\\Software\\K\t\t0\t2147483649\t0\t3\t";
    const std::wstring keyRenamed =
        L"\tOld\t\t\tOld\tNew\tSoftware\\New\tHKEY_CURRENT_USER\\Software\\New\t\t0\t2147483649\t0\t2\t";
    const std::wstring escaped =
        WithField(WithField(good, 6, L"Software\\\\A"), 7, L"HKEY_CURRENT_USER\\\\Software\\\\A") + L"E\t";
    const Case cases[] = {
        {"good value line", good, TUndoLineError::None},
        {"good without final tab", good.substr(0, good.size() - 1), TUndoLineError::None},
        {"good key deletion", keyDeleted, TUndoLineError::None},
        {"good key rename", keyRenamed, TUndoLineError::None},
        {"value in a root", WithField(WithField(good, 6, L""), 7, L"HKEY_CURRENT_USER\\V"),
         TUndoLineError::None},
        {"empty line", L"", TUndoLineError::FieldCount},
        {"twelve fields", good.substr(0, good.rfind(L'\t', good.size() - 2) + 1),
         TUndoLineError::FieldCount},
        {"fourteen fields", good + L"x\t", TUndoLineError::FieldCount},
        {"tab inside a name", WithField(good, 2, L"a\tb"), TUndoLineError::FieldCount},
        // The escaped form: the mark after the 13th field, texts unescaped.
        {"escaped", escaped, TUndoLineError::None},
        {"escaped without final tab", escaped.substr(0, escaped.size() - 1), TUndoLineError::None},
        {"escaped tab in a name", WithField(escaped, 2, L"a\\tb"), TUndoLineError::None},
        {"escape of unknown letter", WithField(escaped, 2, L"a\\x"), TUndoLineError::Escape},
        {"escape at the end of a text", WithField(escaped, 4, L"V\\"), TUndoLineError::Escape},
        {"plain line with the mark", good + L"E\t", TUndoLineError::Escape},  // "\A"
        {"escaped line with a tab in a name", WithField(escaped, 2, L"a\tb"), TUndoLineError::FieldCount},
        {"mark in lower case", WithField(escaped, 13, L"e"), TUndoLineError::FieldCount},
        {"mark after fifteen fields", WithField(escaped, 13, L"x") + L"E\t", TUndoLineError::FieldCount},
        {"escaped number", WithField(escaped, 9, L"\\t4"), TUndoLineError::Number},
        // A line of the plain form shifted by a TAB in a text ends in a number, not the mark.
        {"shifted plain line", WithField(good, 4, L"V\tE"), TUndoLineError::FieldCount},
        {"type not a number", WithField(good, 9, L"x"), TUndoLineError::Number},
        {"type negative", WithField(good, 9, L"-1"), TUndoLineError::Number},
        {"type with blank", WithField(good, 9, L" 4"), TUndoLineError::Number},
        {"type hexadecimal", WithField(good, 9, L"0x4"), TUndoLineError::Number},
        {"type above 32 bits", WithField(good, 9, L"4294967296"), TUndoLineError::Number},
        {"root empty", WithField(good, 10, L""), TUndoLineError::Number},
        {"root zero", WithField(good, 10, L"0"), TUndoLineError::Root},
        {"root after the last", WithField(good, 10, L"2147483655"), TUndoLineError::Root},
        {"root sign-extended text", WithField(good, 10, L"18446744071562067969"),
         TUndoLineError::Number},
        {"root of another handle", WithField(good, 10, L"1234"), TUndoLineError::Root},
        {"kind 2", WithField(good, 11, L"2"), TUndoLineError::Kind},
        {"kind 256", WithField(good, 11, L"256"), TUndoLineError::Kind},
        {"operation 4", WithField(good, 12, L"4"), TUndoLineError::Operation},
        {"operation 259", WithField(good, 12, L"259"), TUndoLineError::Operation},
        {"path with leading backslash", WithField(good, 6, L"\\Software\\A"), TUndoLineError::Path},
        {"path with trailing backslash", WithField(good, 6, L"Software\\A\\"), TUndoLineError::Path},
        {"path with empty part", WithField(good, 6, L"Software\\\\A"), TUndoLineError::Path},
        {"key record without path", WithField(keyRenamed, 6, L""), TUndoLineError::Path},
        {"full path of another root", WithField(good, 7, L"HKEY_LOCAL_MACHINE\\Software\\A"),
         TUndoLineError::Path},
        {"full path of a longer root name", WithField(good, 7, L"HKEY_CURRENT_USERX\\A"),
         TUndoLineError::Path},
        {"remote computer", WithField(good, 8, L"SERVER"), TUndoLineError::Path},
        {"key rename without old name", WithField(keyRenamed, 1, L""), TUndoLineError::Path},
        {"key rename old name with backslash", WithField(keyRenamed, 1, L"a\\b"),
         TUndoLineError::Path},
        {"value data not hexadecimal", WithField(good, 0, L"0G"), TUndoLineError::Payload},
        {"value data of odd length", WithField(good, 0, L"010"), TUndoLineError::Payload},
        {"key backup without path", WithField(keyDeleted, 0, L""), TUndoLineError::Payload},
    };
    for (const Case& c : cases) {
        TRegUndoItem item;
        item.FOldName = L"untouched";
        TUndoLineError error = ParseUndoLine(c.line, item);
        EXPECT_EQ(static_cast<int>(error), static_cast<int>(c.expected)) << c.what;
        if (error != TUndoLineError::None) {
            EXPECT_EQ(item.FOldName, L"untouched") << c.what;
        }
    }
}

TEST(UndoBackupPath, OnlyRegFilesDirectlyInsideAllowedFolders) {
    testsupport::ScratchDir allowed;
    testsupport::ScratchDir other;
    std::filesystem::create_directories(allowed.Path() / L"sub");
    const std::wstring dir = allowed.Path().wstring();
    std::wstring upperDir = dir;
    for (auto& c : upperDir) c = static_cast<wchar_t>(towupper(c));
    const std::vector<std::wstring> dirs{L"", dir};
    struct Case {
        std::wstring path;
        bool expected;
    };
    const Case cases[] = {
        {dir + L"\\reg1.reg", true},
        {dir + L"\\REG1.REG", true},
        {upperDir + L"\\reg1.reg", true},
        {dir + L"\\Ωβ😀.reg", true},
        {dir + L"\\sub\\..\\reg1.reg", true},
        {dir + L"\\sub\\reg1.reg", false},
        {dir + L"\\..\\reg1.reg", false},
        {dir + L"\\reg1.txt", false},
        {dir + L"\\reg1.reg.txt", false},
        {dir + L"\\.reg", false},
        {dir + L"\\reg1.reg:stream", false},
        {dir + L"\\*.reg", false},
        {dir, false},
        {other.File(L"reg1.reg"), false},
        {L"reg1.reg", false},
        {L"..\\reg1.reg", false},
        {L"", false},
        {L"C:\\Windows\\win.ini", false},
        {L"\\\\?\\" + dir + L"\\reg1.reg", false},
        {L"\\\\.\\" + dir + L"\\reg1.reg", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAllowedBackupPath(c.path, dirs), c.expected) << Narrow(c.path);
    EXPECT_FALSE(IsAllowedBackupPath(dir + L"\\reg1.reg", {}));
}

TEST(UndoBackupScript, CompleteOnlyWithHeaderAndTheKeysSection) {
    testsupport::ScratchDir dir;
    auto write = [&](const wchar_t* name, const std::string& bytes) {
        std::ofstream(dir.Path() / name, std::ios::binary) << bytes;
        return dir.File(name);
    };
    auto utf16 = [](const std::wstring& text) {
        std::string bytes = "\xFF\xFE";
        for (wchar_t c : text) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
        }
        return bytes;
    };
    const std::wstring key = L"HKEY_CURRENT_USER\\Software\\K";
    const std::wstring header = L"Windows Registry Editor Version 5.00\r\n\r\n";
    EXPECT_TRUE(IsCompleteRegScript(write(L"a.reg", utf16(header + L"[" + key + L"]\r\n\"v\"=\"x\"\r\n")), key));
    EXPECT_TRUE(IsCompleteRegScript(write(L"b.reg", utf16(header + L"[hkey_current_user\\software\\k]\r\n")), key));
    EXPECT_TRUE(IsCompleteRegScript(
        write(L"c.reg", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\K]\r\n"), key));
    EXPECT_FALSE(IsCompleteRegScript(write(L"d.reg", ""), key));
    EXPECT_FALSE(IsCompleteRegScript(write(L"e.reg", utf16(header)), key));
    EXPECT_FALSE(IsCompleteRegScript(write(L"f.reg", utf16(header + L"[" + key + L"\\Sub]\r\n")), key));
    EXPECT_FALSE(IsCompleteRegScript(write(L"g.reg", utf16(L"REGEDIT4\r\n\r\n[" + key + L"]\r\n")), key));
    EXPECT_FALSE(IsCompleteRegScript(dir.File(L"missing.reg"), key));
    // A large backup is judged by its start.
    std::wstring large = header + L"[" + key + L"]\r\n";
    while (large.size() < 200000) large += L"\"value\"=hex:00,01,02,03,04,05,06,07\r\n";
    EXPECT_TRUE(IsCompleteRegScript(write(L"h.reg", utf16(large)), key));
}
