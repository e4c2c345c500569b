#include "app/regedform.h"

#include "app/mainform.h"
#include "app/menubuilder.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "classlib/application.h"
#include "classlib/menus.h"
#include "classlib/timer.h"
#include "controls/wide/widefiles.h"
#include "settings/inifile.h"
#include "settings/settingsfiles.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"
#include "widgets/dwsplitter.h"

namespace app {

using classlib::TComponent;
using gridtree::PGridNode;

namespace {

constexpr int TreeWidth = 249;
constexpr int ValueColumnWidth = 200;

}  // namespace

int IncrementalSearchCompare(const std::wstring& caption, const std::wstring& search, bool ignoreCase) {
    const int n = static_cast<int>(std::min(caption.size(), search.size()));
    return CompareStringW(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, caption.c_str(), n, search.c_str(),
                          n) -
           CSTR_EQUAL;
}

TRegEdForm::TRegEdForm(TMainForm* mainForm) : wide::TWideForm(mainForm), FMainForm(mainForm) {
    WindowClassName = L"TRegEdForm";
    SetFormStyle(classlib::fsMDIChild);
    SetWindowState(classlib::wsMaximized);

    auto* treeMenu = new ui::TUiPopupMenu(this);
    BuildBarItems(*treeMenu->Items(), treeMenu, L"TreeMenu", mainForm->Actions());
    TreeMenu = treeMenu;
    auto* listMenu = new ui::TUiPopupMenu(this);
    BuildBarItems(*listMenu->Items(), listMenu, L"ListMenu", mainForm->Actions());
    ListMenu = listMenu;

    VxRegTreeView = new views::TVxRegTreeView(this);
    VxRegTreeView->SetParent(this);
    VxRegTreeView->SetBounds(0, 0, TreeWidth, 200);
    VxRegTreeView->SetAlign(classlib::alLeft);
    VxRegTreeView->SetReadOnlyLineColor(0xC0C0C0);  // silver
    VxRegTreeView->SetPopupMenu(TreeMenu);
    // Keys and values are dragged inside the program (onto the favorites panel).
    VxRegTreeView->DragMode = classlib::TControl::dmAutomatic;
    VxRegTreeView->SetDragType(gridtree::dtControl);
    VxRegTreeView->OnChange = [this](gridtree::TBaseGridTree*, PGridNode) { VxRegTreeViewChange(); };
    VxRegTreeView->OnIncrementalSearch = [this](gridtree::TBaseGridTree*, PGridNode node, const std::wstring& text,
                                                int& result) {
        result = IncrementalSearchCompare(VxRegTreeView->GetNodeCaption(node), text, FIncIgnoreCase);
    };

    VxDWSplitter1 = new widgets::TVxDWSplitter(this);
    VxDWSplitter1->SetParent(this);
    VxDWSplitter1->SetLeft(TreeWidth + 1);
    VxDWSplitter1->SetToggleHeight(50);
    VxDWSplitter1->OnToggleClick = [this](TComponent*) { VxRegTreeView->SetVisible(!VxRegTreeView->Visible()); };
    VxDWSplitter1->OnSetToggleChange = [this](TComponent*, bool& toggle) { toggle = !VxRegTreeView->Visible(); };

    VxRegListView = new views::TVxRegListView(this);
    VxRegListView->SetParent(this);
    VxRegListView->SetAlign(classlib::alClient);
    gridtree::TGridTreeColumns& columns = VxRegListView->Header().Columns();
    for (int i = 0; i < columns.Count(); ++i) columns[i]->SetWidth(ValueColumnWidth);
    VxRegListView->SetPopupMenu(ListMenu);
    VxRegListView->DragMode = classlib::TControl::dmAutomatic;
    VxRegListView->SetDragType(gridtree::dtControl);
    VxRegListView->OnDblClick = [this](TComponent*) { FMainForm->RunAction(TActionId::aacEdit); };
    VxRegListView->OnIncrementalSearch = [this](gridtree::TBaseGridTree*, PGridNode node, const std::wstring& text,
                                                int& result) {
        result = IncrementalSearchCompare(VxRegListView->GetValueNameOfNode(node), text, FIncIgnoreCase);
    };
    VxRegTreeView->SetConnectListView(VxRegListView);

    // FormCreate: fonts, the computer node, the layout of the key tree, the options.
    mainForm->ApplyFonts(*this);
    VxRegTreeView->AddLocalComputerRoot(L"");
    ReadLayout();
    TRegWindowOptions options;
    try {
        const settings::TVxMemIniFile file(settings::GetSettingsFilePath(L"setting.db"));
        options = ReadRegWindowOptions(file);
    } catch (...) {
        classlib::HandleCurrentException(nullptr);
        options.DateView = VxRegTreeView->DateView();
    }
    ApplyOptions(options, true);

    OnClose = [this](TComponent*, classlib::TCloseAction& action) { FormClose(action); };
    // Runs once the window is in place; only then does an activation move the tab. A posted
    // call, not a timer: a timer fires only when the queue is empty, which on a busy start can
    // be after the user's next click, and would take the focus from where the user put it.
    classlib::Application->QueueCall([this] { StartupTimerTimer(); }, this);
    DoCreate();
}

void TRegEdForm::CreateParams(classlib::TCreateParams& params) {
    wide::TWideForm::CreateParams(params);
    params.Style |= WS_MAXIMIZE;  // made visible and maximised
}

void TRegEdForm::ReadLayout() {
    const std::wstring fileName = settings::GetSettingsFilePath(L"ToolBar.db");
    if (!wide::WideFileExists(fileName)) return;
    try {
        const settings::TVxMemIniFile file(fileName);
        VxRegTreeView->SetWidth(file.ReadInteger(L"Wnd", L"RegTree", VxRegTreeView->Width()));
        VxRegTreeView->SetVisible(file.ReadBool(L"Wnd", L"RegTreeVisible", VxRegTreeView->Visible()));
    } catch (...) {
        classlib::HandleCurrentException(nullptr);
    }
}

void TRegEdForm::ApplyOptions(const TRegWindowOptions& options, bool withDateView) {
    FIncIgnoreCase = options.IncIgnoreCase;
    VxRegTreeView->SetAllowReplace(options.AllowReplace);
    VxRegTreeView->SetIncrementalSearchStart(options.IncTop ? gridtree::ssAlwaysStartOver : gridtree::ssFocusedNode);
    VxRegTreeView->SetIncrementalSearch(options.IncNoCol ? gridtree::isVisibleOnly : gridtree::isAll);
    VxRegTreeView->SetIncrementalSearchTimeout(static_cast<uint32_t>(options.IncTime));
    if (withDateView) VxRegTreeView->SetDateView(options.DateView);
}

void TRegEdForm::SetTabLock(bool locked) {
    FTabLocked = locked;
    VxRegTreeView->SetEnabled(!locked);
    VxRegTreeView->Invalidate();
    FMainForm->RegistryWindowLockChanged(this);
}

void TRegEdForm::VxRegTreeViewChange() {
    if (std::optional<registry::TVxRegKeyClass> key = VxRegTreeView->GetSelectedKey()) {
        FShownPath = key->FFullPath;
        FShownName = key->FDisplayName;
    } else if (views::TVxRegTreeRootItem* computer = VxRegTreeView->GetSelectedRootItem()) {
        FShownPath.clear();
        FShownName = computer->Caption;
    } else {
        return;
    }
    SetCaption(FShownName);
    FMainForm->RegistryWindowChanged(this);
}

void TRegEdForm::ChooseStartFocus() {
    if (VxRegListView->GetFirstSelected())
        SetActiveControl(VxRegListView);
    else if (VxRegTreeView->Visible() && VxRegTreeView->Enabled())
        SetActiveControl(VxRegTreeView);
}

TRegEdForm::~TRegEdForm() {
    if (classlib::Application) classlib::Application->CancelQueuedCalls(this);
}

void TRegEdForm::StartupTimerTimer() {
    if (FMainForm->ActiveRegEdForm() == this)
        if (classlib::TWinControl* control = ActiveControl(); control && control->CanFocus()) control->SetFocus();
    OnActivate = [this](TComponent*) { FMainForm->RegistryWindowActivated(this); };
}

void TRegEdForm::FormClose(classlib::TCloseAction& action) {
    FMainForm->RegistryWindowClosed(this);
    action = classlib::caFree;
}

}  // namespace app
