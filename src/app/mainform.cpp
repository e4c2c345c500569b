#include "app/mainform.h"

#include "app/layoutfile.h"
#include "app/regedform.h"
#include "app/singleinstance.h"
#include "app/startup.h"
#include "controls/toolbar/themed/thmswitcher.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/wideutils.h"
#include "settings/inifile.h"
#include "settings/settingsfiles.h"
#include "undo/undoprovider.h"
#include "views/regtreeview.h"
#include "widgets/mousegestures.h"
#include "widgets/vstab.h"


namespace app {

using settings::GetSettingsFilePath;

namespace {

// Window classes over which a gesture may start, and those where a right-button press
// stops one (the views keep their own right-button handling).
constexpr const wchar_t* kGestureWindowClasses[] = {
    L"TVxRegTreeView", L"MDIClient", L"TMainForm", L"TVxRegListView", L"Edit", L"TRegEdForm",
    L"TUiToolbar", L"TUiButton", L"TUiComboBox", L"TUiTabToolbar"};
constexpr const wchar_t* kGestureStopClasses[] = {L"TVxRegTreeView", L"TVxRegListView", L"TGridStringTree"};

// Runs `read` on a settings file; a file that cannot be read is reported and the program
// goes on with what it had.
template <class F>
void ReadSettingsFile(const std::wstring& name, F read) {
    try {
        const settings::TVxMemIniFile file(GetSettingsFilePath(name));
        read(file);
    } catch (...) {
        classlib::HandleCurrentException(nullptr);
    }
}


}  // namespace

TMainForm::TMainForm(classlib::TComponent* owner, std::vector<std::wstring> params, TStartupOptions startup)
    : wide::TWideForm(owner), FParams(std::move(params)), FStartup(startup) {
    WindowClassName = L"TMainForm";
    SetFormStyle(classlib::fsMDIForm);
    SetPosition(classlib::poDefault);
    SetBounds(0, 0, 800, 600);
    SetColor(classlib::clAppWorkSpace);
    SetCaption(L"Wendlar");

    FUndoProvider = new undo::TVxRegClipUndoProvider(this);
    FUndoProvider->RegistryScriptExportDir =
        settings::SettingsFolderOf(wide::WideGetModuleFileName(nullptr)) + L"Undo";
    wide::WideForceDirectories(FUndoProvider->RegistryScriptExportDir);

    FActions = new TMainActionList(this);
    FActions->ShortCutsAllowed = [this] { return MainFormIsActive(this); };
    FActions->UpdateStates = [this] { UpdateActionStates(); };
    FStates = ReadActionStates(*FActions);

    FThemeSwitcher = new themed::TThmSwitcher(this);
    FGestures = new widgets::TVxMouseGestures(this);
    FGestures->Enabled = false;
    LoadPictures();
    CreateTabStrip();
    BindActions();
    CreateCommandsAndTools();
    OnOpenWindow = [this](const std::wstring& path) { OpenWindow(path); };
    OnDescribeRegistryWindow = [this] { return DescribeActiveWindow(); };
    CreateChrome();
    CreateFeatures();
    CreatePictures();

    LoadLayout();
    LoadSettings();
    if (FOptions.SetUndoSaving && FUndoProvider->LoadUndoList(GetSettingsFilePath(L"Undo.db")).Lossy)
        FKeptFiles.push_back({GetSettingsFilePath(L"Undo.db"), L"アンドゥ情報"});
    if (FGestures->Enabled) SetUpGestures();
    FHelp = std::make_unique<THtmlHelpSession>(Handle());

    OnClose = [this](classlib::TComponent*, classlib::TCloseAction&) { FormClose(); };
    if (classlib::Application)
        classlib::Application->OnIdle = [this](classlib::TComponent*, bool&) { UpdateActionStates(); };

    // Runs once the message loop runs: a queued call (a timer would wait 10 ms at least).
    if (classlib::Application) classlib::Application->QueueCall([this] { StartUpTimerTimer(); }, this);
    DoCreate();
}

TMainForm::~TMainForm() {
    if (classlib::Application) {
        classlib::Application->OnIdle = nullptr;
        classlib::Application->CancelQueuedCalls(this);
    }
}

void TMainForm::LoadSettings() {
    FOptions = TMainOptions{};
    ReadSettingsFile(L"setting.db", [&](const settings::TVxMemIniFile& file) { FOptions = ReadMainOptions(file); });
    // A name no theme is registered under (left by another build, say) keeps the theme in use.
    FThemeSwitcher->SetTheme(FOptions.ThmTheme);
    FUndoProvider->KeyDeleteUndo = !FOptions.SetNoKeyUndo;
    FGestures->Enabled = FOptions.Gesture;
    FGestures->GestureLength = FOptions.SetGestureLength;
    FGestures->GestureStopRecognitionLength = static_cast<unsigned>(FOptions.SetGestureStop);
    for (TRegEdForm* window : RegistryWindows()) window->ApplyOptions(TRegWindowOptions(FOptions), false);
    VxVSTab->SetTabWidth(FOptions.SetTabWidth);
    VxVSTab->SetActiveGrad(FOptions.ColorTabActiveGradStart, FOptions.ColorTabActiveGradEnd);
    VxVSTab->SetNonActiveGrad(FOptions.ColorTabGradStart, FOptions.ColorTabGradEnd);
    VxVSTab->SetColor(FOptions.ColorTabBack);
    VxVSTab->SetTextColors(FOptions.ColorTabText, FOptions.ColorTabTextActive);
    ReadSettingsFile(L"HotKey.db", [&](const settings::TVxMemIniFile& file) { LoadHotKeys(*FActions, file); });
    FeaturesOptionsChanged();
}

void TMainForm::SetUpGestures() {
    for (const wchar_t* name : kGestureWindowClasses) FGestures->GestureComponents.Add(name);
    for (const wchar_t* name : kGestureStopClasses) FGestures->MouseRightStopComponent.Add(name);
    ReadSettingsFile(L"Gesture.db", [&](const settings::TVxMemIniFile& file) {
        for (const TGestureBinding& binding : ReadGestureTable(*FActions, file))
            FGestures->AddGesture(binding.Gesture, binding.Action);
    });
    FGestures->InstallHook();
}

void TMainForm::LoadLayout() {
    const std::wstring fileName = GetSettingsFilePath(L"ToolBar.db");
    if (!wide::WideFileExists(fileName)) return;
    ReadSettingsFile(L"ToolBar.db", [&](const settings::TVxMemIniFile& file) {
        if (file.LoadWasLossy()) FKeptFiles.push_back({fileName, L"ツールバーとウインドウの配置"});
        // The menu bar's holder of submenus is never shown.
        ReadBarsLayout(file, *this, {ToolMenuHide});
        if (!file.ValueExists(L"Wnd", L"Width") && !file.ValueExists(L"Wnd", L"State")) return;
        TWindowLayout current;
        current.Normal = {Left(), Top(), Left() + Width(), Top() + Height()};
        const TWindowLayout layout = ReadWindowLayout(file, current);
        const RECT r = ClampToScreen(layout.Normal);
        SetPosition(classlib::poDesigned);
        SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        if (layout.State == TLayoutWindowState::Maximized) SetWindowState(classlib::wsMaximized);
        if (layout.State == TLayoutWindowState::Minimized) SetWindowState(classlib::wsMinimized);
    });
}

bool TMainForm::SaveLayout() {
    settings::TVxMemIniFile file(GetSettingsFilePath(L"ToolBar.db"));
    WriteChromeLayout(file);
    if (!FOptions.SetNoSaveWnd) {
        TWindowLayout layout = WindowLayoutOf(Handle());
        if (TRegEdForm* window = ActiveRegEdForm()) {
            layout.RegTree = window->VxRegTreeView->Width();
            layout.RegTreeVisible = window->VxRegTreeView->Visible();
        }
        WriteWindowLayout(file, layout);
    }
    file.UpdateFile();
    return true;
}

void TMainForm::FormClose() {
    if (FClosed) return;  // a second close while the report is shown
    FClosed = true;
    std::vector<TCloseStep> steps;
    if (SavesTabsAtClose(FOptions, FParams.size()) && OnSaveTabs) {
        const std::wstring tabs = GetSettingsFilePath(L"Tabs.db");
        steps.push_back({tabs, [this, tabs] { return OnSaveTabs(tabs); }});
    }
    steps.push_back({GetSettingsFilePath(L"ToolBar.db"), [this] { return SaveLayout(); }});
    if (FOptions.SetUndoSaving) {
        const std::wstring undoFile = GetSettingsFilePath(L"Undo.db");
        steps.push_back({undoFile, [this, undoFile] { return FUndoProvider->SaveUndoList(undoFile); }});
    }
    const std::vector<std::wstring> failures = RunCloseSteps(WithoutKeptFiles(std::move(steps), FKeptFiles));
    if (!failures.empty() && classlib::Application)
        classlib::Application->MessageBox(CloseFailureText(failures), classlib::Application->Title(),
                                          MB_OK | MB_ICONERROR);
}

void TMainForm::BindActions() {
    using enum TActionId;
    const std::pair<TActionId, std::function<void()>> commands[] = {
        {aacNewWindow, [this] { OpenWindow(L""); }},
        {aacNewAcWindow,
         [this] {
             if (TRegEdForm* window = ActiveRegEdForm())
                 if (auto key = window->VxRegTreeView->GetSelectedKey()) OpenWindow(key->FFullPath);
         }},
        {aacClose,
         [this] {
             if (classlib::TForm* child = ActiveMDIChild()) child->Close();
         }},
        {aacAllClose, [this] { CloseWindows(nullptr); }},
        {aacNonActiveAllClose, [this] { CloseWindows(ActiveRegEdForm()); }},
        {aacVertWindow, [this] { TileWindows(MDITILE_VERTICAL); }},
        {aacHorzWindow, [this] { TileWindows(MDITILE_HORIZONTAL); }},
        {aacCascadeWindow, [this] { Cascade(); }},
        {aacNextWindow, [this] { Next(); }},
        {aacPrevWindow, [this] { Previous(); }},
        {aacAllAllUpdate, [this] { RefreshAllWindows(); }},
        {aacExit, [this] { Close(); }},
        {aacEdit, [this] { EditValue(); }},
        {aacNewSZ, [this] { NewValue(REG_SZ); }},
        {aacNewExSZ, [this] { NewValue(REG_EXPAND_SZ); }},
        {aacNewDWORD, [this] { NewValue(REG_DWORD); }},
        {aacNewQWord, [this] { NewValue(REG_QWORD); }},
        {aacNewMultiSZ, [this] { NewValue(REG_MULTI_SZ); }},
        {aacNewBin, [this] { NewValue(REG_BINARY); }},
        {aacBinEdit, [this] { EditValueAsBinary(); }},
        {aacNewCustomBin, [this] { NewCustomValue(); }},
    };
    for (const auto& [id, run] : commands)
        FActions->Action(id)->OnExecute = [run](classlib::TComponent*) { run(); };
}

bool TMainForm::RunAction(TActionId id) { return FActions->Action(id)->Execute(); }

void TMainForm::StartUpTimerTimer() {
    // Whatever fails on the way is reported, and the window shows all the same: an instance
    // without a window would be out of the user's reach.
    try {
        if (OnShowLicense && TakeFirstRunMarker(GetSettingsFilePath(L"setting.db"))) OnShowLicense();
        const TStartupPlan plan = PlanStartupWindows(FParams, FStartup, FOptions, GetSettingsFilePath(L"Tabs.db"),
                                                     [](const std::wstring& f) { return wide::WideFileExists(f); });
        if (plan.LoadTabs) {
            if (OnLoadTabs) OnLoadTabs(plan.TabFile);
        } else if (OnOpenWindow) {
            for (const std::wstring& path : plan.Paths) OnOpenWindow(path);
        }
    } catch (...) {
        classlib::HandleCurrentException(this);
    }
    if (classlib::Application) classlib::Application->ShowMainForm = true;
    Show();
    // One notice for everything that did not load.
    std::wstring notice = FKeptFiles.empty() ? L"" : KeptFilesText(FKeptFiles);
    if (const std::wstring features = FeatureStartNotice(); !features.empty())
        notice += (notice.empty() ? L"" : L"\r\n\r\n") + features;
    if (!notice.empty() && classlib::Application)
        classlib::Application->MessageBox(notice, classlib::Application->Title(), MB_OK | MB_ICONWARNING);
}

void TMainForm::UpdateActionStates() {
    TActionStateInput input;
    input.HelpFileExists = wide::WideFileExists(
        wide::WideExtractFilePath(wide::WideGetModuleFileName(nullptr)) + L"Wendlar.chm");
    input.UndoListEmpty = FUndoProvider->UndoList().empty();
    input.KeyClipboardEmpty = FUndoProvider->KeyClipList().empty();
    input.ValueClipboardEmpty = FUndoProvider->ValueClipList().empty();
    input.AddressBoxFocused = UpdateChromeStates();
    input.FindHitsChangeable = FindHitsChangeable();
    if (OnDescribeRegistryWindow) input.Window = OnDescribeRegistryWindow();
    ComputeActionStates(input, FStates);
    ApplyActionStates(FStates, *FActions);
}

void TMainForm::OpenPendingWindow() {
    if (FPendingPaths.empty() || FClosed) return;
    const std::wstring path = std::move(FPendingPaths.front());
    FPendingPaths.pop_front();
    if (!FPendingPaths.empty()) classlib::Application->QueueCall([this] { OpenPendingWindow(); }, this);
    if (OnOpenWindow) OnOpenWindow(path);
}

void TMainForm::Dispatch(classlib::TMessage& m) {
    if (m.Msg == WM_COPYDATA) {
        WMCopyData(m);
        return;
    }
    if (FeatureMessage(m)) return;
    wide::TWideForm::Dispatch(m);
}

void TMainForm::WMCopyData(classlib::TMessage& m) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
    if (!data || data->dwData != CopyDataOpenPathsId) {
        wide::TWideForm::Dispatch(m);
        return;
    }
    // The windows open after the reply, one per turn of the loop: the sending start ends at
    // once and the program keeps answering while they open. What waits is bounded as one
    // hand-over is.
    const bool idle = FPendingPaths.empty();
    for (std::wstring& line : ReadHandOverLines(*data))
        if (FPendingPaths.size() < MaxHandOverWindows) FPendingPaths.push_back(std::move(line));
    if (idle && !FPendingPaths.empty() && classlib::Application)
        classlib::Application->QueueCall([this] { OpenPendingWindow(); }, this);
    m.Result = 0;
}

}  // namespace app
