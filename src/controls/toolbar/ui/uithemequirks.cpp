#include "controls/toolbar/ui/uithemequirks.h"

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/thmnexus.h"

namespace ui {

using namespace themed;

namespace {

constexpr TUiThemeQuirkEntry kQuirks[] = {
    {kThemeDefault, uqSystemLook | uqRepaintFloatingOnActivation},
    {kThemeOfficeXP, uqOpaqueRestingButton | uqOfficeStatusBar | uqTabSetOnButtonFace},
    {kThemeStripes, uqDeepActiveTab | uqGradientCaptionStrip},
    {kThemeAluminum, uqMetalButtonFace},
    {kThemeAthen, uqPopupFrameRestingButton},
    {kThemeDream, uqFlippedTabs | uqDeepActiveTab | uqTitleFrameCaption | uqPopupFrameRestingButton |
                      uqPopupItemSelection},
    {kThemeEos, uqRepaintFloatingOnActivation},
    {kThemeMiranda, uqFlippedTabs | uqDeepActiveTab | uqGradientCaptionStrip},
    {kThemeMonai, uqDeepActiveTab | uqGradientCaptionStrip},
    {kThemeMonaiXP, uqDeepActiveTab | uqGradientCaptionStrip},
    {kThemeNexos2, uqFlippedTabs},
    {kThemeNexosX, uqFlippedTabs | uqDeepActiveTab},
    {kThemeOffice11Adaptive, uqOfficeStatusBar},
    {kThemeOfficeC, uqFlippedTabs},
    {kThemeOfficeK, uqFlippedTabs},
    {kThemeRelifer, uqFlippedTabs},
    {kThemeSentimoX, uqFlippedTabs | uqPopupItemSelection},
    {kThemeTristan2, uqFlippedTabs},
    {kThemeTristan, uqFlippedTabs},
    {kThemeXito, uqDeepActiveTab},
    {kThemeZezio, uqFlippedTabs | uqDeepActiveTab},
};

}  // namespace

std::span<const TUiThemeQuirkEntry> UiThemeQuirkTable() { return kQuirks; }

bool ThemeHasQuirk(const std::wstring& theme, TUiThemeQuirk quirk) {
    for (const TUiThemeQuirkEntry& entry : kQuirks)
        if (theme == entry.Theme) return (entry.Quirks & quirk) != 0;
    return false;
}

bool ActiveThemeHasQuirk(TUiThemeQuirk quirk) { return ThemeHasQuirk(GetActiveToolbarThemeName(), quirk); }

bool IsSkinActive() { return GetActiveToolbarThemeName() == kSkinThemeName; }

}  // namespace ui
