#include "controls/toolbar/themed/thmnexus.h"

#include "classlib/errors.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmanimation.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmswitcher.h"
#include "controls/toolbar/themed/thmuxtheme.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>
#include <vector>

using namespace themed;
using namespace classlib;

namespace {

// Default-looking themes that count their instances and colour rebuilds; "Broken" cannot
// build its colours.
class CountingTheme : public TThmDefaultTheme {
public:
    explicit CountingTheme(const std::wstring& name) : TThmDefaultTheme(name) {
        AliveWhenMade = Alive;
        ++Alive;
    }
    ~CountingTheme() override { --Alive; }
    void RebuildColorCache() override {
        if (Name == L"Broken") throw Exception(L"no colours for Broken");
        ++Rebuilds;
        TThmDefaultTheme::RebuildColorCache();
    }
    static inline int Alive = 0;
    static inline int AliveWhenMade = -1;
    int Rebuilds = 0;
};

void EnsureRegistered(const std::wstring& name) {
    if (!IsToolbarThemeRegistered(name))
        RegisterToolbarTheme(name, [](const std::wstring& n) { return std::make_unique<CountingTheme>(n); });
}

using Change = std::pair<int, bool>;

class RecordingClient : public TThmThemeClient {
public:
    RecordingClient() { RegisterThemeClient(this); }
    void HandleThemeChange(int change, bool themeSwitched) override {
        Changes.push_back({change, themeSwitched});
        if (During) During(change);
    }
    std::vector<Change> Changes;
    std::function<void(int)> During;
};

const std::vector<Change> kSwitch = {{tnBeginChange, true}, {tnRebuildColors, true}, {tnEndChange, true}};

class Nexus : public ::testing::Test {
protected:
    void SetUp() override {
        ThemeNexus();  // registers and acquires "Default"
        EnsureRegistered(L"Blue");
        EnsureRegistered(L"Green");
        EnsureRegistered(L"Broken");
        ASSERT_TRUE(SelectTheme(L"Default"));
    }
    void TearDown() override { SelectTheme(L"Default"); }
};

TEST_F(Nexus, StartsWithTheDefaultThemeFirstInTheList) {
    EXPECT_EQ(GetActiveToolbarThemeName(), L"Default");
    EXPECT_NE(dynamic_cast<TThmDefaultTheme*>(&ActiveToolbarTheme()), nullptr);
    std::vector<std::wstring> names;
    ListToolbarThemes(names);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], L"Default");
    // Registering the table again changes nothing: its entry is there.
    RegisterThemeTable(BuiltInThemes());
    std::vector<std::wstring> again;
    ListToolbarThemes(again);
    EXPECT_EQ(again, names);
}

TEST_F(Nexus, UnknownNameKeepsTheThemeAndTellsNobody) {
    RecordingClient client;
    TThmTheme* before = &ActiveToolbarTheme();
    EXPECT_FALSE(SelectTheme(L"Left by another build"));
    EXPECT_EQ(&ActiveToolbarTheme(), before);
    EXPECT_TRUE(client.Changes.empty());
}

TEST_F(Nexus, SwitchReachesEveryRegisteredClientOnce) {
    RecordingClient a, b, c;
    RegisterThemeClient(&a);  // registering twice keeps one registration
    std::unique_ptr<RecordingClient> late;
    // While the first notice goes round, a drops b and brings in a new client.
    a.During = [&](int change) {
        if (change != tnBeginChange || late) return;
        UnregisterThemeClient(&b);
        late = std::make_unique<RecordingClient>();
    };
    ASSERT_TRUE(SelectTheme(L"blue"));
    EXPECT_EQ(GetActiveToolbarThemeName(), L"Blue");
    EXPECT_EQ(a.Changes, kSwitch);
    EXPECT_TRUE(b.Changes.empty());
    EXPECT_EQ(c.Changes, kSwitch);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->Changes, (std::vector<Change>{{tnRebuildColors, true}, {tnEndChange, true}}));
}

TEST_F(Nexus, NewThemeIsMadeBeforeTheOldGoesAndAFailedOneChangesNothing) {
    ASSERT_TRUE(SelectTheme(L"Blue"));
    TThmTheme* blue = &ActiveToolbarTheme();
    EXPECT_EQ(CountingTheme::Alive, 1);
    ASSERT_TRUE(SelectTheme(L"Green"));
    // Blue (held only by the nexus) still existed when Green was made, and is gone now.
    EXPECT_EQ(CountingTheme::AliveWhenMade, 1);
    EXPECT_EQ(CountingTheme::Alive, 1);
    EXPECT_EQ(GetActiveToolbarThemeName(), L"Green");
    (void)blue;

    RecordingClient client;
    TThmTheme* green = &ActiveToolbarTheme();
    try {
        SelectTheme(L"Broken");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"no colours for Broken");
    }
    EXPECT_EQ(&ActiveToolbarTheme(), green);
    EXPECT_EQ(CountingTheme::Alive, 1);
    EXPECT_TRUE(client.Changes.empty());
    // The failed theme left the registry as it was: Green is still held once and switches on.
    ASSERT_TRUE(SelectTheme(L"Default"));
    EXPECT_EQ(CountingTheme::Alive, 0);
}

TEST_F(Nexus, SelectingTheThemeInUseKeepsItRebuildsItsColoursAndTellsTheClients) {
    ASSERT_TRUE(SelectTheme(L"Blue"));
    auto* blue = dynamic_cast<CountingTheme*>(&ActiveToolbarTheme());
    ASSERT_NE(blue, nullptr);
    const int rebuilds = blue->Rebuilds;
    RecordingClient client;
    ASSERT_TRUE(SelectTheme(L"BLUE"));
    EXPECT_EQ(&ActiveToolbarTheme(), blue);
    EXPECT_EQ(blue->Rebuilds, rebuilds + 1);
    EXPECT_EQ(client.Changes, kSwitch);
}

TEST_F(Nexus, SystemChangesArePassedOnOnceAndNotAsASwitch) {
    ASSERT_TRUE(SelectTheme(L"Blue"));
    auto* blue = dynamic_cast<CountingTheme*>(&ActiveToolbarTheme());
    ASSERT_NE(blue, nullptr);
    const int rebuilds = blue->Rebuilds;
    RecordingClient client;
    SendMessageW(ThemeManager().Handle(), WM_SYSCOLORCHANGE, 0, 0);
    SendMessageW(ThemeManager().Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(client.Changes, (std::vector<Change>{{tnBeginChange, false},
                                                    {tnRebuildColors, false},
                                                    {tnEndChange, false},
                                                    {tnAppActivated, false}}));
    EXPECT_EQ(blue->Rebuilds, rebuilds + 1);
}

TEST_F(Nexus, DestroyedClientLeavesTheNexus) {
    const int before = ThemeNexus().ClientCount();
    {
        RecordingClient client;
        EXPECT_EQ(ThemeNexus().ClientCount(), before + 1);
    }
    EXPECT_EQ(ThemeNexus().ClientCount(), before);
    ASSERT_TRUE(SelectTheme(L"Green"));
}

TEST_F(Nexus, SwitcherChoosesThemesAndReportsEveryChange) {
    TThmSwitcher switcher(nullptr);
    int changes = 0;
    switcher.OnThemeChange = [&](TComponent* sender) {
        EXPECT_EQ(sender, &switcher);
        ++changes;
    };
    EXPECT_EQ(switcher.Theme(), L"Default");
    EXPECT_FALSE(switcher.SetTheme(L"Nope"));
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(switcher.SetTheme(L"green"));
    EXPECT_EQ(switcher.Theme(), L"Green");
    EXPECT_EQ(changes, 3);

    std::vector<std::wstring> names;
    ListToolbarThemes(names);
    ASSERT_EQ(switcher.GetThemeCount(), static_cast<int>(names.size()));
    for (int i = 0; i < switcher.GetThemeCount(); ++i) EXPECT_EQ(switcher.GetThemeName(i), names[i]);
    EXPECT_EQ(switcher.GetThemeName(-1), L"");
    EXPECT_EQ(switcher.GetThemeName(switcher.GetThemeCount()), L"");

    const TFlatMenuStyle flat = switcher.FlatMenuStyle();
    const bool styles = switcher.EnableXPStyles();
    for (TFlatMenuStyle style : {fmsEnable, fmsDisable, fmsAuto}) {
        switcher.SetFlatMenuStyle(style);
        EXPECT_EQ(switcher.FlatMenuStyle(), style);
    }
    EXPECT_EQ(GetThemeManagerSetting(1), fmsAutomatic);
    switcher.SetFlatMenuStyle(fmsEnable);
    EXPECT_EQ(GetThemeManagerSetting(1), fmsFlatForced);
    EXPECT_TRUE(UseFlatMenus);
    switcher.SetEnableXPStyles(false);
    EXPECT_FALSE(switcher.EnableXPStyles());
    EXPECT_FALSE(VisualStylesOpen);
    // Closing the style data unloads the library: no entry point is left.
    EXPECT_FALSE(VisualStylesInUse());
    EXPECT_EQ(VisualStyleApi().Module, nullptr);
    EXPECT_EQ(VisualStyleApi().OpenThemeData, nullptr);
    EXPECT_EQ(VisualStyleApi().GetCurrentThemeName, nullptr);
    switcher.SetEnableXPStyles(styles);
    switcher.SetFlatMenuStyle(flat);
    EXPECT_EQ(switcher.EnableXPStyles(), styles);
}

TEST(MenuAnimation, ModesAndEffects) {
    const std::pair<int, int> fixed[] = {{amNone, aeNone}, {amUnfold, aeUnfold}, {amSlide, aeSlide},
                                         {amFade, aeFade}, {-3, aeNone},         {9, aeFade}};
    for (auto [mode, effect] : fixed) EXPECT_EQ(TThmMenuAnimation(mode).GetEffect(), effect) << mode;

    TThmMenuAnimation random(amRandom);
    std::set<int> seen;
    for (int i = 0; i < 300; ++i) seen.insert(random.GetEffect());
    EXPECT_EQ(seen, (std::set<int>{aeUnfold, aeSlide, aeFade}));

    BOOL animation = FALSE, fade = FALSE;
    SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &animation, 0);
    SystemParametersInfoW(SPI_GETMENUFADE, 0, &fade, 0);
    TThmMenuAnimation system(amSystem);
    EXPECT_EQ(system.Mode(), animation ? amSystem : amNone);
    EXPECT_EQ(system.GetEffect(), !animation ? aeNone : fade ? aeFade : aeSlide);
}

}  // namespace
