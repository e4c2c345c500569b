#include "controls/toolbar/themed/themes/thmthemetable.h"

#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmeos.h"
#include "controls/toolbar/themed/themes/thmmiranda.h"
#include "controls/toolbar/themed/themes/thmnexos2.h"
#include "controls/toolbar/themed/themes/thmnexos3.h"
#include "controls/toolbar/themed/themes/thmnexos4.h"
#include "controls/toolbar/themed/themes/thmnexos5.h"
#include "controls/toolbar/themed/themes/thmnexosx.h"
#include "controls/toolbar/themed/themes/thmoffice11adaptive.h"
#include "controls/toolbar/themed/themes/thmoffice2003.h"
#include "controls/toolbar/themed/themes/thmofficec.h"
#include "controls/toolbar/themed/themes/thmofficek.h"
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
    {kThemeEos, CreateEosTheme},
    {kThemeMiranda, CreateMirandaTheme},
    {kThemeNexos2, CreateNexos2Theme},
    {kThemeNexos3, CreateNexos3Theme},
    {kThemeNexos4, CreateNexos4Theme},
    {kThemeNexos5, CreateNexos5Theme},
    {kThemeNexosX, CreateNexosXTheme},
    {kThemeOffice11Adaptive, CreateOffice11AdaptiveTheme},
    {kThemeOffice2003, CreateOffice2003Theme},
    {kThemeOfficeC, CreateOfficeCTheme},
    {kThemeOfficeK, CreateOfficeKTheme},
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
