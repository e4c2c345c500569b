// Hives, privileges and the regedit bridge.
#include "reg_fixture.h"

#include "registry/reghive.h"
#include "registry/regops.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace registry;

using HiveTest = RegTest;

namespace {
std::string FileBytes(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(HiveTargets, WhichKeysTakeOrMayBeHives) {
    struct Case {
        HKEY root;
        const wchar_t* path;
        bool target, loaded;
    } cases[] = {
        {HKEY_USERS, L"", true, false},
        {HKEY_LOCAL_MACHINE, L"", true, false},
        {HKEY_CURRENT_USER, L"", false, false},
        {HKEY_USERS, L"X", false, true},
        {HKEY_USERS, L"X\\Y", false, false},
        {HKEY_CURRENT_USER, L"X", false, false},
    };
    for (const Case& c : cases) {
        const TVxRegKeyClass key = MakeRegKeyRecord(c.root, c.path);
        EXPECT_EQ(c.target, IsHiveLoadTarget(key)) << testsupport::Narrow(key.FFullPath);
        EXPECT_EQ(c.loaded, IsLoadedHiveKey(key)) << testsupport::Narrow(key.FFullPath);
    }
}

TEST(HivePrivileges, BackupAndRestoreCanBeEnabled) {
    EXPECT_TRUE(EnablePrivilege("SeBackupPrivilege"));
    EXPECT_TRUE(EnablePrivilege("SeRestorePrivilege"));
    EXPECT_FALSE(EnablePrivilege("NoSuchPrivilege"));
}

TEST_F(HiveTest, SaveLoadUnloadRoundTrip) {
    SetSz(P(L"Data\\Sub"), L"v", L"hive value");
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"saved hive.dat");
    std::ofstream(std::filesystem::path(file)) << "old content";
    ASSERT_TRUE(SaveKeyToHiveFile(K(L"Data"), file)) << RegLastStatus();
    EXPECT_NE("old content", FileBytes(file)) << "an existing file is replaced";
    EXPECT_FALSE(SaveKeyToHiveFile(K(L"Missing"), dir.File(L"x.dat")));

    const std::wstring name = L"WendlarTestHive";
    EXPECT_FALSE(CanUnloadHive(HKEY_USERS, name));
    ASSERT_TRUE(LoadHive(HKEY_USERS, name, file)) << RegLastStatus();
    const TVxRegKeyClass loaded = MakeRegKeyRecord(HKEY_USERS, name + L"\\Sub");
    classlib::TMemoryStream stream;
    DWORD type = 0;
    bool mismatch = false;
    EXPECT_TRUE(ReadRegValueToStream(loaded, L"v", stream, type, mismatch));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_TRUE(CanUnloadHive(HKEY_USERS, L"wendlartesthive"));
    EXPECT_TRUE(UnloadHive(HKEY_USERS, name));
    EXPECT_FALSE(SubKeyExists(MakeRegKeyRecord(HKEY_USERS, L""), name));
    EXPECT_FALSE(CanUnloadHive(HKEY_USERS, name));
    EXPECT_FALSE(LoadHive(HKEY_CURRENT_USER, name, file)) << "only HKLM and HKU take hives";
}

TEST_F(HiveTest, UnloadRefusesKeysThisProcessDidNotLoad) {
    // Under Wine the unload call would delete any key it is given.
    MakeKey(P(L"NotAHive"));
    EXPECT_FALSE(UnloadHive(HKEY_USERS, L".DEFAULT"));
    EXPECT_FALSE(UnloadHive(HKEY_LOCAL_MACHINE, L"Software"));
    EXPECT_FALSE(UnloadHive(HKEY_CURRENT_USER, P(L"NotAHive")));
    HKEY check = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_USERS, L".DEFAULT", 0, KEY_READ, &check));
    RegCloseKey(check);
    EXPECT_TRUE(KeyExists(P(L"NotAHive")));
}

TEST_F(HiveTest, ExportAndImportThroughRegedit) {
    SetSz(P(L"Tree\\Sub"), L"name", L"日本語 \"q\"");
    SetSz(P(L"Tree"), L"exp", L"%TEMP%\\あ", REG_EXPAND_SZ);
    // Long data makes the editor wrap hex lists over several lines.
    std::vector<BYTE> longBinary;
    for (int i = 0; i < 100; ++i) longBinary.push_back(static_cast<BYTE>(i * 7));
    SetRaw(P(L"Tree"), L"long", REG_BINARY, longBinary);
    SetSz(P(L"Tree"), L"longexp", std::wstring(60, L'\x3042') + L"%X%", REG_EXPAND_SZ);
    const wchar_t multi[] = L"a\0\x3044\x3044\0";
    SetRaw(P(L"Tree"), L"multi", REG_MULTI_SZ,
           std::vector<BYTE>(reinterpret_cast<const BYTE*>(multi),
                             reinterpret_cast<const BYTE*>(multi) + sizeof(multi)));
    const auto originals = {L"long", L"longexp", L"multi", L"exp"};
    std::vector<std::pair<DWORD, std::vector<BYTE>>> before;
    for (const wchar_t* name : originals) before.push_back(Raw(P(L"Tree"), name));
    auto sameAsBefore = [&](const char* when) {
        size_t i = 0;
        for (const wchar_t* name : originals)
            EXPECT_EQ(before[i++], Raw(P(L"Tree"), name)) << when << " " << testsupport::Narrow(name);
    };
    testsupport::ScratchDir scratch;
    // Blanks in the folder and file names reach the editor intact (they are quoted).
    ASSERT_TRUE(CreateDirectoryW(scratch.File(L"a folder").c_str(), nullptr));
    struct {
        std::wstring base;
        std::wstring File(const std::wstring& name) const { return base + L"\\" + name; }
    } dir{scratch.File(L"a folder")};
    const std::wstring unicodeFile = dir.File(L"with blank.reg");
    std::ofstream(std::filesystem::path(unicodeFile)) << "stale";
    ASSERT_TRUE(ExportKeyWithRegedit(K(L"Tree"), unicodeFile, true));
    const std::string bytes = FileBytes(unicodeFile);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    EXPECT_EQ(0u, text.find(L"Windows Registry Editor Version 5.00"));
    EXPECT_NE(std::wstring::npos, text.find(L"[" + K(L"Tree\\Sub").FFullPath + L"]"));

    const std::wstring ansiFile = dir.File(L"ansi.reg");
    ASSERT_TRUE(ExportKeyWithRegedit(K(L"Tree"), ansiFile, false));
    const std::string ansi = FileBytes(ansiFile);
    EXPECT_EQ(0u, ansi.find("REGEDIT4\r\n"));
    EXPECT_EQ(std::string::npos, ansi.find("Version 5.00"));
    EXPECT_NE(std::string::npos, ansi.find("[HKEY_CURRENT_USER\\Software\\WendlarTest"));
    // No file and no false success for a key that does not exist.
    EXPECT_FALSE(ExportKeyWithRegedit(K(L"Missing"), dir.File(L"missing.reg"), true));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(dir.File(L"missing.reg").c_str()));
    TVxRegKeyClass quoted = K(L"Tree");
    quoted.FFullPath += L"\" /S \"x";
    EXPECT_FALSE(ExportKeyWithRegedit(quoted, dir.File(L"q.reg"), true));

    // Import restores the tree and deletes the program's own file afterwards.
    ASSERT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, P(L"Tree")));
    ASSERT_TRUE(ImportRegFileWithRegedit(unicodeFile));
    EXPECT_EQ(L"日本語 \"q\"", SzOf(P(L"Tree\\Sub"), L"name"));
    sameAsBefore("unicode");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(unicodeFile.c_str()));

    // The ANSI script imports as well; a file the user picked stays.
    ASSERT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, P(L"Tree")));
    ASSERT_TRUE(ImportRegFileWithRegedit(ansiFile, false));
    EXPECT_EQ(L"日本語 \"q\"", SzOf(P(L"Tree\\Sub"), L"name"));
    sameAsBefore("ansi");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ansiFile.c_str()));
    EXPECT_FALSE(RegeditIsRunning());
}

TEST_F(HiveTest, TheEditorIsAwaitedWithTheCallersWait) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"own wait.reg");
    {
        std::wofstream(std::filesystem::path(file))
            << L"REGEDIT4\r\n\r\n[" << K(L"Waited").FFullPath << L"]\r\n\"v\"=\"x\"\r\n";
    }
    // The wait is handed the editor's process; what it answers is the bridge's result.
    struct Case {
        bool answer;
        bool fileKept;
    } cases[] = {{false, true}, {true, false}};
    for (const Case& c : cases) {
        int calls = 0;
        const bool result = ImportRegFileWithRegedit(file, true, [&](HANDLE process) {
            ++calls;
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, INFINITE));
            return c.answer;
        });
        EXPECT_EQ(c.answer, result);
        EXPECT_EQ(1, calls);
        EXPECT_EQ(c.fileKept, GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES)
            << "a wait that failed leaves the file to the caller";
        EXPECT_FALSE(RegeditIsRunning());
    }
    EXPECT_EQ(L"x", SzOf(P(L"Waited"), L"v"));
}

// An ANSI script says when a name or a string had no place in the code page (written as the
// code page's default character); a Unicode script and a script that fits say nothing.
TEST_F(HiveTest, AnAnsiScriptTellsWhatItLost) {
    testsupport::ScratchDir dir;
    struct Case {
        const char* what;
        std::wstring key, value;
        bool unicode, lossy;
    } cases[] = {
        {"fits", L"Plain\\日本語", L"値", false, false},
        {"Thai value", L"Value", L"\x0E01\x0E02", false, true},
        {"Thai key name", L"Name\\\x0E01", L"x", false, true},
        {"unicode script", L"Wide\\\x0E01", L"\x0E01", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetSz(P(c.key), L"v", c.value);
        const std::wstring top = c.key.substr(0, c.key.find(L'\\'));
        bool lossy = !c.lossy;
        ASSERT_TRUE(ExportKeyWithRegedit(K(top), dir.File(top + L".reg"), c.unicode, {}, &lossy));
        EXPECT_EQ(lossy, c.lossy);
    }
}
