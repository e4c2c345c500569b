// The files of the main window's toolbars: the toolbars the user made in the customisation
// dialog as well as the main toolbar and the main menu, kept in the folder
// "Settings\CustomToolBar" beside the program.
//
// - "NewToolBar.db" (section/key file): one section per saved toolbar, in the owner's
//   component order, named like the toolbar's component; its one key "Caption" holds the
//   toolbar's caption.
// - One file per section, in the same folder, named exactly like the section without an
//   extension: the toolbar as a binary component stream (classlib/compstream.h) of class
//   "TUiToolbar" with the properties Caption, DockPos, DockRow and Visible, and as children
//   its items in order: "TUiItem" (Action, or Caption and ImageIndex without one; Options),
//   "TUiSubmenuItem" (Caption, ImageIndex, LinkSubitems, Options; its own sub-items as its
//   children) and "TUiSeparatorItem". Commands and submenus, which the toolbar does not
//   hold, are named by the owner's name and their own ("MainForm.aacNewWindow") and found
//   by name again when the file is read (TToolbarReferences).
//
// Damage contract: start-up never fails because of these files. A toolbar file is read
// whole (files over 1 MiB are refused unread), parsed whole and checked before the toolbar
// is touched: a missing, unreadable or damaged file leaves its toolbar as it was (a toolbar
// that would have been made for it is not made), and the problem is one line of the load's
// report. Within a sound file, unknown properties and item classes are skipped and an item
// whose command or submenu is not found is dropped. Numbers are brought into range and
// captions lose line breaks and NULs. Only a section that names an identifier becomes a
// file name ("..\x", "a:b" or a device name such as "CON" never do), and a section naming a
// component of the owner that is not one of its toolbars is skipped.
//
// Saving writes every toolbar file atomically, then "NewToolBar.db" last: a failure raises
// the file layer's error, which names the file, leaves the index as it was and the
// toolbars as they are.
//
// Main thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace classlib {
class TComponent;
class TImageList;
class TPopupMenu;
class TWinControl;
}
namespace toolbar {
class TBarDock;
}
namespace ui {
class TUiToolbar;
}

namespace tools {

// The index file, and the size above which a toolbar file is not read.
inline constexpr const wchar_t* CustomToolbarIndexName = L"NewToolBar.db";
inline constexpr std::size_t MaxToolbarFileSize = std::size_t{1} << 20;

// How a toolbar file names the components a toolbar refers to without holding them: the
// root's name, a dot and the component's name. A name is looked up among the components
// of each scope in turn (ignoring case, as component names are). The scopes must outlive
// this object.
class TToolbarReferences {
public:
    TToolbarReferences(std::wstring rootName, std::vector<const classlib::TComponent*> scopes);
    // "Root.Name", or empty when `component` cannot be found again by that name.
    std::wstring NameOf(const classlib::TComponent* component) const;
    // The component a reference names, or null (another root, no such name, a malformed
    // reference).
    classlib::TComponent* Find(const std::wstring& reference) const;

private:
    std::wstring FRootName;
    std::vector<const classlib::TComponent*> FScopes;
};

// Whether a toolbar's component name may name its file: an identifier of at most 64
// characters that is no device name of the system ("CON", "NUL", "COM1"...).
bool IsToolbarFileName(const std::wstring& name);

// Where a new user toolbar goes and what it gets.
struct TUserToolbarPlace {
    classlib::TWinControl* Owner = nullptr;  // owns it (and holds it while no dock does)
    classlib::TImageList* Images = nullptr;
    toolbar::TBarDock* Dock = nullptr;
    classlib::TPopupMenu* PopupMenu = nullptr;
};

// A user toolbar: owned by `place.Owner`, named `name`, with `caption`,
// docked in the dock, stretched, without smooth dragging, with the images and context menu.
ui::TUiToolbar* NewUserToolbar(const TUserToolbarPlace& place, const std::wstring& name, const std::wstring& caption);

// The name of a toolbar made at local time `now`: "ToolBar" and the year, month, day, hour,
// minute, second and millisecond without leading zeros; when a component of `owner`
// already has it, "_2", "_3"... follows.
std::wstring NewToolbarName(const classlib::TComponent& owner, const SYSTEMTIME& now);

// The toolbars of `owner` that the dialog lists and the save writes: every TUiToolbar
// component in component order, but those of `excluded`.
std::vector<ui::TUiToolbar*> OwnedToolbars(const classlib::TComponent& owner,
                                           const std::vector<const ui::TUiToolbar*>& excluded);

// The stream of one toolbar (its file's content).
std::vector<std::uint8_t> WriteToolbarStream(ui::TUiToolbar& toolbar, const TToolbarReferences& references);
// Gives `toolbar` the properties and items of a stream: only when the whole stream is sound
// are its old items freed (last first) and the new ones made, owned by the toolbar. A
// damaged stream, or one whose root is not a toolbar, raises EReadError and changes nothing.
void ReadToolbarStream(std::span<const std::uint8_t> bytes, ui::TUiToolbar& toolbar,
                       const TToolbarReferences& references);

// A section of the index whose file could not be loaded: the save keeps it in the index
// (its file untouched), so a file that reads again later is not lost.
struct TKeptToolbar {
    std::wstring Name;
    std::wstring Caption;
};

struct TToolbarLoadReport {
    int Loaded = 0;
    // One line per section that was skipped: the toolbar or its file and why.
    std::vector<std::wstring> Problems;
    // The skipped sections whose file was missing, unreadable or damaged.
    std::vector<TKeptToolbar> Kept;
};
// Restores the toolbars listed in the index file `fileName` (full path; missing: nothing
// to load): each section's toolbar is the owner's toolbar of that name, or a new user
// toolbar (captioned by the section's "Caption") when the file is sound. The `excluded`
// toolbars are never loaded into. Never raises for the files' sake.
TToolbarLoadReport LoadCustomToolbars(const std::wstring& fileName, const TUserToolbarPlace& place,
                                      const TToolbarReferences& references,
                                      const std::vector<const ui::TUiToolbar*>& excluded);
// Writes `toolbars` into `folder` (no trailing "\"; made with its parents when missing):
// each toolbar's file, then the index, which lists them and after them the `kept` sections
// that no saved toolbar's name took over. A toolbar whose name cannot be a file name is left
// out. Raises the file layer's error (naming the file) on failure.
void SaveCustomToolbars(const std::wstring& folder, const std::vector<ui::TUiToolbar*>& toolbars,
                        const TToolbarReferences& references, const std::vector<TKeptToolbar>& kept = {});

}  // namespace tools
