#include "controls/toolbar/themed/themes/thmthemetable.h"

#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnames.h"

namespace themes {

using namespace themed;

namespace {

constexpr TThmThemeEntry kThemes[] = {
    {kThemeDefault, CreateDefaultTheme},
};

}  // namespace

std::span<const TThmThemeEntry> ToolbarThemeTable() { return kThemes; }

}  // namespace themes
