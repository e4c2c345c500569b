#include "app/findfeature.h"

#include "app/commandhost.h"
#include "app/mainactions.h"
#include "app/mainoptions.h"
#include "app/valueio.h"
#include "classlib/form.h"
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
#include "undo/undoprovider.h"
#include "views/regtreeview.h"

namespace app {

using classlib::TComponent;
using enum TActionId;

namespace {

constexpr int kFindStateBarHeight = 20;

// The main window as the search dialogs' host.
class TMainFindHost final : public searchui::IFindDialogHost {
public:
    TMainFindHost(const TFeatureContext& context, TFindFeatureHost& host) : FContext(context), FHost(host) {}

    std::wstring ReadSettingString(const std::wstring& name, const std::wstring& defaultValue) override {
        return options::ReadSettingString(name, defaultValue);
    }
    void WriteSettingString(const std::wstring& name, const std::wstring& value) override {
        options::WriteSettingString(name, value);
    }
    classlib::TImageList* ToolBarImages() override { return FContext.ToolBarImages; }
    classlib::TImageList* ComponentImages() override { return FContext.RegTreeImages; }
    classlib::TImageList* RegistryObjectImages() override { return FContext.RegObjectImages; }
    bool RegexLibraryPresent() override {
        return wide::WideFileExists(wide::WideExtractFilePath(wide::WideGetModuleFileName(nullptr)) + L"onig.dll");
    }
    bool SetNoMessage() override { return FHost.Options().SetNoMessage; }
    undo::TVxRegClipUndoProvider& UndoProvider() override { return FHost.UndoProvider(); }
    search::TBulkValueWriters ValueWriters() override {
        undo::TVxRegClipUndoProvider& undo = FHost.UndoProvider();
        search::TBulkValueWriters writers;
        writers.WriteString = [&undo](const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                                      const std::wstring& text) { WriteStringValue(undo, key, name, type, text); };
        writers.WriteData = [&undo](const registry::TVxRegKeyClass& key, const std::wstring& name, DWORD type,
                                    const std::vector<BYTE>& data) { WriteBinaryValue(undo, key, name, type, data); };
        return writers;
    }

private:
    const TFeatureContext FContext;
    TFindFeatureHost& FHost;
};

// The start keys a key tree proposes: its selected key, or every hive without one.
std::wstring ProposedStartKeys(views::TVxRegTreeView& tree) {
    const std::optional<registry::TVxRegKeyClass> key = tree.GetSelectedKey();
    return key ? key->FFullPath : tree.GetRootKeyPaths();
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

struct TFindFeature::TState {
    explicit TState(gridtree::TGridStringTree& pane) : Pane(pane, Session) {}
    // The session goes after the pane bound to it, and stops its search (joined) as it goes.
    search::TFindSession Session;
    search::TFindResultPane Pane;
};

TFindFeature::TFindFeature(const TFeatureContext& context, TToolPanel& panel, TFindFeatureHost& host)
    : FContext(context), FPanel(panel), FHost(host), FDialogHost(std::make_unique<TMainFindHost>(context, host)) {
    TMainActionList& actions = FContext.Actions;
    actions.Action(aacFindReplace)->OnExecute = [this](TComponent*) {
        // A locked window keeps its place: the search proposes where it stands. Otherwise the
        // dialog keeps its own list.
        views::TVxRegTreeView* tree = FHost.ActiveKeyTree();
        StartFind(tree && FHost.ActiveWindowLocked() ? ProposedStartKeys(*tree) : std::wstring());
    };
    actions.Action(aacTreeExecuteFind)->OnExecute = [this](TComponent*) {
        if (views::TVxRegTreeView* tree = FHost.ActiveKeyTree()) StartFind(ProposedStartKeys(*tree));
    };
    actions.Action(aacFindAllDelete)->OnExecute = [this](TComponent*) { DeleteAll(); };
    actions.Action(aacFindAllReplace)->OnExecute = [this](TComponent*) { ReplaceAll(); };
    FPanel.SetPage(FindToolPage, this);
}

TFindFeature::~TFindFeature() {
    FState.reset();
    delete FMenu;
    delete FResults;
    delete FStateBar;
    FPanel.SetPage(FindToolPage, nullptr);
}

void TFindFeature::CreateControls(classlib::TWinControl& page) {
    classlib::TForm& form = FContext.Form;
    FStateBar = new ui::TUiPanel(&form);
    FStateBar->SetName(L"FindStateBar");
    FStateBar->SetParent(&page);
    FStateBar->SetAlign(classlib::alBottom);
    FStateBar->SetHeight(kFindStateBarHeight);
    FStateLabel = new ui::TUiLabel(&form);
    FStateLabel->SetName(L"FindStateLabel");
    FStateLabel->SetParent(FStateBar);
    FStateLabel->SetAlign(classlib::alClient);
    FStateLabel->SetCaption(L"");

    FResults = new gridtree::TGridStringTree(&form);
    FResults->SetName(L"FindOuts");
    FResults->SetParent(&page);
    FResults->SetAlign(classlib::alClient);
    FResults->SetImages(FContext.RegObjectImages);
    FState = std::make_unique<TState>(*FResults);
    // Like the other panes: a right click selects, a flat list without root lines.
    gridtree::TCustomGridTreeOptions& options = FResults->TreeOptions();
    options.SetSelectionOptions(options.SelectionOptions() | gridtree::toRightClickSelect);
    options.SetPaintOptions(options.PaintOptions() & ~(gridtree::toShowRoot | gridtree::toShowTreeLines));
    FState->Pane.OnJump = [this](const registry::TVxRegFindClass& hit) {
        if (views::TVxRegTreeView* tree = FHost.ActiveKeyTree()) tree->JumpToPath(hit.FFullPath);
    };

    FMenu = new ui::TUiPopupMenu(&form);
    FMenu->SetName(L"FindPopupMenu");
    FMenu->SetImages(FContext.ToolBarImages);
    auto* removeItem = new ui::TUiItem(FMenu);
    removeItem->SetName(L"DeleteFindItem");
    removeItem->SetCaption(L"このアイテムを検索結果から除去する");
    removeItem->SetOnClick([this](TComponent*) { FState->Pane.RemoveSelected(); });
    FMenu->Items()->Add(removeItem);
    // The tree's menu for its rows: a right click on a selected row keeps the other selected
    // rows, so several hits go at once.
    FResults->OnGetPopupMenu = [this, removeItem](gridtree::TBaseGridTree*, gridtree::PGridNode,
                                                  gridtree::TColumnIndex, POINT, bool&, classlib::TPopupMenu*& menu) {
        removeItem->SetEnabled(FState && FState->Pane.CanRemoveSelected());
        menu = FMenu;
    };
}

void TFindFeature::StartFind(const std::wstring& startKeys) {
    search::TWendlarFindRecord record;
    {
        const auto dialog = std::make_unique<searchui::TFindForm>(&FContext.Form, *FDialogHost);
        if (!startKeys.empty()) dialog->SetStartKeys(startKeys);
        if (dialog->ShowModal() != classlib::mrOk) return;
        record = dialog->FindRecord();
    }
    FPanel.ShowPage(FindToolPage);  // makes the page and the session the first time
    if (!FState) return;
    FStateLabel->SetCaption(L"");
    // Stops a search that runs (joined; its hits go), then starts this one.
    FState->Session.Start(std::move(record), FContext.Form.Handle());
    FResults->Invalidate();
}

bool TFindFeature::HandleMessage(classlib::TMessage& m) {
    if (!FState) return false;
    std::wstring status;
    switch (m.Msg) {
    case search::WM_FINDHIT: FState->Session.HandleHit(m.WParam); return true;
    case search::WM_FINDPROGRESS:
        if (FState->Session.HandleProgress(m.WParam, status)) {
            FStateLabel->SetCaption(status);
            FStateLabel->Update();
        }
        return true;
    case search::WM_FINDDONE:
        if (FState->Session.HandleDone(m.WParam, status)) {
            FResults->Invalidate();
            FStateLabel->SetCaption(status + IncompleteSearchText(FState->Session));
        }
        return true;
    default: return false;
    }
}

bool TFindFeature::HitsChangeable() const { return FState && FState->Session.CanChangeHits(); }

void TFindFeature::DeleteAll() {
    if (!HitsChangeable()) return;
    TCommandHost& questions = FHost.Questions();
    if (!questions.AskYesNo(search::kBulkDangerQuestion)) return;
    FPanel.ShowPage(FindToolPage);
    if (!FHost.Options().SetNoMessage &&
        !search::AskInTurn(search::BulkDeleteQuestions(),
                           [&questions](const std::wstring& question) { return questions.AskYesNo(question); }))
        return;
    const search::TBulkReport report = search::DeleteHits(FState->Session.Results(), FHost.UndoProvider());
    FState->Session.ClearHits();
    FResults->Invalidate();
    FHost.RefreshAllWindows();
    if (const std::wstring notice = search::BulkDeleteNoBackupText(report); !notice.empty())
        questions.ShowMessage(notice);
}

void TFindFeature::ReplaceAll() {
    if (!HitsChangeable()) return;
    if (!FHost.Options().SetNoMessage && !FHost.Questions().AskYesNo(search::kBulkDangerQuestion)) return;
    FPanel.ShowPage(FindToolPage);
    {
        // The dialog reads the hits while it lives: it goes before they do.
        const auto dialog = std::make_unique<searchui::TFindAllReplaceForm>(&FContext.Form, *FDialogHost);
        dialog->Setup(FState->Session.LastFind(), FState->Session.Results());
        if (dialog->ShowModal() != classlib::mrOk) return;
    }
    FState->Session.ClearHits();
    FResults->Invalidate();
    FHost.RefreshAllWindows();
}

}  // namespace app
