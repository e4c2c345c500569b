#pragma once
// The table of theme classes by name, their shared instances, and the theme manager that
// watches the system for colour, display, visual-style and activation changes and tells its
// listeners (the theme instances and the theme nexus) with theme notices.
//
// Theme names are compared without regard to case (ASCII). Registry errors raise
// classlib::Exception with fixed English messages and leave the registry unchanged.
//
// Main thread only.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <uxtheme.h>

#include "classlib/utilwindow.h"
#include "controls/toolbar/themed/thmlisteners.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

// Makes a theme instance (the first step of its construction; the registry runs Init after
// it); the argument is the registered spelling of the name. Themes are made by the registry
// only.
using TThmThemeClass = std::function<std::unique_ptr<TThmTheme>(const std::wstring& name)>;

// Adds a theme class under `name` (cut to 255 characters). Raises "Cannot register theme" for
// an empty name or class, "Theme <name> is already registered" for a name known in any case.
void RegisterToolbarTheme(const std::wstring& name, TThmThemeClass themeClass);
// Index of the theme registered under `name` (any case), or -1.
int FindToolbarTheme(const std::wstring& name);
bool IsToolbarThemeRegistered(const std::wstring& name);
// Appends every registered name in registration order, in its registered spelling.
void ListToolbarThemes(std::vector<std::wstring>& list);
// The shared instance of the theme: on the first acquisition it is made, initialised (Init)
// and sent one theme notice with the application's active flag (1 or 0). Raises "Unknown
// theme <name>"; a theme that fails to construct or initialise leaves the registry unchanged.
TThmTheme* AcquireToolbarTheme(const std::wstring& name);
// Gives one acquisition back; the last one frees the instance and sets `theme` to null.
// Raises "Cannot release theme" when no record holds the instance, and "Cannot release theme
// <name>" when that record's count is already below 1.
void ReleaseToolbarTheme(TThmTheme*& theme);
// Forgets every registration. For process end and tests; raises "Theme <name> is still in
// use" (and forgets nothing) while a theme is acquired.
void ClearToolbarThemes();

// --- theme manager ------------------------------------------------------------------------

// Flat-menu styles: 0 automatic, 1 flat look off, 2 flat look forced.
constexpr int fmsAutomatic = 0;
constexpr int fmsFlatOff = 1;
constexpr int fmsFlatForced = 2;

// Process-wide state written only by the theme manager.
extern bool IsLowColorDisplay;     // screen bits per pixel times planes below 12
extern bool IsWhiteButtonFace;     // button face is exactly white
extern bool VisualStylesOpen;      // visual-style data is open
extern bool UseFlatMenus;
extern classlib::TColor PopupMenuColor;
extern classlib::TColor PopupMenuTextColor;
// Plain colours only: a low-colour screen or a white button face.
inline bool PlainColorMode() { return IsLowColorDisplay || IsWhiteButtonFace; }

// The visual-style data the manager keeps open while VisualStylesOpen, by class.
enum TThmVisualStyleClass {
    vscButton, vscScrollBar, vscRebar, vscToolbar, vscWindow, vscComboBox, vscExplorerBar,
    vscStatus, vscSpin, vscCount
};

// The one theme manager. Its window is a hidden top-level window: a message-only window would
// never receive the system's colour, display, style and activation broadcasts.
class TThmThemeManager {
public:
    TThmThemeManager();
    ~TThmThemeManager();
    TThmThemeManager(const TThmThemeManager&) = delete;
    TThmThemeManager& operator=(const TThmThemeManager&) = delete;

    // Duplicates are allowed (each registration is told).
    void AddListener(TThmNoticeListener* listener);
    void RemoveListener(TThmNoticeListener* listener);  // first registration
    // One notice to every listener in list order (see TThmListenerList for changes meanwhile).
    void Broadcast(int notice);
    // With at least one listener: tnBeginChange, tnRebuildColors, then tnEndChange.
    void NotifyChange();
    // Re-reads the system state (scratch objects, display flags, flat menus, popup colours).
    void RefreshSystemSettings();

    bool VisualStylesEnabled() const { return FVisualStylesEnabled; }
    void SetVisualStylesEnabled(bool value);
    int FlatMenuStyle() const { return FFlatMenuStyle; }
    void SetFlatMenuStyle(int value);
    HWND Handle() const { return FWindow ? FWindow->Handle() : nullptr; }
    // The open data of a visual-style class, or null.
    HTHEME VisualStyleData(TThmVisualStyleClass which) const {
        return which >= 0 && which < vscCount ? FStyleData[which] : nullptr;
    }

    // The colour depth of the screen (bits per pixel times planes), read by
    // RefreshSystemSettings for IsLowColorDisplay. Replaceable so that tests can take the
    // low-colour paths on any screen.
    std::function<int()> ScreenColorBits;

private:
    void OpenVisualStyles();
    void CloseVisualStyles();
    bool WindowMessage(UINT msg, WPARAM wp);
    void SystemChanged();
    bool FVisualStylesEnabled = true;
    int FFlatMenuStyle = fmsAutomatic;
    TThmListenerList<TThmNoticeListener> FListeners;
    std::unique_ptr<classlib::TUtilWindow> FWindow;
    HTHEME FStyleData[vscCount] = {};
};

// The one manager: a process object of the application (made on first use, destroyed with
// the application). Raises EInvalidOperation without an application object.
TThmThemeManager& ThemeManager();
void ThemeManagerAddListener(TThmNoticeListener* listener);
// Does nothing once the manager has gone (with the application).
void ThemeManagerRemoveListener(TThmNoticeListener* listener);
// The switcher's read-back: kind 1 the flat-menu style, kind 2 the visual-styles switch (0 on,
// 2 off); -1 for any other kind.
int GetThemeManagerSetting(int kind);

// --- frame geometry -------------------------------------------------------------------------

// The caption bar of a floating frame: (0, 0, ClientWidth, small-caption height - 1), without
// the close button's square when leaveOutCloseButton, moved by BorderSize when adjustForBorder.
RECT GetFloatingCaptionRect(const TThmFloatingFrameInfo& frame, bool adjustForBorder,
                            bool leaveOutCloseButton);
// The square close button at the right end of that caption bar.
RECT GetFloatingCloseButtonRect(const TThmFloatingFrameInfo& frame, bool adjustForBorder);
// 0 without dragging; 14 with a close button; else dhDouble 9, dhNone 0, dhSingle 6.
int GetDragHandleSize(const TThmToolbarFrameInfo& frame);
// A square of side GetDragHandleSize - 1 at the border's top-left when docked horizontally,
// at the top right when Vertical.
RECT GetToolbarCloseButtonRect(const TThmToolbarFrameInfo& frame);

}  // namespace themed
