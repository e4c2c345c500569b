// Drag and drop on the tree's side: the drop target driven by direct calls to the drag
// manager (drop node and mode, effects, auto-expand, the drop), the drop source's answers,
// and one whole drag through the system's drag loop.
#include <atomic>
#include <memory>
#include <thread>

#include "classlib/comobject.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "controls/gridtree/gridtree_dataobject.h"
#include "controls/gridtree/gridtree_dragmanager.h"
#include "controls/gridtree/stringtree.h"
#include "transfer_test_support.h"

using namespace gridtree;

namespace {

// Two string trees side by side on a form: the source (nodes "A".."C") and the target
// (nodes "X", "Y" with a child "Z" below Y). Both accept drops and take the tree format.
struct TTwoTrees {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TGridStringTree* Source = new TGridStringTree();
    TGridStringTree* Target = new TGridStringTree();
    bool Accept = true;
    int Drops = 0;

    TTwoTrees() {
        Form->SetBounds(20, 20, 520, 300);
        for (TGridStringTree* tree : {Source, Target}) {
            tree->SetParent(Form.get());
            tree->ClipboardFormats().Add(L"Grid Tree Data");
            tree->OnGetText = [](TBaseGridTree* T, PGridNode Node, TColumnIndex, TGSTTextType, std::wstring& Text) {
                Text = static_cast<TGridStringTree*>(T)->DefaultText() + std::to_wstring(uint32_t(Node->Index));
            };
            tree->OnDragOver = [this](TBaseGridTree*, classlib::TComponent*, classlib::TShiftState,
                                      classlib::TDragState, POINT, TGTDropMode, DWORD&, bool& Accepted) {
                Accepted = Accept;
            };
        }
        Source->SetBounds(0, 0, 240, 200);
        Target->SetBounds(250, 0, 240, 200);
        Source->SetDefaultText(L"S");
        Target->SetDefaultText(L"T");
        Source->SetRootNodeCount(3);
        Target->SetRootNodeCount(2);
        Target->SetChildCount(Target->GetLastNoInit(), 1);
        Target->OnDragDrop = [this](TBaseGridTree* Sender, classlib::TComponent* From, IDataObject* Data,
                                    const std::vector<CLIPFORMAT>& Formats, classlib::TShiftState, POINT, DWORD& Effect,
                                    TGTDropMode Mode) {
            ++Drops;
            EXPECT_NE(Formats.end(), std::find(Formats.begin(), Formats.end(), TreeDataClipboardFormat()));
            auto* tree = static_cast<TBaseGridTree*>(Sender);
            TGTNodeAttachMode attach = Mode == dmAbove ? amInsertBefore : Mode == dmBelow ? amInsertAfter : amAddChildLast;
            tree->ProcessOLEData(dynamic_cast<TBaseGridTree*>(From), Data, tree->DropTargetNode(), attach,
                                 Effect == DROPEFFECT_MOVE);
        };
        Form->Show();
        PumpMessages();
    }
    ~TTwoTrees() { Form->Hide(); }

    classlib::TComPtr<IDropTarget> DropTarget(TBaseGridTree* Tree) {
        classlib::TComPtr<IDropTarget> target;
        Tree->GetDragManager()->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(target.Put()));
        return target;
    }
    // A screen point of the tree: Y inside row Row at Fraction of its height; X at the row's
    // text (OnText) or near the right edge.
    POINTL At(TBaseGridTree* Tree, int Row, double Fraction, bool OnText) {
        PGridNode node = Tree->GetFirstVisible();
        for (int r = 0; r < Row && node; ++r) node = Tree->GetNextVisible(node);
        RECT text = node ? Tree->GetDisplayRect(node, NoColumn, true) : RECT{0, Row * 18, 10, Row * 18 + 18};
        POINT p{OnText ? (text.left + text.right) / 2 : Tree->ClientWidth() - 5,
                LONG(text.top + Fraction * double(text.bottom - text.top))};
        p = Tree->ClientToScreen(p);
        return POINTL{p.x, p.y};
    }
    classlib::TComPtr<IDataObject> SourceData() {
        Source->ClearSelection();
        Source->SetSelected(Source->GetFirst(), true);
        return classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(Source, false));
    }
};

}  // namespace

TEST(GridTreeDrag, SuggestedEffects) {
    TKeyTree tree, other;
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    using classlib::ssAlt;
    using classlib::ssCtrl;
    using classlib::ssShift;
    const struct {
        bool FromSelf;
        classlib::TShiftState Shift;
        DWORD Allowed, Expected;
    } cases[] = {
        {true, 0, all, DROPEFFECT_MOVE},
        {false, 0, all, DROPEFFECT_COPY},
        {true, ssCtrl, all, DROPEFFECT_COPY},
        {false, ssShift, all, DROPEFFECT_MOVE},
        {true, ssCtrl | ssShift, all, DROPEFFECT_LINK},
        {true, ssAlt, all, DROPEFFECT_LINK},
        {true, ssCtrl, DROPEFFECT_MOVE, DROPEFFECT_MOVE},  // copy not allowed: the default
        {false, 0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE | DROPEFFECT_LINK},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Expected, tree.SuggestDropEffect(c.FromSelf ? &tree : &other, c.Shift, POINT{}, c.Allowed))
            << c.FromSelf << " " << c.Shift << " " << c.Allowed;
}

TEST(GridTreeDrag, DropSourceAnswers) {
    TKeyTree tree;
    classlib::TComPtr<IDropSource> source;
    ASSERT_EQ(S_OK, tree.GetDragManager()->QueryInterface(IID_IDropSource, reinterpret_cast<void**>(source.Put())));
    EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(TRUE, MK_LBUTTON));
    EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON));
    EXPECT_EQ(DRAGDROP_S_DROP, source->QueryContinueDrag(FALSE, 0));
    EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_RBUTTON));
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source->GiveFeedback(DROPEFFECT_COPY));
}

TEST(GridTreeDrag, DropTargetFollowsTheCursor) {
    TTwoTrees trees;
    auto data = trees.SourceData();
    auto target = trees.DropTarget(trees.Target);
    TBaseGridTree* tree = trees.Target;
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target->DragEnter(data.Get(), 0, trees.At(tree, 0, 0.5, true), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);  // from another tree
    EXPECT_EQ(trees.Source, tree->GetDragManager()->DragSourceTree());
    EXPECT_EQ(tree->GetFirst(), tree->DropTargetNode());
    EXPECT_EQ(dmOnNode, tree->LastDropMode());
    const struct {
        int Row;
        double Fraction;
        bool OnText;
        TGTDropMode Mode;
    } moves[] = {
        {0, 0.8, false, dmBelow}, {1, 0.2, false, dmAbove}, {1, 0.5, true, dmOnNode}, {5, 0.5, false, dmNowhere}};
    for (const auto& m : moves) {
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(S_OK, target->DragOver(MK_CONTROL, trees.At(tree, m.Row, m.Fraction, m.OnText), &effect));
        EXPECT_EQ(m.Mode, tree->LastDropMode()) << m.Row << " " << m.Fraction;
        EXPECT_EQ(m.Mode == dmNowhere, tree->DropTargetNode() == nullptr);
        EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
    }
    trees.Accept = false;
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragOver(0, trees.At(tree, 0, 0.5, true), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    ASSERT_EQ(S_OK, target->DragLeave());
    EXPECT_EQ(nullptr, tree->DropTargetNode());
    EXPECT_FALSE(tree->GetDragManager()->InDropTarget());
}

TEST(GridTreeDrag, DropInsertsTheDraggedNodes) {
    TTwoTrees trees;
    auto data = trees.SourceData();
    auto target = trees.DropTarget(trees.Target);
    TBaseGridTree* tree = trees.Target;
    PGridNode second = tree->GetFirst()->NextSiblingNode;
    DWORD effect = DROPEFFECT_COPY;
    const POINTL below = trees.At(tree, 0, 0.8, false);
    ASSERT_EQ(S_OK, target->DragEnter(data.Get(), 0, below, &effect));
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->Drop(data.Get(), 0, below, &effect));
    EXPECT_EQ(1, trees.Drops);
    EXPECT_EQ(4u, tree->TotalCount());
    // The copy went below the first node.
    EXPECT_NE(second, tree->GetFirst()->NextSiblingNode);
    EXPECT_EQ(second, tree->GetFirst()->NextSiblingNode->NextSiblingNode);
    EXPECT_EQ(nullptr, tree->DropTargetNode());
    ASSERT_NO_FATAL_FAILURE(CheckInvariants(*tree));

    // A drop the owner refuses while dragging over fails without reaching OnDragDrop.
    trees.Accept = false;
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(data.Get(), 0, below, &effect));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(E_FAIL, target->Drop(data.Get(), 0, below, &effect));
    EXPECT_EQ(1, trees.Drops);

    // An exception in the owner's drop handler does not travel into the system's loop.
    trees.Accept = true;
    tree->OnDragDrop = [](TBaseGridTree*, classlib::TComponent*, IDataObject*, const std::vector<CLIPFORMAT>&,
                          classlib::TShiftState, POINT, DWORD&, TGTDropMode) {
        throw classlib::Exception(L"落とせません");
    };
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(data.Get(), 0, below, &effect));
    EXPECT_EQ(E_UNEXPECTED, target->Drop(data.Get(), 0, below, &effect));
    const auto queued = classlib::QueuedExceptionMessages();
    EXPECT_NE(queued.end(), std::find(queued.begin(), queued.end(), L"落とせません"));
    classlib::DiscardQueuedExceptions();
}

TEST(GridTreeDrag, HoveringExpandsAndReportModeNeedsTheLabel) {
    TTwoTrees trees;
    auto data = trees.SourceData();
    auto target = trees.DropTarget(trees.Target);
    TBaseGridTree* tree = trees.Target;
    tree->SetAutoExpandDelay(20);
    PGridNode parent = tree->GetFirst()->NextSiblingNode;
    ASSERT_TRUE(tree->HasChildren(parent));
    ASSERT_FALSE(tree->Expanded(parent));
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(data.Get(), 0, trees.At(tree, 0, 0.5, true), &effect));
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragOver(0, trees.At(tree, 1, 0.5, true), &effect));
    EXPECT_TRUE(PumpUntil([&] { return tree->Expanded(parent); }));

    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() | toReportMode);
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragOver(0, trees.At(tree, 0, 0.5, false), &effect));
    EXPECT_EQ(nullptr, tree->DropTargetNode());
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragOver(0, trees.At(tree, 0, 0.5, true), &effect));
    EXPECT_EQ(tree->GetFirst(), tree->DropTargetNode());
    target->DragLeave();
}

TEST(GridTreeDrag, TheDragManagerOutlivesItsTree) {
    auto tree = std::make_unique<TKeyTree>();
    classlib::TComPtr<IDropTarget> target;
    tree->GetDragManager()->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(target.Put()));
    tree.reset();
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(E_FAIL, target->DragEnter(nullptr, 0, POINTL{}, &effect));
    EXPECT_EQ(E_FAIL, target->DragOver(0, POINTL{}, &effect));
}

namespace {
// Mouse input as the display delivers it (absolute screen coordinates).
void SendMouse(POINT P, DWORD Flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG(P.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = LONG(P.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | Flags;
    SendInput(1, &input, sizeof input);
}
}  // namespace

TEST(GridTreeDrag, AWholeDragThroughTheSystemLoop) {
    TTwoTrees trees;
    TBaseGridTree* source = trees.Source;
    TBaseGridTree* target = trees.Target;
    std::atomic<bool> over{false};
    auto previous = trees.Target->OnDragOver;
    trees.Target->OnDragOver = [&](TBaseGridTree* T, classlib::TComponent* S, classlib::TShiftState Sh,
                                   classlib::TDragState St, POINT P, TGTDropMode M, DWORD& E, bool& A) {
        previous(T, S, Sh, St, P, M, E, A);
        if (St != classlib::dsDragLeave && target->DropTargetNode()) over = true;
    };
    source->SetSelected(source->GetFirst(), true);
    const POINTL from = trees.At(source, 0, 0.5, true);
    const POINTL to = trees.At(target, 0, 0.8, false);
    SendMouse(POINT{from.x, from.y}, MOUSEEVENTF_LEFTDOWN);
    // The drag loop reads the button from the messages this thread has taken.
    ASSERT_TRUE(PumpUntil([] { return GetKeyState(VK_LBUTTON) < 0; }));
    std::atomic<bool> timedOut{false};
    std::thread mover([&] {
        // Moves over the target once the drag runs, and lets go once the target saw it.
        const bool dragging = testsupport::WaitUntil([&] { return (source->TreeStates() & tsOLEDragging) != 0; });
        if (dragging) {
            for (int step = 1; step <= 4 && !over; ++step) {
                SendMouse(POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4}, 0);
                testsupport::WaitUntil([&] { return over.load(); }, 500);
            }
            testsupport::WaitUntil([&] { return over.load(); });
        }
        timedOut = !dragging || !over;
        SendMouse(POINT{to.x, to.y}, MOUSEEVENTF_LEFTUP);
    });
    POINT press = source->ScreenToClient(POINT{from.x, from.y});
    source->DoDragging(press);
    mover.join();
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(1, trees.Drops);
    EXPECT_EQ(4u, target->TotalCount());
    EXPECT_EQ(3u, source->TotalCount());  // copied, not moved
    EXPECT_FALSE(source->TreeStates() & tsOLEDragging);
    EXPECT_TRUE(source->DragSelection().empty());
}

