#include "app/layoutfile.h"

#include "controls/toolbar/tbdock.h"
#include "controls/toolbar/tbfloating.h"
#include "controls/toolbar/tbtoolbar.h"
#include "controls/toolbar/themed/thmdockpanel.h"

#include <algorithm>

namespace app {

namespace {

constexpr const wchar_t* kWnd = L"Wnd";

int ReadInt(const settings::TVxMemIniFile& file, const std::wstring& section, const wchar_t* key, int def) {
    return file.ReadInteger(section, key, def);
}

}  // namespace

void WriteLayoutItem(settings::TVxMemIniFile& file, const std::wstring& section, TLayoutItemKind kind,
                     const TLayoutItem& item) {
    auto num = [&](const wchar_t* key, int value) { file.WriteInt64(section, key, value); };
    const bool panel = kind == TLayoutItemKind::DockablePanel;
    num(L"FlortY", item.FloatY);
    num(L"FlortX", item.FloatX);
    if (panel) {
        num(L"SplitWidth", item.SplitWidth);
        num(L"SplitHeight", item.SplitHeight);
    }
    file.WriteBool(section, L"Float", item.Float);
    if (kind != TLayoutItemKind::ToolWindow) num(L"FloatW", item.FloatW);
    if (panel) num(L"FloatH", item.FloatH);
    num(L"Width", item.Width);
    num(L"Height", item.Height);
    num(L"Row", item.Row);
    num(L"Pos", item.Pos);
    file.WriteString(section, L"DockName", item.DockName);
    file.WriteBool(section, L"Visible", item.Visible);
}

TLayoutItem ReadLayoutItem(const settings::TVxMemIniFile& file, const std::wstring& section,
                           TLayoutItemKind kind, const TLayoutItem& current) {
    TLayoutItem item = current;
    const bool panel = kind == TLayoutItemKind::DockablePanel;
    item.FloatY = ReadInt(file, section, L"FlortY", current.FloatY);
    item.FloatX = ReadInt(file, section, L"FlortX", current.FloatX);
    item.Float = file.ReadBool(section, L"Float", current.Float);
    if (kind != TLayoutItemKind::ToolWindow) item.FloatW = ReadInt(file, section, L"FloatW", current.FloatW);
    if (panel) {
        item.FloatH = ReadInt(file, section, L"FloatH", current.FloatH);
        item.SplitWidth = ReadInt(file, section, L"SplitWidth", current.SplitWidth);
        item.SplitHeight = ReadInt(file, section, L"SplitHeight", current.SplitHeight);
    }
    item.Width = ReadInt(file, section, L"Width", current.Width);
    item.Height = ReadInt(file, section, L"Height", current.Height);
    item.Row = ReadInt(file, section, L"Row", current.Row);
    item.Pos = ReadInt(file, section, L"Pos", current.Pos);
    if (kind == TLayoutItemKind::Toolbar || !item.Float)
        item.DockName = file.ReadString(section, L"DockName", current.DockName);
    item.Visible = file.ReadBool(section, L"Visible", current.Visible);
    return item;
}

toolbar::TBarDock* FindDockByName(const classlib::TComponent& owner, const std::wstring& name) {
    if (name.empty()) return nullptr;
    for (int i = 0; i < owner.ComponentCount(); ++i) {
        classlib::TComponent* component = owner.Components(i);
        if (component->Name() == name) return dynamic_cast<toolbar::TBarDock*>(component);
    }
    return nullptr;
}

std::optional<TLayoutItemKind> LayoutKindOf(const toolbar::TBarCustomDockableWindow& bar) {
    if (dynamic_cast<const toolbar::TBarCustomToolbar*>(&bar)) return TLayoutItemKind::Toolbar;
    if (dynamic_cast<const themed::TThmCustomDockablePanel*>(&bar)) return TLayoutItemKind::DockablePanel;
    if (dynamic_cast<const toolbar::TBarToolWindow*>(&bar)) return TLayoutItemKind::ToolWindow;
    return std::nullopt;
}

std::vector<toolbar::TBarCustomDockableWindow*> LayoutBars(const classlib::TComponent& owner) {
    std::vector<toolbar::TBarCustomDockableWindow*> bars;
    for (int i = 0; i < owner.ComponentCount(); ++i)
        if (auto* bar = dynamic_cast<toolbar::TBarCustomDockableWindow*>(owner.Components(i)))
            if (LayoutKindOf(*bar) && !bar->Name().empty()) bars.push_back(bar);
    return bars;
}

TLayoutItem LayoutOf(toolbar::TBarCustomDockableWindow& bar) {
    TLayoutItem item;
    const POINT floating = bar.FloatingPosition();
    item.FloatX = floating.x;
    item.FloatY = floating.y;
    item.Width = bar.Width();
    item.Height = bar.Height();
    if (auto* toolbar = dynamic_cast<toolbar::TBarCustomToolbar*>(&bar)) item.FloatW = toolbar->FloatingRightX();
    if (auto* panel = dynamic_cast<themed::TThmCustomDockablePanel*>(&bar)) {
        item.Width = panel->DockedWidth();
        item.Height = panel->DockedHeight();
        // On a dock the window's own size is the one the user sees (the dock may have set it
        // without telling the docked sizes): the client part of it is kept.
        if (toolbar::TBarDock* dock = panel->CurrentDock()) {
            int ncWidth = 0, ncHeight = 0;
            panel->GetDockedNCAreaSize(ncWidth, ncHeight);
            if (dock->Vertical())
                item.Width = std::max(panel->Width() - ncWidth, 0);
            else
                item.Height = std::max(panel->Height() - ncHeight, 0);
        }
        item.FloatW = panel->FloatingWidth();
        item.FloatH = panel->FloatingHeight();
        item.SplitWidth = panel->SplitWidth();
        item.SplitHeight = panel->SplitHeight();
    }
    item.Row = bar.DockRow();
    item.Pos = bar.DockPos();
    item.Float = bar.Floating();
    item.DockName = bar.CurrentDock() ? bar.CurrentDock()->Name() : L"";
    item.Visible = bar.Visible();
    return item;
}

void WriteBarsLayout(settings::TVxMemIniFile& file, const classlib::TComponent& owner) {
    for (toolbar::TBarCustomDockableWindow* bar : LayoutBars(owner))
        WriteLayoutItem(file, bar->Name(), *LayoutKindOf(*bar), LayoutOf(*bar));
}

void ReadBarsLayout(const settings::TVxMemIniFile& file, const classlib::TComponent& owner,
                    const std::vector<const toolbar::TBarCustomDockableWindow*>& fixedVisibility) {
    for (toolbar::TBarCustomDockableWindow* bar : LayoutBars(owner)) {
        if (!file.ValueExists(bar->Name(), L"Visible")) continue;
        const TLayoutItem item = ReadLayoutItem(file, bar->Name(), *LayoutKindOf(*bar), LayoutOf(*bar));
        toolbar::TBarDock* dock = item.Float ? nullptr : FindDockByName(owner, item.DockName);
        if (dock && bar->AcceptsDock(dock)) {
            bar->SetDockRow(item.Row);
            bar->SetDockPos(item.Pos);
            bar->SetCurrentDock(dock);
        } else {
            bar->SetFloatingPosition({item.FloatX, item.FloatY});
            bar->SetFloating(true);
            bar->KeepOnScreen(false);  // a position saved on another screen layout comes back into view
        }
        ApplyBarSize(*bar, item);
        if (std::find(fixedVisibility.begin(), fixedVisibility.end(), bar) == fixedVisibility.end())
            bar->SetVisible(item.Visible);
    }
}

void ApplyBarSize(toolbar::TBarCustomDockableWindow& bar, const TLayoutItem& item) {
    if (auto* panel = dynamic_cast<themed::TThmCustomDockablePanel*>(&bar)) {
        const auto set = [&](int value, void (themed::TThmCustomDockablePanel::*setter)(int)) {
            if (value > 0) (panel->*setter)(value);
        };
        set(item.Width, &themed::TThmCustomDockablePanel::SetDockedWidth);
        set(item.Height, &themed::TThmCustomDockablePanel::SetDockedHeight);
        set(item.FloatW, &themed::TThmCustomDockablePanel::SetFloatingWidth);
        set(item.FloatH, &themed::TThmCustomDockablePanel::SetFloatingHeight);
        set(item.SplitWidth, &themed::TThmCustomDockablePanel::SetSplitWidth);
        set(item.SplitHeight, &themed::TThmCustomDockablePanel::SetSplitHeight);
        return;
    }
    if (auto* bars = dynamic_cast<toolbar::TBarCustomToolbar*>(&bar)) {
        if (item.FloatW > 0) bars->SetFloatingRightX(item.FloatW);
        return;
    }
    auto* window = dynamic_cast<toolbar::TBarToolWindow*>(&bar);
    if (!window || item.Width <= 0 || item.Height <= 0) return;
    const auto within = [](int value, int low, int high) {
        return std::max(low, high > 0 ? std::min(value, high) : value);
    };
    const int width = item.Width - (window->Width() - window->ClientAreaWidth());
    const int height = item.Height - (window->Height() - window->ClientAreaHeight());
    window->SetClientAreaWidth(within(width, window->MinClientWidth(), window->MaxClientWidth()));
    window->SetClientAreaHeight(within(height, window->MinClientHeight(), window->MaxClientHeight()));
}

TWindowLayout WindowLayoutOf(HWND window) {
    TWindowLayout layout;
    WINDOWPLACEMENT placement{sizeof(placement)};
    if (!GetWindowPlacement(window, &placement)) {
        GetWindowRect(window, &layout.Normal);
        return layout;
    }
    layout.Normal = placement.rcNormalPosition;
    // The normal position of a window without WS_EX_TOOLWINDOW is in work-area coordinates.
    if (!(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        MONITORINFO info{sizeof(info)};
        if (GetMonitorInfoW(MonitorFromRect(&layout.Normal, MONITOR_DEFAULTTOPRIMARY), &info))
            OffsetRect(&layout.Normal, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    }
    if (placement.showCmd == SW_SHOWMAXIMIZED)
        layout.State = TLayoutWindowState::Maximized;
    else if (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_MINIMIZE ||
             placement.showCmd == SW_SHOWMINNOACTIVE || IsIconic(window))
        layout.State = TLayoutWindowState::Minimized;
    return layout;
}

void WriteWindowLayout(settings::TVxMemIniFile& file, const TWindowLayout& layout) {
    file.WriteInt64(kWnd, L"Top", layout.Normal.top);
    file.WriteInt64(kWnd, L"Left", layout.Normal.left);
    file.WriteInt64(kWnd, L"Width", layout.Normal.right - layout.Normal.left);
    file.WriteInt64(kWnd, L"Height", layout.Normal.bottom - layout.Normal.top);
    file.WriteInt64(kWnd, L"State", static_cast<int>(layout.State));
    if (layout.RegTree) file.WriteInt64(kWnd, L"RegTree", *layout.RegTree);
    if (layout.RegTreeVisible) file.WriteBool(kWnd, L"RegTreeVisible", *layout.RegTreeVisible);
}

TWindowLayout ReadWindowLayout(const settings::TVxMemIniFile& file, const TWindowLayout& current) {
    TWindowLayout layout = current;
    const int state = ReadInt(file, kWnd, L"State", static_cast<int>(current.State));
    if (state >= 0 && state <= 2) layout.State = static_cast<TLayoutWindowState>(state);
    const RECT& r = current.Normal;
    const int top = ReadInt(file, kWnd, L"Top", r.top);
    const int left = ReadInt(file, kWnd, L"Left", r.left);
    const int width = ReadInt(file, kWnd, L"Width", r.right - r.left);
    const int height = ReadInt(file, kWnd, L"Height", r.bottom - r.top);
    layout.Normal = {left, top, left + width, top + height};
    if (file.ValueExists(kWnd, L"RegTree"))
        layout.RegTree = ReadInt(file, kWnd, L"RegTree", current.RegTree.value_or(0));
    if (file.ValueExists(kWnd, L"RegTreeVisible"))
        layout.RegTreeVisible = file.ReadBool(kWnd, L"RegTreeVisible", current.RegTreeVisible.value_or(true));
    return layout;
}

RECT ClampToWorkArea(const RECT& bounds, const RECT& workArea) {
    const LONG areaWidth = workArea.right - workArea.left, areaHeight = workArea.bottom - workArea.top;
    LONG width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return workArea;
    width = std::min(width, areaWidth);
    height = std::min(height, areaHeight);
    const LONG left = std::clamp<LONG>(bounds.left, workArea.left, workArea.right - width);
    const LONG top = std::clamp<LONG>(bounds.top, workArea.top, workArea.bottom - height);
    return {left, top, left + width, top + height};
}

RECT ClampToScreen(const RECT& bounds) {
    MONITORINFO info{sizeof(info)};
    if (!GetMonitorInfoW(MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &info)) return bounds;
    return ClampToWorkArea(bounds, info.rcWork);
}

}  // namespace app
