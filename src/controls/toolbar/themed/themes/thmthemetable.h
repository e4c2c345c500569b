#pragma once
// The table of every toolbar theme the program offers, in the order of the list the user
// sees (thmnames.h kThemeNames, leaving out themes not built yet). The program registers it
// once at start (themed::RegisterThemeTable) before the saved theme is selected.

#include <span>

#include "controls/toolbar/themed/thmnexus.h"

namespace themes {

std::span<const themed::TThmThemeEntry> ToolbarThemeTable();

}  // namespace themes
