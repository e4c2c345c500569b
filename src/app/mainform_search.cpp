// The main window's searches: the search commands open the search dialog and start its
// search in the background; the result pane on the tool panel's first page shows the hits as
// they come, with the matched text highlighted, and the search's state below it; from there
// the user jumps to a hit, takes hits out of the list, or deletes or replaces everything
// found, with undo records for every change.
//
// The search itself (thread, hit list, stale-message filter, debounced row count) is a
// search::TFindSession; the pane's cells are a search::TFindResultPane; the bulk operations
// are search::DeleteHits and the bulk replace dialog. This file wires them to the window.
#include "app/mainform.h"

#include "app/regedform.h"
#include "app/valueio.h"
#include "classlib/application.h"
#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/toolbar/ui/uipanels.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/wideutils.h"
#include "search/bulk_ops.h"
#include "search/find_panes.h"
#include "search/find_session.h"
#include "searchui/findallreplace.h"
#include "searchui/findform.h"
#include "searchui/findhost.h"
#include "settings/inifile.h"
#include "settings/settingsfiles.h"
#include "undo/undoprovider.h"
#include "views/regtreeview.h"

#include <functional>

namespace app {

using classlib::TComponent;
using enum TActionId;

namespace {

constexpr const wchar_t* kSettingFile = L"setting.db";
constexpr const wchar_t* kSettingSection = L"Setting";
constexpr int kFindStateBarHeight = 20;

// The main window as the search dialogs' host.
class TMainFindHost final : public searchui::IFindDialogHost {
public:
    explicit TMainFindHost(TMainForm& form) : FForm(form) {}

    std::wstring ReadSettingString(const std::wstring& name, const std::wstring& defaultValue) override {
        const settings::TVxMemIniFile file(settings::GetSettingsFilePath(kSettingFile));
        return file.ReadString(kSettingSection, name, defaultValue);
    }
    void WriteSettingString(const std::wstring& name, const std::wstring& value) override {
        settings::TVxMemIniFile file(settings::GetSettingsFilePath(kSettingFile));
        file.WriteString(kSettingSection, name, value);
        file.UpdateFile();
    }
    classlib::TImageList* ToolBarImages() override { return FForm.ToolBarImages(); }
    classlib::TImageList* ComponentImages() override { return FForm.RegTreeImages(); }
    classlib::TImageList* RegistryObjectImages() override { return FForm.RegObjectImages(); }
    bool RegexLibraryPresent() override {
        return wide::WideFileExists(wide::WideExtractFilePath(wide::WideGetModuleFileName(nullptr)) + L"onig.dll");
    }
    bool SetNoMessage() override { return FForm.Options().SetNoMessage; }
    undo::TVxRegClipUndoProvider& UndoProvider() override { return FForm.UndoProvider(); }
    search::TBulkValueWriters ValueWriters() override {
        undo::TVxRegClipUndoProvider& undo = FForm.UndoProvider();
        search::TBulkValueWriters writers;
        writers.WriteString = [&undo](const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                                      const std::wstring& text) { WriteStringValue(undo, key, name, type, text); };
        writers.WriteData = [&undo](const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                                    const std::vector<BYTE>& data) { WriteBinaryValue(undo, key, name, type, data); };
        return writers;
    }

private:
    TMainForm& FForm;
};

// The result pane's tree: the window's search state goes right before the tree is taken
// apart (a form frees its controls before its own members), so the search is stopped and the
// pane unbound while the tree still exists.
class TFindOutsTree final : public gridtree::TGridStringTree {
public:
    using gridtree::TGridStringTree::TGridStringTree;
    std::function<void()> BeforeTearDown;

protected:
    void TearDown() override {
        if (BeforeTearDown) BeforeTearDown();
        gridtree::TGridStringTree::TearDown();
    }
};

// The start keys a registry window proposes: its selected key, or every hive without one.
std::wstring ProposedStartKeys(TRegEdForm& window) {
    const std::optional<registry::TVxRegKeyClass> key = window.VxRegTreeView->GetSelectedKey();
    return key ? key->FFullPath : window.VxRegTreeView->GetRootKeyPaths();
}

// What the done message adds when the search could not see everything it was asked to.
std::wstring IncompleteSearchText(const search::TFindSession& session) {
    std::wstring text;
    if (!session.UnknownStartKeys().empty())
        text += L"　ルートが不明なため検索しなかったキー：" + std::to_wstring(session.UnknownStartKeys().size()) + L"個";
    if (session.DeepKeyCount() > 0)
        text += L"　階層が深すぎるため検索しなかったキー：" + std::to_wstring(session.DeepKeyCount()) + L"個";
    return text;
}

}  // namespace

struct TMainForm::TFindState {
    TFindState(TMainForm& form, gridtree::TGridStringTree& pane) : Host(form), Pane(pane, Session) {}
    TMainFindHost Host;
    // The session goes after the pane bound to it, and stops its search (joined) as it goes.
    search::TFindSession Session;
    search::TFindResultPane Pane;
};

void TMainForm::TFindStateDeleter::operator()(TFindState* state) const { delete state; }

void TMainForm::CreateFindPane() {
    FindStateBar = new ui::TUiPanel(this);
    FindStateBar->SetName(L"FindStateBar");
    FindStateBar->SetParent(NoteBookPages[0]);
    FindStateBar->SetAlign(classlib::alBottom);
    FindStateBar->SetHeight(kFindStateBarHeight);
    FindStateLabel = new ui::TUiLabel(this);
    FindStateLabel->SetName(L"FindStateLabel");
    FindStateLabel->SetParent(FindStateBar);
    FindStateLabel->SetAlign(classlib::alClient);
    FindStateLabel->SetCaption(L"");

    auto* tree = new TFindOutsTree(this);
    FindOuts = tree;
    FindOuts->SetName(L"FindOuts");
    FindOuts->SetParent(NoteBookPages[0]);
    FindOuts->SetAlign(classlib::alClient);
    FFind.reset(new TFindState(*this, *FindOuts));
    tree->BeforeTearDown = [this] { FFind.reset(); };
    // Like the other panes: a right click selects, a flat list without root lines.
    gridtree::TCustomGridTreeOptions& options = FindOuts->TreeOptions();
    options.SetSelectionOptions(options.SelectionOptions() | gridtree::toRightClickSelect);
    options.SetPaintOptions(options.PaintOptions() & ~(gridtree::toShowRoot | gridtree::toShowTreeLines));
    FFind->Pane.OnJump = [this](const registry::TVxRegFindClass& hit) {
        if (TRegEdForm* window = ActiveRegEdForm()) window->VxRegTreeView->JumpToPath(hit.FFullPath);
    };

    FindPopupMenu = new ui::TUiPopupMenu(this);
    FindPopupMenu->SetName(L"FindPopupMenu");
    auto* removeItem = new ui::TUiItem(FindPopupMenu);
    removeItem->SetName(L"DeleteFindItem");
    removeItem->SetCaption(L"このアイテムを検索結果から除去する");
    removeItem->SetOnClick([this](TComponent*) { FFind->Pane.RemoveSelected(); });
    FindPopupMenu->Items()->Add(removeItem);
    // The tree's menu for its rows: a right click on a selected row keeps the other selected
    // rows, so several hits go at once.
    FindOuts->OnGetPopupMenu = [this, removeItem](gridtree::TBaseGridTree*, gridtree::PGridNode, gridtree::TColumnIndex,
                                                  POINT, bool&, classlib::TPopupMenu*& menu) {
        removeItem->SetEnabled(FFind && FFind->Pane.CanRemoveSelected());
        menu = FindPopupMenu;
    };

    FActions->Action(aacFindReplace)->OnExecute = [this](TComponent*) {
        // A locked window keeps its place: the search proposes where it stands. Otherwise the
        // dialog keeps its own list.
        TRegEdForm* window = ActiveRegEdForm();
        StartFind(window && window->TabLocked() ? ProposedStartKeys(*window) : std::wstring());
    };
    FActions->Action(aacTreeExecuteFind)->OnExecute = [this](TComponent*) {
        if (TRegEdForm* window = ActiveRegEdForm()) StartFind(ProposedStartKeys(*window));
    };
    FActions->Action(aacFindAllDelete)->OnExecute = [this](TComponent*) { FindAllDelete(); };
    FActions->Action(aacFindAllReplace)->OnExecute = [this](TComponent*) { FindAllReplace(); };
}

void TMainForm::StartFind(const std::wstring& startKeys) {
    if (!FFind) return;
    search::TWendlarFindRecord record;
    {
        const auto dialog = std::make_unique<searchui::TFindForm>(this, FFind->Host);
        if (!startKeys.empty()) dialog->SetStartKeys(startKeys);
        if (dialog->ShowModal() != classlib::mrOk) return;
        record = dialog->FindRecord();
    }
    ShowToolPage(0);
    FindStateLabel->SetCaption(L"");
    // Stops a search that runs (joined; its hits go), then starts this one.
    FFind->Session.Start(std::move(record), Handle());
    FindOuts->Invalidate();
}

bool TMainForm::FindMessage(classlib::TMessage& m) {
    if (!FFind) return false;
    std::wstring status;
    switch (m.Msg) {
    case search::WM_FINDHIT: FFind->Session.HandleHit(m.WParam); return true;
    case search::WM_FINDPROGRESS:
        if (FFind->Session.HandleProgress(m.WParam, status)) {
            FindStateLabel->SetCaption(status);
            FindStateLabel->Update();
        }
        return true;
    case search::WM_FINDDONE:
        if (FFind->Session.HandleDone(m.WParam, status)) {
            FindOuts->Invalidate();
            FindStateLabel->SetCaption(status + IncompleteSearchText(FFind->Session));
        }
        return true;
    default: return false;
    }
}

bool TMainForm::FindHitsChangeable() const { return FFind && FFind->Session.CanChangeHits(); }

void TMainForm::FindAllDelete() {
    if (!FindHitsChangeable()) return;
    if (!FCommandHost->AskYesNo(search::kBulkDangerQuestion)) return;
    ShowToolPage(0);
    if (!FOptions.SetNoMessage &&
        !search::AskInTurn(search::BulkDeleteQuestions(),
                           [this](const std::wstring& question) { return FCommandHost->AskYesNo(question); }))
        return;
    const search::TBulkReport report = search::DeleteHits(FFind->Session.Results(), *FUndoProvider);
    FFind->Session.ClearHits();
    FindOuts->Invalidate();
    RefreshAllWindows();
    if (const std::wstring notice = search::BulkDeleteNoBackupText(report); !notice.empty())
        FCommandHost->ShowMessage(notice);
}

void TMainForm::FindAllReplace() {
    if (!FindHitsChangeable()) return;
    if (!FOptions.SetNoMessage && !FCommandHost->AskYesNo(search::kBulkDangerQuestion)) return;
    ShowToolPage(0);
    {
        // The dialog reads the hits while it lives: it goes before they do.
        const auto dialog = std::make_unique<searchui::TFindAllReplaceForm>(this, FFind->Host);
        dialog->Setup(FFind->Session.LastFind(), FFind->Session.Results());
        if (dialog->ShowModal() != classlib::mrOk) return;
    }
    FFind->Session.ClearHits();
    FindOuts->Invalidate();
    RefreshAllWindows();
}

}  // namespace app
