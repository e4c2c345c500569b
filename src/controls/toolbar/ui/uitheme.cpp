#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/graphics.h"
#include "classlib/imagelist.h"
#include "classlib/screen.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmuxtheme.h"
#include "controls/toolbar/ui/uiskin.h"

namespace ui {

using namespace classlib;

// --- the painting way -------------------------------------------------------------------------

bool VisualStylesActive() { return themed::VisualStylesOpen && themed::VisualStylesInUse(); }

TUiThemeType ResolveThemeTypeFor(TUiThemeType themeType, const std::wstring& themeName,
                                 bool visualStylesActive) {
    if (themeType == thtThm && ThemeHasQuirk(themeName, uqSystemLook)) themeType = thtWindows;
    if (themeType == thtWindows && !visualStylesActive) themeType = thtNone;
    return themeType;
}

TUiTabThemeType ResolveTabThemeTypeFor(TUiTabThemeType themeType, const std::wstring& themeName,
                                       bool visualStylesActive) {
    if (themeType == tttThm && ThemeHasQuirk(themeName, uqSystemLook)) themeType = tttWindows;
    if (themeType == tttWindows && !visualStylesActive) themeType = tttNone;
    return themeType;
}

// The theme name matters only to thtThm.
TUiThemeType ResolveThemeType(TUiThemeType themeType) {
    return ResolveThemeTypeFor(themeType, themeType == thtThm ? themed::GetActiveToolbarThemeName() : std::wstring(),
                               VisualStylesActive());
}

TUiTabThemeType ResolveTabThemeType(TUiTabThemeType themeType) {
    return ResolveTabThemeTypeFor(themeType,
                                  themeType == tttThm ? themed::GetActiveToolbarThemeName() : std::wstring(),
                                  VisualStylesActive());
}

// --- nexus ------------------------------------------------------------------------------------

TUiThemeNexus::TUiThemeNexus() {
    FLibrary = LoadLibraryW(L"uxtheme.dll");
    if (FLibrary) {
        FOpenThemeData = reinterpret_cast<decltype(FOpenThemeData)>(
            reinterpret_cast<void*>(GetProcAddress(FLibrary, "OpenThemeData")));
        FCloseThemeData = reinterpret_cast<decltype(FCloseThemeData)>(
            reinterpret_cast<void*>(GetProcAddress(FLibrary, "CloseThemeData")));
    }
    OpenData();
    themed::ThemeManagerAddListener(this);
}

TUiThemeNexus::~TUiThemeNexus() {
    themed::ThemeManagerRemoveListener(this);
    CloseData();
    if (FLibrary) FreeLibrary(FLibrary);
    FLibrary = nullptr;
    FOpenThemeData = nullptr;
    FCloseThemeData = nullptr;
}

void TUiThemeNexus::HandleThemeNotice(int notice) {
    if (notice == themed::tnBeginChange) {
        CloseData();
    } else if (notice == themed::tnEndChange) {
        CloseData();  // a change that began before this nexus existed
        OpenData();
    }
}

void TUiThemeNexus::OpenData() {
    if (!FOpenThemeData || !FCloseThemeData || !Application) return;
    HWND window = Application->Handle();
    FTab = FOpenThemeData(window, L"TAB");
    FProgress = FOpenThemeData(window, L"PROGRESS");
    FTrackbar = FOpenThemeData(window, L"TRACKBAR");
}

void TUiThemeNexus::CloseData() {
    for (HTHEME* data : {&FTab, &FProgress, &FTrackbar}) {
        if (*data && FCloseThemeData) FCloseThemeData(*data);
        *data = nullptr;
    }
}

// --- shared resources -------------------------------------------------------------------------

TUiResources::TUiResources() {
    FHintBitmap = std::make_unique<TBitmap>();
    FHandCursor = LoadCursorW(nullptr, IDC_HAND);
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (Screen) {
        // Loaded unshared: the screen destroys the cursors it keeps.
        auto load = [module](const wchar_t* name) {
            return static_cast<HCURSOR>(LoadImageW(module, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
        };
        if (HCURSOR move = load(L"CZMOVE")) Screen->SetCursors(crUiDragMove, move);
        if (HCURSOR cancel = load(L"CZCANCEL")) Screen->SetCursors(crUiDragCancel, cancel);
    }
    FNexus = std::make_unique<TUiThemeNexus>();
    FSkinOptions = std::make_unique<TUiSkinOptions>();
    FGlyphImages = std::make_unique<TImageList>(nullptr, 16, 16);
    TBitmap strip;
    if (strip.LoadFromResourceName(module, L"UIGLYPHS")) FGlyphImages->AddStrip(strip, 0xFF00FF);
}

TUiResources::~TUiResources() {
    FHintBitmap.reset();
    FSkinOptions.reset();
    FNexus.reset();
    FGlyphImages.reset();
}

TUiResources& UiResources() {
    if (!Application) throw EInvalidOperation(L"The themed controls' resources need the application object");
    return Application->ProcessObject<TUiResources>();
}

TBitmap& UiHintBitmap() { return UiResources().HintBitmap(); }
TUiThemeNexus& UiThemeNexus() { return UiResources().Nexus(); }
TImageList& UiGlyphImages() { return UiResources().GlyphImages(); }

}  // namespace ui
