// Tree view: node operations, texts in the window, in-place editing, sorting,
// re-creation and the node stream.
#include <gtest/gtest.h>

#include <cstring>

#include "common/test_support.h"
#include "ctl_support.h"
#include "classlib/errors.h"
#include "classlib/streams.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/widetreeview.h"

using namespace wide;
using namespace ctltest;

namespace {

class TreeTest : public ::testing::Test, public FormFixture {};

std::wstring WindowText(TWideTreeView* tv, TWideTreeNode* node) {
    wchar_t buffer[512] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node->ItemId();
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(tv->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.pszText;
}

// Texts in depth-first order with their levels, for shape comparisons.
std::wstring Shape(TWideTreeNodes& nodes) {
    std::wstring s;
    for (TWideTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        s += std::wstring(static_cast<size_t>(n->Level()), L'.') + n->Text() + L"|";
    return s;
}

void* Obj(intptr_t n) { return reinterpret_cast<void*>(n); }

}  // namespace

TEST_F(TreeTest, NodeOperationsTable) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    TWideTreeNodes& nodes = tv->Items();
    TWideTreeNode* a = nodes.AddObject(nullptr, L"お気に入り", Obj(1));
    TWideTreeNode* b = nodes.Add(a, kSurrogate);
    TWideTreeNode* a1 = nodes.AddChildObject(a, L"子1", Obj(2));
    nodes.AddChildFirst(a, L"子0");
    nodes.Insert(a1, L"子0.5");
    nodes.AddChildObject(nullptr, L"最後", Obj(3));
    nodes.Insert(a, L"先頭");
    EXPECT_EQ(Shape(nodes), L"先頭|お気に入り|.子0|.子0.5|.子1|" + kSurrogate + L"|最後|");
    EXPECT_EQ(nodes.GetFirstNode()->Text(), L"先頭");
    EXPECT_EQ(a->GetItem(2), a1);
    EXPECT_EQ(a1->GetParent(), a);
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(a1->Data(), Obj(2));
    EXPECT_EQ(nodes.Count(), 7);
    EXPECT_EQ(nodes.Item(5), b);
    EXPECT_EQ(WindowText(tv, b), kSurrogate);
    EXPECT_EQ(WindowText(tv, a1), L"子1");

    tv->SetSelected(a1);
    EXPECT_EQ(tv->Selected(), a1);
    RECT r{};
    HTREEITEM item = a1->ItemId();
    std::memcpy(&r, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(SendMessageW(tv->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    EXPECT_EQ(tv->GetNodeAt(r.left + 2, (r.top + r.bottom) / 2), a1);
    EXPECT_EQ(tv->GetNodeAt(299, 295), nullptr);

    for (int i = 0; i < 40; ++i) nodes.Add(nullptr, L"行" + std::to_wstring(i));
    Show();
    TWideTreeNode* row = nodes.Item(20);
    tv->SetTopItem(row);
    EXPECT_EQ(tv->TopItem(), row);

    a->Delete();
    EXPECT_EQ(nodes.GetFirstNode()->GetNextSibling(), b);
    EXPECT_EQ(nodes.Count(), 43);
}

TEST_F(TreeTest, InPlaceEditingPassesWideText) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    TWideTreeNode* node = tv->Items().Add(nullptr, L"名前");
    Show();
    std::wstring edited;
    tv->OnEdited = [&](classlib::TComponent*, TWideTreeNode* n, std::wstring& s) {
        EXPECT_EQ(n, node);
        edited = s;
        s += L"!";
    };
    ASSERT_TRUE(node->EditText());
    HWND edit = reinterpret_cast<HWND>(SendMessageW(tv->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"");
    TypeText(edit, kJapanese + kSurrogate);
    node->EndEdit(false);
    EXPECT_EQ(edited, kJapanese + kSurrogate);
    EXPECT_EQ(node->Text(), kJapanese + kSurrogate + L"!");
    EXPECT_EQ(WindowText(tv, node), kJapanese + kSurrogate + L"!");

    bool cancelled = false;
    tv->OnCancelEdit = [&](classlib::TComponent*, TWideTreeNode*) { cancelled = true; };
    ASSERT_TRUE(node->EditText());
    node->EndEdit(true);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(node->Text(), kJapanese + kSurrogate + L"!");

    tv->OnEditing = [](classlib::TComponent*, TWideTreeNode*, bool& allow) { allow = false; };
    EXPECT_FALSE(node->EditText());
}

TEST_F(TreeTest, AlphaSortAndRecreationKeepOrderAndTexts) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    TWideTreeNodes& nodes = tv->Items();
    TWideTreeNode* root = nodes.Add(nullptr, L"b");
    for (const wchar_t* s : {L"ウ", L"あ", L"B", L"a", L"イ"}) nodes.AddChild(root, s);
    nodes.Add(nullptr, L"A");
    root->Expand(false);
    tv->AlphaSort();
    std::wstring expected;
    std::vector<std::wstring> kids = {L"ウ", L"あ", L"B", L"a", L"イ"};
    std::sort(kids.begin(), kids.end(), [](const auto& x, const auto& y) { return lstrcmpW(x.c_str(), y.c_str()) < 0; });
    for (const auto& k : kids) expected += L"." + k + L"|";
    EXPECT_EQ(Shape(nodes), L"A|b|" + expected);
    // The window shows the same order.
    auto first = reinterpret_cast<HTREEITEM>(SendMessageW(tv->Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root->ItemId())));
    EXPECT_EQ(nodes.GetNode(first)->Text(), kids.front());

    tv->OnCompare = [](classlib::TComponent*, TWideTreeNode* x, TWideTreeNode* y, int, int& c) {
        c = -lstrcmpW(x->Text().c_str(), y->Text().c_str());
    };
    tv->AlphaSort();
    EXPECT_EQ(nodes.GetFirstNode()->Text(), L"b");
    root->GetItem(0)->SetText(kSurrogate + L"長い名前");
    std::wstring before = Shape(nodes);
    tv->RecreateWnd();
    EXPECT_EQ(Shape(nodes), before);
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(WindowText(tv, root->GetItem(0)), kSurrogate + L"長い名前");
    EXPECT_NE(root->GetItem(0)->ItemId(), nullptr);
}

TEST_F(TreeTest, NodeStreamRoundTripAndLimits) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    TWideTreeNodes& nodes = tv->Items();
    TWideTreeNode* a = nodes.AddObject(nullptr, kJapanese, Obj(-5));
    a->SetImageIndex(1);
    a->SetSelectedIndex(2);
    a->SetStateIndex(3);
    a->SetOverlayIndex(1);
    nodes.AddChildObject(a, kSurrogate, Obj(0x7FFFFFFF));
    // 100 three-byte characters: only 84 fit in 252 bytes after EF BB BF.
    nodes.Add(nullptr, std::wstring(100, L'字'));
    classlib::TMemoryStream stream;
    nodes.WriteUtf8Data(stream);

    auto* copy = Add<TWideTreeView>(320, 8, 300, 300);
    stream.SetPosition(0);
    copy->Items().ReadUtf8Data(stream);
    EXPECT_EQ(Shape(copy->Items()), L"" + kJapanese + L"|." + kSurrogate + L"|" + std::wstring(84, L'字') + L"|");
    TWideTreeNode* ca = copy->Items().GetFirstNode();
    EXPECT_EQ(ca->Data(), Obj(-5));
    EXPECT_EQ(ca->GetItem(0)->Data(), Obj(0x7FFFFFFF));
    EXPECT_EQ(ca->ImageIndex(), 1);
    EXPECT_EQ(ca->SelectedIndex(), 2);
    EXPECT_EQ(ca->StateIndex(), 3);
    EXPECT_EQ(ca->OverlayIndex(), 1);

    // Assign copies directly: no cut at the stream's limit.
    copy->Items().Assign(nodes);
    EXPECT_EQ(Shape(copy->Items()), Shape(nodes));

    // A pointer that needs more than 32 bits is refused, not cut.
    nodes.Add(nullptr, L"x")->SetData(reinterpret_cast<void*>(intptr_t{1} << 40));
    classlib::TMemoryStream big;
    EXPECT_THROW(nodes.WriteUtf8Data(big), classlib::EWriteError);
}

TEST_F(TreeTest, NodeStreamRejectsBadRecords) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    auto record = [](int32_t size, unsigned char len, const std::string& text, int32_t count = 0) {
        std::string s;
        auto put = [&](int32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
        put(size);
        for (int i = 0; i < 5; ++i) put(0);
        put(count);
        s += static_cast<char>(len);
        s += text;
        return s;
    };
    auto stream = [](int32_t n, const std::string& body) {
        auto m = std::make_unique<classlib::TMemoryStream>();
        m->WriteBuffer(&n, 4);
        m->WriteBuffer(body.data(), body.size());
        m->SetPosition(0);
        return m;
    };
    struct {
        const char* name;
        int32_t n;
        std::string body;
        bool ok;
        std::wstring text;
    } cases[] = {
        {"ansi text", 1, record(25 + 2, 2, "\x82\xA0"), true, L"あ"},
        {"bad utf8 read as ansi", 1, record(25 + 5, 5, "\xEF\xBB\xBF\x82\xA0"), true, L"あ"},
        {"size below the fields", 1, record(24, 0, ""), false, L""},
        {"size above the record", 1, record(281, 0, std::string(256, 'a')), false, L""},
        {"text beyond the size", 1, record(26, 5, "abcde"), false, L""},
        {"negative count", -1, "", false, L""},
        {"negative children", 1, record(25, 0, "", -1), false, L""},
        {"truncated", 2, record(25, 0, ""), false, L""},
    };
    for (auto& c : cases) {
        auto s = stream(c.n, c.body);
        if (c.ok) {
            tv->Items().ReadUtf8Data(*s);
            ASSERT_NE(tv->Items().GetFirstNode(), nullptr) << c.name;
            EXPECT_EQ(tv->Items().GetFirstNode()->Text(), c.text) << c.name;
        } else {
            EXPECT_THROW(tv->Items().ReadUtf8Data(*s), classlib::EReadError) << c.name;
        }
    }
}

namespace {

// The texts of one level as the window orders them.
std::wstring WindowLevel(TWideTreeView* tv, TWideTreeNode* parent) {
    std::wstring s;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tv->Handle(), TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT,
                                                         reinterpret_cast<LPARAM>(parent ? parent->ItemId() : nullptr)));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageW(tv->Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        s += tv->Items().GetNode(item)->Text() + L"|";
    return s;
}

}  // namespace

TEST_F(TreeTest, SortTypeKeepsLevelsOrdered) {
    auto byData = [](classlib::TComponent*, TWideTreeNode* x, TWideTreeNode* y, int, int& c) {
        c = static_cast<int>(reinterpret_cast<intptr_t>(x->Data()) - reinterpret_cast<intptr_t>(y->Data()));
    };
    struct {
        TSortType type;
        bool compare;
        std::wstring added, renamed, dataChanged;
    } cases[] = {
        // Added: ウ(3), あ(1), イ(2) before あ; then あ becomes ン; then ウ's data becomes 0.
        {stNone, false, L"ウ|イ|あ|", L"ウ|イ|ン|", L"ウ|イ|ン|"},
        {stText, false, L"あ|イ|ウ|", L"イ|ウ|ン|", L"イ|ウ|ン|"},
        {stData, false, L"ウ|イ|あ|", L"ウ|イ|ン|", L"ウ|イ|ン|"},  // no OnCompare: data does not sort
        {stData, true, L"あ|イ|ウ|", L"ン|イ|ウ|", L"ウ|ン|イ|"},
        {stBoth, true, L"あ|イ|ウ|", L"ン|イ|ウ|", L"ウ|ン|イ|"},
    };
    for (const auto& c : cases) {
        auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
        if (c.compare) tv->OnCompare = byData;
        tv->SetSortType(c.type);
        TWideTreeNode* root = tv->Items().Add(nullptr, L"根");
        tv->Items().AddChildObject(root, L"ウ", Obj(3));
        TWideTreeNode* a = tv->Items().AddChildObject(root, L"あ", Obj(1));
        tv->Items().InsertObject(a, L"イ", Obj(2));
        std::wstring level;
        for (int i = 0; i < root->Count(); ++i) level += root->GetItem(i)->Text() + L"|";
        EXPECT_EQ(level, c.added) << c.type;
        EXPECT_EQ(WindowLevel(tv, root), c.added) << c.type;
        a->SetText(L"ン");
        EXPECT_EQ(WindowLevel(tv, root), c.renamed) << c.type;
        for (int i = 0; i < root->Count(); ++i)
            if (root->GetItem(i)->Text() == L"ウ") {
                root->GetItem(i)->SetData(Obj(0));
                break;
            }
        EXPECT_EQ(WindowLevel(tv, root), c.dataChanged) << c.type;
        // Re-creating the window keeps the order and the sort type.
        tv->RecreateWnd();
        EXPECT_EQ(WindowLevel(tv, root), c.dataChanged) << c.type;
        EXPECT_EQ(tv->SortType(), c.type);
        delete tv;
    }

    // Turning sorting on orders every level at once.
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    TWideTreeNode* z = tv->Items().Add(nullptr, L"z");
    tv->Items().Add(nullptr, L"b");
    for (const wchar_t* s : {L"y", L"x"}) tv->Items().AddChild(z, s);
    tv->SetSortType(stText);
    EXPECT_EQ(Shape(tv->Items()), L"b|z|.x|.y|");
    EXPECT_EQ(WindowLevel(tv, nullptr), L"b|z|");
}

namespace {

class CountedNode : public TWideTreeNode {
public:
    explicit CountedNode(TWideTreeNodes* owner) : TWideTreeNode(owner) { ++Made; }
    ~CountedNode() override { ++Freed; }
    static inline int Made = 0, Freed = 0;
};

}  // namespace

TEST_F(TreeTest, CreateNodeClassMakesDerivedNodes) {
    CountedNode::Made = CountedNode::Freed = 0;
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    tv->OnCreateNodeClass = [](TWideCustomTreeView*, TWideTreeNodeClass& nodeClass) {
        nodeClass = [](TWideTreeNodes* owner) { return std::make_unique<CountedNode>(owner); };
    };
    TWideTreeNode* root = tv->Items().Add(nullptr, kJapanese);
    TWideTreeNode* child = tv->Items().AddChildFirst(root, kSurrogate);
    EXPECT_NE(dynamic_cast<CountedNode*>(root), nullptr);
    EXPECT_NE(dynamic_cast<CountedNode*>(child), nullptr);
    EXPECT_EQ(WindowText(tv, child), kSurrogate);
    // Nodes read from a stream come from the factory too.
    classlib::TMemoryStream stream;
    tv->Items().WriteUtf8Data(stream);
    stream.SetPosition(0);
    tv->Items().ReadUtf8Data(stream);
    EXPECT_EQ(CountedNode::Made, 4);
    EXPECT_EQ(CountedNode::Freed, 2);
    EXPECT_NE(dynamic_cast<CountedNode*>(tv->Items().Item(1)), nullptr);

    // A factory that makes nothing, or a node of another tree, is a programming error.
    auto* other = Add<TWideTreeView>(8, 8, 300, 300);
    other->OnCreateNodeClass = [](TWideCustomTreeView*, TWideTreeNodeClass& nodeClass) { nodeClass = nullptr; };
    EXPECT_THROW(other->Items().Add(nullptr, L"x"), EWideInternalError);
    other->OnCreateNodeClass = [tv](TWideCustomTreeView*, TWideTreeNodeClass& nodeClass) {
        nodeClass = [tv](TWideTreeNodes*) { return std::make_unique<CountedNode>(&tv->Items()); };
    };
    EXPECT_THROW(other->Items().Add(nullptr, L"x"), EWideInternalError);
    EXPECT_EQ(other->Items().Count(), 0);
    delete tv;
    EXPECT_EQ(CountedNode::Made, CountedNode::Freed);
}

TEST_F(TreeTest, EditorKeysImageQueriesAndHandedTexts) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    TWideTreeNode* node = tv->Items().Add(nullptr, L"名前");
    Show();
    std::wstring edited;
    tv->OnEdited = [&](classlib::TComponent*, TWideTreeNode*, std::wstring& s) { edited = s; };
    tv->OnKeyPress = [](classlib::TComponent*, wchar_t& key) {
        if (key == L'x') key = 0;
        if (key == L'a') key = L'字';
    };
    int ups = 0;
    tv->OnKeyUp = [&](classlib::TComponent*, WORD&, classlib::TShiftState) { ++ups; };
    ASSERT_TRUE(node->EditText());
    HWND edit = reinterpret_cast<HWND>(SendMessageW(tv->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"");
    TypeText(edit, L"xa" + kSurrogate);
    SendMessageW(edit, WM_KEYUP, 'A', 0);
    node->EndEdit(false);
    EXPECT_EQ(edited, L"字" + kSurrogate);
    EXPECT_EQ(ups, 1);

    // The window asks for the image indexes; the handlers may change them first.
    tv->OnGetImageIndex = [](classlib::TComponent*, TWideTreeNode* n) { n->SetImageIndex(4); };
    tv->OnGetSelectedIndex = [](classlib::TComponent*, TWideTreeNode* n) { n->SetSelectedIndex(5); };
    TVITEMW item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    item.hItem = node->ItemId();
    ASSERT_TRUE(SendMessageW(tv->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    NMTVDISPINFOW info{};
    info.hdr.hwndFrom = tv->Handle();
    info.hdr.code = TVN_GETDISPINFOW;
    info.item = item;
    info.item.lParam = reinterpret_cast<LPARAM>(node);
    SendMessageW(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.item.iImage, 4);
    EXPECT_EQ(info.item.iSelectedImage, 5);

    // A text the window hands over becomes the node's.
    std::wstring handed = kSurrogate + L"新";
    info.hdr.code = TVN_SETDISPINFOW;
    info.item.mask = TVIF_TEXT;
    info.item.pszText = handed.data();
    SendMessageW(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(node->Text(), handed);
    EXPECT_EQ(WindowText(tv, node), handed);
}

namespace {

// A chain of `depth` nodes, each the only child of the one before; returns the deepest.
TWideTreeNode* BuildChain(TWideTreeNodes& nodes, int depth) {
    TWideTreeNode* n = nullptr;
    nodes.BeginUpdate();
    for (int i = 0; i < depth; ++i) n = nodes.AddChildObject(n, L"n" + std::to_wstring(i), Obj(i + 1));
    nodes.EndUpdate();
    return n;
}

}  // namespace

// Clearing, deleting, destroying, copying, writing, expanding and sorting a chain far deeper
// than the stack could follow by recursion.
TEST_F(TreeTest, DeepChainsNeverExhaustTheStack) {
    constexpr int kDepth = 100000;
    auto* tv = new TWideTreeView(nullptr);
    TWideTreeNodes& nodes = tv->Items();
    TWideTreeNode* deepest = BuildChain(nodes, kDepth);
    EXPECT_EQ(deepest->Level(), kDepth - 1);
    int deletions = 0;
    tv->OnDeletion = [&](classlib::TComponent*, TWideTreeNode*) { ++deletions; };

    tv->FullExpand();
    EXPECT_TRUE(deepest->GetParent()->Expanded());
    tv->AlphaSort(true);
    tv->FullCollapse();
    EXPECT_FALSE(nodes.GetFirstNode()->Expanded());
    deepest->GetParent()->Expand(false);

    // Copy and the node stream.
    auto copy = std::make_unique<TWideTreeView>(nullptr);
    copy->Items().Assign(nodes);
    EXPECT_EQ(copy->Items().Count(), kDepth);
    EXPECT_EQ(copy->Items().Item(kDepth - 1)->Data(), Obj(kDepth));
    EXPECT_TRUE(copy->Items().Item(kDepth - 2)->Expanded());
    copy.reset();
    classlib::TMemoryStream stream;
    nodes.WriteUtf8Data(stream);
    EXPECT_GT(stream.Size(), int64_t{kDepth} * 25);
    // Reading refuses that depth with a report rather than following it.
    auto reader = std::make_unique<TWideTreeView>(nullptr);
    stream.SetPosition(0);
    EXPECT_THROW(reader->Items().ReadUtf8Data(stream), classlib::EReadError);

    // Deleting a deep subtree, then clearing the rest: every node reported once.
    TWideTreeNode* middle = nodes.GetFirstNode();
    for (int i = 0; i < kDepth / 2; ++i) middle = middle->GetFirstChild();
    middle->Delete();
    EXPECT_EQ(deletions, kDepth / 2);
    nodes.Clear();
    EXPECT_EQ(deletions, kDepth);
    EXPECT_EQ(nodes.Count(), 0);

    // Destroying the view with a deep tree in it.
    BuildChain(nodes, kDepth);
    tv->OnDeletion = nullptr;
    delete tv;
}

// The window takes a deep subtree apart one level per call too: it gets it in pieces. The
// depth here is more than it can take in one piece.
TEST_F(TreeTest, DeepChainsLeaveTheWindowInPieces) {
    constexpr int kDepth = 20000;
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    Show();
    TWideTreeNodes& nodes = tv->Items();
    TWideTreeNode* deepest = BuildChain(nodes, kDepth);
    EXPECT_EQ(WindowText(tv, deepest), L"n" + std::to_wstring(kDepth - 1));

    // Re-creating the window destroys the old one with all its items (as destroying the
    // view does).
    tv->RecreateWnd();
    EXPECT_EQ(WindowText(tv, deepest), L"n" + std::to_wstring(kDepth - 1));
    EXPECT_EQ(TreeView_GetCount(tv->Handle()), static_cast<UINT>(kDepth));

    // Deleting the deep subtree below the first node.
    TWideTreeNode* first = nodes.GetFirstNode();
    first->GetFirstChild()->Delete();
    EXPECT_FALSE(first->HasChildren());
    EXPECT_EQ(TreeView_GetChild(tv->Handle(), first->ItemId()), nullptr);
    EXPECT_EQ(TreeView_GetCount(tv->Handle()), 1u);
    EXPECT_EQ(WindowText(tv, first), L"n0");
}

// Walking a level and the depth-first order stays right while a level changes in the
// middle (positions are remembered and checked, not trusted).
TEST_F(TreeTest, SiblingOrderFollowsChangesInTheMiddleOfALevel) {
    TWideTreeView tv(nullptr);
    TWideTreeNodes& nodes = tv.Items();
    for (const wchar_t* s : {L"a", L"c", L"e"}) nodes.Add(nullptr, s);
    TWideTreeNode* c = nodes.Item(1);
    EXPECT_EQ(c->Index(), 1);
    nodes.Insert(c, L"b");
    nodes.AddFirst(nullptr, L"0");
    TWideTreeNode* d = nodes.Insert(nodes.Item(4), L"d");
    EXPECT_EQ(Shape(nodes), L"0|a|b|c|d|e|");
    EXPECT_EQ(c->Index(), 3);
    EXPECT_EQ(c->GetNextSibling(), d);
    EXPECT_EQ(d->GetPrevSibling(), c);
    nodes.Item(2)->Delete();
    nodes.GetFirstNode()->Delete();
    EXPECT_EQ(Shape(nodes), L"a|c|d|e|");
    EXPECT_EQ(c->Index(), 1);
    EXPECT_EQ(d->GetNextSibling()->Text(), L"e");
    EXPECT_EQ(d->GetNextSibling()->GetNextSibling(), nullptr);
    EXPECT_EQ(nodes.GetFirstNode()->GetPrevSibling(), nullptr);
    tv.OnCompare = [](classlib::TComponent*, TWideTreeNode* x, TWideTreeNode* y, int, int& r) {
        r = -lstrcmpW(x->Text().c_str(), y->Text().c_str());
    };
    tv.AlphaSort();
    EXPECT_EQ(Shape(nodes), L"e|d|c|a|");
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(c->GetNextSibling()->Text(), L"a");
}

// Moving a node takes its whole subtree along, in order, to each place an attach mode names,
// in the model and in the window alike; the selection stays on its node; a move into the
// node's own subtree is refused; a deep chain moves without recursion.
TEST_F(TreeTest, MoveToTakesTheWholeSubtreeAlong) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    Show();
    TWideTreeNodes& nodes = tv->Items();
    // a(a1(a11), a2), b, c(c1)
    TWideTreeNode* a = nodes.Add(nullptr, L"a");
    TWideTreeNode* a1 = nodes.AddChild(a, L"a1");
    TWideTreeNode* a11 = nodes.AddChild(a1, L"a11");
    nodes.AddChild(a, L"a2");
    TWideTreeNode* b = nodes.Add(nullptr, L"b");
    TWideTreeNode* c = nodes.Add(nullptr, L"c");
    TWideTreeNode* c1 = nodes.AddChild(c, L"c1");
    a1->Expand(false);
    tv->SetSelected(a11);

    struct Case {
        TWideTreeNode* node;
        TWideTreeNode* destination;
        TNodeAttachMode mode;
        std::wstring shape;
    };
    const Case cases[] = {
        {a1, c1, naInsert, L"a|.a2|b|c|.a1|..a11|.c1|"},
        {a1, b, naAddChildFirst, L"a|.a2|b|.a1|..a11|c|.c1|"},
        {a1, c, naAddChild, L"a|.a2|b|c|.c1|.a1|..a11|"},
        {a1, c1, naAddFirst, L"a|.a2|b|c|.a1|..a11|.c1|"},
        {a1, a, naAdd, L"a|.a2|b|c|.c1|a1|.a11|"},
        {a1, nullptr, naAddChildFirst, L"a1|.a11|a|.a2|b|c|.c1|"},
        {c, a1, naInsert, L"c|.c1|a1|.a11|a|.a2|b|"},
        {a1, a1, naAdd, L""},  // refused: onto itself
        {c, c1, naAddChild, L""},  // refused: into its own subtree
    };
    for (const Case& one : cases) {
        const std::wstring before = Shape(nodes);
        const bool moved = one.node->MoveTo(one.destination, one.mode);
        const std::wstring expected = one.shape.empty() ? before : one.shape;
        EXPECT_EQ(moved, !one.shape.empty()) << testsupport::Narrow(one.node->Text()) << " mode " << one.mode;
        EXPECT_EQ(Shape(nodes), expected) << testsupport::Narrow(one.node->Text()) << " mode " << one.mode;
        // The window shows the same nodes under the same parents, the selection where it was.
        for (TWideTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext()) {
            ASSERT_NE(n->ItemId(), nullptr);
            EXPECT_EQ(WindowText(tv, n), n->Text());
            EXPECT_EQ(TreeView_GetParent(tv->Handle(), n->ItemId()), n->GetParent() ? n->GetParent()->ItemId() : nullptr);
        }
        EXPECT_EQ(tv->Selected(), a11);
        EXPECT_TRUE(a1->Expanded());
    }

    // A chain of 100,000 moves below another node.
    constexpr int kDepth = 100000;
    nodes.Clear();
    TWideTreeView hidden(nullptr);
    TWideTreeNode* deepest = BuildChain(hidden.Items(), kDepth);
    TWideTreeNode* other = hidden.Items().Add(nullptr, L"other");
    EXPECT_TRUE(hidden.Items().GetFirstNode()->MoveTo(other, naAddChild));
    EXPECT_EQ(deepest->Level(), kDepth);
    EXPECT_EQ(hidden.Items().GetFirstNode(), other);
    EXPECT_FALSE(other->MoveTo(deepest, naAddChild));
}

// A leaf moved one place up or down among leaves: the window shows the level in the new
// order (each item naming its node), a selection on either leaf stays on its node, and a
// leaf with a neighbour that has children moves as any node does.
TEST_F(TreeTest, MoveToAmongNeighbouringLeavesKeepsWindowAndSelection) {
    auto* tv = Add<TWideTreeView>(8, 8, 300, 300);
    Show();
    TWideTreeNodes& nodes = tv->Items();
    TWideTreeNode* x = nodes.Add(nullptr, L"x");
    TWideTreeNode* y = nodes.Add(nullptr, L"y");
    TWideTreeNode* z = nodes.Add(nullptr, L"z");
    TWideTreeNode* f = nodes.Add(nullptr, L"f");
    nodes.AddChild(f, L"f1");
    struct Case {
        TWideTreeNode* node;
        TWideTreeNode* destination;
        TWideTreeNode* selected;
        std::wstring shape;
    };
    const Case cases[] = {
        {z, y, y, L"x|z|y|f|.f1|"},  // y one place down
        {z, x, z, L"z|x|y|f|.f1|"},  // z one place up
        {y, x, x, L"z|y|x|f|.f1|"},
        {f, x, f, L"z|y|f|.f1|x|"},  // a folder: the whole subtree
        {x, f, y, L"z|y|x|f|.f1|"},
    };
    for (const Case& one : cases) {
        tv->SetSelected(one.selected);
        EXPECT_TRUE(one.node->MoveTo(one.destination, naInsert)) << testsupport::Narrow(one.node->Text());
        EXPECT_EQ(Shape(nodes), one.shape);
        for (TWideTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext()) {
            EXPECT_EQ(WindowText(tv, n), n->Text());
            EXPECT_EQ(nodes.GetNode(n->ItemId()), n);
            TWideTreeNode* next = n->GetNextSibling();
            EXPECT_EQ(TreeView_GetNextSibling(tv->Handle(), n->ItemId()), next ? next->ItemId() : nullptr)
                << testsupport::Narrow(one.shape);
        }
        EXPECT_EQ(tv->Selected(), one.selected) << testsupport::Narrow(one.shape);
    }
}
