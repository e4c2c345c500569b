#include "controls/toolbar/themed/thmmdi.h"

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "controls/toolbar/themed/thmnexus.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

// The MDI client of the main form, when the main form is an MDI frame with a window.
HWND MainMDIClient() {
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main->FormStyle() != fsMDIForm || !main->HandleAllocated()) return nullptr;
    return main->ClientHandle();
}

bool IsMDIChildOf(HWND client, HWND wnd) {
    return client && wnd && GetParent(wnd) == client && (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

HWND ActiveMDIChild() {
    HWND client = MainMDIClient();
    return client ? reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

// What the child's caption would do: a system command at the current message position.
void SendToActiveChild(WPARAM command) {
    if (HWND child = ActiveMDIChild()) SendMessageW(child, WM_SYSCOMMAND, command, static_cast<LPARAM>(GetMessagePos()));
}

// An icon that is destroyed with the holder.
struct TIconHolder {
    HICON Icon = nullptr;
    ~TIconHolder() {
        if (Icon) DestroyIcon(Icon);
    }
};

HICON WindowIcon(HWND wnd) {
    if (!wnd) return nullptr;
    for (WPARAM kind : {ICON_SMALL, ICON_SMALL2, ICON_BIG})
        if (auto icon = reinterpret_cast<HICON>(SendMessageW(wnd, WM_GETICON, kind, 0))) return icon;
    if (auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(wnd, GCLP_HICONSM))) return icon;
    return reinterpret_cast<HICON>(GetClassLongPtrW(wnd, GCLP_HICON));
}

// The buttons items alive and the thread hook that serves them.
struct TMDIHook {
    HHOOK Handle = nullptr;
    std::vector<TThmMDIButtonsItem*> Items;
};
TMDIHook gMDIHook;

TBarItemViewer* FindViewerOf(TBarView* view, TBarCustomItem* item) {
    for (int i = 0; i < view->ViewerCount(); ++i)
        if (view->Viewers(i)->Item() == item) return view->Viewers(i);
    return nullptr;
}

void HandleHookEvent(int code, HWND wnd, LPARAM lParam) {
    HWND client = MainMDIClient();
    if (!IsMDIChildOf(client, wnd)) return;
    const std::vector<TThmMDIButtonsItem*> items = gMDIHook.Items;
    switch (code) {
    case HCBT_MINMAX: {
        const int command = LOWORD(lParam);
        if (command != SW_SHOWNORMAL && command != SW_SHOWMAXIMIZED && command != SW_MINIMIZE && command != SW_RESTORE)
            return;
        bool maximising = command == SW_SHOWMAXIMIZED;
        if (command == SW_RESTORE && !IsZoomed(wnd)) {
            // A minimised child goes back to where it was: maximised or not.
            WINDOWPLACEMENT placement{};
            placement.length = sizeof(placement);
            maximising = GetWindowPlacement(wnd, &placement) && (placement.flags & WPF_RESTORETOMAXIMIZED);
        }
        for (TThmMDIButtonsItem* item : items) item->UpdateState(wnd, maximising);
        return;
    }
    case HCBT_DESTROYWND:
        for (TThmMDIButtonsItem* item : items) item->UpdateState(wnd, false);
        return;
    case HCBT_SETFOCUS:
        // The icon follows the active child.
        for (TThmMDIButtonsItem* item : items) {
            TThmMDIHandler* handler = item->Handler();
            TBarCustomToolbar* toolbar = handler ? handler->Toolbar() : nullptr;
            if (!toolbar) continue;
            if (TBarItemViewer* v = FindViewerOf(toolbar->View(), handler->SystemMenuItem()))
                toolbar->View()->InvalidateViewer(v);
        }
        return;
    default: return;
    }
}

LRESULT CALLBACK MDIHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0) {
        try {
            HandleHookEvent(code, reinterpret_cast<HWND>(wParam), lParam);
        } catch (...) {
            TDeferExceptionReports defer;
            HandleCurrentException(nullptr);
        }
    }
    return CallNextHookEx(gMDIHook.Handle, code, wParam, lParam);
}

int ImageOfCommand(UINT command) {
    switch (command & 0xFFF0) {
    case SC_CLOSE: return 0;
    case SC_MAXIMIZE: return 1;
    case SC_MINIMIZE: return 2;
    case SC_RESTORE: return 3;
    default: return -1;
    }
}

}  // namespace

// --- the system-menu item -------------------------------------------------------------------------

TThmMDISystemMenuItem::TThmMDISystemMenuItem(TComponent* owner) : TThmCustomItem(owner) {
    FItemStyle = static_cast<TBarItemStyle>((FItemStyle | tbstSubmenu | tbstDontSelectFirst) &
                                            ~(tbstRedrawOnSelChange | tbstRedrawOnMouseOverChange));
    // Alt and "-" open it from the menu bar.
    SetCaption(L"&-");
    FImages = std::make_unique<TImageList>(nullptr, 16, 16);
    TBitmap strip;
    if (strip.LoadFromResourceName(GetModuleHandleW(nullptr), L"THMSYSMENUIMAGES")) FImages->AddStrip(strip, 0xC0C0C0);
    SetSubMenuImages(FImages.get());
}

TThmMDISystemMenuItem::~TThmMDISystemMenuItem() { SetSubMenuImages(nullptr); }

TBarItemViewerClass TThmMDISystemMenuItem::GetItemViewerClass(TBarView*) {
    return NewItemViewer<TThmMDISystemMenuItemViewer>;
}

void TThmMDISystemMenuItem::Click() {
    TThmCustomItem::Click();
    Clear();
    HWND child = ActiveMDIChild();
    HMENU menu = child ? GetSystemMenu(child, FALSE) : nullptr;
    if (!menu) return;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state == static_cast<UINT>(-1)) continue;
        if (state & MF_SEPARATOR) {
            Add(new TThmSeparatorItem(this));
            continue;
        }
        // The entry's own UTF-16 text: a caption in any script survives.
        wchar_t text[1024] = {};
        const int length = GetMenuStringW(menu, static_cast<UINT>(i), text, 1024, MF_BYPOSITION);
        const UINT command = GetMenuItemID(menu, i);
        auto* item = new TThmCustomItem(this);
        item->SetCaption(std::wstring(text, static_cast<size_t>(std::max(length, 0))));
        item->SetEnabled(!(state & MF_GRAYED));
        item->SetTag(static_cast<intptr_t>(command));
        item->SetImageIndex(ImageOfCommand(command));
        if ((command & 0xFFF0) == SC_CLOSE) item->SetOptions(static_cast<TBarItemOptions>(item->Options() | tboDefault));
        item->SetOnClick([](TComponent* sender) { SendToActiveChild(static_cast<WPARAM>(sender->Tag())); });
        Add(item);
    }
}

void TThmMDISystemMenuItemViewer::CalcSize(TCanvas&, int& width, int& height) {
    width = GetSystemMetrics(SM_CXSMICON) + 2;
    height = GetSystemMetrics(SM_CYSMICON) + 2;
}

void TThmMDISystemMenuItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool, bool, bool) {
    RECT r = clientRect;
    InflateRect(&r, -1, -1);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return;
    HICON icon = WindowIcon(ActiveMDIChild());
    if (!icon && Application) icon = WindowIcon(Application->Handle());
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    TIconHolder copy;
    copy.Icon = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, width, height, LR_COPYFROMRESOURCE));
    DrawIconEx(canvas.Handle(), r.left, r.top, copy.Icon ? copy.Icon : icon, width, height, 0, nullptr, DI_NORMAL);
}

// --- the caption buttons --------------------------------------------------------------------------

TThmMDIButtonItem::TThmMDIButtonItem(TComponent* owner, TThmMDIButtonKind kind) : TBarCustomItem(owner), FKind(kind) {
    FItemStyle = static_cast<TBarItemStyle>((FItemStyle & ~tbstSelectable) | tbstRightAlign);
}

TBarItemViewerClass TThmMDIButtonItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TThmMDIButtonItemViewer>; }

void TThmMDIButtonItem::Click() {
    TBarCustomItem::Click();
    static constexpr WPARAM kCommands[] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
    SendToActiveChild(kCommands[FKind]);
}

void TThmMDIButtonItemViewer::CalcSize(TCanvas&, int& width, int& height) {
    TThmTheme& theme = ActiveToolbarTheme();
    width = std::max(0, GetSystemMetrics(SM_CXMENUSIZE) - std::max(0, theme.GetIntMetric(tmMDIButtonNarrower)));
    height = std::max(0, GetSystemMetrics(SM_CYMENUSIZE) - std::max(0, theme.GetIntMetric(tmMDIButtonLower)));
}

void TThmMDIButtonItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed, bool) {
    TBarView* view = View();
    TBarCustomItem* item = Item();
    TThmItemInfo info{};
    info.ViewKind = vkToolbarBar;
    info.ItemFlags = ifToolbarStyle | (view->Customizing() ? ifDesigning : 0);
    info.Enabled = item->Enabled();
    info.Pushed = pushed;
    info.HotState = ItemHotState(view, selected, info.Enabled);
    info.Vertical = view->Orientation() == tbvoVertical;
    static constexpr int kButtonCodes[] = {1, 3, 0};  // minimise, restore, close
    const auto* button = dynamic_cast<TThmMDIButtonItem*>(item);
    ActiveToolbarTheme().PaintMDICaptionButton(canvas, clientRect, info,
                                               kButtonCodes[button ? button->ButtonKind() : mbkClose]);
}

TThmMDISepItem::TThmMDISepItem(TComponent* owner) : TBarSeparatorItem(owner) {
    SetBlank(true);
    FItemStyle = static_cast<TBarItemStyle>(FItemStyle | tbstNoLineBreak | tbstRightAlign);
}

TBarItemViewerClass TThmMDISepItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TThmMDISepItemViewer>; }

void TThmMDISepItemViewer::CalcSize(TCanvas&, int& width, int& height) {
    const bool vertical = View()->Orientation() == tbvoVertical;
    width = vertical ? 6 : 2;
    height = vertical ? 2 : 6;
}

// --- the group of buttons -------------------------------------------------------------------------

TThmMDIButtonsItem::TThmMDIButtonsItem(TComponent* owner, TThmMDIHandler* handler)
    : TBarCustomItem(owner), FHandler(handler) {
    FItemStyle = static_cast<TBarItemStyle>(FItemStyle | tbstEmbeddedGroup);
    FFirstSeparator = new TThmMDISepItem(this);
    FMinimize = new TThmMDIButtonItem(this, mbkMinimize);
    FRestore = new TThmMDIButtonItem(this, mbkRestore);
    FSecondSeparator = new TThmMDISepItem(this);
    FClose = new TThmMDIButtonItem(this, mbkClose);
    for (TBarCustomItem* item : {static_cast<TBarCustomItem*>(FFirstSeparator), static_cast<TBarCustomItem*>(FMinimize),
                                 static_cast<TBarCustomItem*>(FRestore),
                                 static_cast<TBarCustomItem*>(FSecondSeparator), static_cast<TBarCustomItem*>(FClose)})
        Add(item);
    UpdateState(nullptr, false);
    gMDIHook.Items.push_back(this);
    if (!gMDIHook.Handle) gMDIHook.Handle = SetWindowsHookExW(WH_CBT, MDIHookProc, nullptr, GetCurrentThreadId());
}

TThmMDIButtonsItem::~TThmMDIButtonsItem() {
    std::erase(gMDIHook.Items, this);
    if (gMDIHook.Items.empty() && gMDIHook.Handle) {
        UnhookWindowsHookEx(gMDIHook.Handle);
        gMDIHook.Handle = nullptr;
    }
}

void TThmMDIButtonsItem::UpdateState(HWND window, bool maximising) {
    HWND client = MainMDIClient();
    bool shown = false;
    if (client)
        for (HWND child = GetWindow(client, GW_CHILD); child && !shown; child = GetWindow(child, GW_HWNDNEXT))
            if (IsMDIChildOf(client, child)) shown = child == window ? maximising : IsZoomed(child) != FALSE;
    HWND active = ActiveMDIChild();
    const bool canMinimize = !active || (GetWindowLongPtrW(active, GWL_STYLE) & WS_MINIMIZEBOX);
    bool changed = false;
    const auto set = [&changed](TBarCustomItem* item, bool visible, bool enabled) {
        if (!item) return;
        if (item->Visible() != visible) {
            item->SetVisible(visible);
            changed = true;
        }
        if (item->Enabled() != enabled) {
            item->SetEnabled(enabled);
            changed = true;
        }
    };
    set(FHandler ? FHandler->SystemMenuItem() : nullptr, shown, true);
    set(FFirstSeparator, shown, true);
    set(FMinimize, shown, canMinimize);
    set(FRestore, shown, true);
    set(FSecondSeparator, shown, true);
    set(FClose, shown, true);
    TBarCustomToolbar* toolbar = FHandler ? FHandler->Toolbar() : nullptr;
    if (changed && toolbar) {
        toolbar->View()->InvalidatePositions();
        toolbar->View()->ValidatePositionsIfReady();
    }
}

// --- the handler ----------------------------------------------------------------------------------

TThmMDIHandler::TThmMDIHandler(TComponent* owner) : TComponent(owner) {
    FSystemMenuItem = new TThmMDISystemMenuItem(this);
    FButtonsItem = new TThmMDIButtonsItem(this, this);
}

TThmMDIHandler::~TThmMDIHandler() { SetToolbar(nullptr); }

void TThmMDIHandler::SetToolbar(TBarCustomToolbar* value) {
    TBarCustomToolbar* old = FToolbar;
    if (value == old) return;
    if (old) {
        if (old->MDIButtonsItem == FButtonsItem) old->MDIButtonsItem = nullptr;
        if (old->MDISystemMenuItem == FSystemMenuItem) old->MDISystemMenuItem = nullptr;
        old->View()->RebuildViewers();
    }
    FToolbar = value;
    if (value) {
        value->MDIButtonsItem = FButtonsItem;
        value->MDISystemMenuItem = FSystemMenuItem;
        value->View()->RebuildViewers();
    }
}

void TThmMDIHandler::SetStretchButtons(bool value) {
    if (value == FStretchButtons) return;
    FStretchButtons = value;
    for (TThmMDIButtonItem* button : {FButtonsItem->MinimizeButton(), FButtonsItem->RestoreButton(),
                                      FButtonsItem->CloseButton()})
        button->SetItemStyle(static_cast<TBarItemStyle>(value ? button->ItemStyle() | tbstStretch
                                                              : button->ItemStyle() & ~tbstStretch));
    if (TBarCustomToolbar* toolbar = FToolbar) {
        toolbar->View()->InvalidatePositions();
        toolbar->View()->ValidatePositionsIfReady();
    }
}

}  // namespace themed
