// Favorites file: round trips through a tree view, exact bytes, level placement, damaged
// lines, escaped separators, missing and empty files, the script's hexadecimal form.
#include <gtest/gtest.h>

#include <windows.h>

#include "classlib/errors.h"
#include "favorites/favorites.h"
#include "common/test_support.h"
#include "favorites_support.h"

using namespace favorites;

using namespace wide;
using testsupport::Narrow;

namespace {

using namespace favoritestest;

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

// A stored script is taken only when its field is whole: hexadecimal digits in groups of
// four (one UTF-16 character each). Anything else would run or save back something other
// than what was stored.
TEST(FavoriteScript, OnlyAWholeFieldDecodes) {
    struct Case {
        const wchar_t* hex;
        bool whole;
        const wchar_t* script;
    } cases[] = {
        {L"", true, L""},
        {L"4100", true, L"A"},
        {L"41004200", true, L"AB"},
        {L"4100e565", true, L"A日"},        // lower-case digits are digits
        {L"410000004200", true, L"A"},    // the text ends at its NUL character
        {L"41004", false, nullptr},       // cut in the middle of a byte
        {L"410042", false, nullptr},      // cut in the middle of a character
        {L"4100G200", false, nullptr},    // not a digit
        {L"4100 200", false, nullptr},
        {L"４１００", false, nullptr},      // full-width digits are not hexadecimal digits
    };
    for (const Case& c : cases) {
        std::wstring script = L"unchanged";
        EXPECT_EQ(DecodeFavoriteScript(c.hex, script), c.whole) << Narrow(c.hex);
        EXPECT_EQ(script, c.whole ? c.script : L"unchanged") << Narrow(c.hex);
    }
}

// Where each entry's subtree ends, from the depths the reader placed the entries at.
TEST(FavoritesFile, SubtreeEndsFollowTheDepths) {
    struct Case {
        std::vector<int> depths;
        std::vector<size_t> ends;
    } cases[] = {
        {{}, {}},
        {{0, 1, 1, 0}, {3, 2, 3, 4}},
        {{0, 1, 2, 1, 0, 0}, {4, 3, 3, 4, 5, 6}},
        {{0, 0, 0}, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        std::vector<TFavoriteEntry> entries;
        for (int depth : c.depths) entries.push_back({depth, {}});
        EXPECT_EQ(FavoriteSubtreeEnds(entries), c.ends);
    }
    // A chain of 100,000: every subtree ends at the end.
    std::vector<TFavoriteEntry> chain(100000);
    for (size_t i = 0; i < chain.size(); ++i) chain[i].Depth = static_cast<int>(i);
    const std::vector<size_t> ends = FavoriteSubtreeEnds(chain);
    EXPECT_EQ(ends.front(), chain.size());
    EXPECT_EQ(ends.back(), chain.size());
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

// Placement by level: a deeper line goes one level down whatever the difference; a
// shallower one climbs (previous - level + 1) parents; the first line goes to the top;
// a level that is not a number counts as -1.
TEST(FavoritesFile, LevelsPlaceNodesAsTheFormatSays) {
    struct Case {
        std::vector<std::wstring> levels;  // one line per level, captions a, b, c...
        std::wstring shape;
    };
    const Case cases[] = {
        {{L"0", L"1", L"0"}, L"a|.b|c|"},
        {{L"0", L"1", L"2", L"1", L"0", L"1"}, L"a|.b|..c|.d|e|.f|"},
        {{L"0", L"1", L"2", L"0"}, L"a|.b|..c|d|"},
        {{L"0", L"1", L"2", L"3", L"1"}, L"a|.b|..c|...d|.e|"},
        {{L"0", L"2", L"2", L"1"}, L"a|.b|.c|d|"},
        {{L"0", L"3", L"1"}, L"a|.b|c|"},
        {{L"0", L"5", L"5", L"4"}, L"a|.b|.c|d|"},
        {{L"1", L"2", L"1"}, L"a|.b|c|"},  // a file whose levels start at 1
        {{L"1", L"0", L"1"}, L"a|b|.c|"},
        {{L"0", L"x", L"-1", L"", L"1"}, L"a|b|c|d|.e|"},  // "" is the level of "\tcaption\t"
        {{L"0", L"99999999999", L"0"}, L"a|b|.c|"},
        {{L"2", L"-2147483648", L"2147483647"}, L"a|b|.c|"},
        {{L"0", L" 1", L"$2"}, L"a|.b|..c|"},  // read as the class library reads numbers
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
        EXPECT_EQ(r.Loaded, static_cast<int>(c.levels.size()));
        EXPECT_FALSE(r.Damaged());
        // Saved with the depths the favorites were placed at, the same tree reads back.
        SaveFavorites(t.view, file);
        Tree again;
        LoadFavorites(again.view, file);
        EXPECT_EQ(Shape(again.Nodes()), c.shape);
    }
}

TEST(FavoritesFile, OddLinesAreKeptAsFarAsTheirFieldsGo) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    WriteLines(file, {
                         L"0\tgood1\tHKCU\t\t0\t\t\t",
                         L"",                                // empty: skipped, not damage
                         L"0\tkind4\t\t\t4\t\t\t",           // another kind: kept, no icon
                         L"0\tkindx\t\t\tx\t\t\t",           // kind not a number: 0
                         L"0\tkind260\t\t\t260\t\t\t",       // the low 8 bits: 4
                         L"0\tkindneg\t\t\t-1\t\t\t",        // the low 8 bits: 255
                         L"0\tbadhex\t\t\t1\t41G0\t\t",      // script kept as it stands
                         L"0\toddhex\t\t\t1\t410\t\t",
                         L"0\tbadesc\t\\q\t\t0\t\t\tE\t",    // broken escape: read as it stands
                         L"1\tchild\t\t\t0\t\t\t",           // child of the line before
                         L"0\tshort\t",                      // short line: the rest empty
                         L"0\tnokind\tT\t\t\t4100\tJ\textra\t",  // empty kind, extra field
                     });
    Tree t;
    const TFavoritesLoadResult r = LoadFavorites(t.view, file);
    EXPECT_EQ(Shape(t.Nodes()), L"good1|kind4|kindx|kind260|kindneg|badhex|oddhex|badesc|.child|short|nokind|");
    EXPECT_EQ(r.Loaded, 11);
    ASSERT_EQ(BadLineNumbers(r), std::vector<int>{9});
    EXPECT_EQ(r.BadLines[0].Error, TFavoriteLineError::BadEscape);
    EXPECT_TRUE(r.Damaged());

    const struct {
        int index;
        uint8_t kind;
        int image;
    } kinds[] = {{1, 4, -1}, {2, fkKey, 31}, {3, 4, -1}, {4, 255, -1}, {5, fkScript, 33}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.index);
        EXPECT_EQ(FavoriteOf(t.Nodes().Item(k.index))->FKind, k.kind);
        EXPECT_EQ(t.Nodes().Item(k.index)->ImageIndex(), k.image);
    }
    EXPECT_EQ(FavoriteOf(t.Nodes().Item(5))->FScript, L"41G0");
    EXPECT_EQ(FavoriteOf(t.Nodes().Item(7))->FTarget, L"\\q");
    ExpectSameFavorite(*FavoriteOf(t.Nodes().Item(9)), Fav(L"short", fkKey));
    const TVxRegFavoriteObj* n = FavoriteOf(t.Nodes().Item(10));
    ExpectSameFavorite(*n, Fav(L"nokind", fkKey, L"T", L"", L"A", L"J"));
    EXPECT_EQ(n->FExtraFields, L"extra\t");

    // What is written back: the format's own form of every favorite, what it does not know
    // kept as read.
    const std::vector<std::wstring> lines = FavoriteTreeLines(t.view);
    const std::vector<std::wstring> expected = {
        L"0\tgood1\tHKCU\t\t0\t\t\t",       L"0\tkind4\t\t\t4\t\t\t",      L"0\tkindx\t\t\t0\t\t\t",
        L"0\tkind260\t\t\t4\t\t\t",         L"0\tkindneg\t\t\t255\t\t\t",  L"0\tbadhex\t\t\t1\t41G0\t\t",
        L"0\toddhex\t\t\t1\t410\t\t",       L"0\tbadesc\t\\q\t\t0\t\t\tE\t", L"1\tchild\t\t\t0\t\t\t",
        L"0\tshort\t\t\t0\t\t\t",           L"0\tnokind\tT\t\t0\t4100\tJ\textra\t",
    };
    EXPECT_EQ(lines, expected);
}

// Fields after the seventh are kept and written back exactly, with and without escapes.
TEST(FavoritesFile, FieldsTheFormatDoesNotKnowAreWrittenBack) {
    struct Case {
        const wchar_t* line;
        const wchar_t* caption;
        const wchar_t* extra;
        bool damaged;
    };
    const Case cases[] = {
        {L"0\ta\tt\tc\t0\t\tj\tx\ty\t", L"a", L"x\ty\t", false},
        {L"0\ta\tt\tc\t0\t\tj\tx", L"a", L"x", false},  // no TAB after the last field
        {L"0\ta\tt\tc\t0\t\tj\t\t", L"a", L"\t", false},  // an empty eighth field
        {L"0\ta\\tb\t\t\t0\t\t\tE\tx\t", L"a\tb", L"x\t", false},  // escaped, then more
        {L"0\tC:\\dir\t\t\t0\t\t\tE\tx\t", L"C:\\dir", L"E\tx\t", true},  // broken escape
    };
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.line));
        WriteLines(file, {c.line});
        Tree t;
        const TFavoritesLoadResult r = LoadFavorites(t.view, file);
        ASSERT_EQ(t.Nodes().Count(), 1);
        const TVxRegFavoriteObj* f = FavoriteOf(t.Nodes().GetFirstNode());
        EXPECT_EQ(f->FCaption, c.caption);
        EXPECT_EQ(f->FExtraFields, c.extra);
        EXPECT_EQ(r.Damaged(), c.damaged);
        const std::string before = ReadBytes(file);
        SaveFavorites(t.view, file);
        EXPECT_EQ(ReadBytes(file), before);

        // A caption that needs escapes now: the extra fields follow the mark and read back.
        FavoriteOf(t.Nodes().GetFirstNode())->FCaption = L"new\tcaption";
        SaveFavorites(t.view, file);
        Tree back;
        LoadFavorites(back.view, file);
        ASSERT_EQ(back.Nodes().Count(), 1);
        EXPECT_EQ(FavoriteOf(back.Nodes().GetFirstNode())->FCaption, L"new\tcaption");
        EXPECT_EQ(FavoriteOf(back.Nodes().GetFirstNode())->FExtraFields, c.extra);
    }
}

// A chain of 100,000 favorites, each one level below the one before: loading, saving and
// clearing never recurse (the stack would not hold that many levels).
TEST(FavoritesFile, DeepChainLoadsSavesAndClears) {
    constexpr int kDepth = 100000;
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    std::vector<std::wstring> lines;
    for (int i = 0; i < kDepth; ++i) lines.push_back(std::to_wstring(i) + L"\tf" + std::to_wstring(i) + L"\t\t\t2\t\t\t");
    WriteLines(file, lines);

    Tree t;
    const TFavoritesLoadResult r = LoadFavorites(t.view, file);
    EXPECT_FALSE(r.Damaged());
    ASSERT_EQ(r.Loaded, kDepth);
    TWideTreeNode* last = t.Nodes().GetFirstNode();
    while (last->HasChildren()) last = last->GetFirstChild();
    EXPECT_EQ(last->Text(), L"f" + std::to_wstring(kDepth - 1));
    EXPECT_EQ(last->Level(), kDepth - 1);
    EXPECT_TRUE(t.Nodes().GetFirstNode()->Expanded());

    // Written back as read.
    const std::wstring copy = dir.File(L"copy.db");
    SaveFavorites(t.view, copy);
    EXPECT_EQ(ReadBytes(copy), ReadBytes(file));

    t.Nodes().GetFirstNode()->GetFirstChild()->Delete();
    EXPECT_EQ(t.Nodes().Count(), 1);
    LoadFavorites(t.view, file);
    EXPECT_EQ(t.Nodes().Count(), kDepth + 1);
    t.Nodes().Clear();
    EXPECT_EQ(t.Nodes().Count(), 0);
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

// Deleting a favorite frees it and the favorites below it, never those of its siblings or of
// theirs; a tree ordered by its data clears whole as well.
TEST(FavoriteTree, DeletingFreesTheSubtreeOnly) {
    for (bool sorted : {false, true}) {
        SCOPED_TRACE(sorted ? "sorted by data" : "unsorted");
        Tree t;
        if (sorted) {
            t.view.OnCompare = [](classlib::TComponent*, TWideTreeNode* a, TWideTreeNode* b, int, int& result) {
                result = (a->Data() != nullptr) - (b->Data() != nullptr);
            };
            t.view.SetSortType(stData);
        }
        TWideTreeNode* a = t.Add(nullptr, Fav(L"a", fkFolder));
        TWideTreeNode* b = t.Add(a, Fav(L"b", fkFolder));
        t.Add(b, Fav(L"b1", fkKey));
        t.Add(t.Add(a, Fav(L"c", fkFolder)), Fav(L"c1", fkKey));
        t.Add(nullptr, Fav(L"d", fkKey));
        b->Delete();
        EXPECT_EQ(Shape(t.Nodes()), L"a|.c|..c1|d|");
        for (TWideTreeNode* n = t.Nodes().GetFirstNode(); n; n = n->GetNext()) {
            ASSERT_NE(FavoriteOf(n), nullptr) << Narrow(n->Text());
            EXPECT_EQ(FavoriteOf(n)->FCaption, n->Text());
        }
        t.Nodes().Clear();
        EXPECT_EQ(t.Nodes().Count(), 0);
    }
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
    folder->Delete();
    EXPECT_EQ(t.Nodes().Count(), 5);
    t.Nodes().Clear();
    EXPECT_EQ(t.Nodes().Count(), 0);
}

// A favorite handed from one node to another belongs to the new one only: each node frees
// what it holds when it goes, and replacing a favorite frees the one replaced.
TEST(FavoriteTree, FavoriteHandedOverBelongsToItsNewNode) {
    Tree t;
    TWideTreeNode* from = t.Add(nullptr, Fav(L"from", fkKey, L"HKCU\\A"));
    TWideTreeNode* to = t.Add(nullptr, Fav(L"to", fkFolder));
    const TVxRegFavoriteObj* moved = FavoriteOf(from);
    SetFavorite(to, TakeFavorite(from));
    EXPECT_EQ(FavoriteOf(from), nullptr);
    EXPECT_EQ(FavoriteOf(to), moved);
    EXPECT_EQ(FavoriteOf(to)->FTarget, L"HKCU\\A");
    SetFavorite(from, std::make_unique<TVxRegFavoriteObj>(Fav(L"new", fkKey)));
    SetFavorite(from, std::make_unique<TVxRegFavoriteObj>(Fav(L"newer", fkKey)));
    EXPECT_EQ(FavoriteOf(from)->FCaption, L"newer");
    from->Delete();
    to->Delete();
    EXPECT_EQ(t.Nodes().Count(), 0);
}
