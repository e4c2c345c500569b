// The key and value commands, the undo and clipboard panes, against the registry under a
// scratch key, with the main window played by a host that records every question and
// answers from a script.
#include <gtest/gtest.h>

#include "app/keycommands.h"
#include "app/toolpanes.h"
#include "app/valuecommands.h"
#include "common/test_support.h"
#include "registry/regops.h"

#include <deque>
#include <functional>
#include <optional>

using namespace app;
using registry::MakeRegKeyRecord;
using registry::TVxRegKeyClass;
using registry::TVxRegValueClass;
using testsupport::Narrow;

namespace {

// The main window as the commands see it: questions are answered from `answers` (No when
// it runs out), input boxes from `inputs` (Cancel when it runs out).
struct FakeHost : TCommandHost {
    std::vector<std::wstring> questions, messages, prompts;
    std::deque<bool> answers;
    std::deque<std::optional<std::wstring>> inputs;
    std::wstring clipboard;
    int treeRefreshes = 0, listRefreshes = 0, allRefreshes = 0, expands = 0, page = -1;
    size_t cancelAfter = SIZE_MAX;  // Progress answers False from this call on (1 = the first)
    size_t progressCalls = 0, lastProgress = 0;
    std::function<void()> duringQuestion;  // what happens while a question is open

    bool AskYesNo(const std::wstring& text) override {
        questions.push_back(text);
        if (duringQuestion) duringQuestion();
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    bool InputText(const std::wstring& caption, const std::wstring& prompt,
                   std::wstring& value) override {
        prompts.push_back(caption + L"|" + prompt + L"|" + value);
        if (inputs.empty() || !inputs.front()) {
            if (!inputs.empty()) inputs.pop_front();
            return false;
        }
        value = *inputs.front();
        inputs.pop_front();
        return true;
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    void RefreshKeyTree() override { ++treeRefreshes; }
    void RefreshValueList() override { ++listRefreshes; }
    void RefreshAllWindows() override { ++allRefreshes; }
    void ExpandAllBelowSelected() override { ++expands; }
    void SetClipboardText(const std::wstring& text) override { clipboard = text; }
    void ShowToolPage(int p) override { page = p; }
    bool Progress(size_t done) override {
        lastProgress = done;
        return ++progressCalls < cancelAfter;
    }
};

struct Commands : ::testing::Test {
    testsupport::ScratchKey scratch{testsupport::CurrentTestName()};
    testsupport::ScratchDir backups;
    undo::TVxRegClipUndoProvider provider{nullptr};
    FakeHost host;
    TCommandContext c{host, provider};

    Commands() { provider.RegistryScriptExportDir = backups.Path().wstring(); }

    std::wstring Path(const std::wstring& sub = {}) const {
        return sub.empty() ? scratch.Path() : scratch.Path() + L"\\" + sub;
    }
    TVxRegKeyClass Key(const std::wstring& sub = {}) const {
        return MakeRegKeyRecord(HKEY_CURRENT_USER, Path(sub));
    }
    TVxRegValueClass Value(const std::wstring& sub, const std::wstring& name) const {
        TVxRegValueClass value;
        static_cast<TVxRegKeyClass&>(value) = Key(sub);
        value.FValueName = value.FDisplayName = name;
        value.FFullPath += L"\\" + name;
        value.FValueType = registry::GetRegValueType(Key(sub), name);
        return value;
    }
    void MakeKey(const std::wstring& sub) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Path(sub).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void SetDWord(const std::wstring& sub, const std::wstring& name, DWORD data) {
        MakeKey(sub);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Path(sub).c_str(), name.c_str(), REG_DWORD,
                                  &data, sizeof data),
                  ERROR_SUCCESS);
    }
    bool Exists(const std::wstring& sub) const {
        return registry::SubKeyExists(MakeRegKeyRecord(HKEY_CURRENT_USER, L""), Path(sub));
    }
    bool ValueExists(const std::wstring& sub, const std::wstring& name) const {
        return registry::RegValueExists(Key(sub), name);
    }
    size_t Records() const { return provider.UndoList().size(); }
    testsupport::RegSnapshot Snapshot() const { return testsupport::TakeRegSnapshot(Path()); }
    void UndoAll() {
        while (!provider.UndoList().empty())
            ASSERT_TRUE(provider.UndoAt(static_cast<int>(provider.UndoList().size()) - 1));
    }
};

}  // namespace

// --- Key commands ----------------------------------------------------------------------

TEST_F(Commands, NewKeyRecordsOnlyKeysItCreated) {
    SetDWord(L"Old", L"mine", 7);
    struct Case {
        std::optional<std::wstring> answer;
        bool message;
        size_t records;
    };
    const Case cases[] = {
        {std::nullopt, false, 0},  // Cancel
        {L"", false, 0},           // empty name
        {L"old", true, 0},         // exists (letter case ignored): refused, nothing recorded
        {L"Test", false, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(Narrow(k.answer.value_or(L"<cancel>")));
        host.messages.clear();
        host.inputs = {k.answer};
        const TVxRegKeyClass parent = Key();
        NewKeyCommand(c, &parent);
        EXPECT_EQ(host.messages.size(), k.message ? 1u : 0u);
        if (k.message) {
            EXPECT_EQ(host.messages[0], KeyExistsMessage(L"old"));
        }
        EXPECT_EQ(Records(), k.records);
    }
    EXPECT_EQ(host.prompts[0], L"キーの名前|新規に作るサブキーの名前を指定してください|");
    EXPECT_TRUE(Exists(L"Test"));
    UndoAll();
    EXPECT_FALSE(Exists(L"Test"));
    EXPECT_TRUE(ValueExists(L"Old", L"mine")) << "the existing key is never the undo's victim";
}

// Root keys are refused by the commands themselves: no question, no clipboard entry.
TEST_F(Commands, RootKeysAreRefusedByTheHandlers) {
    const TVxRegKeyClass root = MakeRegKeyRecord(HKEY_CURRENT_USER, L"");
    host.answers = {true, true};
    host.inputs = {L"Renamed"};
    c.NoAllMessage = true;
    DeleteKeyCommand(c, &root);
    RenameKeyCommand(c, &root);
    CopyKeyToClipboard(c, &root, false);
    CopyKeyToClipboard(c, &root, true);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_TRUE(provider.KeyClipList().empty());
    EXPECT_EQ(Records(), 0u);
    EXPECT_TRUE(Exists(L""));
}

TEST_F(Commands, RenameRefusesExistingNamesAndCaseOnlyChanges) {
    MakeKey(L"Foo");
    MakeKey(L"Bar");
    struct Case {
        std::wstring answer;
        bool message;
        bool renamed;
    };
    const Case cases[] = {
        {L"foo", true, false},   // only the letter case
        {L"BAR", true, false},   // a sibling, letter case ignored
        {L"Foo", false, false},  // unchanged
        {L"", false, false},
        {L"Baz", false, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(Narrow(k.answer));
        host.messages.clear();
        host.inputs = {k.answer};
        const TVxRegKeyClass foo = Key(L"Foo");
        RenameKeyCommand(c, &foo);
        EXPECT_EQ(host.messages.size(), k.message ? 1u : 0u);
        if (k.message) {
            EXPECT_EQ(host.messages[0], KeyExistsMessage(k.answer));
        }
        EXPECT_EQ(Exists(L"Baz"), k.renamed);
        EXPECT_EQ(Records(), k.renamed ? 1u : 0u);
    }
    EXPECT_EQ(host.prompts[0], L"キーの名前の変更|Fooの新しい名前を指定してください。|Foo");
    UndoAll();
    EXPECT_TRUE(Exists(L"Foo"));
    EXPECT_FALSE(Exists(L"Baz"));
}

TEST_F(Commands, DeleteAsksThenBacksUpBeforeDeleting) {
    provider.KeyDeleteUndo = true;
    SetDWord(L"K", L"v", 1);
    SetDWord(L"K\\Sub", L"w", 2);
    const testsupport::RegSnapshot before = Snapshot();
    const TVxRegKeyClass k = Key(L"K");

    host.answers = {false};
    DeleteKeyCommand(c, &k);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], KeyDeleteQuestion(k));
    EXPECT_TRUE(Exists(L"K"));
    EXPECT_EQ(Records(), 0u);
    EXPECT_EQ(host.treeRefreshes, 1) << "the refresh runs whatever the answer";

    c.NoAllMessage = true;
    DeleteKeyCommand(c, &k);
    EXPECT_EQ(host.questions.size(), 1u) << "no question with SetNoAllMessage";
    EXPECT_FALSE(Exists(L"K"));
    ASSERT_EQ(Records(), 1u);
    UndoAll();
    EXPECT_EQ(Snapshot(), before) << testsupport::DescribeRegSnapshot(Snapshot());
}

// A key the backup cannot hold exactly (a value name with a line break) is deleted only
// after the user agreed to lose the undo, whatever SetNoAllMessage says.
TEST_F(Commands, DeleteWithAFailedBackupAsksFirst) {
    provider.KeyDeleteUndo = true;
    c.NoAllMessage = true;
    SetDWord(L"K", L"line\nbreak", 1);
    const TVxRegKeyClass k = Key(L"K");
    for (bool answer : {false, true}) {
        host.answers = {answer};
        DeleteKeyCommand(c, &k);
        EXPECT_EQ(host.questions.back(), KeyBackupFailedQuestion);
        EXPECT_EQ(Exists(L"K"), !answer);
        EXPECT_EQ(Records(), 0u);
    }
    EXPECT_EQ(host.questions.size(), 2u);
}

TEST_F(Commands, KeyPasteRefusalsRecordsAndOverwrite) {
    SetDWord(L"A", L"v", 1);
    SetDWord(L"A\\B", L"w", 2);
    MakeKey(L"C");
    SetDWord(L"D\\A", L"mine", 9);
    const TVxRegKeyClass a = Key(L"A");
    c.NoAllMessage = true;
    c.KeyClip = true;  // keep the copied entry for every paste

    CopyKeyToClipboard(c, &a, false);
    EXPECT_EQ(host.page, ClipboardToolPage);
    ASSERT_EQ(provider.KeyClipList().size(), 1u);
    EXPECT_TRUE(registry::SubKeyExists(a, L"B")) << "copying touches nothing";

    // Into its own subtree or its own parent: refused, nothing recorded, nothing asked.
    const TVxRegKeyClass b = Key(L"A\\B"), parent = Key();
    PasteKeysCommand(c, &b);
    EXPECT_FALSE(Exists(L"A\\B\\A"));
    PasteKeysCommand(c, &parent);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(Records(), 0u);

    // Below C: copied, one record.
    const TVxRegKeyClass cKey = Key(L"C");
    PasteKeysCommand(c, &cKey);
    EXPECT_TRUE(ValueExists(L"C\\A\\B", L"w"));
    ASSERT_EQ(Records(), 1u);
    EXPECT_EQ(provider.KeyClipList().size(), 1u);

    // Over D\A: asked even with SetNoAllMessage; after Yes merged and nothing recorded.
    const TVxRegKeyClass d = Key(L"D");
    host.answers = {false, true};
    PasteKeysCommand(c, &d);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], KeyOverwriteQuestion(a, d));
    EXPECT_FALSE(ValueExists(L"D\\A", L"v"));
    PasteKeysCommand(c, &d);
    EXPECT_TRUE(ValueExists(L"D\\A", L"v"));
    EXPECT_TRUE(ValueExists(L"D\\A", L"mine"));
    EXPECT_EQ(Records(), 1u);

    UndoAll();
    EXPECT_FALSE(Exists(L"C\\A"));
    EXPECT_TRUE(ValueExists(L"D\\A", L"mine"));
}

TEST_F(Commands, KeyClipOptionDropsOnlyCutEntries) {
    MakeKey(L"A");
    MakeKey(L"B");
    MakeKey(L"T");
    const TVxRegKeyClass a = Key(L"A"), b = Key(L"B"), t = Key(L"T");
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        c.KeyClip = keep;
        CopyKeyToClipboard(c, &a, false);
        EXPECT_EQ(provider.KeyClipList().size(), 1u) << "copying empties the clipboard first";
        provider.AddKeyToClipboard(b, true);
        PasteKeysCommand(c, &t);
        EXPECT_TRUE(Exists(L"T\\A"));
        EXPECT_TRUE(Exists(L"T\\B"));
        EXPECT_EQ(provider.KeyClipList().size(), keep ? 1u : 0u);
        if (keep) {
            EXPECT_FALSE(provider.KeyClipList()[0]->FCut);
        }
        UndoAll();  // the cut B comes back, T empties
        ASSERT_TRUE(Exists(L"B"));
        ASSERT_FALSE(Exists(L"T\\A"));
    }
}

// A cut key moved over an existing key of its name: a move cancelled half-way takes back
// only what it made; the user's key keeps its values, the source stays whole and the
// record of its backup goes. A cancel while the backup (41 keys) is read moves nothing and
// asks nothing more.
TEST_F(Commands, CancelledOverwritePasteKeepsBothKeys) {
    for (int i = 0; i < 40; ++i) SetDWord(L"A\\S" + std::to_wstring(i), L"v", static_cast<DWORD>(i));
    SetDWord(L"D\\A", L"mine", 9);
    const testsupport::RegSnapshot before = Snapshot();
    const TVxRegKeyClass a = Key(L"A"), d = Key(L"D");
    for (const size_t cancelAt : {41u + 10u, 10u}) {
        SCOPED_TRACE(cancelAt);
        CopyKeyToClipboard(c, &a, true);
        host.answers = {true};
        host.questions.clear();
        host.progressCalls = 0;
        host.cancelAfter = cancelAt;
        PasteKeysCommand(c, &d);
        EXPECT_EQ(host.lastProgress, 10u);
        EXPECT_EQ(host.questions.size(), 1u) << "the overwrite question only";
        EXPECT_EQ(Snapshot(), before) << testsupport::DescribeRegSnapshot(Snapshot());
        EXPECT_EQ(Records(), 0u);
    }
}

// Long copies and deletes report progress and stop at a cancel; what the undo list then
// holds takes the registry back to where it was.
TEST_F(Commands, CancelledLongWorkLeavesAConsistentUndoList) {
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 10; ++j)
            MakeKey(L"Big\\K" + std::to_wstring(i) + L"\\S" + std::to_wstring(j));
    MakeKey(L"T");
    const testsupport::RegSnapshot before = Snapshot();
    const TVxRegKeyClass big = Key(L"Big"), t = Key(L"T");
    provider.KeyDeleteUndo = true;

    CopyKeyToClipboard(c, &big, false);
    host.cancelAfter = 50;
    PasteKeysCommand(c, &t);
    EXPECT_TRUE(Exists(L"T\\Big")) << "a cancelled copy keeps what it copied";
    EXPECT_EQ(Records(), 1u) << "and records it, so that undo removes it";
    UndoAll();
    EXPECT_EQ(Snapshot(), before);

    c.NoAllMessage = true;
    host.progressCalls = 0;
    host.cancelAfter = 100;  // while the backup is read: nothing is deleted
    DeleteKeyCommand(c, &big);
    EXPECT_EQ(host.lastProgress, 100u);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Records(), 0u);
    EXPECT_TRUE(host.questions.empty());

    host.progressCalls = 0;
    host.cancelAfter = 331 + 100;  // the backup read whole, then 100 keys deleted
    DeleteKeyCommand(c, &big);
    EXPECT_EQ(host.lastProgress, 100u);
    EXPECT_TRUE(Exists(L"Big")) << "a cancelled delete stops between keys";
    EXPECT_NE(Snapshot(), before);
    ASSERT_EQ(Records(), 1u);
    UndoAll();
    EXPECT_EQ(Snapshot(), before) << testsupport::DescribeRegSnapshot(Snapshot());

    host.cancelAfter = SIZE_MAX;
    DeleteKeyCommand(c, &big);
    EXPECT_FALSE(Exists(L"Big"));
    EXPECT_EQ(host.lastProgress, 331u) << "every key of the tree is counted";
}

TEST_F(Commands, ExpandAndTextCopies) {
    MakeKey(L"K");
    const TVxRegKeyClass k = Key(L"K");
    ExpandAllKeyCommand(c, &k);
    EXPECT_EQ(host.questions.back(), ExpandAllQuestion);
    EXPECT_EQ(host.expands, 0);
    c.NoAllMessage = true;
    ExpandAllKeyCommand(c, &k);
    EXPECT_EQ(host.expands, 1);

    CopyKeyNameCommand(c, &k);
    EXPECT_EQ(host.clipboard, L"K");
    CopyKeyFullPathCommand(c, &k);
    EXPECT_EQ(host.clipboard, L"HKEY_CURRENT_USER\\" + Path(L"K"));
    const TVxRegValueClass v = Value(L"K", L"name");
    const TSelectedValues rows = {v};
    CopyValueFullPathCommand(c, rows);
    EXPECT_EQ(host.clipboard, L"HKEY_CURRENT_USER\\" + Path(L"K") + L"\\name");
}

TEST(GenericCommands, DispatchOnFocus) {
    struct Case {
        TActionId generic, tree, list;
    };
    const Case cases[] = {
        {TActionId::aacCopy, TActionId::aacTreeCopy, TActionId::aacListCopy},
        {TActionId::aacCut, TActionId::aacTreeCut, TActionId::aacListCut},
        {TActionId::aacPaste, TActionId::aacTreePaste, TActionId::aacListPaste},
        {TActionId::aacDelete, TActionId::aacTreeDelete, TActionId::aacListDelete},
        {TActionId::aacRename, TActionId::aacTreeRename, TActionId::aacListRename},
        {TActionId::aacCopyName, TActionId::aacTreeNameCopy, TActionId::aacListNameCopy},
        {TActionId::aacFullCopy, TActionId::aacTreeFullPathCopy, TActionId::aacListFullPathCopy},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(GenericCommandTarget(k.generic, true), k.tree);
        EXPECT_EQ(GenericCommandTarget(k.generic, false), k.list);
    }
    EXPECT_EQ(GenericCommandTarget(TActionId::aacTreeCopy, true), std::nullopt);
}

// --- Value commands --------------------------------------------------------------------

TEST_F(Commands, ValueDeleteAsksForEachValue) {
    SetDWord(L"K", L"a", 1);
    SetDWord(L"K", L"b", 2);
    SetDWord(L"K", L"c", 3);
    const TVxRegKeyClass k = Key(L"K");
    const TVxRegValueClass a = Value(L"K", L"a"), b = Value(L"K", L"b"), cv = Value(L"K", L"c");
    const TVxRegValueClass placeholder = Value(L"K", L"");  // "(既定)" without a default value
    const TSelectedValues rows = {a, placeholder, b, cv};
    host.answers = {true, false, true};
    DeleteValuesCommand(c, &k, rows);
    ASSERT_EQ(host.questions.size(), 3u) << "no question for the placeholder row";
    EXPECT_EQ(host.questions[1], ValueDeleteQuestion(b));
    EXPECT_FALSE(ValueExists(L"K", L"a"));
    EXPECT_TRUE(ValueExists(L"K", L"b"));
    EXPECT_FALSE(ValueExists(L"K", L"c"));
    EXPECT_EQ(Records(), 2u);
    EXPECT_EQ(host.listRefreshes, 1);
    UndoAll();
    EXPECT_TRUE(ValueExists(L"K", L"a"));
    EXPECT_TRUE(ValueExists(L"K", L"c"));
    EXPECT_FALSE(ValueExists(L"K", L"")) << "no default value was made up";
}

// The rows a delete was given stay its own while its questions are open, however the list
// they came from is filled again meanwhile.
TEST_F(Commands, ValueDeleteKeepsItsRowsWhileTheListIsFilledAgain) {
    SetDWord(L"K", L"a", 1);
    SetDWord(L"K", L"b", 2);
    const TVxRegKeyClass k = Key(L"K");
    const TVxRegValueClass b = Value(L"K", L"b");
    TSelectedValues list = {Value(L"K", L"a"), b};
    host.answers = {true, true};
    host.duringQuestion = [&] { list.assign(8, Value(L"K", L"")); };
    DeleteValuesCommand(c, &k, list);
    ASSERT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.questions[1], ValueDeleteQuestion(b));
    EXPECT_FALSE(ValueExists(L"K", L"a"));
    EXPECT_FALSE(ValueExists(L"K", L"b"));
    EXPECT_EQ(Records(), 2u);
}

TEST_F(Commands, ValueRenameRulesAndDefaultValue) {
    SetDWord(L"K", L"Foo", 1);
    SetDWord(L"K", L"Bar", 2);
    SetDWord(L"K", L"", 3);
    const TVxRegKeyClass k = Key(L"K");
    struct Case {
        std::wstring from, to;
        bool message, renamed;
    };
    const Case cases[] = {
        {L"Foo", L"foo", true, false},
        {L"Foo", L"BAR", true, false},
        {L"Foo", L"Foo", false, false},
        {L"", L"x", false, true},
    };
    for (const Case& k2 : cases) {
        SCOPED_TRACE(Narrow(k2.to));
        host.messages.clear();
        host.inputs = {k2.to};
        const TVxRegValueClass v = Value(L"K", k2.from);
        const TSelectedValues rows = {v};
        RenameValueCommand(c, &k, rows);
        EXPECT_EQ(host.messages.size(), k2.message ? 1u : 0u);
        if (k2.message) {
            EXPECT_EQ(host.messages[0], ValueExistsMessage(k2.to));
        }
        EXPECT_EQ(ValueExists(L"K", L"x"), k2.renamed);
    }
    EXPECT_FALSE(ValueExists(L"K", L""));
    EXPECT_EQ(Records(), 1u);
    UndoAll();
    EXPECT_TRUE(ValueExists(L"K", L""));
    EXPECT_FALSE(ValueExists(L"K", L"x"));
}

TEST_F(Commands, ValuePasteRecordsCreatedAndOverwritten) {
    SetDWord(L"S", L"a", 1);
    SetDWord(L"S", L"b", 2);
    MakeKey(L"T");
    const std::wstring old = L"old text";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Path(L"T").c_str(), L"b", REG_SZ, old.c_str(),
                              static_cast<DWORD>((old.size() + 1) * 2)),
              ERROR_SUCCESS);
    const testsupport::RegSnapshot before = Snapshot();
    const TVxRegKeyClass s = Key(L"S"), t = Key(L"T");
    const TVxRegValueClass a = Value(L"S", L"a"), b = Value(L"S", L"b");
    const TSelectedValues rows = {a, b};

    CopyValuesToClipboard(c, rows, false);
    EXPECT_EQ(host.page, ClipboardToolPage);
    PasteValuesCommand(c, &s);  // onto themselves: nothing
    EXPECT_EQ(Records(), 0u);
    CopyValuesToClipboard(c, rows, false);
    PasteValuesCommand(c, &t);
    EXPECT_EQ(registry::GetRegValueType(t, L"b"), REG_DWORD);
    ASSERT_EQ(Records(), 2u);
    EXPECT_EQ(provider.UndoList()[0]->FOperation, undo::uoChanged);
    EXPECT_EQ(provider.UndoList()[1]->FOperation, undo::uoCreated);
    EXPECT_TRUE(provider.ValueClipList().empty());
    UndoAll();
    EXPECT_EQ(Snapshot(), before) << "undo brings back the old data and type";

    // Cut: the source is recorded as deleted, the target as created.
    c.ValueClip = true;
    const TSelectedValues cutRow = {a};
    CopyValuesToClipboard(c, cutRow, true);
    PasteValuesCommand(c, &t);
    EXPECT_FALSE(ValueExists(L"S", L"a"));
    EXPECT_TRUE(ValueExists(L"T", L"a"));
    EXPECT_EQ(Records(), 2u);
    EXPECT_TRUE(provider.ValueClipList().empty()) << "a cut entry goes also with SetValueClip";
    UndoAll();
    EXPECT_EQ(Snapshot(), before);
}

// --- Undo and clipboard panes ----------------------------------------------------------

TEST_F(Commands, UndoPaneTextsAndNewestUndo) {
    SetDWord(L"K", L"v", 1);
    const TVxRegKeyClass k = Key(L"K");
    provider.RecordValueOverwritten(k, L"v", REG_DWORD);
    provider.RecordValueRenamed(k, L"old", L"new");
    provider.RecordKeyCreated(k, L"New");
    struct Row {
        std::array<std::wstring, 6> cells;
    };
    const std::wstring full = L"HKEY_CURRENT_USER\\" + Path(L"K");
    const Row rows[] = {
        {{L"値のアンドゥ", L"変更の取り消し", L"v", L"01000000", full, L"REG_DWORD"}},
        {{L"値のアンドゥ", L"名前の変更の取り消し", provider.UndoList()[1]->FDisplayName,
          L"old\x2192new", full, L"REG_NONE"}},
        {{L"キーのアンドゥ", L"作成の取り消し", L"New", L"", full, L"キー"}},
    };
    for (size_t r = 0; r < 3; ++r)
        for (int col = 0; col < 6; ++col)
            EXPECT_EQ(UndoPaneText(*provider.UndoList()[r], col), rows[r].cells[col])
                << "row " << r << " column " << col;
    EXPECT_EQ(PaneImageIndex(UndoPaneImage, 0), 4);
    EXPECT_EQ(PaneImageIndex(UndoPaneImage, 1), -1);

    MakeKey(L"K\\New");
    UndoNewestCommand(c);  // answered No
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0],
              L"以下の仕様のアンドゥを実行します。よろしいですか？\r\n\r\nキーフルパス：" + full +
                  L"\r\n値名：\r\n値の種類：キー\r\nアンドゥ操作：作成の取り消し\r\n");
    EXPECT_EQ(Records(), 3u);
    host.answers = {true};
    UndoNewestCommand(c);
    EXPECT_EQ(Records(), 2u);
    EXPECT_FALSE(Exists(L"K\\New"));
    EXPECT_EQ(host.allRefreshes, 1);
}

TEST_F(Commands, UndoPaneRunsSelectedRowsBottomUp) {
    MakeKey(L"K");
    const TVxRegKeyClass k = Key(L"K");
    for (int i = 0; i < 5; ++i) {
        SetDWord(L"K", L"v" + std::to_wstring(i), 0);
        provider.RecordValueCreated(k, L"v" + std::to_wstring(i), REG_DWORD);
    }
    UndoRowsBottomUpCommand(c, {1, 3});
    EXPECT_EQ(host.allRefreshes, 1);
    ASSERT_EQ(Records(), 3u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ValueExists(L"K", L"v" + std::to_wstring(i)), i != 1 && i != 3) << i;
    EXPECT_EQ(provider.UndoList()[1]->FValueName, L"v2");

    DeleteUndoRowsCommand(c, {0, 2});
    ASSERT_EQ(Records(), 1u);
    EXPECT_EQ(provider.UndoList()[0]->FValueName, L"v2");
    EXPECT_TRUE(ValueExists(L"K", L"v0")) << "deleting a record undoes nothing";
}

TEST_F(Commands, ClipboardPaneTextsAndRowDeletion) {
    SetDWord(L"K", L"v", 1);
    const TVxRegKeyClass k = Key(L"K");
    TVxRegValueClass v = Value(L"K", L"v");
    v.FDataText = L"0x00000001 (1)";
    provider.AddKeyToClipboard(k, true);
    provider.AddKeyToClipboard(Key(), false);
    provider.AddValueToClipboard(v, false);
    const std::wstring full = L"HKEY_CURRENT_USER\\" + Path(L"K");
    EXPECT_EQ(KeyClipPaneText(*provider.KeyClipList()[0], 0), L"切り取り");
    EXPECT_EQ(KeyClipPaneText(*provider.KeyClipList()[1], 0), L"コピー");
    EXPECT_EQ(KeyClipPaneText(*provider.KeyClipList()[0], 1), L"K");
    EXPECT_EQ(KeyClipPaneText(*provider.KeyClipList()[0], 2), full);
    const std::wstring valueRow[] = {L"コピー", L"v", L"0x00000001 (1)", full + L"\\v"};
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(ValueClipPaneText(*provider.ValueClipList()[0], col), valueRow[col]);

    DeleteKeyClipRowsCommand(c, {0});
    ASSERT_EQ(provider.KeyClipList().size(), 1u);
    EXPECT_FALSE(provider.KeyClipList()[0]->FCut);
    DeleteValueClipRowsCommand(c, {0, 0});
    EXPECT_TRUE(provider.ValueClipList().empty());
}
