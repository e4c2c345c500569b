#include "controls/toolbar/tbview.h"

#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "controls/toolbar/tbcommon.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace toolbar;
using namespace classlib;
using testsupport::MemoryDib;

namespace {

// The window a view paints in.
class Bar : public TCustomControl {
public:
    explicit Bar(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 300, 40); }
    TBarView* View = nullptr;

protected:
    void Paint() override {
        if (View) View->DrawSubitems(Canvas());
    }
};

// The captions of the items the view's viewers show, with "." per embedding level.
std::vector<std::wstring> Shown(TBarView& view) {
    std::vector<std::wstring> list;
    for (int i = 0; i < view.ViewerCount(); ++i) {
        TBarItemViewer* v = view.Viewers(i);
        list.push_back(std::wstring(static_cast<size_t>(v->GroupLevel()), L'.') + v->Item()->Caption());
    }
    return list;
}

TBarCustomItem* NewItem(TBarCustomItem* parent, const std::wstring& caption, int at = -1) {
    auto* item = new TBarCustomItem(parent);
    item->SetCaption(caption);
    if (at < 0)
        parent->Add(item);
    else
        parent->Insert(at, item);
    return item;
}

// Does something when it hears a given action (registered before the view, so it runs first).
class Meddler : public TBarItemChangeListener {
public:
    std::function<void(TBarItemChangedAction, TBarCustomItem*)> On;
    void ItemChanged(TBarCustomItem*, bool, TBarItemChangedAction action, int, TBarCustomItem* item) override {
        if (On) On(action, item);
    }
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window = new Bar(nullptr);
        View = std::make_unique<TBarView>(nullptr, nullptr, &Root, Window, true, false, true);
        Window->View = View.get();
    }
    void TearDown() override {
        View.reset();
        delete Window;
    }
    TBarRootItem Root{nullptr};
    Bar* Window = nullptr;
    std::unique_ptr<TBarView> View;
};

using Texts = std::vector<std::wstring>;

}  // namespace

TEST_F(ViewTest, ViewersFollowTheItemsAndShowEmbeddedGroupsInline) {
    NewItem(&Root, L"a");
    auto* group = NewItem(&Root, L"g");
    NewItem(&Root, L"z");
    NewItem(group, L"g1");
    NewItem(group, L"g2");
    EXPECT_EQ(Shown(*View), (Texts{L"a", L"g", L"z"}));  // not a group yet
    group->SetItemStyle(group->ItemStyle() | tbstEmbeddedGroup);
    group->NotifySelf(tbicSubitemsChanged, -1, nullptr);  // a relayed change rebuilds
    EXPECT_EQ(Shown(*View), (Texts{L"a", L"g", L".g1", L".g2", L"z"}));

    NewItem(group, L"g0", 0);
    NewItem(group, L"g3");
    NewItem(&Root, L"b", 1);
    EXPECT_EQ(Shown(*View), (Texts{L"a", L"b", L"g", L".g0", L".g1", L".g2", L".g3", L"z"}));

    // A group that shows another item's sub-items hears of that item's changes.
    TBarCustomItem shared(nullptr);
    NewItem(&shared, L"s1");
    auto* linker = NewItem(&Root, L"l");
    linker->SetItemStyle(linker->ItemStyle() | tbstEmbeddedGroup);
    linker->SetLinkSubitems(&shared);
    EXPECT_EQ(Shown(*View).back(), L".s1");
    NewItem(&shared, L"s0", 0);
    EXPECT_EQ(Shown(*View), (Texts{L"a", L"b", L"g", L".g0", L".g1", L".g2", L".g3", L"z", L"l", L".s0", L".s1"}));

    delete group->Items(1);  // g1
    Root.Move(0, 4);         // a to the end
    delete linker;
    EXPECT_EQ(Shown(*View), (Texts{L"b", L"g", L".g0", L".g2", L".g3", L"z", L"a"}));
    EXPECT_EQ(View->PriorityList().size(), 7u);
    EXPECT_EQ(View->ViewerOfItem(group)->Item(), group);
    try {
        View->ViewerOfItem(&shared);
        FAIL() << "no viewer of an item not shown";
    } catch (const ETBItemError& e) {
        EXPECT_EQ(e.Message(), L"An item viewer associated the specified item could not be found");
    }
}

TEST_F(ViewTest, ListenersThatChangeTheListDuringANotification) {
    NewItem(&Root, L"a");
    NewItem(&Root, L"z");
    Meddler meddler;
    TBarCustomItem* rejected = nullptr;
    // Registered on the root before the view: it runs first and changes the list.
    View.reset();
    Root.AddChangeListener(&meddler);
    View = std::make_unique<TBarView>(nullptr, nullptr, &Root, Window, true, false, true);
    Window->View = View.get();

    // Taking an item out again while its insertion is told: the view shows no ghost.
    meddler.On = [&](TBarItemChangedAction action, TBarCustomItem* item) {
        if (action == tbicInserted && item->Caption() == L"x") {
            rejected = item;
            Root.Remove(item);
        }
    };
    std::unique_ptr<TBarCustomItem> x(new TBarCustomItem(nullptr));
    x->SetCaption(L"x");
    Root.Insert(1, x.get());
    EXPECT_EQ(rejected, x.get());
    EXPECT_EQ(x->Parent(), nullptr);
    EXPECT_EQ(Shown(*View), (Texts{L"a", L"z"}));

    // Inserting another item (before it) while one insertion is told: both in order.
    meddler.On = [&](TBarItemChangedAction action, TBarCustomItem* item) {
        if (action == tbicInserted && item->Caption() == L"m") {
            meddler.On = nullptr;
            NewItem(&Root, L"l", 1);
        }
    };
    NewItem(&Root, L"m", 1);
    EXPECT_EQ(Shown(*View), (Texts{L"a", L"l", L"m", L"z"}));

    // Moving an item away while its deletion is told.
    meddler.On = [&](TBarItemChangedAction action, TBarCustomItem* item) {
        if (action == tbicInserted && item->Caption() == L"a") {
            meddler.On = nullptr;
            Root.Move(Root.IndexOf(item), 0);
        }
    };
    Root.Move(0, 3);  // a to the end, moved back to the front while it is inserted
    EXPECT_EQ(Shown(*View), (Texts{L"a", L"l", L"m", L"z"}));
    for (int i = 0; i < Root.Count(); ++i) EXPECT_EQ(View->Viewers(i)->Item(), Root.Items(i));

    View.reset();
    Root.RemoveChangeListener(&meddler);
}

TEST_F(ViewTest, PositionsAreComputedOnceTheUpdateEndsOrWhenNeeded) {
    NewItem(&Root, L"One");
    // Hidden window: nothing is laid out until something needs the positions.
    EXPECT_FALSE(View->PositionsValid());
    EXPECT_EQ(View->ViewerAtPoint({2, 2}), View->Viewers(0));
    EXPECT_TRUE(View->PositionsValid());
    const SIZE one = View->BaseSize();
    EXPECT_GT(one.cx, 0);

    TForm form(nullptr);
    form.SetBounds(100, 100, 400, 120);
    Window->SetParent(&form);
    form.Show();
    ASSERT_TRUE(IsWindowVisible(Window->Handle()));
    NewItem(&Root, L"Two");  // showing: laid out at once
    EXPECT_TRUE(View->PositionsValid());
    EXPECT_GT(View->BaseSize().cx, one.cx);
    View->BeginUpdate();
    NewItem(&Root, L"Three");
    Root.Items(0)->SetCaption(L"Changed");
    EXPECT_FALSE(View->PositionsValid());
    View->EndUpdate();
    EXPECT_TRUE(View->PositionsValid());
    EXPECT_EQ(View->Viewers(2)->BoundsRect.left, View->Viewers(1)->BoundsRect.right);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return GetUpdateRect(Window->Handle(), nullptr, FALSE) == FALSE; }));
    Window->SetParent(nullptr);
}

TEST_F(ViewTest, HostedControlsFollowTheirItems) {
    auto* first = NewItem(&Root, L"A");
    auto* control = new TCustomControl(nullptr);
    control->SetBounds(0, 0, 50, 18);
    control->SetParent(Window);
    auto* item = new TBarControlItem(&Root, control);
    Root.Add(item);
    auto* elsewhere = new TBarControlItem(&Root, new TCustomControl(nullptr));  // not on the bar
    Root.Add(elsewhere);
    View->EnsurePositionsValid();
    const RECT r = View->ViewerOfItem(item)->BoundsRect;
    EXPECT_EQ(r.left, View->ViewerOfItem(first)->BoundsRect.right);
    EXPECT_EQ(control->Left(), r.left);
    EXPECT_EQ(control->Top(), r.top);
    EXPECT_FALSE(View->ViewerOfItem(elsewhere)->Show);

    control->SetVisible(false);
    item->Change(true);
    View->EnsurePositionsValid();
    EXPECT_FALSE(View->ViewerOfItem(item)->Show);
}

TEST_F(ViewTest, GivingPriorityAndLosingTheParentItem) {
    auto* a = NewItem(&Root, L"a");
    auto* b = NewItem(&Root, L"b");
    NewItem(&Root, L"c");
    View->GivePriority(View->ViewerOfItem(b));
    EXPECT_EQ(View->PriorityList().front()->Item(), b);
    EXPECT_EQ(View->HighestPriorityViewer(), nullptr);  // nothing shown yet
    View->EnsurePositionsValid();
    EXPECT_EQ(View->HighestPriorityViewer()->Item(), b);
    View->NewViewersGetHighestPriority = false;
    NewItem(&Root, L"d");
    EXPECT_EQ(View->PriorityList().back()->Item()->Caption(), L"d");
    (void)a;

    // A view whose level goes shows nothing.
    TBarCustomItem* level = new TBarCustomItem(nullptr);
    NewItem(level, L"x");
    TBarView other(nullptr, nullptr, level, Window, false, false, false);
    EXPECT_EQ(Shown(other), Texts{L"x"});
    delete level;
    EXPECT_EQ(other.ViewerCount(), 0);
    EXPECT_EQ(other.ParentItem(), nullptr);

    // A link target that goes: the item's own sub-items show again.
    auto* target = new TBarRootItem(nullptr);
    NewItem(target, L"t");
    auto* linked = new TBarCustomItem(nullptr);
    NewItem(linked, L"own");
    TBarView third(nullptr, nullptr, linked, Window, false, false, false);
    linked->SetLinkSubitems(target);
    EXPECT_EQ(Shown(third), Texts{L"t"});
    delete target;
    EXPECT_EQ(Shown(third), Texts{L"own"});
    delete linked;
    EXPECT_EQ(third.ViewerCount(), 0);
}

TEST_F(ViewTest, MenuPaintingHighlightsTheSelectedItemAndEtchesSeparators) {
    View.reset();
    View = std::make_unique<TBarView>(nullptr, nullptr, &Root, Window, false, false, false);  // a menu
    Window->View = View.get();
    NewItem(&Root, L"First");
    Root.Add(new TBarSeparatorItem(&Root));
    auto* second = NewItem(&Root, L"Second");
    View->EnsurePositionsValid();
    TBarItemViewer* s = View->ViewerOfItem(second);
    TBarItemViewer* sep = View->Viewers(1);
    View->Select(s, false);

    MemoryDib dib(300, 200, RGB(1, 2, 3));
    TCanvas canvas;
    {
        TCanvasDCScope scope(canvas, dib.DC);
        View->DrawSubitems(canvas);
    }
    const COLORREF highlight = GetSysColor(FlatMenusActive() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
    const RECT r = s->BoundsRect;
    EXPECT_EQ(dib.Pixel(r.left + 2, r.top + 1), highlight);  // no image: the whole row
    EXPECT_EQ(dib.Pixel(r.right - 2, r.bottom - 2), highlight);
    const RECT f = View->Viewers(0)->BoundsRect;
    EXPECT_EQ(dib.Pixel(f.left + 2, f.top + 1), RGB(1, 2, 3));  // unselected: left as it was
    const RECT e = sep->BoundsRect;
    const int y = e.top + (e.bottom - e.top) / 2 - 1;
    EXPECT_EQ(dib.Pixel((e.left + e.right) / 2, y), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(dib.Pixel(e.left + 5, y), RGB(1, 2, 3));  // inset 12 in menus
}
