#pragma once
// The look rules by which the themed controls follow particular toolbar themes: the one place
// where a control's painting depends on which theme is in use. Each rule is held by a fixed
// set of theme names (thmnames.h); a theme that is not registered simply never matches.
//
// Main thread only (the active theme is).

#include <span>
#include <string>

namespace ui {

enum TUiThemeQuirk : unsigned {
    // The classic look: the controls paint the system's way (visual styles or plain edges)
    // instead of asking the theme.
    uqSystemLook = 1u << 0,
    // Tab strips are drawn upside down (their bitmaps flipped).
    uqFlippedTabs = 1u << 1,
    // The active tab reaches two pixels into the strip's edge instead of one.
    uqDeepActiveTab = 1u << 2,
    // Title bars and panel captions are a plain face gradient with a shadow line.
    uqGradientCaptionStrip = 1u << 3,
    // A panel's caption is the theme's floating title-bar frame.
    uqTitleFrameCaption = 1u << 4,
    // A floating window repaints itself whole when the application is activated.
    uqRepaintFloatingOnActivation = 1u << 5,
    // Themed buttons paint their own metal face.
    uqMetalButtonFace = 1u << 6,
    // A resting themed button is painted as an opaque-items toolbar button.
    uqOpaqueRestingButton = 1u << 7,
    // A resting themed button is the theme's popup frame; a checked one is shown hot.
    uqPopupFrameRestingButton = 1u << 8,
    // A selected list button is painted as a popup item.
    uqPopupItemSelection = 1u << 9,
    // Status bars take the office look (toolbar-style panels).
    uqOfficeStatusBar = 1u << 10,
    // Tab sets sit on the button face whatever their colour.
    uqTabSetOnButtonFace = 1u << 11,
};

struct TUiThemeQuirkEntry {
    const wchar_t* Theme;  // a name of thmnames.h
    unsigned Quirks;       // TUiThemeQuirk bits
};

// Every theme that holds a rule, with its rules.
std::span<const TUiThemeQuirkEntry> UiThemeQuirkTable();
// Whether the theme of that name (its registered spelling) holds the rule.
bool ThemeHasQuirk(const std::wstring& theme, TUiThemeQuirk quirk);
// The same for the theme in use.
bool ActiveThemeHasQuirk(TUiThemeQuirk quirk);
// True only while the theme in use is the skin theme (thmnames.h kSkinThemeName).
bool IsSkinActive();

}  // namespace ui
