#include "controls/toolbar/themed/themes/thmthemetable.h"

#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmmiranda.h"
#include "controls/toolbar/themed/themes/thmoffice2003.h"
#include "controls/toolbar/themed/themes/thmofficexp.h"
#include "controls/toolbar/themed/themes/thmrelifer.h"
#include "controls/toolbar/themed/themes/thmsentimox.h"
#include "controls/toolbar/themed/themes/thmtristan.h"
#include "controls/toolbar/themed/themes/thmtristan2.h"
#include "controls/toolbar/themed/themes/thmwhidbey.h"
#include "controls/toolbar/themed/themes/thmzezio.h"

namespace themes {

using namespace themed;

namespace {

constexpr TThmThemeEntry kThemes[] = {
    {kThemeDefault, CreateDefaultTheme},
    {kThemeOfficeXP, CreateOfficeXPTheme},
    {kThemeMiranda, CreateMirandaTheme},
    {kThemeOffice2003, CreateOffice2003Theme},
    {kThemeRelifer, CreateReliferTheme},
    {kThemeSentimoX, CreateSentimoXTheme},
    {kThemeTristan2, CreateTristan2Theme},
    {kThemeTristan, CreateTristanTheme},
    {kThemeWhidbey, CreateWhidbeyTheme},
    {kThemeZezio, CreateZezioTheme},
};

}  // namespace

std::span<const TThmThemeEntry> ToolbarThemeTable() { return kThemes; }

}  // namespace themes
