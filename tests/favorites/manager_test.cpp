// The favorites manager: what its buttons and drops do to the tree and the file (without
// windows), the favorite the import dialog makes, scripts read from files, the guard of a
// damaged file, and editing through the dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/screen.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "editors/gui/dialogs_test_support.h"
#include "favorites/favoritedialogs.h"
#include "favorites/favoritemanager.h"
#include "favorites_support.h"

using namespace favorites;
using namespace favoritestest;
using testsupport::Narrow;

namespace {

// Questions answered as the test says, and what was asked and told.
struct ScriptedQuestions final : TFavoriteQuestions {
    bool Answer = true;
    std::wstring Input;
    std::vector<std::wstring> Asked, Told;
    bool AskYesNo(const std::wstring& text) override {
        Asked.push_back(text);
        return Answer;
    }
    void ShowMessage(const std::wstring& text) override { Told.push_back(text); }
    bool InputText(const std::wstring&, const std::wstring&, std::wstring& value) override {
        value = Input;
        return true;
    }
};

// The line of a favorite at `level` (kind 2 folder, 0 key).
std::wstring Line(int level, const std::wstring& caption, int kind) {
    return std::to_wstring(level) + L"\t" + caption + L"\t\t\t" + std::to_wstring(kind) + L"\t\t\t";
}

// The file of the arranging cases, written with children one level "7" below their parent
// (read as one level down; a save writes 1), so that any write shows in its bytes:
//   F1 (folder): a, b;  K (key): k1;  F2 (folder): c, d, e;  x (key)
const std::vector<std::wstring> kArrangeLines = {
    Line(0, L"F1", 2), Line(7, L"a", 0), Line(7, L"b", 0), Line(0, L"K", 0), Line(7, L"k1", 0),
    Line(0, L"F2", 2), Line(7, L"c", 0), Line(7, L"d", 0), Line(7, L"e", 0), Line(0, L"x", 0)};

// The manager's model over a hidden tree read from a file.
struct Manager {
    testsupport::ScratchDir Dir;
    std::wstring FileName = Dir.File(L"Favorite.db");
    ScriptedQuestions Questions;
    TFavoritesFile File{FileName, Questions};
    Tree T;
    TFavoriteManagerModel Model{T.view, File};

    explicit Manager(const std::vector<std::wstring>& lines) {
        WriteLines(FileName, lines);
        File.Load(T.view);
    }
    TWideTreeNode* Node(const std::wstring& caption) {
        for (TWideTreeNode* n = T.Nodes().GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == caption) return n;
        ADD_FAILURE() << "no node " << Narrow(caption);
        return nullptr;
    }
    // The shape the file reads back as.
    std::wstring FileShape() {
        Tree read;
        LoadFavorites(read.view, FileName);
        return Shape(read.Nodes());
    }
};

// The shown form of class T of this program, or null.
template <class T>
T* ShownForm() {
    for (int i = 0; i < classlib::Screen->FormCount(); ++i)
        if (auto* form = dynamic_cast<T*>(classlib::Screen->Forms(i)); form && form->Visible()) return form;
    return nullptr;
}

}  // namespace

// Every button and drop of the manager on one tree: what moves where, whole subtrees in
// order whatever their kind; a move whose condition does not hold leaves the tree and the
// file untouched.
TEST(FavoriteManager, ArrangingMovesWholeSubtreesAndNoOpsWriteNothing) {
    using Op = std::function<bool(Manager&)>;
    auto up = [](const wchar_t* n) -> Op { return [n](Manager& m) { return m.Model.Up(m.Node(n)); }; };
    auto down = [](const wchar_t* n) -> Op { return [n](Manager& m) { return m.Model.Down(m.Node(n)); }; };
    auto right = [](const wchar_t* n) -> Op { return [n](Manager& m) { return m.Model.Right(m.Node(n)); }; };
    auto left = [](const wchar_t* n) -> Op { return [n](Manager& m) { return m.Model.Left(m.Node(n)); }; };
    auto drop = [](const wchar_t* n, const wchar_t* onto) -> Op {
        return [n, onto](Manager& m) {
            const bool allowed = CanDropFavorite(m.Node(n), m.Node(onto));
            TWideTreeNode* moved = m.Model.Drop(m.Node(n), m.Node(onto));
            EXPECT_EQ(moved != nullptr, allowed);
            return moved != nullptr;
        };
    };
    const std::wstring start = L"F1|.a|.b|K|.k1|F2|.c|.d|.e|x|";
    struct Case {
        const char* what;
        Op op;
        std::wstring shape;  // empty: nothing happens
    } cases[] = {
        {"上へ移動 of a second child", up(L"b"), L"F1|.b|.a|K|.k1|F2|.c|.d|.e|x|"},
        {"上へ移動 of a key with a child", up(L"K"), L"K|.k1|F1|.a|.b|F2|.c|.d|.e|x|"},
        {"上へ移動 of a first child", up(L"a"), L""},
        {"上へ移動 of the first node", up(L"F1"), L""},
        {"下へ移動 of a first child", down(L"a"), L"F1|.b|.a|K|.k1|F2|.c|.d|.e|x|"},
        {"下へ移動 of a folder", down(L"F1"), L"K|.k1|F1|.a|.b|F2|.c|.d|.e|x|"},
        {"下へ移動 of a last child", down(L"b"), L""},
        {"下へ移動 of the last node", down(L"x"), L""},
        {"右へ移動 into the folder before", right(L"K"), L"F1|.a|.b|.K|..k1|F2|.c|.d|.e|x|"},
        {"右へ移動 into the folder before, as its last child", right(L"x"), L"F1|.a|.b|K|.k1|F2|.c|.d|.e|.x|"},
        {"右へ移動 after a key", right(L"F2"), L""},
        {"右へ移動 without a node before", right(L"F1"), L""},
        {"左へ移動 out of a folder", left(L"a"), L"F1|.b|K|.k1|F2|.c|.d|.e|x|a|"},
        {"左へ移動 out of a key", left(L"k1"), L""},
        {"左へ移動 at the top", left(L"x"), L""},
        {"drop onto a folder: its first child", drop(L"x", L"F1"), L"F1|.x|.a|.b|K|.k1|F2|.c|.d|.e|"},
        {"drop onto a key: just before it", drop(L"d", L"K"), L"F1|.a|.b|d|K|.k1|F2|.c|.e|x|"},
        {"a folder with three children dropped onto a key", drop(L"F2", L"K"), L"F1|.a|.b|F2|.c|.d|.e|K|.k1|x|"},
        {"a folder with three children dropped onto a folder", drop(L"F2", L"F1"), L"F1|.F2|..c|..d|..e|.a|.b|K|.k1|x|"},
        {"a key with a child dropped onto a folder", drop(L"K", L"F2"), L"F1|.a|.b|F2|.K|..k1|.c|.d|.e|x|"},
        {"a key with a child dropped onto a key", drop(L"K", L"x"), L"F1|.a|.b|F2|.c|.d|.e|K|.k1|x|"},
        {"drop onto its own child", drop(L"F1", L"a"), L""},
        {"drop onto itself", drop(L"K", L"K"), L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Manager m(kArrangeLines);
        ASSERT_EQ(Shape(m.T.Nodes()), start);
        const std::string before = ReadBytes(m.FileName);
        EXPECT_EQ(c.op(m), !c.shape.empty());
        if (c.shape.empty()) {
            EXPECT_EQ(Shape(m.T.Nodes()), start);
            EXPECT_EQ(ReadBytes(m.FileName), before) << "a move that did nothing wrote the file";
        } else {
            EXPECT_EQ(Shape(m.T.Nodes()), c.shape);
            EXPECT_EQ(m.FileShape(), c.shape);
        }
        EXPECT_TRUE(m.Questions.Asked.empty());
    }
}

// A chain of 100,000 favorites from a hand-made file: moved whole, deleted in part, without
// exhausting the stack.
TEST(FavoriteManager, DeepChainMovesAndDeletes) {
    constexpr int kDepth = 100000;
    std::vector<std::wstring> lines;
    for (int i = 0; i < kDepth; ++i) lines.push_back(Line(i, L"f" + std::to_wstring(i), 0));
    lines.push_back(Line(0, L"folder", 2));
    Manager m(lines);
    TWideTreeNode* chain = m.T.Nodes().GetFirstNode();
    TWideTreeNode* folder = m.Node(L"folder");
    ASSERT_NE(m.Model.Drop(chain, folder), nullptr);
    EXPECT_EQ(m.T.Nodes().GetFirstNode(), folder);
    TWideTreeNode* deepest = chain;
    while (deepest->HasChildren()) deepest = deepest->GetFirstChild();
    EXPECT_EQ(deepest->Level(), kDepth);
    EXPECT_EQ(deepest->Text(), L"f" + std::to_wstring(kDepth - 1));

    TWideTreeNode* middle = chain;
    for (int i = 0; i < kDepth / 2; ++i) middle = middle->GetFirstChild();
    EXPECT_TRUE(m.Model.Delete(middle));
    EXPECT_EQ(m.T.Nodes().Count(), kDepth / 2 + 1);
    Tree read;
    EXPECT_EQ(LoadFavorites(read.view, m.FileName).Loaded, kDepth / 2 + 1);
}

// Adding goes after the selected node at its level, else at the end of the top level.
TEST(FavoriteManager, AddingFollowsTheSelection) {
    Manager m(kArrangeLines);
    ASSERT_NE(m.Model.Add(std::make_unique<TVxRegFavoriteObj>(Fav(L"new", fkKey)), m.Node(L"c")), nullptr);
    ASSERT_NE(m.Model.Add(std::make_unique<TVxRegFavoriteObj>(Fav(L"top", fkFolder)), nullptr), nullptr);
    EXPECT_EQ(m.FileShape(), L"F1|.a|.b|K|.k1|F2|.c|.d|.e|.new|x|top|");
    EXPECT_EQ(m.Node(L"top")->ImageIndex(), FavoriteImageIndex(fkFolder));
}

// A damaged file is told once, however often it is read, and nothing is written over it
// without a yes; a no leaves tree and file as they were, a yes holds until the file is
// whole again.
TEST(FavoriteManager, DamagedFileIsToldOnceAndKeptUntilTheUserAgrees) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"Favorite.db");
    const std::string damaged = "\xEF\xBB\xBF" "0\tok\t\t\t0\t\t\t\r\n0\tnext\t\t\t0\t\t\t\r\n0\tbad\xFF\x80\t\t\t0\t\t\t\r\n";
    WriteBytes(file, damaged);
    ScriptedQuestions questions;
    TFavoritesFile favorites(file, questions);
    Tree t;
    EXPECT_TRUE(favorites.Load(t.view).Damaged());
    favorites.Read();
    favorites.Load(t.view);
    ASSERT_EQ(questions.Told.size(), 1u);
    EXPECT_EQ(questions.Told[0], DamagedFavoritesText(file, {}));
    EXPECT_TRUE(favorites.Damaged());

    TFavoriteManagerModel model(t.view, favorites);
    questions.Answer = false;
    TWideTreeNode* next = t.Nodes().GetFirstNode()->GetNextSibling();
    EXPECT_FALSE(model.Up(next));
    model.Unchanged();
    EXPECT_EQ(questions.Asked, std::vector<std::wstring>{OverwriteDamagedFavoritesQuestion(file)});
    EXPECT_EQ(Shape(t.Nodes()).substr(0, 8), L"ok|next|");
    EXPECT_EQ(ReadBytes(file), damaged);

    questions.Answer = true;
    EXPECT_TRUE(model.Up(next));
    EXPECT_EQ(questions.Asked.size(), 2u);
    EXPECT_FALSE(favorites.Damaged());
    EXPECT_NE(ReadBytes(file), damaged);
    EXPECT_TRUE(model.Down(next));
    EXPECT_EQ(questions.Asked.size(), 2u) << "a whole file needs no question";

    // Damaged again (written by another program): told again.
    WriteBytes(file, damaged);
    favorites.Read();
    EXPECT_EQ(questions.Told.size(), 2u);
}

// The favorite the import dialog's fields make, by the file they name.
TEST(FavoriteManager, ImportMakesAScriptAFileToOpenOrAnEmptyScript) {
    testsupport::ScratchDir dir;
    const std::wstring script = L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\テスト]\r\n";
    const std::wstring reg = dir.File(L"keys.REG");
    {
        std::string bytes = "\xFF\xFE";
        for (wchar_t c : script) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        WriteBytes(reg, bytes);
    }
    const std::wstring text = dir.File(L"notes.txt");
    WriteBytes(text, "notes");
    struct Case {
        const char* what;
        std::wstring path;
        uint8_t kind;
        std::wstring script;
    } cases[] = {
        {"a .REG file", reg, fkScript, FavoriteScriptToHex(script)},
        {"another existing file", text, fkShellOpen, L""},
        {"no file", L"", fkScript, L""},
        {"a missing .reg file", dir.File(L"missing.reg"), fkScript, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring error;
        const std::optional<TVxRegFavoriteObj> f = FavoriteFromImport({L"名前", c.path, L"コメント", L"HKEY_CURRENT_USER"}, error);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(f->FKind, c.kind);
        EXPECT_EQ(f->FScript, c.script);
        EXPECT_EQ(f->FTarget, c.path);
        EXPECT_EQ(f->FCaption, L"名前");
        EXPECT_EQ(f->FComment, L"コメント");
        EXPECT_EQ(f->FJumpKey, L"HKEY_CURRENT_USER");
        EXPECT_TRUE(error.empty());
    }
}

// Files read into scripts: decoded as the editor bridge reads, each line ended by CR LF;
// too large a file or one whose text would lose something is refused with a reason.
TEST(FavoriteManager, ScriptFilesAreCappedAndNeverReadLossily) {
    testsupport::ScratchDir dir;
    struct Case {
        const char* what;
        std::string bytes;
        const wchar_t* text;  // null: refused
    } cases[] = {
        {"UTF-16LE with its mark", std::string("\xFF\xFE" "A\0\n\0B\0", 8), L"A\r\nB\r\n"},
        {"UTF-8 without a mark", "\xE3\x82\xAD\r\nx", L"キ\r\nx\r\n"},
        {"the ANSI code page", "\x83\x4C", L"キ\r\n"},
        {"empty", "", L""},
        {"a UTF-16 file with a byte left over", std::string("\xFF\xFE" "A\0B", 5), nullptr},
        {"UTF-8 with its mark, malformed", "\xEF\xBB\xBF" "a\xE3\x81", nullptr},
        {"bytes without characters", "\x83\x4C\x81", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring file = dir.File(L"script.reg");
        WriteBytes(file, c.bytes);
        std::wstring text = L"kept", error;
        EXPECT_EQ(ReadScriptFile(file, text, error), c.text != nullptr);
        EXPECT_EQ(text, c.text ? c.text : L"kept");
        EXPECT_EQ(error.empty(), c.text != nullptr);
        // The import refuses what the reader refuses.
        std::wstring importError;
        EXPECT_EQ(FavoriteFromImport({L"c", file, L"", L""}, importError).has_value(), c.text != nullptr);
    }

    const std::wstring large = dir.File(L"large.reg");
    WriteBytes(large, std::string(static_cast<size_t>(MaxScriptFileSize) + 1, 'a'));
    std::wstring text, error;
    EXPECT_FALSE(ReadScriptFile(large, text, error));
    EXPECT_NE(error.find(L"8 MiB"), std::wstring::npos) << Narrow(error);
    EXPECT_FALSE(ReadScriptFile(dir.File(L"none.reg"), text, error));
}

// The window: editing a file to open goes through the import dialog; a stored script that
// is not whole opens no dialog; "フォルダの追加" adds a folder at the end of the top level.
TEST(FavoriteManagerWindow, EditsThroughItsDialogs) {
    Manager files({Line(0, L"site", 3), Line(0, L"broken", 1), Line(0, L"key", 0)});
    // The broken script: its field cut in the middle of a character.
    {
        Tree t;
        LoadFavorites(t.view, files.FileName);
        FavoriteOf(t.Nodes().Item(1))->FScript = L"410042";
        SaveFavorites(t.view, files.FileName);
    }
    auto form = std::make_unique<TFavoriteManagerForm>(nullptr, files.File, TFavoriteManagerContext{});
    form->Show();
    TWideTreeNode* site = form->WideTreeView->Items().GetFirstNode();
    FavoriteOf(site)->FTarget = L"https://example.invalid/";

    // The file to open: the import dialog shows its fields; OK writes the changed caption back.
    form->WideTreeView->SetSelected(site);
    editorstest::InputScript script;
    bool sawTarget = false;
    script.Then([] { return ShownForm<TRegistryScriptImportForm>() != nullptr; },
                [&] {
                    auto* dialog = ShownForm<TRegistryScriptImportForm>();
                    sawTarget = dialog->FullPathBox->GetText() == L"https://example.invalid/";
                    dialog->CaptionBox->SetText(L"サイト & more");
                    dialog->OkButton->Click();
                });
    form->EditButton->SetEnabled(true);
    form->EditButton->Click();
    EXPECT_EQ(script.Done(), script.Count());
    EXPECT_TRUE(sawTarget);
    EXPECT_EQ(site->Text(), L"サイト & more");
    EXPECT_EQ(FavoriteOf(site)->FKind, fkShellOpen);
    Tree read;
    LoadFavorites(read.view, files.FileName);
    EXPECT_EQ(read.Nodes().GetFirstNode()->Text(), L"サイト & more");
    EXPECT_EQ(FavoriteOf(read.Nodes().GetFirstNode())->FTarget, L"https://example.invalid/");

    // The broken script: told, no dialog.
    form->WideTreeView->SetSelected(site->GetNextSibling());
    form->EditButton->Click();
    ASSERT_EQ(files.Questions.Told.size(), 1u);
    EXPECT_NE(files.Questions.Told[0].find(L"壊れている"), std::wstring::npos);
    EXPECT_EQ(FavoriteOf(site->GetNextSibling())->FScript, L"410042");

    files.Questions.Input = L"新しいフォルダ";
    form->WideTreeView->SetSelected(nullptr);
    form->AddFolderButton->Click();
    EXPECT_EQ(files.FileShape(), L"サイト & more|broken|key|新しいフォルダ|");
    form.reset();
}
