// The look rules of the themed controls name only themes of the program's theme list, each
// once, so that a rule cannot silently stop matching when a theme is renamed or misspelled.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/ui/uithemequirks.h"

namespace {

using namespace ui;

TEST(UiThemeQuirks, RulesNameThemesOfTheListOnce) {
    std::set<std::wstring> seen;
    for (const TUiThemeQuirkEntry& entry : UiThemeQuirkTable()) {
        const std::wstring name = entry.Theme;
        EXPECT_NE(std::find_if(themed::kThemeNames.begin(), themed::kThemeNames.end(),
                               [&](const wchar_t* listed) { return name == listed; }),
                  themed::kThemeNames.end())
            << "not a theme of the list: " << testing::PrintToString(name);
        EXPECT_TRUE(seen.insert(name).second) << "listed twice: " << testing::PrintToString(name);
        EXPECT_NE(entry.Quirks, 0u) << testing::PrintToString(name);
    }
}

TEST(UiThemeQuirks, OnlyTheExactNameHoldsARule) {
    EXPECT_TRUE(ThemeHasQuirk(themed::kThemeDefault, uqSystemLook));
    EXPECT_FALSE(ThemeHasQuirk(L"default", uqSystemLook));
    EXPECT_FALSE(ThemeHasQuirk(themed::kSkinThemeName, uqSystemLook));
    EXPECT_FALSE(ThemeHasQuirk(L"", uqSystemLook));
}

}  // namespace
