#include "controls/toolbar/ui/uitabset.h"

#include <algorithm>

#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"
#include "controls/toolbar/ui/uiwindows.h"

namespace ui {

using namespace classlib;
using namespace toolbar;
using namespace themed;

namespace {

TUiToolbar* NewTabToolbar(TComponent* owner) { return new TUiTabToolbar(owner); }

bool Loading(const TComponent& c) { return (c.ComponentState() & csLoading) != 0; }
bool IsDestroying(const TComponent& c) { return (c.ComponentState() & csDestroying) != 0; }

// Sets `flag` for the life of the scope.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag), FOld(flag) { flag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

}  // namespace

// --- tab set ------------------------------------------------------------------------------------

TUiCustomTabSet::TUiCustomTabSet(TComponent* owner) : TUiCompoundItemsControl(owner, NewUiDock, NewTabToolbar) {
    TabToolbar()->SetTabSet(this);
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
    FBackground = std::make_unique<TBitmap>();
    SetParentColor(false);
    SetBounds(Left(), Top(), 289, Dock()->Height() + 2);
    ApplyColorRule();
    TabToolbar()->Items()->AddChangeListener(&FListener);
}

TUiCustomTabSet::~TUiCustomTabSet() = default;

void TUiCustomTabSet::TearDown() {
    if (TabToolbar()) TabToolbar()->Items()->RemoveChangeListener(&FListener);
    TUiCompoundItemsControl::TearDown();
    FBackground.reset();
}

int TUiCustomTabSet::ActiveTabIndex() const { return TabToolbar() ? TabToolbar()->ActiveTabIndex() : -1; }

void TUiCustomTabSet::SetActiveTabIndex(int value) {
    if (Loading(*this)) {
        FStreamedActiveIndex = value;
        return;
    }
    if (TabToolbar()) TabToolbar()->SetActiveTabIndex(value);
}

TUiTabThemeType TUiCustomTabSet::ThemeType() const { return TabToolbar() ? TabToolbar()->ThemeType() : tttWindows; }

void TUiCustomTabSet::ApplyColorRule() {
    const TUiTabThemeType resolved = ResolveTabThemeType(ThemeType());
    SetColor(resolved == tttNone || resolved == tttFlat ? clBtnFace : clNone);
}

void TUiCustomTabSet::SetThemeType(TUiTabThemeType value) {
    if (!TabToolbar()) return;
    TabToolbar()->SetThemeType(value);
    ApplyColorRule();
    InvalidateBackground(false);
}

TUiTabPosition TUiCustomTabSet::TabPosition() const { return TabToolbar() ? TabToolbar()->TabPosition() : ttpTop; }

void TUiCustomTabSet::SetTabPosition(TUiTabPosition value) {
    TUiTabToolbar* bar = TabToolbar();
    if (!bar || value == bar->TabPosition()) return;
    // A dock that holds a window cannot change its side.
    bar->SetVisible(false);
    bar->SetCurrentDock(nullptr);
    bar->SetParent(nullptr);
    bar->SetTabPosition(value);
    Dock()->SetPosition(value == ttpTop ? dpTop : dpBottom);
    bar->SetCurrentDock(Dock());
    bar->SetVisible(true);
    InvalidateBackground(false);
}

void TUiCustomTabSet::SetTabVisible(bool value) {
    FTabVisible = value;
    if (Dock()) Dock()->SetVisible(value);
}

bool TUiCustomTabSet::TabAutofit() const { return TabToolbar() && TabToolbar()->TabAutofit(); }
void TUiCustomTabSet::SetTabAutofit(bool value) {
    if (TabToolbar()) TabToolbar()->SetTabAutofit(value);
}
int TUiCustomTabSet::TabAutofitMaxSize() const { return TabToolbar() ? TabToolbar()->TabAutofitMaxSize() : -1; }
void TUiCustomTabSet::SetTabAutofitMaxSize(int value) {
    if (TabToolbar()) TabToolbar()->SetTabAutofitMaxSize(value);
}
bool TUiCustomTabSet::TabDragReorder() const { return TabToolbar() && TabToolbar()->TabDragReorder(); }
void TUiCustomTabSet::SetTabDragReorder(bool value) {
    if (TabToolbar()) TabToolbar()->SetTabDragReorder(value);
}
TColor TUiCustomTabSet::TabBackgroundColor() const { return TabToolbar() ? TabToolbar()->Color() : clNone; }
void TUiCustomTabSet::SetTabBackgroundColor(TColor value) {
    if (TabToolbar()) TabToolbar()->SetColor(value);
}

void TUiCustomTabSet::DoDrawBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

bool TUiCustomTabSet::PaintsOwnBackground() { return true; }

bool TUiCustomTabSet::DoActiveTabChanging(int tabIndex, int newTabIndex) {
    if (Loading(*this)) return true;
    bool allow = true;
    if (OnActiveTabChanging) OnActiveTabChanging(this, tabIndex, newTabIndex, allow);
    return allow;
}

void TUiCustomTabSet::DoActiveTabChange(int tabIndex) {
    if (!Loading(*this) && OnActiveTabChange) OnActiveTabChange(this, tabIndex);
}

bool TUiCustomTabSet::DoActiveTabReordering(int tabIndex, int newTabIndex) {
    bool allow = true;
    if (OnActiveTabReordering) OnActiveTabReordering(this, tabIndex, newTabIndex, allow);
    return allow;
}

void TUiCustomTabSet::DoActiveTabReorder(int tabIndex) {
    if (OnActiveTabReorder) OnActiveTabReorder(this, tabIndex);
}

void TUiCustomTabSet::ClickTab(TUiTabItem* tab) {
    if (tab) tab->Click();
}

void TUiCustomTabSet::TabInserted(TUiTabItem* tab) {
    if (!Loading(*this) && TabToolbar()->Items()->Count() == 1) ClickTab(tab);
}

void TUiCustomTabSet::TabDeleted(TUiTabItem*, bool) {
    if (!IsDestroying(*this) && TabToolbar()) TabToolbar()->ScrollTabsLeft();
}

void TUiCustomTabSet::TabSetItemNotification(TBarCustomItem*, bool relayed, TBarItemChangedAction action, int index,
                                             TBarCustomItem* item) {
    TUiTabToolbar* bar = TabToolbar();
    if (!bar || relayed || bar->IsItemLocked()) return;
    auto* tab = dynamic_cast<TUiTabItem*>(item);
    switch (action) {
    case tbicInserted:
        if (index <= bar->ActiveTabIndex()) bar->SetActiveTabIndexField(bar->ActiveTabIndex() + 1);
        if (tab) TabInserted(tab);
        InvalidateBackground(false);
        FMoveState = 0;
        break;
    case tbicDeleting: {
        if (IsDestroying(*this)) break;
        bool neighbourClicked = false;
        {
            TFlagScope busy(FBusy);
            const int active = bar->ActiveTabIndex();
            if (index < active) {
                bar->SetActiveTabIndexField(active - 1);
            } else if (index == active) {
                if (index > 0) {
                    bar->SetActiveTabIndex(index - 1);
                } else if (auto* second = bar->Items()->Count() > 1
                                              ? dynamic_cast<TUiTabItem*>(bar->Items()->GetItem(1))
                                              : nullptr) {
                    ClickTab(second);
                    neighbourClicked = true;
                } else {
                    // No tab is left to show: the control shows that no tab is active.
                    bar->SetActiveTabIndexField(-1);
                    DoActiveTabChange(-1);
                }
            }
            if (tab) {
                if (FMoveState == 1) {
                    FMoveState = 2;
                    FMovedTab = tab;
                } else {
                    FMoveState = 0;
                    TabDeleted(tab, true);
                }
            }
        }
        if (neighbourClicked && HandleAllocated())
            PostMessageW(Handle(), TBM_REACTIVATETAB, 0, 0);
        else
            InvalidateBackground(false);
        break;
    }
    case tbicSubitemsBeginUpdate:
        FMoveState = 1;
        FMovedTab = nullptr;
        break;
    case tbicSubitemsEndUpdate:
        if (FMoveState == 2 && FMovedTab) TabDeleted(FMovedTab, true);
        FMoveState = 0;
        FMovedTab = nullptr;
        break;
    case tbicInvalidate:
        if (!FBusy && tab && tab->Checked() && tab->Enabled()) {
            const int position = bar->Items()->IndexOf(tab);
            if (position >= 0 && position != bar->ActiveTabIndex()) {
                TFlagScope busy(FBusy);
                bar->SetActiveTabIndex(position);
            }
        }
        break;
    default: break;
    }
}

void TUiCustomTabSet::ReactivateTab() {
    TUiTabToolbar* bar = TabToolbar();
    if (bar && bar->ActiveTab()) {
        const int index = bar->ActiveTabIndex();
        bar->SetActiveTabIndexField(-1);
        TFlagScope busy(FBusy);
        bar->SetActiveTabIndex(index);
    }
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

void TUiCustomTabSet::Loaded() {
    // Applied while the control still counts as loading: the tab events stay silent.
    if (TabToolbar()) TabToolbar()->SetActiveTabIndex(FStreamedActiveIndex);
    TUiCompoundItemsControl::Loaded();
    if (!TabToolbar()) return;
    TUiItemCacheCollection& hidden = TabToolbar()->HiddenTabs();
    for (int i = hidden.Count() - 1; i >= 0; --i) {
        TUiItemCache& entry = hidden.Items(i);
        if (!entry.Item && Owner() && !entry.StoredName.empty())
            entry.Item = dynamic_cast<TBarCustomItem*>(Owner()->FindComponent(entry.StoredName));
        if (entry.Name().empty()) hidden.Delete(i);
    }
    if (TabToolbar()->TabAutofit()) TabToolbar()->AutofitTabs();
}

bool TUiCustomTabSet::PaintBackground(HDC dc, const RECT& rect) {
    if (IsDestroying(*this) || !Dock() || !FBackground || IsRectEmpty(&rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (FBackground->Width() != width || FBackground->Height() != height || OnDrawBackground) {
        FBackground->SetSize(width, height);
        TCanvas& canvas = FBackground->Canvas();
        const RECT local{0, 0, width, height};
        PaintRectFill(canvas.Handle(), local, clWhite);
        bool paintDefault = true;
        DoDrawBackground(canvas, local, pstPrePaint, paintDefault);
        if (paintDefault) PaintTabBackground(canvas, local, Color(), ThemeType(), TabPosition() == ttpBottom);
        DoDrawBackground(canvas, local, pstPostPaint, paintDefault);
    }
    BitBlt(dc, rect.left, rect.top, width, height, FBackground->Canvas().Handle(), 0, 0, SRCCOPY);
    return true;
}

void TUiCustomTabSet::InvalidateBackground(bool notifyChildren) {
    if (IsDestroying(*this) || !TabToolbar()) return;
    if (FBackground) FBackground->SetSize(1, 1);
    if (!HandleAllocated()) return;
    InvalidateRect(Handle(), nullptr, TRUE);
    if (!notifyChildren) return;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(Controls(i)); child && child->HandleAllocated())
            RedrawWindow(child->Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

TColor TUiCustomTabSet::ThemeEffectiveColor() {
    if (ActiveThemeHasQuirk(uqTabSetOnButtonFace)) return clBtnFace;
    if (Color() != clNone) return Color();
    return Parent() ? GetEffectiveColor(Parent()) : clBtnFace;
}

void TUiCustomTabSet::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        if (!PaintsOwnBackground()) {
            m.Result = 1;
            return;
        }
        RECT r = ClientRect();
        if (FTabVisible && Dock()) {
            const int row = Dock()->Height() - 2;
            (TabPosition() == ttpTop ? r.top : r.bottom) += TabPosition() == ttpTop ? row : -row;
        }
        if (PaintBackground(reinterpret_cast<HDC>(m.WParam), r)) {
            m.Result = 1;
            return;
        }
        break;
    }
    case WM_WINDOWPOSCHANGED:
        TUiCompoundItemsControl::Dispatch(m);
        if (PaintsOwnBackground()) InvalidateBackground(true);
        return;
    case CM_COLORCHANGED:
        TUiCompoundItemsControl::Dispatch(m);
        if (TabToolbar()) TabToolbar()->SetTabColor(Color());
        InvalidateBackground(false);
        return;
    case TBM_REACTIVATETAB:
        ReactivateTab();
        return;
    default: break;
    }
    TUiCompoundItemsControl::Dispatch(m);
}

// --- tab control --------------------------------------------------------------------------------

TUiCustomTabControl::TUiCustomTabControl(TComponent* owner) : TUiCustomTabSet(owner) {
    SetControlStyle(ControlStyle() & ~csAcceptsControls);
    FMargins.OnChange = [this] { RealignPages(); };
    FEmptyPage = new TUiTabSheet(this);
    FEmptyPage->SetTabControl(this);
    FEmptyPage->SetControlStyle(FEmptyPage->ControlStyle() & ~csAcceptsControls);
    SetBounds(Left(), Top(), 289, 193);
}

void TUiCustomTabControl::SetParent(TWinControl* parent) {
    TUiCustomTabSet::SetParent(parent);
    // The empty page takes its place with the control: its window needs a parent window.
    if (!parent || !FEmptyPage || FEmptyPage->Parent() == this) return;
    FEmptyPage->SetParent(this);
    if (ActiveTabIndex() == -1) {
        FEmptyPage->SetVisible(true);
        FEmptyPage->BringToFront();
    }
}

void TUiCustomTabControl::TearDown() {
    FPages.clear();
    TUiCustomTabSet::TearDown();
}

void TUiCustomTabControl::AddPage(TUiTabSheet* sheet) {
    if (sheet && std::find(FPages.begin(), FPages.end(), sheet) == FPages.end()) FPages.push_back(sheet);
}

void TUiCustomTabControl::RemovePage(TUiTabSheet* sheet) { std::erase(FPages, sheet); }

void TUiCustomTabControl::RealignPages() {
    for (TUiTabSheet* page : FPages) page->Realign();
    if (FEmptyPage) FEmptyPage->Realign();
}

bool TUiCustomTabControl::PaintsOwnBackground() {
    if (IsDestroying(*this)) return false;
    TUiTabToolbar* bar = TabToolbar();
    TUiTabItem* active = bar ? bar->ActiveTab() : nullptr;
    return FPages.empty() || !bar || !active || !active->Checked();
}

void TUiCustomTabControl::DoActiveTabChange(int tabIndex) {
    if (FEmptyPage) {
        FEmptyPage->SetVisible(tabIndex == -1);
        if (tabIndex == -1) FEmptyPage->BringToFront();
    }
    TUiCustomTabSet::DoActiveTabChange(tabIndex);
}

void TUiCustomTabControl::TabInserted(TUiTabItem* tab) {
    if (Loading(*this)) return;
    for (TUiTabSheet* page : FPages)
        if (page->TabItem() == tab) return;
    TComponent* owner = Owner() ? Owner() : this;
    auto* sheet = new TUiTabSheet(owner);
    for (int n = 1;; ++n) {
        const std::wstring name = L"UiTabSheet" + std::to_wstring(n);
        if (!owner->FindComponent(name)) {
            sheet->SetName(name);
            break;
        }
    }
    sheet->SetTabControl(this);
    sheet->SetParent(this);
    sheet->SetTabItem(tab);
    tab->SetControl(sheet);
    sheet->SendToBack();
    AddPage(sheet);
    if (TUiTabItem* first = FPages.front()->TabItem()) ClickTab(first);
}

void TUiCustomTabControl::TabDeleted(TUiTabItem* tab, bool freeSheet) {
    TUiCustomTabSet::TabDeleted(tab, freeSheet);
    if (IsDestroying(*this)) return;
    // The sheet's own link to a tab being freed is already gone: the tab still names its sheet.
    auto it = std::find_if(FPages.begin(), FPages.end(),
                           [tab](TUiTabSheet* p) { return p == tab->Control() || p->TabItem() == tab; });
    if (it == FPages.end()) return;
    TUiTabSheet* sheet = *it;
    FPages.erase(it);
    sheet->SetTabItem(nullptr);
    if (freeSheet) delete sheet;
}

void TUiCustomTabControl::HandleThemeChange(int change, bool themeSwitched) {
    TUiCustomTabSet::HandleThemeChange(change, themeSwitched);
    if (change == tnEndChange && HandleAllocated()) RealignPages();
}

// --- tab sheet ----------------------------------------------------------------------------------

TUiTabSheet::TUiTabSheet(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
    SetAlign(alClient);
    TCustomControl::SetVisible(false);
}

std::wstring TUiTabSheet::Caption() const { return FTabItem ? FTabItem->Caption() : std::wstring(); }

void TUiTabSheet::SetCaption(const std::wstring& value) {
    if (FTabItem) FTabItem->SetCaption(value);
}

int TUiTabSheet::ImageIndex() const { return FTabItem ? FTabItem->ImageIndex() : -1; }

void TUiTabSheet::SetImageIndex(int value) {
    if (FTabItem) FTabItem->SetImageIndex(value);
}

bool TUiTabSheet::TabVisible() const { return FTabItem && FTabItem->Visible(); }

void TUiTabSheet::SetTabVisible(bool value) {
    if (FTabItem) FTabItem->SetVisible(value);
}

void TUiTabSheet::LinkStoredTabItem() {
    if (FTabItem || FTabItemName.empty() || !Owner()) return;
    auto* tab = dynamic_cast<TUiTabItem*>(Owner()->FindComponent(FTabItemName));
    if (!tab) return;
    FTabItem = tab;
    tab->SetControl(this);
    if (FTabControl) FTabControl->AddPage(this);
}

void TUiTabSheet::SetVisible(bool value) {
    if (value == Visible()) return;
    if (!value && !Loading(*this)) {
        // The control that had the focus gets it back when the sheet shows again.
        TWinControl* focused = nullptr;
        if (FindFocusedChild(this, focused)) FFocusedChild = focused;
    }
    TCustomControl::SetVisible(value);
    if (value && !Loading(*this)) {
        TWinControl* remembered = FFocusedChild;
        // A hidden window keeps the focus it had: then it simply stays there.
        if (remembered && remembered->HandleAllocated() && GetFocus() == remembered->Handle()) return;
        if (remembered && CanFocusControl(remembered))
            remembered->SetFocus();
        else
            FocusFirstChild(this);
    }
}

void TUiTabSheet::AdjustClientRect(RECT& rect) {
    TCustomControl::AdjustClientRect(rect);
    if (!FTabControl) return;
    const int inset = ResolveTabThemeType(FTabControl->ThemeType()) == tttWindows ? 4 : 2;
    rect.left += 2;
    rect.right -= inset;
    if (FTabControl->TabPosition() == ttpTop)
        rect.bottom -= inset;
    else
        rect.top += inset;
    rect.left += FTabControl->Margins().Left();
    rect.top += FTabControl->Margins().Top();
    rect.right -= FTabControl->Margins().Right();
    rect.bottom -= FTabControl->Margins().Bottom();
}

void TUiTabSheet::Dispatch(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND && FTabControl) {
        RECT r = ClientRect();
        if (FTabControl->TabVisible()) (FTabControl->TabPosition() == ttpTop ? r.top : r.bottom) += FTabControl->TabPosition() == ttpTop ? -4 : 4;
        if (FTabControl->PaintBackground(reinterpret_cast<HDC>(m.WParam), r)) {
            m.Result = 1;
            return;
        }
    }
    TCustomControl::Dispatch(m);
}

}  // namespace ui
