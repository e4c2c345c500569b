#include "controls/toolbar/tbitem.h"

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/menus.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace toolbar;

using namespace classlib;
using testsupport::FindOwnDialog;
using testsupport::PumpMessages;

namespace {

struct Event {
    TBarCustomItem* Ancestor;
    bool Relayed;
    TBarItemChangedAction Action;
    int Index;
    TBarCustomItem* Item;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
    return os << "{" << e.Ancestor << "," << e.Relayed << ",action " << e.Action << ",index " << e.Index << ","
              << e.Item << "}";
}

// Records every notification it hears.
class Recorder : public TBarItemChangeListener {
public:
    std::vector<Event> Events;
    std::function<void()> OnEvent;
    void ItemChanged(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action, int index,
                     TBarCustomItem* item) override {
        Events.push_back({ancestor, relayed, action, index, item});
        if (OnEvent) OnEvent();
    }
    std::vector<TBarItemChangedAction> Actions() const {
        std::vector<TBarItemChangedAction> r;
        for (auto& e : Events) r.push_back(e.Action);
        return r;
    }
};

// An item that reports its own destruction.
class TrackedItem : public TBarCustomItem {
public:
    TrackedItem(TComponent* owner, bool* destroyed) : TBarCustomItem(owner), FDestroyed(destroyed) {}
    ~TrackedItem() override { *FDestroyed = true; }

private:
    bool* FDestroyed;
};

std::wstring ErrorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const ETBItemError& e) {
        return e.Message();
    }
    return L"";
}

// A root with three children (owned by the root component itself).
class ItemTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            Kids[i] = new TBarCustomItem(&Root);
            Root.Add(Kids[i]);
        }
        Root.AddChangeListener(&Rec);
    }
    void TearDown() override { Root.RemoveChangeListener(&Rec); }

    TBarRootItem Root{nullptr};
    TBarCustomItem* Kids[3]{};
    Recorder Rec;
};

}  // namespace

TEST_F(ItemTreeTest, InsertPlacesItemsAndNotifiesInsideAnUpdateBracket) {
    auto* item = new TBarCustomItem(&Root);
    Root.Insert(1, item);
    EXPECT_EQ(Root.Count(), 4);
    EXPECT_EQ(Root.GetItem(1), item);
    EXPECT_EQ(Root.GetItem(2), Kids[1]);
    EXPECT_EQ(item->Parent(), &Root);
    std::vector<Event> want{{&Root, false, tbicSubitemsBeginUpdate, -1, nullptr},
                            {&Root, false, tbicInserted, 1, item},
                            {&Root, false, tbicSubitemsEndUpdate, -1, nullptr}};
    EXPECT_EQ(Rec.Events, want);

    auto* last = new TBarCustomItem(&Root);
    Root.Insert(Root.Count(), last);  // at Count: appends
    EXPECT_EQ(Root.GetItem(4), last);
}

TEST_F(ItemTreeTest, BadInsertsRaiseAndChangeNothing) {
    auto* loose = new TBarCustomItem(&Root);
    EXPECT_EQ(ErrorOf([&] { Root.Insert(0, Kids[2]); }), L"Toolbar item already inserted");
    EXPECT_EQ(ErrorOf([&] { Root.Insert(4, loose); }), L"Toolbar item index out of range");
    EXPECT_EQ(ErrorOf([&] { Root.Insert(-1, loose); }), L"Toolbar item index out of range");
    EXPECT_EQ(ErrorOf([&] { Root.GetItem(3); }), L"Toolbar item index out of range");
    EXPECT_EQ(ErrorOf([&] { Root.Delete(-1); }), L"Toolbar item index out of range");
    EXPECT_EQ(ErrorOf([&] { Root.Move(0, 3); }), L"Toolbar item index out of range");
    EXPECT_EQ(Root.Count(), 3);
    EXPECT_EQ(loose->Parent(), nullptr);
    EXPECT_TRUE(Rec.Events.empty());
}

TEST_F(ItemTreeTest, ItemCannotBecomeItsOwnDescendant) {
    auto* grandChild = new TBarCustomItem(&Root);
    Kids[0]->Add(grandChild);
    Root.Remove(Kids[0]);
    // Kids[0] has no parent now, but inserting it below its own child would make a loop.
    EXPECT_EQ(ErrorOf([&] { grandChild->Add(Kids[0]); }), L"Toolbar item already inserted");
    EXPECT_EQ(ErrorOf([&] { Kids[0]->Add(Kids[0]); }), L"Toolbar item already inserted");
    EXPECT_EQ(grandChild->Count(), 0);
    delete Kids[0];
}

TEST_F(ItemTreeTest, DeleteNotifiesFirstAndKeepsTheItemAlive) {
    TBarCustomItem* gone = Kids[1];
    Rec.OnEvent = [&] {
        // While tbicDeleting is heard the item is still in place.
        EXPECT_EQ(Root.IndexOf(gone), 1);
        EXPECT_EQ(gone->Parent(), &Root);
    };
    Root.Delete(1);
    Rec.OnEvent = nullptr;
    std::vector<Event> want{{&Root, false, tbicDeleting, 1, gone}};
    EXPECT_EQ(Rec.Events, want);
    EXPECT_EQ(gone->Parent(), nullptr);
    EXPECT_EQ(Root.IndexOf(gone), -1);
    EXPECT_EQ(Root.Count(), 2);
    Root.Add(gone);  // still usable
    EXPECT_EQ(Root.IndexOf(gone), 2);
}

TEST_F(ItemTreeTest, MoveIsDeleteAndInsertInOneBracket) {
    Root.Move(0, 2);
    EXPECT_EQ(Root.GetItem(0), Kids[1]);
    EXPECT_EQ(Root.GetItem(1), Kids[2]);
    EXPECT_EQ(Root.GetItem(2), Kids[0]);
    std::vector<TBarItemChangedAction> want{tbicSubitemsBeginUpdate, tbicDeleting,         tbicSubitemsBeginUpdate,
                                           tbicInserted,            tbicSubitemsEndUpdate, tbicSubitemsEndUpdate};
    EXPECT_EQ(Rec.Actions(), want);
    Rec.Events.clear();
    Root.Move(1, 1);
    EXPECT_TRUE(Rec.Events.empty());
}

TEST(ItemTree, ClearAndDestructionFreeSubItemsAndFreedItemsLeaveTheirParent) {
    bool a = false, b = false, c = false;
    auto root = std::make_unique<TBarRootItem>(nullptr);
    root->Add(new TrackedItem(nullptr, &a));
    root->Add(new TrackedItem(nullptr, &b));
    root->Clear();
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
    EXPECT_EQ(root->Count(), 0);

    // An item freed by any path leaves its parent's list, with a tbicDeleting.
    auto* sub = new TrackedItem(nullptr, &c);
    root->Add(sub);
    Recorder rec;
    root->AddChangeListener(&rec);
    delete sub;
    EXPECT_EQ(root->Count(), 0);
    ASSERT_EQ(rec.Events.size(), 1u);
    EXPECT_EQ(rec.Events[0].Action, tbicDeleting);
    root->RemoveChangeListener(&rec);

    // The parent's destructor frees what it still holds.
    bool d = false;
    root->Add(new TrackedItem(nullptr, &d));
    root.reset();
    EXPECT_TRUE(d);
}

TEST(ItemTree, OwnerFreesItemsInAnyCreationOrder) {
    bool childGone = false;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* child = new TrackedItem(owner.get(), &childGone);  // created before its parent
    auto* parent = new TBarCustomItem(owner.get());
    parent->Add(child);
    auto* later = new TBarCustomItem(owner.get());  // created after its parent
    parent->Add(later);
    owner.reset();
    EXPECT_TRUE(childGone);
}

TEST_F(ItemTreeTest, PropertyChangesTellTheParentWhetherToResize) {
    struct Case {
        const char* Name;
        std::function<void(TBarCustomItem*)> Apply;
        std::vector<TBarItemChangedAction> Want;
    };
    const std::vector<Case> cases{
        {"caption", [](TBarCustomItem* i) { i->SetCaption(L"&File"); }, {tbicInvalidateAndResize}},
        {"same caption", [](TBarCustomItem* i) { i->SetCaption(L""); }, {}},
        {"enabled", [](TBarCustomItem* i) { i->SetEnabled(false); }, {tbicInvalidate}},
        {"checked", [](TBarCustomItem* i) { i->SetChecked(true); }, {tbicInvalidate}},
        {"visible", [](TBarCustomItem* i) { i->SetVisible(false); }, {tbicInvalidateAndResize}},
        {"radio", [](TBarCustomItem* i) { i->SetRadioItem(true); }, {tbicInvalidate}},
        {"display mode", [](TBarCustomItem* i) { i->SetDisplayMode(nbdmTextOnly); }, {tbicInvalidateAndResize}},
        {"image -1 to 0", [](TBarCustomItem* i) { i->SetImageIndex(0); }, {tbicInvalidateAndResize}},
        {"image 2 to 3", [this](TBarCustomItem* i) { i->SetImageIndex(2); Rec.Events.clear(); i->SetImageIndex(3); },
         {tbicInvalidate}},
        {"image 3 to -1", [this](TBarCustomItem* i) { i->SetImageIndex(3); Rec.Events.clear(); i->SetImageIndex(-1); },
         {tbicInvalidateAndResize}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* item = new TBarCustomItem(&Root);
        Root.Add(item);
        Rec.Events.clear();
        c.Apply(item);
        EXPECT_EQ(Rec.Actions(), c.Want);
        for (auto& e : Rec.Events) {
            EXPECT_EQ(e.Index, -1);
            EXPECT_EQ(e.Item, item);
        }
    }
}

TEST_F(ItemTreeTest, CheckingARadioGroupMemberUnchecksTheOthers) {
    auto* other = new TBarCustomItem(&Root);
    Root.Add(other);  // group 0: independent
    for (auto* k : Kids) k->SetGroupIndex(5);
    other->SetChecked(true);
    Kids[0]->SetChecked(true);
    Kids[1]->SetChecked(true);
    EXPECT_FALSE(Kids[0]->Checked());
    EXPECT_TRUE(Kids[1]->Checked());
    EXPECT_FALSE(Kids[2]->Checked());
    EXPECT_TRUE(other->Checked());
    // Joining the group while checked applies the rule too.
    other->SetGroupIndex(5);
    EXPECT_FALSE(Kids[1]->Checked());
    EXPECT_TRUE(other->Checked());
}

TEST_F(ItemTreeTest, EffectiveOptionsInheritMaskAndNormalise) {
    Root.SetOptions(tboDefault | tboShowHint);
    EXPECT_EQ(Root.EffectiveOptions(), tboDefault | tboShowHint);
    EXPECT_EQ(Kids[0]->EffectiveOptions(), tboShowHint);  // tboDefault is never inherited
    Kids[0]->SetMaskOptions(tboShowHint);
    EXPECT_EQ(Kids[0]->EffectiveOptions(), 0);
    Kids[1]->SetInheritOptions(false);
    EXPECT_EQ(Kids[1]->EffectiveOptions(), 0);

    // Down the tree, and for items inserted later.
    auto* grand = new TBarCustomItem(&Root);
    Kids[2]->Add(grand);
    EXPECT_EQ(grand->EffectiveOptions(), tboShowHint);
    Root.SetOptions(tboNoAutoHint);
    EXPECT_EQ(grand->EffectiveOptions(), tboNoAutoHint);

    // Toolbar size needs toolbar style.
    Kids[1]->SetOptions(tboToolbarSize);
    EXPECT_EQ(Kids[1]->Options(), 0);
    EXPECT_EQ(Kids[1]->EffectiveOptions(), 0);
    Kids[1]->SetOptions(tboToolbarSize | tboToolbarStyle);
    EXPECT_EQ(Kids[1]->EffectiveOptions(), tboToolbarSize | tboToolbarStyle);
}

TEST_F(ItemTreeTest, OnlyLookChangingOptionsResize) {
    Kids[0]->SetOptions(tboShowHint);  // not in the resize mask
    EXPECT_TRUE(Rec.Events.empty());
    Kids[0]->SetOptions(tboShowHint | tboDropdownArrow);
    EXPECT_EQ(Rec.Actions(), std::vector<TBarItemChangedAction>{tbicInvalidateAndResize});
}

TEST(ItemTree, ShortCutText) {
    struct Case {
        const wchar_t* Caption;
        TShortCut Key;
        std::wstring Want;
    };
    const std::vector<Case> cases{
        {L"Open\tCtrl+Q", ShortCut('O', ssCtrl), L"Ctrl+Q"},  // explicit text wins
        {L"Open\t", ShortCut('O', ssCtrl), L"Ctrl+O"},        // a trailing TAB does not count
        {L"Open", ShortCut('O', ssCtrl), L"Ctrl+O"},
        {L"Open", 0, L""},
    };
    for (const auto& c : cases) {
        TBarCustomItem item(nullptr);
        item.SetCaption(c.Caption);
        item.SetShortCut(c.Key);
        EXPECT_EQ(item.GetShortCutText(), c.Want) << testing::PrintToString(std::wstring(c.Caption));
    }
}

TEST_F(ItemTreeTest, ListenersAreCountedAndMayRemoveThemselvesWhileCalled) {
    Recorder second, third;
    Root.AddChangeListener(&second);
    Root.AddChangeListener(&second);
    Root.AddChangeListener(&third);
    Root.RemoveChangeListener(&second);  // still registered once
    Rec.OnEvent = [&] { Root.RemoveChangeListener(&Rec); Root.AddChangeListener(&Rec); Root.RemoveChangeListener(&Rec); };
    Kids[0]->SetCaption(L"x");
    Rec.OnEvent = nullptr;
    // Rec removed itself on its call; the listener that moved into its place still heard.
    EXPECT_EQ(Rec.Events.size(), 1u);
    EXPECT_EQ(second.Events.size(), 1u);
    EXPECT_EQ(third.Events.size(), 1u);
    Root.RemoveChangeListener(&second);
    Kids[0]->SetCaption(L"y");
    EXPECT_EQ(second.Events.size(), 1u);
    EXPECT_EQ(third.Events.size(), 2u);
    Root.RemoveChangeListener(&third);
    Root.AddChangeListener(&Rec);  // for TearDown
}

TEST_F(ItemTreeTest, ARaisingListenerStillGetsTheEndOfTheUpdate) {
    Rec.OnEvent = [&] {
        if (Rec.Events.back().Action == tbicInserted) throw Exception(L"boom");
    };
    auto* item = new TBarCustomItem(&Root);
    EXPECT_THROW(Root.Add(item), Exception);
    Rec.OnEvent = nullptr;
    EXPECT_EQ(Rec.Events.back().Action, tbicSubitemsEndUpdate);
}

TEST_F(ItemTreeTest, EmbeddedGroupsAndLinksRelayToTheShowingParent) {
    auto* group = new TBarCustomItem(&Root);
    group->SetItemStyle(group->ItemStyle() | tbstEmbeddedGroup);
    Root.Add(group);
    Rec.Events.clear();
    auto* inGroup = new TBarCustomItem(&Root);
    group->Add(inGroup);
    ASSERT_EQ(Rec.Events.size(), 3u);
    EXPECT_EQ(Rec.Events[1], (Event{group, true, tbicInserted, 0, inGroup}));

    // An embedded link shows another item's sub-items: their changes reach the root too,
    // with the link as the ancestor.
    TBarCustomItem target(nullptr);
    auto* link = new TBarCustomItem(&Root);
    link->SetItemStyle(link->ItemStyle() | tbstEmbeddedGroup);
    Root.Add(link);
    Recorder onLink;
    link->AddChangeListener(&onLink);
    link->SetLinkSubitems(&target);
    EXPECT_EQ(onLink.Actions(), std::vector<TBarItemChangedAction>{tbicSubitemsChanged});
    ASSERT_EQ(target.LinkParents().size(), 1u);
    Rec.Events.clear();
    auto* linked = new TBarCustomItem(&target);
    target.Add(linked);
    ASSERT_EQ(Rec.Events.size(), 3u);
    EXPECT_EQ(Rec.Events[1], (Event{link, true, tbicInserted, 0, linked}));
    link->RemoveChangeListener(&onLink);
    link->SetLinkSubitems(nullptr);
    EXPECT_TRUE(target.LinkParents().empty());
}

TEST(ItemTree, FreeingALinkTargetOrImageListClearsTheReference) {
    TBarCustomItem item(nullptr);
    auto* target = new TBarCustomItem(nullptr);
    item.SetLinkSubitems(target);
    EXPECT_EQ(item.SubitemsSource(), target);
    item.SetLinkSubitems(&item);  // a link to itself counts as none
    EXPECT_EQ(item.LinkSubitems(), nullptr);
    item.SetLinkSubitems(target);
    delete target;
    EXPECT_EQ(item.LinkSubitems(), nullptr);

    auto* images = new TImageList(nullptr);
    item.SetImages(images);
    item.SetSubMenuImages(images);
    delete images;
    EXPECT_EQ(item.Images(), nullptr);
    EXPECT_EQ(item.SubMenuImages(), nullptr);

    // A link parent freed first leaves the target's list.
    TBarCustomItem target2(nullptr);
    auto* linker = new TBarCustomItem(nullptr);
    linker->SetLinkSubitems(&target2);
    delete linker;
    EXPECT_TRUE(target2.LinkParents().empty());
}

TEST(ItemTree, SeparatorAndControlItemStyles) {
    TBarSeparatorItem sep(nullptr);
    EXPECT_EQ(sep.ItemStyle(), tbstSeparator | tbstClicksTransparent);
    TBarControlItem ctl(nullptr);
    EXPECT_EQ(ctl.ItemStyle(), tbstRedrawOnSelChange | tbstRedrawOnMouseOverChange | tbstClicksTransparent);
    TBarCustomItem plain(nullptr);
    EXPECT_EQ(plain.ItemStyle(), 0x1802);
}

// --- actions ---------------------------------------------------------------------------

TEST(ItemActions, ActionValuesFlowToTheItemUntilChangedByHand) {
    TActionList list(nullptr);
    auto* action = new TAction(&list);
    action->SetCaption(L"開く");
    action->SetShortCut(ShortCut('O', ssCtrl));
    action->SetChecked(true);
    action->SetHint(L"hint");
    action->SetImageIndex(4);
    TBarRootItem root(nullptr);
    auto* item = new TBarCustomItem(&root);
    root.Add(item);
    item->SetAction(action);
    EXPECT_EQ(item->Caption(), L"開く");
    EXPECT_EQ(item->ShortCut(), ShortCut('O', ssCtrl));
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(item->Hint(), L"hint");
    EXPECT_EQ(item->ImageIndex(), 4);

    Recorder rec;
    root.AddChangeListener(&rec);
    action->SetCaption(L"閉じる");
    action->SetEnabled(false);
    action->SetChecked(false);
    action->SetShortCut(ShortCut('W', ssCtrl));
    action->SetVisible(false);
    EXPECT_EQ(item->Caption(), L"閉じる");
    EXPECT_FALSE(item->Enabled());
    EXPECT_FALSE(item->Checked());
    EXPECT_EQ(item->ShortCut(), ShortCut('W', ssCtrl));
    EXPECT_FALSE(item->Visible());
    EXPECT_FALSE(rec.Events.empty());  // the views heard of it
    root.RemoveChangeListener(&rec);

    item->SetCaption(L"own");
    action->SetCaption(L"other");
    EXPECT_EQ(item->Caption(), L"own");

    delete action;
    EXPECT_EQ(item->Action(), nullptr);
}

TEST(ItemActions, LoadingItemTakesOnlyDefaultsFromTheAction) {
    TAction action(nullptr);
    action.SetCaption(L"Action");
    action.SetImageIndex(2);
    TBarCustomItem item(nullptr);
    item.BeginLoading();
    item.SetCaption(L"Mine");
    item.SetAction(&action);
    item.Loaded();
    EXPECT_EQ(item.Caption(), L"Mine");
    EXPECT_EQ(item.ImageIndex(), 2);
}

TEST(ItemActions, ClickRunsTheActionOrTheItemsOwnHandler) {
    TAction action(nullptr);
    int runs = 0, own = 0;
    action.OnExecute = [&](TComponent*) { ++runs; };
    TBarCustomItem item(nullptr);
    item.SetAction(&action);
    item.Click();
    EXPECT_EQ(runs, 1);
    item.SetOnClick([&](TComponent*) { ++own; });
    item.Click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(own, 1);
    item.SetEnabled(false);
    item.Click();
    EXPECT_EQ(own, 1);
}

TEST(ItemActions, AutoCheckTogglesOnClick) {
    TBarCustomItem item(nullptr);
    item.SetAutoCheck(true);
    item.Click();
    EXPECT_TRUE(item.Checked());
    item.Click();
    EXPECT_FALSE(item.Checked());
}

// --- popups and shortcuts --------------------------------------------------------------

TEST(ItemShortCuts, DoPopupFiresOnPopupThenClicksUnlessSplit) {
    TBarCustomItem item(nullptr);
    std::vector<std::string> log;
    item.OnPopup = [&](TBarCustomItem*, bool fromLink) { log.push_back(fromLink ? "popup link" : "popup"); };
    item.OnClick = [&](TComponent*) { log.push_back("click"); };
    item.DoPopup(&item, false);
    EXPECT_EQ(log, (std::vector<std::string>{"popup", "click"}));
    log.clear();
    item.SetItemStyle(item.ItemStyle() | tbstSplitButton);
    item.DoPopup(&item, true);
    EXPECT_EQ(log, (std::vector<std::string>{"popup link"}));
}

TEST(ItemShortCuts, FindsAndClicksThroughSubMenusAndLinks) {
    const TShortCut key = ShortCut('S', ssCtrl);
    TBarRootItem root(nullptr);
    auto* file = new TBarCustomItem(&root);
    root.Add(file);
    auto* save = new TBarCustomItem(&root);
    file->Add(save);
    save->SetShortCut(key);
    int clicks = 0, popups = 0;
    save->OnClick = [&](TComponent*) { ++clicks; };
    file->OnPopup = [&](TBarCustomItem*, bool) { ++popups; };

    TBarCustomItem* top = nullptr;
    EXPECT_EQ(root.FindShortCutItem(key, top), save);
    EXPECT_EQ(top, file);
    EXPECT_TRUE(root.ProcessShortCut(key));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popups, 1);
    EXPECT_FALSE(root.ProcessShortCut(ShortCut('Q', ssCtrl)));

    // Through a link: another root that shows `file`'s sub-items.
    TBarRootItem other(nullptr);
    auto* linker = new TBarCustomItem(&other);
    other.Add(linker);
    linker->SetLinkSubitems(file);
    EXPECT_EQ(other.FindShortCutItem(key, top), save);
    EXPECT_EQ(top, linker);

    // A sub-menu whose OnPopup disables the item: nothing is clicked.
    file->OnPopup = [&](TBarCustomItem*, bool) { save->SetEnabled(false); };
    EXPECT_FALSE(root.ProcessShortCut(key));
    EXPECT_EQ(clicks, 1);

    // A sub-menu whose OnPopup removes the item: the search ends.
    save->SetEnabled(true);
    file->OnPopup = [&](TBarCustomItem*, bool) { file->Remove(save); };
    EXPECT_FALSE(root.ProcessShortCut(key));
    EXPECT_EQ(clicks, 1);
    delete save;
}

TEST(ItemShortCuts, LinkCyclesEndTheSearch) {
    TBarCustomItem a(nullptr), b(nullptr);
    a.SetLinkSubitems(&b);
    auto* inB = new TBarCustomItem(&b);
    b.Add(inB);
    inB->SetLinkSubitems(&b);  // b shows itself below itself
    TBarCustomItem* top = nullptr;
    EXPECT_EQ(a.FindShortCutItem(ShortCut('Z', ssCtrl), top), nullptr);
}

// Menus that rebuild themselves while a shortcut is looked for: the walk may start again
// when the hit moved, but never for ever.
TEST(ItemShortCuts, RestartsAfterARebuildAreBounded) {
    const TShortCut key = ShortCut('R', ssCtrl);
    TBarRootItem root(nullptr);
    auto* first = new TBarCustomItem(&root);
    auto* second = new TBarCustomItem(&root);
    root.Add(first);
    root.Add(second);
    auto* hit = new TBarCustomItem(&root);
    hit->SetShortCut(key);
    int clicks = 0, firstPopups = 0;
    hit->OnClick = [&](TComponent*) { ++clicks; };

    // A rebuild that moves the hit once: found again after one restart.
    first->Add(hit);
    first->OnPopup = [&](TBarCustomItem*, bool) {
        if (++firstPopups == 1) {
            first->Remove(hit);
            second->Add(hit);
        }
    };
    EXPECT_TRUE(root.ProcessShortCut(key));
    EXPECT_EQ(clicks, 1);

    // The root's popup puts the hit under `first`, whose popup moves it under `second`:
    // every walk loses it. The search gives up after a few walks.
    second->Remove(hit);
    first->Add(hit);
    firstPopups = 0;
    int rootPopups = 0;
    root.OnPopup = [&](TBarCustomItem*, bool) {
        ++rootPopups;
        if (hit->Parent() != first) {
            hit->Parent()->Remove(hit);
            first->Add(hit);
        }
    };
    first->OnPopup = [&](TBarCustomItem*, bool) {
        ++firstPopups;
        first->Remove(hit);
        second->Add(hit);
    };
    EXPECT_FALSE(root.ProcessShortCut(key));
    EXPECT_EQ(clicks, 1);
    EXPECT_GE(rootPopups, 2);  // it did start again
    EXPECT_LE(rootPopups, 10);
    EXPECT_EQ(firstPopups, rootPopups);
}

TEST(ItemShortCuts, AMenuShownInsideItselfEndsTheWalk) {
    // b shows c and the hit; c shows b again: every search from c finds the hit through c
    // itself, so the walk would go down c for ever.
    const TShortCut key = ShortCut('Y', ssCtrl);
    TBarRootItem a(nullptr);
    TBarCustomItem b(nullptr);
    a.SetLinkSubitems(&b);
    auto* c = new TBarCustomItem(&b);
    b.Add(c);
    c->SetLinkSubitems(&b);
    auto* hit = new TBarCustomItem(&b);
    b.Add(hit);
    hit->SetShortCut(key);
    int popups = 0;
    c->OnPopup = [&](TBarCustomItem*, bool) { ++popups; };
    a.ProcessShortCut(key);  // returns, whatever it answers
    EXPECT_LE(popups, 200);
}

// --- deferred clicks -------------------------------------------------------------------

TEST(ItemClickQueue, QueuedClicksRunLaterAndNotForFreedItems) {
    TBarCustomItem keeper(nullptr);  // keeps the queue window alive
    int clicks = 0;
    TBarCustomItem item(nullptr);
    item.OnClick = [&](TComponent*) { ++clicks; };
    QueueItemClick(&item);
    EXPECT_EQ(clicks, 0);
    PumpMessages();
    EXPECT_EQ(clicks, 1);

    bool freed = false;
    auto* doomed = new TrackedItem(nullptr, &freed);
    doomed->OnClick = [&](TComponent*) { ++clicks; };
    QueueItemClick(doomed);
    QueueItemClick(&item);
    delete doomed;
    PumpMessages();
    EXPECT_EQ(clicks, 2);  // only `item`
}

TEST(ItemClickQueue, DoneActionClickQueuesUnlessOnlyTheItemIsWanted) {
    TBarCustomItem item(nullptr);
    int clicks = 0;
    item.OnClick = [&](TComponent*) { ++clicks; };
    TBarDoneActionData data;
    data.DoneAction = tbdaClickItem;
    data.ClickItem = &item;
    EXPECT_EQ(ExecuteDoneAction(data, true), &item);
    PumpMessages();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(ExecuteDoneAction(data, false), &item);
    PumpMessages();
    EXPECT_EQ(clicks, 1);
    data.DoneAction = tbdaClose;
    EXPECT_EQ(ExecuteDoneAction(data, false), nullptr);
}

TEST(ItemClickQueue, HelpDoneActionGoesToTheApplicationsHelp) {
    auto saved = Application->OnHelp;
    std::vector<int> asked;
    Application->OnHelp = [&](int context) {
        asked.push_back(context);
        return true;
    };
    TBarDoneActionData data;
    data.DoneAction = tbdaHelpContext;
    data.ContextID = 4711;
    EXPECT_EQ(ExecuteDoneAction(data, false), nullptr);
    Application->OnHelp = saved;
    EXPECT_EQ(asked, std::vector<int>{4711});
    EXPECT_EQ(FindOwnDialog(), nullptr);  // no help window of the old help engine
}

TEST(ItemClickQueue, AFailingClickIsReportedAndTheNextStillRuns) {
    // Clicks go through the application's one queue of deferred calls: no window of their
    // own, and an exception reaches the application's report like any other.
    auto saved = Application->OnException;
    std::wstring reported;
    Application->OnException = [&](TComponent*, const Exception& e) { reported = e.Message(); };
    TBarCustomItem failing(nullptr), next(nullptr);
    int clicks = 0;
    failing.OnClick = [](TComponent*) { throw EConvertError(L"クリック失敗"); };
    next.OnClick = [&](TComponent*) { ++clicks; };
    QueueItemClick(&failing);
    QueueItemClick(&next);
    PumpMessages();
    Application->OnException = saved;
    EXPECT_EQ(reported, L"クリック失敗");
    EXPECT_EQ(clicks, 1);
}

TEST(ItemActions, ActionFreedByASharedOwnerOrUnassignedLeavesNoLink) {
    TComponent owner(nullptr);
    auto* action = new TAction(&owner);
    auto* item = new TBarCustomItem(&owner);
    item->SetAction(action);
    ASSERT_NE(item->ActionLink(), nullptr);
    delete action;
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(item->ActionLink(), nullptr);
    item->Click();  // no action left to run

    TAction other(nullptr);
    item->SetAction(&other);
    item->SetAction(nullptr);
    EXPECT_EQ(item->ActionLink(), nullptr);
    other.SetCaption(L"after");
    EXPECT_NE(item->Caption(), L"after");
}
