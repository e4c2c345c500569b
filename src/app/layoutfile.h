// "ToolBar.db": where the main window's toolbars, dockable panels and tool windows sit
// (one section per item, named by its component), and section "Wnd" with the main
// window's normal position, its state and the key tree of the active registry window.
// Booleans are "-1"/"0", numbers decimal. The key names "FlortX" and "FlortY" are
// spelled so in the file.
//
// Main thread only.
#pragma once

#include "classlib/component.h"
#include "settings/inifile.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace toolbar {
class TBarCustomDockableWindow;
class TBarDock;
}

namespace app {

enum class TLayoutItemKind { Toolbar, DockablePanel, ToolWindow };

// The placement of one docked item; the fields a kind has no key for are not stored.
struct TLayoutItem {
    int FloatX = 0, FloatY = 0;   // floating position
    int FloatW = 0;               // toolbar: right edge when floating; panel: floating width
    int FloatH = 0;               // panel: floating height
    int SplitWidth = 0, SplitHeight = 0;  // panel
    int Width = 0, Height = 0;
    int Row = 0, Pos = 0;         // dock row and position
    bool Float = false;           // floating (panels, tool windows: not docked)
    std::wstring DockName;        // the current dock's component name; empty for none
    bool Visible = true;
};

// Writes the keys of `kind` into `section`, in the order the layout writes them.
void WriteLayoutItem(settings::TVxMemIniFile& file, const std::wstring& section, TLayoutItemKind kind,
                     const TLayoutItem& item);
// Reads the keys of `kind`; every missing key keeps the value of `current`. A panel or tool
// window reads "DockName" only when it is docked.
TLayoutItem ReadLayoutItem(const settings::TVxMemIniFile& file, const std::wstring& section,
                           TLayoutItemKind kind, const TLayoutItem& current);

// The dock a "DockName" names: the component of that name (exact, case-sensitive) owned
// by `owner`, only when it is a dock; null for an empty name, an unknown one, or another
// kind of component (a toolbar docked "into" a panel would be lost).
toolbar::TBarDock* FindDockByName(const classlib::TComponent& owner, const std::wstring& name);

// --- The bars of a form ------------------------------------------------------------------

// The kind a dockable window is kept as: toolbar, dockable panel or tool window; none for
// another kind.
std::optional<TLayoutItemKind> LayoutKindOf(const toolbar::TBarCustomDockableWindow& bar);
// Every bar the layout keeps: the toolbars, dockable panels and tool windows owned by
// `owner`, in component order (a panel or user toolbar added later is kept as well).
std::vector<toolbar::TBarCustomDockableWindow*> LayoutBars(const classlib::TComponent& owner);
// The place, sizes and visibility of a bar as it stands. A panel's "Width" and "Height" are
// its client sizes on a side dock and on a top or bottom dock, "FloatW" and "FloatH" its
// floating client size.
TLayoutItem LayoutOf(toolbar::TBarCustomDockableWindow& bar);
// Writes the section of every bar of `owner`.
void WriteBarsLayout(settings::TVxMemIniFile& file, const classlib::TComponent& owner);
// Puts every bar of `owner` that has a section where the section says: on the dock it names
// (a component of `owner`) at its row and position, else floating at its position pulled
// onto the work area; with its sizes; shown or hidden, except the bars of `fixedVisibility`.
void ReadBarsLayout(const settings::TVxMemIniFile& file, const classlib::TComponent& owner,
                    const std::vector<const toolbar::TBarCustomDockableWindow*>& fixedVisibility = {});

// Gives a placed bar the size of its item: a toolbar the wrap width it has when floating
// ("FloatW", when above 0); a tool window its width and height, its client part kept within
// the window's limits; a dockable panel its docked, floating and split sizes. A docked
// toolbar sizes itself to its items, so its "Width" and "Height" are only written. Sizes of
// 0 or less are left out.
void ApplyBarSize(toolbar::TBarCustomDockableWindow& bar, const TLayoutItem& item);

// --- Section "Wnd" ---------------------------------------------------------------------

enum class TLayoutWindowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct TWindowLayout {
    RECT Normal{};  // the restored bounds in screen coordinates, also of a maximised window
    TLayoutWindowState State = TLayoutWindowState::Normal;
    std::optional<int> RegTree;          // key tree width of the active registry window
    std::optional<bool> RegTreeVisible;  // its key tree shown
};

// The window's state and restored bounds from GetWindowPlacement (so a maximised or
// minimised window keeps the size it will restore to).
TWindowLayout WindowLayoutOf(HWND window);
// Writes "Top", "Left", "Width", "Height", "State", and "RegTree"/"RegTreeVisible" when set.
void WriteWindowLayout(settings::TVxMemIniFile& file, const TWindowLayout& layout);
// Reads section "Wnd"; missing keys keep `current` (a state outside 0..2 too).
TWindowLayout ReadWindowLayout(const settings::TVxMemIniFile& file, const TWindowLayout& current);
// `bounds` moved and, when larger, shrunk so that it lies inside `workArea`; an empty or
// inverted rectangle gets the work area's size.
RECT ClampToWorkArea(const RECT& bounds, const RECT& workArea);
// `bounds` clamped to the work area of the monitor it overlaps most (the nearest one when
// it is off every screen).
RECT ClampToScreen(const RECT& bounds);

}  // namespace app
