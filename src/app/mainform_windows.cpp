// The main window's registry windows: making them, their tabs, finding the active one,
// refreshing, closing and arranging them.
#include "app/mainform.h"

#include "app/regedform.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"
#include "widgets/vstab.h"

namespace app {

using classlib::TComponent;

namespace {

// The height of the text "I" in `font`.
int TextHeightOf(const classlib::TFont& font) {
    const classlib::TWindowDC screen(nullptr);
    classlib::TCanvas canvas;
    const classlib::TCanvasDCScope scope(canvas, screen.Handle());
    canvas.Font().Assign(font);
    return canvas.TextHeight(L"I");
}

// The font options on a view's font; rows grow with a font taller than 18 pixels.
void ApplyFontTo(gridtree::TCustomGridStringTree& view, const TFontOptions& options) {
    ApplyFontOptions(options, view.Font());
    const int height = TextHeightOf(view.Font());
    if (height > 18) view.SetDefaultNodeHeight(static_cast<uint32_t>(height));
}

}  // namespace

void TMainForm::CreateTabStrip() {
    VxVSTab = new widgets::TVxVSTab(this);
    VxVSTab->SetParent(this);
    VxVSTab->SetAlign(classlib::alTop);
    VxVSTab->SetShowHint(true);
    VxVSTab->OnChange = [this](TComponent*) {
        TRegEdForm* window = WindowOfTab(VxVSTab->ActiveTabIndex());
        if (window && window != ActiveRegEdForm()) window->Show();
    };
    VxVSTab->OnGetHintStr = [this](TComponent*, int index, std::wstring& hint) {
        if (TRegEdForm* window = WindowOfTab(index)) hint = window->ShownPath();
    };
    VxVSTab->OnMiddleClickClosing = [this](TComponent*, int index, bool& allowClose) {
        // The window's close removes its tab; a locked one stays.
        allowClose = false;
        if (TRegEdForm* window = WindowOfTab(index); window && !window->TabLocked()) window->Close();
    };
}

TRegEdForm* TMainForm::WindowOfTab(int index) {
    if (index < 0 || index >= VxVSTab->Tabs().GetCount()) return nullptr;
    return static_cast<TRegEdForm*>(VxVSTab->Tabs().GetObject(index));
}

TRegEdForm* TMainForm::OpenWindow(const std::wstring& path) {
    AddHistory(path);
    auto* window = new TRegEdForm(this);
    ApplyPictures(*window);
    {
        // The tab comes also when the jump raised.
        const auto addTab = classlib::ScopeExit([&] {
            VxVSTab->SetActiveTabIndex(VxVSTab->Tabs().AddObject(L"", window));
        });
        window->Show();
        ApplyColors(*window);
        if (!path.empty()) window->VxRegTreeView->JumpToPath(path);
    }
    window->VxRegTreeViewChange();
    window->ChooseStartFocus();
    return window;
}

TRegEdForm* TMainForm::ActiveRegEdForm() { return dynamic_cast<TRegEdForm*>(ActiveMDIChild()); }

std::vector<TRegEdForm*> TMainForm::RegistryWindows() {
    std::vector<TRegEdForm*> windows;
    for (int i = 0; i < MDIChildCount(); ++i)
        if (auto* window = dynamic_cast<TRegEdForm*>(MDIChildren(i))) windows.push_back(window);
    return windows;
}

void TMainForm::RefreshAllWindows() {
    TRegEdForm* active = ActiveRegEdForm();
    for (TRegEdForm* window : RegistryWindows()) {
        const bool locked = window->TabLocked();
        window->SetTabLock(false);
        const auto relock = classlib::ScopeExit([&] { window->SetTabLock(locked); });
        window->VxRegTreeView->RefreshAllKeys();
    }
    if (active) active->Show();
}

void TMainForm::UnlockActiveWindow() {
    if (TRegEdForm* window = ActiveRegEdForm()) {
        FSavedTabLock = window->TabLocked();
        window->SetTabLock(false);
    }
}

void TMainForm::RelockActiveWindow() {
    if (TRegEdForm* window = ActiveRegEdForm()) window->SetTabLock(FSavedTabLock);
}

void TMainForm::ApplyColors(TRegEdForm& window) {
    views::TVxRegListView& list = *window.VxRegListView;
    list.SetDefaultColor(FOptions.ColorControlBack);
    list.SetReadOnlyColor(FOptions.ColorReadOnly);
    list.Font().SetColor(FOptions.ColorControlText);
    list.SetSortColumnColor(FOptions.ColorSortColumn);
    views::TVxRegTreeView& tree = *window.VxRegTreeView;
    tree.SetColor(FOptions.ColorControlBack);
    tree.Font().SetColor(FOptions.ColorControlText);
    tree.SetReadOnlyLineColor(FOptions.ColorReadOnly);
}

void TMainForm::ApplyFonts(TRegEdForm& window) {
    ApplyFontTo(*window.VxRegTreeView, FOptions.Font);
    ApplyFontTo(*window.VxRegListView, FOptions.Font);
}

void TMainForm::RegistryWindowChanged(TRegEdForm* window) {
    const int index = VxVSTab->Tabs().IndexOfObject(window);
    if (index >= 0) VxVSTab->Tabs().Put(index, window->ShownName());
}

void TMainForm::RegistryWindowActivated(TRegEdForm* window) {
    const int index = VxVSTab->Tabs().IndexOfObject(window);
    if (index >= 0 && index != VxVSTab->ActiveTabIndex()) VxVSTab->SetActiveTabIndex(index);
}

void TMainForm::RegistryWindowClosed(TRegEdForm* window) {
    const int index = VxVSTab->Tabs().IndexOfObject(window);
    if (index >= 0) VxVSTab->Tabs().Delete(index);
}

void TMainForm::RegistryWindowLockChanged(TRegEdForm*) { VxVSTab->Invalidate(); }

std::optional<TRegWindowState> TMainForm::DescribeActiveWindow() {
    TRegEdForm* window = ActiveRegEdForm();
    if (!window) return std::nullopt;
    TRegWindowState state;
    state.TabLocked = window->TabLocked();
    const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
    DescribeSelectedKey(key ? &*key : nullptr, state);
    state.SelectedValues = static_cast<int>(window->VxRegListView->SelectionCount());
    state.TreeFocused = window->VxRegTreeView->Focused();
    return state;
}

void TMainForm::CloseWindows(const TRegEdForm* spare) {
    std::vector<classlib::TForm*> children;
    for (int i = 0; i < MDIChildCount(); ++i) children.push_back(MDIChildren(i));
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto* window = dynamic_cast<TRegEdForm*>(*it);
        if (window && (window == spare || window->TabLocked())) continue;
        (*it)->Close();
    }
}

void TMainForm::TileWindows(UINT how) {
    if (ClientHandle()) SendMessageW(ClientHandle(), WM_MDITILE, how, 0);
}

}  // namespace app
