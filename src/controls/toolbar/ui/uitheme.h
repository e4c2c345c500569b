#pragma once
// The choice of painting way for the themed controls, the extra visual-style data they keep
// open (tabs, progress bars, track bars), and the resources they share: the hint bitmap, the
// hand cursor, the two drag cursors and the window-button glyphs.
//
// The shared resources are one process object of the application (made on first use,
// destroyed with the application); every accessor raises EInvalidOperation without an
// application object. Main thread only.

#include <windows.h>
#include <uxtheme.h>

#include <memory>
#include <string>

#include "classlib/control.h"
#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/ui/uitypes.h"

namespace classlib {
class TBitmap;
class TImageList;
}

namespace ui {

struct TUiSkinOptions;

// --- the painting way -------------------------------------------------------------------------

// Visual-style data is open (the theme manager's VisualStylesOpen) and the system draws this
// application with a visual style now.
bool VisualStylesActive();

// The way a control asking for `themeType` paints now: thtThm while the current theme is
// "Default" (compared case-sensitively) means the system look, thtWindows; thtWindows without
// active visual styles means thtNone; everything else stays.
TUiThemeType ResolveThemeType(TUiThemeType themeType);
// The same rule for tabs; tttFlat stays tttFlat.
TUiTabThemeType ResolveTabThemeType(TUiTabThemeType themeType);
// The rule itself, for a given theme name and visual-style state.
TUiThemeType ResolveThemeTypeFor(TUiThemeType themeType, const std::wstring& themeName,
                                 bool visualStylesActive);
TUiTabThemeType ResolveTabThemeTypeFor(TUiTabThemeType themeType, const std::wstring& themeName,
                                       bool visualStylesActive);

// --- the visual-style data of tabs, progress bars and track bars -------------------------------

// Keeps the visual-style library loaded by its own handle and the data of the classes "TAB",
// "PROGRESS" and "TRACKBAR" open on the application window. It listens to the theme manager:
// the data is closed when a change of theme, colours or display begins (tnBeginChange) and
// opened again when it ends (tnEndChange). Without the library every handle stays null.
class TUiThemeNexus : public themed::TThmNoticeListener {
public:
    TUiThemeNexus();
    ~TUiThemeNexus() override;
    TUiThemeNexus(const TUiThemeNexus&) = delete;
    TUiThemeNexus& operator=(const TUiThemeNexus&) = delete;

    void HandleThemeNotice(int notice) override;

    // The open data, or null (closed, during a change, or no library).
    HTHEME TabData() const { return FTab; }
    HTHEME ProgressData() const { return FProgress; }
    HTHEME TrackbarData() const { return FTrackbar; }
    bool LibraryLoaded() const { return FLibrary != nullptr; }

private:
    void OpenData();
    void CloseData();
    HMODULE FLibrary = nullptr;
    decltype(&::OpenThemeData) FOpenThemeData = nullptr;
    decltype(&::CloseThemeData) FCloseThemeData = nullptr;
    HTHEME FTab = nullptr, FProgress = nullptr, FTrackbar = nullptr;
};

// --- shared resources -------------------------------------------------------------------------

// The screen cursors of dragging items and tabs: the move cursor and the refused drop. They
// are registered with the screen when the shared resources are made: code that shows them
// calls UiResources() first.
constexpr classlib::TCursor crUiDragMove = 101;
constexpr classlib::TCursor crUiDragCancel = 102;

// Indexes of the window-button glyphs.
constexpr int ugClose = 0;
constexpr int ugMaximize = 1;
constexpr int ugMinimize = 2;
constexpr int ugRestore = 3;

// The shared resources. Made in this order: the hint bitmap, the hand cursor, the drag
// cursors (registered with the screen, which keeps and destroys them), the nexus, the skin
// options, the glyph list (16 x 16, from the bitmap resource "UIGLYPHS", magenta
// transparent); the hint bitmap goes first at the end, then the skin options, the nexus and
// the glyph list.
class TUiResources {
public:
    TUiResources();
    ~TUiResources();
    TUiResources(const TUiResources&) = delete;
    TUiResources& operator=(const TUiResources&) = delete;

    // The bitmap the item and control hints are drawn on.
    classlib::TBitmap& HintBitmap() { return *FHintBitmap; }
    // The system's hand cursor (shared; never destroyed).
    HCURSOR HandCursor() const { return FHandCursor; }
    TUiThemeNexus& Nexus() { return *FNexus; }
    TUiSkinOptions& SkinOptions() { return *FSkinOptions; }
    classlib::TImageList& GlyphImages() { return *FGlyphImages; }

private:
    std::unique_ptr<classlib::TBitmap> FHintBitmap;
    HCURSOR FHandCursor = nullptr;
    std::unique_ptr<TUiThemeNexus> FNexus;
    std::unique_ptr<TUiSkinOptions> FSkinOptions;
    std::unique_ptr<classlib::TImageList> FGlyphImages;
};

TUiResources& UiResources();
classlib::TBitmap& UiHintBitmap();
TUiThemeNexus& UiThemeNexus();
classlib::TImageList& UiGlyphImages();

}  // namespace ui
