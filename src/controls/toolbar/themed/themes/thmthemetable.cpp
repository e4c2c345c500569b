#include "controls/toolbar/themed/themes/thmthemetable.h"

#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmoffice11adaptive.h"
#include "controls/toolbar/themed/themes/thmoffice2003.h"
#include "controls/toolbar/themed/themes/thmofficec.h"
#include "controls/toolbar/themed/themes/thmofficek.h"
#include "controls/toolbar/themed/themes/thmofficexp.h"
#include "controls/toolbar/themed/themes/thmwhidbey.h"

namespace themes {

using namespace themed;

namespace {

constexpr TThmThemeEntry kThemes[] = {
    {kThemeDefault, CreateDefaultTheme},
    {kThemeOfficeXP, CreateOfficeXPTheme},
    {kThemeOffice11Adaptive, CreateOffice11AdaptiveTheme},
    {kThemeOffice2003, CreateOffice2003Theme},
    {kThemeOfficeC, CreateOfficeCTheme},
    {kThemeOfficeK, CreateOfficeKTheme},
    {kThemeWhidbey, CreateWhidbeyTheme},
};

}  // namespace

std::span<const TThmThemeEntry> ToolbarThemeTable() { return kThemes; }

}  // namespace themes
