#include "controls/toolbar/themed/thmregistry.h"

#include <algorithm>

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/gdiguards.h"
#include "classlib/runtime.h"
#include "controls/toolbar/themed/thmgradients.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/thmuxtheme.h"

namespace themed {

using namespace classlib;

bool IsLowColorDisplay = false;
bool IsWhiteButtonFace = false;
bool VisualStylesOpen = false;
bool UseFlatMenus = false;
TColor PopupMenuColor = clMenu;
TColor PopupMenuTextColor = clMenuText;

namespace {

struct TThemeRecord {
    std::wstring Name;
    TThmThemeClass Class;
    std::unique_ptr<TThmTheme> Instance;
    int RefCount = 0;
};

// The registered themes, with the instances in use: a process object of the application,
// so the themes go in the application's ordered teardown (after the nexus and the manager,
// which are made after it).
struct TThemeRegistry {
    std::vector<TThemeRecord> Records;
};

std::vector<TThemeRecord>& Registry() {
    if (!Application) throw EInvalidOperation(L"The theme registry needs the application object");
    return Application->ProcessObject<TThemeRegistry>().Records;
}

bool ApplicationActive() {
    if (Application) return Application->Active();
    DWORD pid = 0;
    HWND fg = GetForegroundWindow();
    if (fg) GetWindowThreadProcessId(fg, &pid);
    return fg && pid == GetCurrentProcessId();
}

// The manager while it exists: listeners that go after it (with the application) have
// nothing to leave.
TThmThemeManager* gManager = nullptr;

int ReadScreenColorBits() {
    classlib::TWindowDC screen(nullptr);
    return GetDeviceCaps(screen.Handle(), BITSPIXEL) * GetDeviceCaps(screen.Handle(), PLANES);
}

constexpr const wchar_t* kStyleClassNames[vscCount] = {
    L"BUTTON", L"SCROLLBAR", L"REBAR", L"TOOLBAR", L"WINDOW", L"COMBOBOX", L"EXPLORERBAR",
    L"STATUS", L"SPIN"};
constexpr int kFillColorProperty = 3802;
constexpr int kTextColorProperty = 3803;

}  // namespace

// --- registry -------------------------------------------------------------------------------------

void RegisterToolbarTheme(const std::wstring& name, TThmThemeClass themeClass) {
    if (name.empty() || !themeClass) throw Exception(L"Cannot register theme");
    std::wstring stored = name.substr(0, 255);
    if (FindToolbarTheme(stored) >= 0) throw Exception(L"Theme " + name + L" is already registered");
    TThemeRecord record;
    record.Name = std::move(stored);
    record.Class = std::move(themeClass);
    Registry().push_back(std::move(record));
}

int FindToolbarTheme(const std::wstring& name) {
    const auto& records = Registry();
    for (size_t i = 0; i < records.size(); ++i)
        if (SameText(records[i].Name, name)) return static_cast<int>(i);
    return -1;
}

bool IsToolbarThemeRegistered(const std::wstring& name) { return FindToolbarTheme(name) >= 0; }

void ListToolbarThemes(std::vector<std::wstring>& list) {
    for (const auto& record : Registry()) list.push_back(record.Name);
}

TThmTheme* AcquireToolbarTheme(const std::wstring& name) {
    int index = FindToolbarTheme(name);
    if (index < 0) throw Exception(L"Unknown theme " + name);
    TThemeRecord& record = Registry()[index];
    if (record.RefCount == 0) {
        std::unique_ptr<TThmTheme> theme = record.Class(record.Name);
        if (!theme) throw Exception(L"Unknown theme " + name);
        theme->Init();
        theme->HandleThemeNotice(ApplicationActive() ? 1 : 0);
        record.Instance = std::move(theme);
    }
    ++record.RefCount;
    return record.Instance.get();
}

void ReleaseToolbarTheme(TThmTheme*& theme) {
    for (auto& record : Registry()) {
        if (record.Instance.get() != theme) continue;
        if (record.RefCount < 1) throw Exception(L"Cannot release theme " + record.Name);
        if (--record.RefCount == 0) {
            record.Instance.reset();
            theme = nullptr;
        }
        return;
    }
    throw Exception(L"Cannot release theme");
}

void ClearToolbarThemes() {
    for (const auto& record : Registry())
        if (record.RefCount > 0) throw Exception(L"Theme " + record.Name + L" is still in use");
    Registry().clear();
}

// --- theme manager ------------------------------------------------------------------------

TThmThemeManager::TThmThemeManager() : ScreenColorBits(ReadScreenColorBits) {
    FWindow = std::make_unique<classlib::TUtilWindow>(
        [this](UINT msg, WPARAM wp, LPARAM, LRESULT&) { return WindowMessage(msg, wp); },
        classlib::TUtilWindow::ukTopLevel);
    gManager = this;
    RefreshSystemSettings();
}

TThmThemeManager::~TThmThemeManager() {
    if (gManager == this) gManager = nullptr;
    FWindow.reset();
    CloseVisualStyles();
}

void TThmThemeManager::OpenVisualStyles() {
    VisualStylesOpen = false;
    if (!FVisualStylesEnabled || !LoadVisualStyleLibrary()) return;
    const TThmVisualStyleApi& api = VisualStyleApi();
    VisualStylesOpen = VisualStylesInUse() && api.OpenThemeData && api.CloseThemeData;
    if (!VisualStylesOpen) return;
    for (int i = 0; i < vscCount; ++i) FStyleData[i] = api.OpenThemeData(Handle(), kStyleClassNames[i]);
}

void TThmThemeManager::CloseVisualStyles() {
    const TThmVisualStyleApi& api = VisualStyleApi();
    for (HTHEME& data : FStyleData) {
        if (data && api.CloseThemeData) api.CloseThemeData(data);
        data = nullptr;
    }
    VisualStylesOpen = false;
    // Unloaded every time so that the next open loads the library afresh.
    UnloadVisualStyleLibrary();
}

void TThmThemeManager::AddListener(TThmNoticeListener* listener) { FListeners.Add(listener); }

void TThmThemeManager::RemoveListener(TThmNoticeListener* listener) { FListeners.Remove(listener); }

void TThmThemeManager::Broadcast(int notice) {
    FListeners.ForEach([notice](TThmNoticeListener* listener) { listener->HandleThemeNotice(notice); });
}

void TThmThemeManager::NotifyChange() {
    if (FListeners.Empty()) return;
    Broadcast(tnBeginChange);
    Broadcast(tnRebuildColors);
    Broadcast(tnEndChange);
}

void TThmThemeManager::RefreshSystemSettings() {
    RecreateScratchObjects();
    IsLowColorDisplay = ScreenColorBits() < 12;
    IsWhiteButtonFace = GetSysColor(COLOR_BTNFACE) == RGB(255, 255, 255);

    CloseVisualStyles();
    OpenVisualStyles();
    TColor toolbarFace = clBtnFace, toolbarText = clBtnText;
    auto getThemeColor = VisualStyleApi().GetThemeColor;
    if (VisualStylesOpen && FStyleData[vscToolbar] && getThemeColor) {
        COLORREF c = 0;
        if (SUCCEEDED(getThemeColor(FStyleData[vscToolbar], 0, 0, kFillColorProperty, &c)))
            toolbarFace = static_cast<TColor>(c & 0xFFFFFF);
        if (SUCCEEDED(getThemeColor(FStyleData[vscToolbar], 0, 0, kTextColorProperty, &c)))
            toolbarText = static_cast<TColor>(c & 0xFFFFFF);
    }

    BOOL systemFlat = FALSE;
    if (!SystemParametersInfoW(SPI_GETFLATMENU, 0, &systemFlat, 0)) systemFlat = FALSE;
    if (systemFlat) {
        UseFlatMenus = FFlatMenuStyle != fmsFlatOff;
        PopupMenuColor = UseFlatMenus ? clMenu : toolbarFace;
        PopupMenuTextColor = UseFlatMenus ? clMenuText : toolbarText;
    } else if (FFlatMenuStyle == fmsFlatForced) {
        UseFlatMenus = true;
        PopupMenuColor = clWindow;
        PopupMenuTextColor = clWindowText;
    } else {
        UseFlatMenus = false;
        PopupMenuColor = clMenu;
        PopupMenuTextColor = clMenuText;
    }
}

void TThmThemeManager::SetVisualStylesEnabled(bool value) {
    if (value == FVisualStylesEnabled) return;
    FVisualStylesEnabled = value;
    RefreshSystemSettings();
    NotifyChange();
}

void TThmThemeManager::SetFlatMenuStyle(int value) {
    if (value == FFlatMenuStyle) return;
    FFlatMenuStyle = value;
    RefreshSystemSettings();
    NotifyChange();
}

void TThmThemeManager::SystemChanged() {
    RefreshSystemSettings();
    DropStreakTextureLines();
    NotifyChange();
}

// The system's notices; the answer stays DefWindowProcW's.
bool TThmThemeManager::WindowMessage(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_THEMECHANGED:
        SystemChanged();
        break;
    case WM_ACTIVATEAPP:
        Broadcast(wp ? tnAppActivated : tnAppDeactivated);
        break;
    default:
        break;
    }
    return false;
}

TThmThemeManager& ThemeManager() {
    if (!Application) throw EInvalidOperation(L"The theme manager needs the application object");
    return Application->ProcessObject<TThmThemeManager>();
}

void ThemeManagerAddListener(TThmNoticeListener* listener) { ThemeManager().AddListener(listener); }

void ThemeManagerRemoveListener(TThmNoticeListener* listener) {
    // Once the manager has gone, so has every listener entry.
    if (gManager) gManager->RemoveListener(listener);
}

int GetThemeManagerSetting(int kind) {
    switch (kind) {
    case 1: return ThemeManager().FlatMenuStyle();
    case 2: return ThemeManager().VisualStylesEnabled() ? 0 : 2;
    default: return -1;
    }
}

// --- frame geometry -------------------------------------------------------------------------

RECT GetFloatingCaptionRect(const TThmFloatingFrameInfo& frame, bool adjustForBorder,
                            bool leaveOutCloseButton) {
    RECT r{0, 0, frame.ClientWidth, GetSystemMetrics(SM_CYSMCAPTION) - 1};
    if (leaveOutCloseButton) r.right -= r.bottom - r.top;
    if (adjustForBorder) OffsetRect(&r, frame.BorderSize.x, frame.BorderSize.y);
    return r;
}

RECT GetFloatingCloseButtonRect(const TThmFloatingFrameInfo& frame, bool adjustForBorder) {
    RECT r = GetFloatingCaptionRect(frame, adjustForBorder, false);
    r.left = r.right - (r.bottom - r.top);
    return r;
}

int GetDragHandleSize(const TThmToolbarFrameInfo& frame) {
    if (!frame.AllowDrag) return 0;
    if (frame.CloseButtonState & cbsShown) return 14;
    switch (frame.DragHandleStyle) {
    case dhDouble: return 9;
    case dhSingle: return 6;
    default: return 0;
    }
}

RECT GetToolbarCloseButtonRect(const TThmToolbarFrameInfo& frame) {
    int side = GetDragHandleSize(frame) - 1;
    int x = frame.Vertical ? frame.ClientWidth + frame.BorderSize.x - side : frame.BorderSize.x;
    int y = frame.BorderSize.y;
    return RECT{x, y, x + side, y + side};
}

}  // namespace themed
