// The main window's key, value and generic commands: each action runs its function of
// keycommands/valuecommands/toolpanes on the active registry window, with the main window
// answering the commands' questions, input, refreshes and progress. (The undo and clipboard
// pages bind the commands on their rows themselves, toolpages.cpp.)
#include "app/mainform.h"

#include "app/keycommands.h"
#include "app/regedform.h"
#include "app/toolpanes.h"
#include "app/valuecommands.h"
#include "classlib/application.h"
#include "classlib/scopeguard.h"
#include "controls/wide/widebutton.h"
#include "controls/wide/wideclipboard.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/widelabel.h"
#include "undo/undoprovider.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"

namespace app {

using enum TActionId;

namespace {

// Work shorter than this shows no progress window.
constexpr ULONGLONG kProgressDelayMs = 400;
// The count is shown and the messages run at most this often: once per key, the painting
// of the count would take longer than the work.
constexpr ULONGLONG kProgressIntervalMs = 30;

// A small window counting the keys a long copy or delete has done, with a Cancel button.
// While it is up the main window is disabled, so that the messages run between two keys
// keep the program painted without letting another command start.
class TKeyWorkProgressForm : public wide::TWideForm {
public:
    explicit TKeyWorkProgressForm(classlib::TForm* mainForm) : wide::TWideForm(nullptr), FMainForm(mainForm) {
        SetBorderStyle(classlib::bsDialog);
        SetPosition(classlib::poOwnerFormCenter);
        SetCaption(L"処理中");
        SetClientWidth(280);
        SetClientHeight(84);
        FCount = new wide::TWideLabel(this);
        FCount->SetParent(this);
        FCount->SetBounds(12, 14, 256, 18);
        auto* cancel = new wide::TWideButton(this);
        cancel->SetParent(this);
        cancel->SetCaption(L"キャンセル");
        cancel->SetBounds(194, 48, 75, 25);
        cancel->Cancel = true;
        cancel->OnClick = [this](classlib::TComponent*) { Cancelled = true; };
        OnCloseQuery = [this](classlib::TComponent*, bool& canClose) {
            Cancelled = true;
            canClose = false;
        };
        EnableWindow(FMainForm->Handle(), FALSE);
        Show();
    }
    ~TKeyWorkProgressForm() override {
        EnableWindow(FMainForm->Handle(), TRUE);
        SetForegroundWindow(FMainForm->Handle());
    }
    void ShowCount(size_t done) { FCount->SetCaption(L"処理したキーの数：" + std::to_wstring(done)); }
    bool Cancelled = false;

private:
    classlib::TForm* FMainForm;
    wide::TWideLabel* FCount = nullptr;
};

}  // namespace

// The main window answering the commands.
class TMainCommandHost final : public TCommandHost {
public:
    explicit TMainCommandHost(TMainForm& form) : FForm(form) {}

    bool AskYesNo(const std::wstring& text) override {
        return wide::WideMessageDlg(text, wide::mtWarning, wide::mbYesNo, 0) == classlib::mrYes;
    }
    bool InputText(const std::wstring& caption, const std::wstring& prompt, std::wstring& value) override {
        return wide::WideInputQuery(caption, prompt, value);
    }
    void ShowMessage(const std::wstring& text) override { wide::WideShowMessage(text); }
    void RefreshKeyTree() override {
        TRegEdForm* window = FForm.ActiveRegEdForm();
        if (!window) return;
        FForm.UnlockActiveWindow();
        const auto relock = classlib::ScopeExit([&] { FForm.RelockActiveWindow(); });
        // A jump that ends on a missing key (the old name of a renamed key) hands the focus
        // to the value list; a command run from the tree leaves the focus there.
        views::TVxRegTreeView& tree = *window->VxRegTreeView;
        const bool treeFocused = tree.Focused();
        tree.RefreshSelectedParent();
        if (treeFocused && !tree.Focused()) tree.SetFocus();
    }
    void RefreshValueList() override {
        TRegEdForm* window = FForm.ActiveRegEdForm();
        if (!window) return;
        const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
        window->VxRegListView->ShowKey(key ? &*key : nullptr);
    }
    void RefreshAllWindows() override { FForm.RefreshAllWindows(); }
    void ExpandAllBelowSelected() override {
        if (TRegEdForm* window = FForm.ActiveRegEdForm()) window->VxRegTreeView->ExpandAllBelowSelected();
    }
    void SetClipboardText(const std::wstring& text) override { wide::WideClipboard().SetAsWideText(text); }
    void ShowToolPage(int page) override { FForm.ShowToolPage(page); }
    bool Progress(size_t keysDone) override {
        const ULONGLONG now = GetTickCount64();
        if (keysDone == 0 || FStarted == 0) {
            FStarted = FShown = now;
            FCancelled = false;
        }
        if (now - FShown < kProgressIntervalMs) return !FCancelled;
        FShown = now;
        if (!FProgress && now - FStarted >= kProgressDelayMs)
            FProgress = std::make_unique<TKeyWorkProgressForm>(&FForm);
        if (FProgress) {
            FProgress->ShowCount(keysDone);
            if (classlib::Application) classlib::Application->ProcessMessages();
            FCancelled = FCancelled || FProgress->Cancelled;
        }
        return !FCancelled;
    }
    // The end of a command: its progress window goes.
    void EndWork() {
        FProgress.reset();
        FStarted = 0;
    }

private:
    TMainForm& FForm;
    std::unique_ptr<TKeyWorkProgressForm> FProgress;
    ULONGLONG FStarted = 0, FShown = 0;
    bool FCancelled = false;
};

namespace {

// Copies of the records of the selected value rows, in list order (a command's question may
// outlast the rows).
TSelectedValues SelectedValues(views::TVxRegListView& list) {
    TSelectedValues values;
    for (gridtree::PGridNode node = list.GetFirstSelected(); node; node = list.GetNextSelected(node))
        if (const registry::TVxRegValueClass* value = list.ValueOfNode(node)) values.push_back(*value);
    return values;
}

}  // namespace

void TMainForm::CreateCommandsAndTools() {
    FCommandHost = std::make_unique<TMainCommandHost>(*this);
    CreateToolPanel();
    CreateTabMenu();
    BindCommands();
    OnSaveTabs = [this](const std::wstring& fileName) { return SaveTabs(fileName); };
    OnLoadTabs = [this](const std::wstring& fileName) { LoadTabs(fileName); };
}

TCommandContext TMainForm::CommandContext() {
    return {*FCommandHost, *FUndoProvider, FOptions.SetNoAllMessage, FOptions.SetKeyClip, FOptions.SetValueClip};
}

void TMainForm::RunCommand(const std::function<void()>& command) {
    const auto end = classlib::ScopeExit([this] { static_cast<TMainCommandHost&>(*FCommandHost).EndWork(); });
    command();
}

void TMainForm::BindCommands() {
    // A command on the active window's selected key (none without a window or a key).
    using TKeyCommand = std::function<void(const TCommandContext&, const registry::TVxRegKeyClass*)>;
    const auto onKey = [this](TKeyCommand command) {
        return [this, command] {
            TRegEdForm* window = ActiveRegEdForm();
            const std::optional<registry::TVxRegKeyClass> key =
                window ? window->VxRegTreeView->GetSelectedKey() : std::nullopt;
            command(CommandContext(), key ? &*key : nullptr);
        };
    };
    // A command on the selected key and the selected value rows.
    using TValueCommand =
        std::function<void(const TCommandContext&, const registry::TVxRegKeyClass*, TSelectedValues)>;
    const auto onValues = [this](TValueCommand command) {
        return [this, command] {
            TRegEdForm* window = ActiveRegEdForm();
            if (!window) return;
            const std::optional<registry::TVxRegKeyClass> key = window->VxRegTreeView->GetSelectedKey();
            command(CommandContext(), key ? &*key : nullptr, SelectedValues(*window->VxRegListView));
        };
    };
    // The bracket of the refresh commands: the lock lifted for the time of the refresh.
    const auto refresh = [this](void (views::TVxRegTreeView::*how)()) {
        return [this, how] {
            TRegEdForm* window = ActiveRegEdForm();
            if (!window) return;
            const bool locked = window->TabLocked();
            window->SetTabLock(false);
            const auto relock = classlib::ScopeExit([&] { window->SetTabLock(locked); });
            (window->VxRegTreeView->*how)();
        };
    };

    const std::pair<TActionId, std::function<void()>> commands[] = {
        {aacNewKey, onKey(NewKeyCommand)},
        {aacTreeDelete, onKey(DeleteKeyCommand)},
        {aacTreeRename, onKey(RenameKeyCommand)},
        {aacTreeCopy, onKey([](const TCommandContext& c, auto* key) { CopyKeyToClipboard(c, key, false); })},
        {aacTreeCut, onKey([](const TCommandContext& c, auto* key) { CopyKeyToClipboard(c, key, true); })},
        {aacTreePaste, onKey([](const TCommandContext& c, auto* key) { PasteKeysCommand(c, key); })},
        {aacExpandAllKey, onKey(ExpandAllKeyCommand)},
        {aacTreeNameCopy, onKey(CopyKeyNameCommand)},
        {aacTreeFullPathCopy, onKey(CopyKeyFullPathCommand)},
        {aacUpdateReg, refresh(&views::TVxRegTreeView::RefreshSelectedParent)},
        {aacAllUpdate, refresh(&views::TVxRegTreeView::RefreshAllKeys)},

        {aacListDelete, onValues(DeleteValuesCommand)},
        {aacListRename, onValues(RenameValueCommand)},
        {aacListCopy, onValues([](const TCommandContext& c, auto*, TSelectedValues v) { CopyValuesToClipboard(c, v, false); })},
        {aacListCut, onValues([](const TCommandContext& c, auto*, TSelectedValues v) { CopyValuesToClipboard(c, v, true); })},
        {aacListPaste, onValues([](const TCommandContext& c, auto* key, TSelectedValues) { PasteValuesCommand(c, key); })},
        {aacListNameCopy, onValues([](const TCommandContext& c, auto*, TSelectedValues v) { CopyValueNameCommand(c, v); })},
        {aacListFullPathCopy,
         onValues([](const TCommandContext& c, auto*, TSelectedValues v) { CopyValueFullPathCommand(c, v); })},
        {aacValueCopy, onValues([](const TCommandContext& c, auto*, TSelectedValues v) { CopyValueDataCommand(c, v); })},
        {aacSelectAll,
         [this] {
             if (TRegEdForm* window = ActiveRegEdForm()) window->VxRegListView->SelectAll(false);
         }},

        {aacUndo, [this] { UndoNewestCommand(CommandContext()); }},
    };
    for (const auto& [id, run] : commands)
        FActions->Action(id)->OnExecute = [this, run](classlib::TComponent*) { RunCommand(run); };

    // The generic edit commands run the key twin when the key tree has the focus, else the
    // value twin.
    for (TActionId generic : {aacCopy, aacCut, aacPaste, aacDelete, aacRename, aacCopyName, aacFullCopy})
        FActions->Action(generic)->OnExecute = [this, generic](classlib::TComponent*) {
            TRegEdForm* window = ActiveRegEdForm();
            if (!window) return;
            if (const std::optional<TActionId> target = GenericCommandTarget(generic, window->VxRegTreeView->Focused()))
                RunAction(*target);
        };
}

}  // namespace app
