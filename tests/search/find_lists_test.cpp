// The search dialog's saved lists (named key lists, keyword history), its start keys and
// the token insertion into the keyword box.
#include "search/find_lists.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/test_support.h"

using namespace search;
using testsupport::Narrow;
using testsupport::ScratchDir;

namespace {

std::string ReadBytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::wstring& file, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(file), std::ios::binary);
    out << bytes;
}

// UTF-16LE bytes with a byte-order mark.
std::string Utf16File(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

// A folder and names outside the system's ANSI code page (Korean, a letter with a
// diaeresis that code page 932 lacks, a character outside the basic plane).
struct ListFiles {
    ScratchDir Dir;
    std::wstring Folder;
    std::wstring Keys, Words;
    ListFiles() {
        Folder = Dir.File(L"설정-\u00FC");
        std::filesystem::create_directories(std::filesystem::path(Folder));
        Keys = Folder + L"\\findkey.db";
        Words = Folder + L"\\findword.db";
    }
};

const std::wstring kOddKey = L"HKEY_CURRENT_USER\\Software\\키\u00FC\\\U0001F600";

TEST(FindKeyLists, LineFormatTable) {
    struct Case {
        const wchar_t* Line;
        const wchar_t* Name;
        std::vector<std::wstring> Keys;
        int Skipped;
        const wchar_t* Written;  // what the list writes back
    };
    const Case cases[] = {
        {L"work\tHKEY_CURRENT_USER\\Software\t", L"work", {L"HKEY_CURRENT_USER\\Software"}, 0,
         L"work\tHKEY_CURRENT_USER\\Software\t"},
        {L"two\tHKLM\\a\tHKCU\\b\t", L"two", {L"HKLM\\a", L"HKCU\\b"}, 0, L"two\tHKLM\\a\tHKCU\\b\t"},
        {L"nokeys\t", L"nokeys", {}, 0, L"nokeys\t"},
        {L"bare", L"bare", {}, 0, L"bare\t"},
        {L"", L"", {}, 0, L"\t"},                           // empty line: empty name, no keys
        {L"\tHKCU\\x\t", L"", {L"HKCU\\x"}, 0, L"\tHKCU\\x\t"},
        {L"gap\t\tHKCU\\x\t\t", L"gap", {L"HKCU\\x"}, 2, L"gap\tHKCU\\x\t"},  // empty keys left out
        {L"last\tHKCU\\x", L"last", {L"HKCU\\x"}, 0, L"last\tHKCU\\x\t"},
    };
    for (const auto& c : cases) {
        int skipped = 0;
        TKeyListItem list = ParseKeyListLine(c.Line, &skipped);
        SCOPED_TRACE(Narrow(c.Line));
        EXPECT_EQ(list.FName, c.Name);
        EXPECT_EQ(list.FKeys, c.Keys);
        EXPECT_EQ(skipped, c.Skipped);
        EXPECT_EQ(FormatKeyListLine(list), c.Written);
    }
    EXPECT_TRUE(KeyListStorable({L"n", {L"HKCU\\a b"}}));
    EXPECT_FALSE(KeyListStorable({L"n\tx", {}}));
    EXPECT_FALSE(KeyListStorable({L"n", {L"HKCU\\a\r\nb"}}));
    EXPECT_FALSE(KeyListStorable({L"n", {std::wstring(L"HKCU\\a\0b", 8)}}));
}

TEST(FindKeyLists, RoundTripWithNamesOutsideTheAnsiCodePage) {
    ListFiles files;
    const TKeyLists lists = {
        {L"work", {L"HKEY_CURRENT_USER\\Software"}},
        {L"名前\u00FC", {kOddKey, L"HKEY_LOCAL_MACHINE\\SOFTWARE"}},
        {L"empty", {}},
        {L"work", {L"HKEY_USERS"}},  // duplicate names are allowed
    };
    WriteKeyLists(files.Keys, lists);
    EXPECT_EQ(ReadBytes(files.Keys),
              Utf16File(L"work\tHKEY_CURRENT_USER\\Software\t\r\n名前\u00FC\t" + kOddKey +
                        L"\tHKEY_LOCAL_MACHINE\\SOFTWARE\t\r\nempty\t\r\nwork\tHKEY_USERS\t\r\n"));
    TFindListLoad load;
    const TKeyLists read = ReadKeyLists(files.Keys, load);
    EXPECT_TRUE(load.FileExists);
    EXPECT_FALSE(load.Damaged());
    ASSERT_EQ(read.size(), lists.size());
    for (size_t i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(read[i].FName, lists[i].FName);
        EXPECT_EQ(read[i].FKeys, lists[i].FKeys);
    }
    EXPECT_EQ(FindKeyListByName(read, L"work"), 0);  // the first of equal names
    EXPECT_EQ(FindKeyListByName(read, L"WORK"), -1);  // letter case counts
    EXPECT_EQ(FindKeyListByName(read, L""), -1);

    WriteKeyLists(files.Keys, {});
    EXPECT_EQ(ReadBytes(files.Keys), "\xFF\xFE");
    EXPECT_TRUE(ReadKeyLists(files.Keys, load).empty());

    EXPECT_TRUE(ReadKeyLists(files.Folder + L"\\missing.db", load).empty());
    EXPECT_FALSE(load.FileExists);
    EXPECT_FALSE(load.Damaged());
}

TEST(FindWordHistory, OrderAndStorableKeywords) {
    std::vector<std::wstring> history = {L"abc", L"second", L"third"};
    EXPECT_TRUE(AddFindWord(history, L"Abc"));  // replaces the entry equal ignoring case
    EXPECT_EQ(history, (std::vector<std::wstring>{L"Abc", L"second", L"third"}));
    EXPECT_TRUE(AddFindWord(history, L"THIRD"));
    EXPECT_EQ(history, (std::vector<std::wstring>{L"THIRD", L"Abc", L"second"}));
    EXPECT_TRUE(AddFindWord(history, L"new\tone"));  // a TAB is fine on a line of its own
    EXPECT_EQ(history.front(), L"new\tone");
    for (const std::wstring& bad : {std::wstring(), std::wstring(L"a\r\nb"), std::wstring(L"a\nb"),
                                   std::wstring(L"a\0b", 3)}) {
        auto before = history;
        EXPECT_FALSE(AddFindWord(history, bad)) << Narrow(bad);
        EXPECT_EQ(history, before);
    }

    ListFiles files;
    history.push_back(kOddKey);
    WriteFindWords(files.Words, history);
    TFindListLoad load;
    EXPECT_EQ(ReadFindWords(files.Words, load), history);
    // Empty lines of a file written elsewhere are left out.
    WriteBytes(files.Words, Utf16File(L"one\r\n\r\ntwo\r\n"));
    EXPECT_EQ(ReadFindWords(files.Words, load), (std::vector<std::wstring>{L"one", L"two"}));
    EXPECT_EQ(load.SkippedFields, 1);
}

TEST(FindStartKeys, AddTextAndLines) {
    std::vector<std::wstring> keys;
    EXPECT_TRUE(AddStartKey(keys, L"HKEY_CURRENT_USER\\Software"));
    EXPECT_FALSE(AddStartKey(keys, L"hkey_current_user\\SOFTWARE"));
    EXPECT_TRUE(AddStartKey(keys, L""));  // taken as it is
    EXPECT_EQ(StartKeysText(keys), L"HKEY_CURRENT_USER\\Software\r\n\r\n");
    EXPECT_EQ(StartKeysFromText(L"a\r\nb\nc\rd\r\n"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_TRUE(StartKeysFromText(L"").empty());
}

// The dialog's lists from opening to closing.
class FindListsModelTest : public testing::Test {
protected:
    void WriteKeys(const std::wstring& text) { WriteBytes(FFiles.Keys, Utf16File(text)); }
    TFindListsModel Open(const std::wstring& defaultName) {
        TFindListsModel model(FFiles.Keys, FFiles.Words);
        model.Load(defaultName);
        return model;
    }
    ListFiles FFiles;
};

TEST_F(FindListsModelTest, DefaultListSelectionAndSavingUnderAnExistingName) {
    WriteKeys(L"first\tHKCU\\1\t\r\nwork\tHKCU\\w\t\r\n");
    // No default: the first list and its keys.
    TFindListsModel model = Open(L"");
    EXPECT_EQ(model.SelectedList(), 0);
    EXPECT_EQ(model.StartKeys(), std::vector<std::wstring>{L"HKCU\\1"});
    // An unknown default keeps the first; a known one replaces it.
    EXPECT_EQ(Open(L"nothing").SelectedList(), 0);
    model = Open(L"work");
    EXPECT_EQ(model.SelectedList(), 1);
    EXPECT_EQ(model.StartKeys(), std::vector<std::wstring>{L"HKCU\\w"});

    // Choosing a list replaces the start keys at once; adding and deleting keys.
    model.SelectList(0);
    EXPECT_EQ(model.StartKeys(), std::vector<std::wstring>{L"HKCU\\1"});
    EXPECT_TRUE(model.AddKey(kOddKey));
    EXPECT_FALSE(model.AddKey(L"hkcu\\1"));
    EXPECT_TRUE(model.AddKey(L"HKCU\\3"));
    model.DeleteKeys({2, 0, 7});
    EXPECT_EQ(model.StartKeys(), std::vector<std::wstring>{kOddKey});

    // Saving under a name that exists gives a second entry; the default then picks the
    // first of them.
    EXPECT_FALSE(model.SaveCurrentAs(L""));
    EXPECT_TRUE(model.SaveCurrentAs(L"work"));
    EXPECT_EQ(model.SelectedList(), 2);
    std::wstring name;
    ASSERT_TRUE(model.SelectedName(name));
    EXPECT_EQ(name, L"work");
    EXPECT_TRUE(model.SaveKeyLists());
    EXPECT_FALSE(model.SaveKeyLists());  // nothing changed since
    model = Open(L"work");
    ASSERT_EQ(model.KeyLists().size(), 3u);
    EXPECT_EQ(model.SelectedList(), 1);
    EXPECT_EQ(model.KeyLists()[2].FKeys, std::vector<std::wstring>{kOddKey});

    // Deleting the selected list moves the selection to the one in its place.
    model.SelectList(2);
    EXPECT_TRUE(model.DeleteSelectedList());
    EXPECT_EQ(model.SelectedList(), 1);
    model.SaveKeyLists();
    EXPECT_EQ(ReadBytes(FFiles.Keys), Utf16File(L"first\tHKCU\\1\t\r\nwork\tHKCU\\w\t\r\n"));

    // A key that cannot be stored on one line keeps the list from being made.
    model.SetStartKeys({L"HKCU\\a\tb"});
    EXPECT_FALSE(model.SaveCurrentAs(L"tabbed"));
    EXPECT_EQ(model.KeyLists().size(), 2u);
}

TEST_F(FindListsModelTest, KeywordHistoryIsWrittenAtOk) {
    TFindListsModel model = Open(L"");
    EXPECT_TRUE(model.KeyLists().empty());
    EXPECT_EQ(model.SelectedList(), -1);
    model.CommitKeyword(L"");  // an empty keyword changes nothing
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(FFiles.Words)));
    model.CommitKeyword(L"abc");
    model.CommitKeyword(L"x\u00FC");
    model.CommitKeyword(L"Abc");
    EXPECT_EQ(Open(L"").History(), (std::vector<std::wstring>{L"Abc", L"x\u00FC"}));
}

TEST_F(FindListsModelTest, DamagedFilesAreNeverWrittenOver) {
    // An odd final byte cannot be decoded: the lines read are kept, the file is not replaced.
    const std::string keys = Utf16File(L"good\tHKCU\\g\t\r\n") + "\x41";
    WriteBytes(FFiles.Keys, keys);
    const std::string words = Utf16File(L"old\r\n") + "\x41";
    WriteBytes(FFiles.Words, words);
    TFindListsModel model = Open(L"");
    EXPECT_TRUE(model.KeyListLoad().Damaged());
    EXPECT_TRUE(model.HistoryLoad().Damaged());
    ASSERT_EQ(model.KeyLists().size(), 1u);
    EXPECT_EQ(model.KeyLists()[0].FName, L"good");
    EXPECT_TRUE(model.SaveCurrentAs(L"more"));
    EXPECT_FALSE(model.SaveKeyLists());
    model.CommitKeyword(L"new");
    EXPECT_EQ(model.History().front(), L"new");
    EXPECT_EQ(ReadBytes(FFiles.Keys), keys);
    EXPECT_EQ(ReadBytes(FFiles.Words), words);
}

TEST(FindKeywordTokens, InsertAtCaretOrOverSelection) {
    struct Case {
        const wchar_t* Text;
        size_t SelStart, SelLength;
        const wchar_t* Token;
        const wchar_t* Result;
        size_t Caret;
    };
    const Case cases[] = {
        {L"abcd", 2, 0, L"\\B", L"ab\\Bcd", 4},      // at the caret
        {L"abcd", 1, 2, L"\\B", L"a\\Bd", 3},        // over the selection
        {L"", 0, 0, L"^", L"^", 1},
        {L"abc", 3, 0, L"$", L"abc$", 4},
        {L"abc", 0, 3, L"()", L"()", 2},             // the whole text selected
        {L"abc", 9, 4, L"*", L"abc*", 4},            // positions past the end are clamped
        {L"abc", 2, 9, L"+", L"ab+", 3},
    };
    for (const auto& c : cases) {
        TTokenInsertion r = InsertToken(c.Text, c.SelStart, c.SelLength, c.Token);
        EXPECT_EQ(r.Text, c.Result) << Narrow(c.Text) << " " << c.SelStart << "," << c.SelLength;
        EXPECT_EQ(r.Caret, c.Caret) << Narrow(c.Text) << " " << c.SelStart << "," << c.SelLength;
    }
    // The menu holds the token items the keyword box offers, among them "\B".
    const auto& menus = RegexTokenMenus();
    ASSERT_EQ(menus.size(), 6u);
    EXPECT_STREQ(menus[0].Items[4].Caption, L"単語境界以外(\\B)");
    EXPECT_STREQ(menus[0].Items[4].Token, L"\\B");
    EXPECT_TRUE(menus[5].Items.empty());
    EXPECT_STREQ(menus[5].Caption, L"後方参照");
}

}  // namespace
