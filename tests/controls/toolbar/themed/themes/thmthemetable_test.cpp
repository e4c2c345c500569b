// The theme list the user is offered: every theme of the program in its fixed order, and the
// registration table, which follows that order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/themes/thmthemetable.h"

namespace {

using namespace themed;

TEST(ThemeTable, TheNamesKeepTheOrderOfTheThemeList) {
    const std::vector<std::wstring> expected = {
        L"Default", L"OfficeXP", L"Stripes", L"Aluminum", L"Athen", L"Dream", L"Eos", L"Miranda", L"Monai",
        L"MonaiXP", L"Nexos2", L"Nexos3", L"Nexos4", L"Nexos5", L"NexosX", L"Office11Adaptive", L"Office2003",
        L"OfficeC", L"OfficeK", L"Relifer", L"Roma", L"SentimoX", L"Tristan2", L"Tristan", L"Whidbey", L"Xito",
        L"Zezio"};
    EXPECT_EQ(std::vector<std::wstring>(kThemeNames.begin(), kThemeNames.end()), expected);
}

TEST(ThemeTable, RegistrationFollowsTheListStartingWithDefault) {
    const auto table = themes::ToolbarThemeTable();
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(std::wstring(table[0].Name), kThemeDefault);
    size_t next = 0;  // the place in kThemeNames after the previous entry
    for (const TThmThemeEntry& entry : table) {
        const std::wstring name = entry.Name;
        while (next < kThemeNames.size() && name != kThemeNames[next]) ++next;
        ASSERT_LT(next, kThemeNames.size()) << "out of order or not in the list: " << testing::PrintToString(name);
        ++next;
        EXPECT_NE(entry.Create, nullptr) << testing::PrintToString(name);
    }
}

}  // namespace
