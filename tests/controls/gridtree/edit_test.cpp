// In-place editing of a string tree: starting (F2, a click on the selected focused text
// after the delay), Enter and Escape, leaving the editor, the editor's bounds, refusals,
// and a tree destroyed while its editor runs.
#include "classlib/application.h"
#include "controls/gridtree/gridtree_edit.h"
#include "input_test_support.h"

using namespace gridtree;

namespace {

struct TEditFixture : TInputFixture {
    std::vector<std::wstring> NewTexts;
    int Edited = 0, Cancelled = 0;

    explicit TEditFixture(std::vector<std::wstring> Rows = {L"alpha", L"beta", L"gamma"})
        : TInputFixture(std::move(Rows)) {
        auto& o = Tree->TreeOptions();
        o.SetMiscOptions(o.MiscOptions() | toEditable);
        Tree->OnNewText = [this](TBaseGridTree*, PGridNode, TColumnIndex, const std::wstring& Text) {
            NewTexts.push_back(Text);
        };
        Tree->OnEdited = [this](TBaseGridTree*, PGridNode, TColumnIndex) { ++Edited; };
        Tree->OnEditCancelled = [this](TBaseGridTree*, TColumnIndex) { ++Cancelled; };
    }
    HWND Editor() {
        auto link = std::dynamic_pointer_cast<TStringEditLink>(Tree->EditLink());
        return link && link->Edit() ? link->Edit()->Handle() : nullptr;
    }
    bool StartWithF2(int Row) {
        Tree->SetFocusedNode(this->Row(Row));
        Key(VK_F2);
        return Tree->IsEditing() && Editor();
    }
    // The user types a new text into the editor.
    void TypeText(const std::wstring& Text) {
        SetWindowTextW(Editor(), Text.c_str());
        SendMessageW(Editor(), EM_SETMODIFY, TRUE, 0);
    }
    void EditorKey(WORD Vk) { SendMessageW(Editor(), WM_KEYDOWN, Vk, 1); }
    RECT EditorRect() { return Tree->EditLink()->GetBounds(); }
};

}  // namespace

TEST(GridTreeEdit, EnterAcceptsAndEscapeDiscards) {
    TEditFixture f;
    ASSERT_TRUE(f.StartWithF2(1));
    EXPECT_EQ(f.Editor(), GetFocus());
    wchar_t shown[64] = {};
    GetWindowTextW(f.Editor(), shown, 64);
    EXPECT_STREQ(L"beta", shown);
    f.TypeText(L"BETA");
    f.EditorKey(VK_RETURN);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(std::vector<std::wstring>{L"BETA"}, f.NewTexts);
    EXPECT_EQ(1, f.Edited);
    EXPECT_EQ(f.Tree->Handle(), GetFocus());

    // A text left as it was reaches no OnNewText, but the edit still ends.
    ASSERT_TRUE(f.StartWithF2(2));
    f.EditorKey(VK_RETURN);
    EXPECT_EQ(1u, f.NewTexts.size());
    EXPECT_EQ(2, f.Edited);

    ASSERT_TRUE(f.StartWithF2(0));
    f.TypeText(L"discarded");
    f.EditorKey(VK_ESCAPE);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(1u, f.NewTexts.size());
    EXPECT_EQ(1, f.Cancelled);
    EXPECT_EQ(f.Tree->Handle(), GetFocus());
    // The editor control goes once its messages are done.
    testsupport::PumpMessages();
}

TEST(GridTreeEdit, LeavingTheEditorAcceptsOnlyWithAutoAccept) {
    TEditFixture f;
    auto* other = new TInputTree();
    other->SetParent(f.Form.get());
    other->SetBounds(0, 150, 100, 50);
    other->HandleNeeded();

    ASSERT_TRUE(f.StartWithF2(0));
    f.TypeText(L"kept");
    other->SetFocus();
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(std::vector<std::wstring>{L"kept"}, f.NewTexts);

    auto& o = f.Tree->TreeOptions();
    o.SetStringOptions(o.StringOptions() & ~toAutoAcceptEditChange);
    f.Tree->SetFocus();
    ASSERT_TRUE(f.StartWithF2(0));
    f.TypeText(L"lost");
    other->SetFocus();
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(1u, f.NewTexts.size());
    EXPECT_EQ(1, f.Cancelled);
}

TEST(GridTreeEdit, RefusedWhereEditingIsNotAllowed) {
    struct Case {
        const char* Name;
        TGTMiscOptions Options;
        bool DisableNode;
        bool HandlerRefuses;
    };
    const Case cases[] = {
        {"not editable", 0, false, false},
        {"read-only", toEditable | toReadOnly, false, false},
        {"disabled node", toEditable, true, false},
        {"OnEditing says no", toEditable, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TEditFixture f;
        f.Tree->TreeOptions().SetMiscOptions(c.Options);
        if (c.DisableNode) f.Row(1)->States |= vsDisabled;
        if (c.HandlerRefuses)
            f.Tree->OnEditing = [](TBaseGridTree*, PGridNode, TColumnIndex, bool& Allowed) { Allowed = false; };
        EXPECT_FALSE(f.StartWithF2(1));
        EXPECT_EQ(nullptr, f.Tree->EditLink());
    }
}

TEST(GridTreeEdit, ClickOnTheSelectedFocusedTextEditsAfterTheDelay) {
    TEditFixture f;
    const POINT p = f.TextPoint(1);
    f.Press(p);
    f.Release(p);
    EXPECT_FALSE(f.Tree->TreeStates() & tsEditPending);  // the first click only selects
    f.Press(p);
    EXPECT_TRUE(f.Tree->TreeStates() & tsEditPending);
    f.Release(p);
    EXPECT_TRUE(f.Tree->TreeStates() & tsEditPending);
    EXPECT_FALSE(f.Tree->IsEditing());
    // A double click within the delay drops the pending edit.
    f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, p);
    EXPECT_FALSE(f.Tree->TreeStates() & tsEditPending);
    f.Release(p);

    f.Press(p);
    f.Release(p);
    ASSERT_TRUE(f.Tree->TreeStates() & tsEditPending);
    f.Tree->SetEditDelay(10);
    f.Press(p);
    f.Release(p);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return f.Tree->IsEditing(); }));
    EXPECT_EQ(f.Row(1), f.Tree->FocusedNode());
    f.Tree->CancelEditNode();
}

TEST(GridTreeEdit, EditorStaysWithinItsLimits) {
    TEditFixture f({L"i", L"a text long enough to pass the right edge of the client area of this tree", L"x"});
    ASSERT_TRUE(f.StartWithF2(0));
    RECT r = f.EditorRect();
    EXPECT_EQ(30, r.right - r.left);  // never narrower than 30 pixels
    f.Tree->CancelEditNode();

    ASSERT_TRUE(f.StartWithF2(1));
    r = f.EditorRect();
    EXPECT_EQ(f.Tree->ClientWidth(), r.right);  // never beyond the client area
    EXPECT_GE(r.left, 0);
    f.Tree->CancelEditNode();

    // In a right-aligned column the editor grows to the left while the user types.
    f.Tree->Header().Columns().Add()->SetWidth(250);
    f.Tree->Header().Columns()[0]->SetAlignment(taRightJustify);
    ASSERT_TRUE(f.StartWithF2(2));
    const RECT before = f.EditorRect();
    f.TypeText(L"x and a good deal more");
    SendMessageW(f.Tree->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(f.Editor()), EN_UPDATE),
                 reinterpret_cast<LPARAM>(f.Editor()));
    const RECT after = f.EditorRect();
    EXPECT_EQ(before.right, after.right);
    EXPECT_LT(after.left, before.left);
    f.Tree->CancelEditNode();
}

TEST(GridTreeEdit, DestroyedTreeTakesNoTextFromItsEditor) {
    TEditFixture f;
    ASSERT_TRUE(f.StartWithF2(1));
    f.TypeText(L"changed");
    std::vector<std::wstring> texts;
    f.Tree->OnNewText = [&](TBaseGridTree*, PGridNode, TColumnIndex, const std::wstring& Text) {
        texts.push_back(Text);
    };
    delete f.Tree;
    f.Tree = nullptr;
    testsupport::PumpMessages();
    EXPECT_TRUE(texts.empty());
}

TEST(GridTreeEdit, NilEditorFromTheHandlerIsAnError) {
    TEditFixture f;
    f.Tree->OnCreateEditor = [](TBaseGridTree*, PGridNode, TColumnIndex, PGTEditLink& Link) { Link = nullptr; };
    f.Tree->SetFocusedNode(f.Row(0));
    EXPECT_THROW(f.Tree->EditNode(f.Row(0), NoColumn), EGridTreeError);
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(nullptr, f.Tree->EditLink());
}
