// Favorites file: round trips through a tree view, exact bytes, level placement, damaged
// lines, escaped separators, missing and empty files, the script's hexadecimal form.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>

#include "classlib/errors.h"
#include "favorites/favorites.h"
#include "common/test_support.h"

using namespace wide;
using testsupport::Narrow;

namespace {

// A tree view without a window (the node model works alone) that frees its favorites.
struct Tree {
    TWideTreeView view{nullptr};
    ~Tree() { ClearFavoritesTree(view); }
    TWideTreeNodes& Nodes() { return view.Items(); }
    TWideTreeNode* Add(TWideTreeNode* parent, TVxRegFavoriteObj f) {
        auto* p = new TVxRegFavoriteObj(std::move(f));
        TWideTreeNode* n = Nodes().AddChildObject(parent, p->FCaption, p);
        SetNodeIcon(n);
        return n;
    }
};

TVxRegFavoriteObj Fav(const std::wstring& caption, uint8_t kind, const std::wstring& target = L"",
                      const std::wstring& comment = L"", const std::wstring& script = L"",
                      const std::wstring& jumpKey = L"") {
    TVxRegFavoriteObj f;
    f.FCaption = caption;
    f.FKind = kind;
    f.FTarget = target;
    f.FComment = comment;
    f.FScript = script.empty() ? L"" : FavoriteScriptToHex(script);
    f.FJumpKey = jumpKey;
    return f;
}

// Captions with their depth in depth-first order, e.g. "F|.K|L|".
std::wstring Shape(TWideTreeNodes& nodes) {
    std::wstring s;
    for (TWideTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        s += std::wstring(static_cast<size_t>(n->Level()), L'.') + n->Text() + L"|";
    return s;
}

std::string ReadBytes(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::wstring& file, const std::string& bytes) {
    std::ofstream out(file.c_str(), std::ios::binary);
    out << bytes;
}

// UTF-16LE with BOM of lines each ended by CR LF (the form the loader reads first).
void WriteLines(const std::wstring& file, const std::vector<std::wstring>& lines) {
    std::string bytes = "\xFF\xFE";
    for (const std::wstring& l : lines)
        for (wchar_t c : l + L"\r\n") {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
    WriteBytes(file, bytes);
}

std::vector<int> BadLineNumbers(const TFavoritesLoadResult& r) {
    std::vector<int> v;
    for (const TFavoriteBadLine& b : r.BadLines) v.push_back(b.LineNumber);
    return v;
}

void ExpectSameFavorite(const TVxRegFavoriteObj& a, const TVxRegFavoriteObj& b) {
    EXPECT_EQ(a.FCaption, b.FCaption);
    EXPECT_EQ(a.FTarget, b.FTarget);
    EXPECT_EQ(a.FComment, b.FComment);
    EXPECT_EQ(a.FScript, b.FScript);
    EXPECT_EQ(a.FJumpKey, b.FJumpKey);
    EXPECT_EQ(a.FKind, b.FKind);
}

}  // namespace

TEST(FavoriteScript, HexFormAndDecoding) {
    EXPECT_EQ(FavoriteScriptToHex(L"A"), L"4100");
    EXPECT_EQ(FavoriteScriptToHex(L""), L"");
    EXPECT_EQ(FavoriteScriptToHex(L"日"), L"E565");
    const std::wstring script = L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\テスト]\r\n\"名前\"=\"値 😀\"\r\n";
    EXPECT_EQ(FavoriteHexToScript(FavoriteScriptToHex(script)), script);
    EXPECT_EQ(FavoriteHexToScript(L"410000004200"), L"A");  // stops at the NUL character
}

TEST(FavoritesFile, RoundTripOfEveryKindNestingAndJapaneseText) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    Tree src;
    TWideTreeNode* tools = src.Add(nullptr, Fav(L"ツール", fkFolder, L"", L"よく使うキー"));
    TWideTreeNode* inner = src.Add(tools, Fav(L"内側のフォルダ", fkFolder));
    src.Add(inner, Fav(L"ソフトウェア", fkKey, L"HKEY_CURRENT_USER\\Software", L"コメント"));
    src.Add(inner, Fav(L"スクリプト", fkScript, L"C:\\スクリプト.reg", L"",
                       L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\ä日本]\r\n",
                       L"HKEY_CURRENT_USER\\ä日本"));
    src.Add(tools, Fav(L"メモ帳", fkShellOpen, L"notepad.exe"));
    src.Add(nullptr, Fav(L"空のフォルダ", fkFolder));
    src.Add(nullptr, Fav(L"", fkKey));  // empty caption and fields
    SaveFavorites(src.view, file);

    Tree dst;
    const TFavoritesLoadResult r = LoadFavorites(dst.view, file);
    EXPECT_TRUE(r.FileExists);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(r.Loaded, 7);
    EXPECT_EQ(Shape(dst.Nodes()), Shape(src.Nodes()));
    EXPECT_EQ(Shape(dst.Nodes()), L"ツール|.内側のフォルダ|..ソフトウェア|..スクリプト|.メモ帳|空のフォルダ||");
    for (TWideTreeNode *a = src.Nodes().GetFirstNode(), *b = dst.Nodes().GetFirstNode(); a && b;
         a = a->GetNext(), b = b->GetNext()) {
        SCOPED_TRACE(Narrow(a->Text()));
        ExpectSameFavorite(*FavoriteOf(a), *FavoriteOf(b));
        EXPECT_EQ(b->ImageIndex(), FavoriteImageIndex(FavoriteOf(b)->FKind));
        EXPECT_EQ(b->SelectedIndex(), b->ImageIndex());
        EXPECT_TRUE(b->Expanded() || !b->HasChildren());
    }
    EXPECT_EQ(FavoriteHexToScript(FavoriteOf(dst.Nodes().Item(3))->FScript),
              L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\ä日本]\r\n");

    // Saving what was read writes the same bytes.
    const std::string first = ReadBytes(file);
    SaveFavorites(dst.view, file);
    EXPECT_EQ(ReadBytes(file), first);
}

TEST(FavoritesFile, ExactBytesOfASmallTree) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    Tree t;
    TWideTreeNode* f = t.Add(nullptr, Fav(L"F", fkFolder));
    t.Add(f, Fav(L"K", fkKey, L"HKLM\\S", L"c"));
    t.Add(nullptr, Fav(L"L", fkScript, L"", L"", L"A", L"J"));
    SaveFavorites(t.view, file);
    const std::string lines = "0\tF\t\t\t2\t\t\t\r\n"
                              "1\tK\tHKLM\\S\tc\t0\t\t\t\r\n"
                              "0\tL\t\t\t1\t4100\tJ\t\r\n";
    std::string expected = "\xFF\xFE";
    for (char c : lines) expected += std::string{c, '\0'};
    EXPECT_EQ(ReadBytes(file), expected);
}

// Placement by level: a level may climb any number of steps but descend only one.
TEST(FavoritesFile, LevelsPlaceNodesAndSkipJumps) {
    struct Case {
        std::vector<std::wstring> levels;  // one line per level, captions a, b, c...
        std::wstring shape;
        std::vector<int> bad;
    };
    const Case cases[] = {
        {{L"0", L"1", L"0"}, L"a|.b|c|", {}},
        {{L"0", L"1", L"2", L"1", L"0", L"1"}, L"a|.b|..c|.d|e|.f|", {}},
        {{L"0", L"1", L"2", L"0"}, L"a|.b|..c|d|", {}},
        {{L"0", L"2", L"2", L"1"}, L"a|.d|", {2, 3}},
        {{L"0", L"3", L"1"}, L"a|.c|", {2}},
        {{L"1", L"0", L"1"}, L"b|.c|", {1}},
        {{L"0", L"x", L"-1", L"", L"1"}, L"a|.e|", {2, 3, 4}},  // "" is the level of "\tcaption\t"
        {{L"0", L"99999999999", L"0"}, L"a|c|", {2}},
    };
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    for (const Case& c : cases) {
        std::vector<std::wstring> lines;
        for (size_t i = 0; i < c.levels.size(); ++i)
            lines.push_back(c.levels[i] + L"\t" + std::wstring(1, static_cast<wchar_t>(L'a' + i)) + L"\t\t\t0\t\t\t");
        WriteLines(file, lines);
        Tree t;
        const TFavoritesLoadResult r = LoadFavorites(t.view, file);
        SCOPED_TRACE(Narrow(c.shape));
        EXPECT_EQ(Shape(t.Nodes()), c.shape);
        EXPECT_EQ(BadLineNumbers(r), c.bad);
        EXPECT_EQ(r.Damaged(), !c.bad.empty());
    }
}

TEST(FavoritesFile, DamagedLinesAreSkippedAndTheGoodKept) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    WriteLines(file, {
                         L"0\tgood1\tHKCU\t\t0\t\t\t",
                         L"",                                // empty: skipped, not damage
                         L"0\tkind4\t\t\t4\t\t\t",           // unknown kind
                         L"0\tkindx\t\t\tx\t\t\t",           // kind not a number
                         L"0\tbadhex\t\t\t1\t41G0\t\t",      // not hex
                         L"0\toddhex\t\t\t1\t410\t\t",       // not whole UTF-16 units
                         L"0\tbadesc\t\\q\t\t0\t\t\tE\t",    // broken escape
                         L"1\tchild\t\t\t0\t\t\t",           // child of good1, the last kept
                         L"0\tshort\t",                      // short line: the rest empty
                         L"0\tnokind\tT\t\t\t4100\tJ\textra\t",  // empty kind, extra field
                     });
    Tree t;
    const TFavoritesLoadResult r = LoadFavorites(t.view, file);
    EXPECT_EQ(Shape(t.Nodes()), L"good1|.child|short|nokind|");
    ASSERT_EQ(r.BadLines.size(), 5u);
    const std::pair<int, TFavoriteLineError> bad[] = {{3, TFavoriteLineError::BadKind},
                                                      {4, TFavoriteLineError::BadKind},
                                                      {5, TFavoriteLineError::BadScript},
                                                      {6, TFavoriteLineError::BadScript},
                                                      {7, TFavoriteLineError::BadEscape}};
    for (size_t i = 0; i < r.BadLines.size(); ++i) {
        EXPECT_EQ(r.BadLines[i].LineNumber, bad[i].first);
        EXPECT_EQ(r.BadLines[i].Error, bad[i].second);
    }
    EXPECT_TRUE(r.Damaged());
    EXPECT_EQ(r.Loaded, 4);
    const TVxRegFavoriteObj* s = FavoriteOf(t.Nodes().Item(2));
    ExpectSameFavorite(*s, Fav(L"short", fkKey));
    const TVxRegFavoriteObj* n = FavoriteOf(t.Nodes().Item(3));
    ExpectSameFavorite(*n, Fav(L"nokind", fkKey, L"T", L"", L"A", L"J"));
}

TEST(FavoritesFile, FieldsWithSeparatorsSurviveAndPlainLinesStayPlain) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    Tree src;
    src.Add(nullptr, Fav(L"tab\there", fkKey, L"HKEY_CURRENT_USER\\a\\b", L"line1\r\nline2\nline3\r"));
    src.Add(nullptr, Fav(L"back\\slash \\t literal", fkScript, L"C:\\x.reg", L"", L"S", std::wstring(L"nul\0end", 7)));
    src.Add(nullptr, Fav(L"plain", fkKey, L"HKEY_CURRENT_USER\\Software\\t"));

    const std::vector<std::wstring> lines = FavoriteTreeLines(src.view);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"0\ttab\\there\tHKEY_CURRENT_USER\\\\a\\\\b\tline1\\r\\nline2\\nline3\\r\t0\t\t\tE\t");
    EXPECT_EQ(lines[2], L"0\tplain\tHKEY_CURRENT_USER\\Software\\t\t\t0\t\t\t");

    SaveFavorites(src.view, file);
    Tree dst;
    const TFavoritesLoadResult r = LoadFavorites(dst.view, file);
    EXPECT_FALSE(r.Damaged());
    ASSERT_EQ(dst.Nodes().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ExpectSameFavorite(*FavoriteOf(dst.Nodes().Item(i)), *FavoriteOf(src.Nodes().Item(i)));
        EXPECT_EQ(dst.Nodes().Item(i)->Text(), FavoriteOf(src.Nodes().Item(i))->FCaption);
    }
}

TEST(FavoritesFile, MissingEmptyAndUnreadableFiles) {
    testsupport::ScratchDir dir;
    Tree t;
    t.Add(nullptr, Fav(L"existing", fkKey));

    // Missing: nothing happens, nothing is reported.
    TFavoritesLoadResult r = LoadFavorites(t.view, dir.File(L"none.db"));
    EXPECT_FALSE(r.FileExists);
    EXPECT_FALSE(r.Damaged());
    EXPECT_EQ(Shape(t.Nodes()), L"existing|");

    // Empty files give nothing and are not damaged.
    for (const std::string& bytes : {std::string(), std::string("\xFF\xFE")}) {
        WriteBytes(dir.File(L"empty.db"), bytes);
        r = LoadFavorites(t.view, dir.File(L"empty.db"));
        EXPECT_TRUE(r.FileExists);
        EXPECT_FALSE(r.Damaged());
        EXPECT_EQ(r.Loaded, 0);
    }

    // Loading appends after the nodes already there.
    WriteLines(dir.File(L"one.db"), {L"0\tadded\t\t\t2\t\t\t", L"1\tchild\t\t\t0\t\t\t"});
    r = LoadFavorites(t.view, dir.File(L"one.db"));
    EXPECT_EQ(Shape(t.Nodes()), L"existing|added|.child|");

    // Undecodable bytes: the good text is kept but the load is damaged.
    WriteBytes(dir.File(L"utf8.db"), "\xEF\xBB\xBF" "0\tok\t\t\t0\t\t\t\r\n0\tbad\xFF\xFE\x80\t\t\t0\t\t\t\r\n");
    Tree u;
    r = LoadFavorites(u.view, dir.File(L"utf8.db"));
    EXPECT_TRUE(r.EncodingLossy);
    EXPECT_TRUE(r.Damaged());
    EXPECT_EQ(u.Nodes().GetFirstNode()->Text(), L"ok");

    // A file held open without sharing cannot be read: reported, not thrown.
    const std::wstring locked = dir.File(L"locked.db");
    WriteLines(locked, {L"0\tx\t\t\t0\t\t\t"});
    HANDLE h = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    Tree l;
    r = LoadFavorites(l.view, locked);
    CloseHandle(h);
    EXPECT_TRUE(r.ReadFailed);
    EXPECT_TRUE(r.Damaged());
    EXPECT_EQ(l.Nodes().Count(), 0);
}

TEST(FavoritesFile, SaveFailureRaisesAndKeepsTheOldFile) {
    testsupport::ScratchDir dir;
    Tree t;
    t.Add(nullptr, Fav(L"a", fkKey));
    EXPECT_THROW(SaveFavorites(t.view, dir.File(L"no such folder\\Favorite.db")), classlib::EFCreateError);

    const std::wstring file = dir.File(L"Favorite.db");
    SaveFavorites(t.view, file);
    const std::string before = ReadBytes(file);
    // While another program holds the file open without sharing deletion it cannot be
    // replaced; its old contents stay.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    t.Add(nullptr, Fav(L"b", fkKey));
    EXPECT_THROW(SaveFavorites(t.view, file), classlib::EFCreateError);
    CloseHandle(h);
    EXPECT_EQ(ReadBytes(file), before);
}

TEST(FavoriteTree, IconsByKindAndFreeing) {
    Tree t;
    const struct {
        uint8_t kind;
        int image;
    } cases[] = {{fkKey, 31}, {fkScript, 33}, {fkFolder, 32}, {fkShellOpen, 34}};
    for (const auto& c : cases) {
        TWideTreeNode* n = t.Add(nullptr, Fav(L"n", c.kind));
        EXPECT_EQ(n->ImageIndex(), c.image);
        EXPECT_EQ(n->SelectedIndex(), c.image);
    }
    TWideTreeNode* odd = t.Add(nullptr, Fav(L"odd", fkKey));
    FavoriteOf(odd)->FKind = 9;
    SetNodeIcon(odd);  // an unknown kind leaves the images as they were
    EXPECT_EQ(odd->ImageIndex(), 31);
    EXPECT_EQ(FavoriteImageIndex(9), -1);

    TWideTreeNode* folder = t.Add(nullptr, Fav(L"f", fkFolder));
    t.Add(folder, Fav(L"c", fkKey));
    DeleteFavoriteNode(folder);
    EXPECT_EQ(t.Nodes().Count(), 5);
    ClearFavoritesTree(t.view);
    EXPECT_EQ(t.Nodes().Count(), 0);
}
