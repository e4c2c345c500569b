#include "controls/toolbar/themed/thmregistry.h"

#include "controls/toolbar/themed/thmdefault.h"

#include "classlib/control.h"
#include "classlib/errors.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

using namespace themed;

using namespace classlib;

namespace {

// A theme that records the notices it receives and counts its colour rebuilds; its painting
// is the default theme's.
class RecordingTheme : public TThmDefaultTheme {
public:
    explicit RecordingTheme(const std::wstring& name) : TThmDefaultTheme(name) { ++Alive; }
    ~RecordingTheme() override { --Alive; }
    void HandleThemeNotice(int notice) override {
        Notices.push_back(notice);
        TThmDefaultTheme::HandleThemeNotice(notice);
    }
    void RebuildColorCache() override {
        ++Rebuilds;
        TThmDefaultTheme::RebuildColorCache();
    }
    static inline int Alive = 0;
    std::vector<int> Notices;
    int Rebuilds = 0;
};

TThmThemeClass RecordingClass() {
    return [](const std::wstring& name) { return std::make_unique<RecordingTheme>(name); };
}

std::wstring MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return L"(no exception)";
}

class ThemeRegistry : public ::testing::Test {
protected:
    void SetUp() override { ClearToolbarThemes(); }
    void TearDown() override { ClearToolbarThemes(); }
};

TEST_F(ThemeRegistry, RegistersAndFindsIgnoringCase) {
    RegisterToolbarTheme(L"Default", RecordingClass());
    RegisterToolbarTheme(L"Blue", RecordingClass());
    EXPECT_EQ(MessageOf([] { RegisterToolbarTheme(L"default", RecordingClass()); }),
              L"Theme default is already registered");
    EXPECT_EQ(MessageOf([] { RegisterToolbarTheme(L"", RecordingClass()); }), L"Cannot register theme");
    EXPECT_EQ(MessageOf([] { RegisterToolbarTheme(L"X", nullptr); }), L"Cannot register theme");
    EXPECT_EQ(FindToolbarTheme(L"BLUE"), 1);
    EXPECT_EQ(FindToolbarTheme(L"Green"), -1);
    EXPECT_TRUE(IsToolbarThemeRegistered(L"dEfAuLt"));

    RegisterToolbarTheme(std::wstring(300, L'n'), RecordingClass());
    std::vector<std::wstring> names{L"existing"};
    ListToolbarThemes(names);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[1], L"Default");
    EXPECT_EQ(names[2], L"Blue");
    EXPECT_EQ(names[3].size(), 255u);
}

TEST_F(ThemeRegistry, AcquireSharesOneInstanceAndReleaseFreesItAtZero) {
    RegisterToolbarTheme(L"Default", RecordingClass());
    RecordingTheme::Alive = 0;
    TThmTheme* a = AcquireToolbarTheme(L"DEFAULT");
    TThmTheme* b = AcquireToolbarTheme(L"default");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->Name, L"Default");
    // Exactly one notice right after construction: the application's active flag.
    auto* theme = static_cast<RecordingTheme*>(a);
    ASSERT_EQ(theme->Notices.size(), 1u);
    EXPECT_TRUE(theme->Notices[0] == 0 || theme->Notices[0] == 1);

    ReleaseToolbarTheme(b);
    EXPECT_EQ(b, a);
    EXPECT_EQ(RecordingTheme::Alive, 1);
    ReleaseToolbarTheme(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(RecordingTheme::Alive, 0);

    EXPECT_EQ(MessageOf([] { AcquireToolbarTheme(L"Nope"); }), L"Unknown theme Nope");
}

TEST_F(ThemeRegistry, ReleaseErrors) {
    RegisterToolbarTheme(L"One", RecordingClass());
    RegisterToolbarTheme(L"Two", RecordingClass());
    TThmTheme* none = nullptr;
    // A null theme matches the first record without an instance.
    EXPECT_EQ(MessageOf([&] { ReleaseToolbarTheme(none); }), L"Cannot release theme One");
    TThmTheme* one = AcquireToolbarTheme(L"One");
    EXPECT_EQ(MessageOf([&] { ReleaseToolbarTheme(none); }), L"Cannot release theme Two");
    TThmTheme* two = AcquireToolbarTheme(L"Two");
    EXPECT_EQ(MessageOf([&] { ReleaseToolbarTheme(none); }), L"Cannot release theme");
    RecordingTheme stray(L"Stray");
    TThmTheme* strayPtr = &stray;
    EXPECT_EQ(MessageOf([&] { ReleaseToolbarTheme(strayPtr); }), L"Cannot release theme");
    ReleaseToolbarTheme(one);
    ReleaseToolbarTheme(two);
}

TEST(ThemeManager, NotifiesListenersOnlyOnRealChanges) {
    RecordingTheme theme(L"Listener");
    theme.Init();
    TThmThemeManager& manager = ThemeManager();
    int flat = manager.FlatMenuStyle();
    manager.SetFlatMenuStyle(flat);
    manager.SetVisualStylesEnabled(manager.VisualStylesEnabled());
    EXPECT_TRUE(theme.Notices.empty());

    manager.SetFlatMenuStyle(fmsFlatForced);
    EXPECT_EQ(theme.Notices, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(UseFlatMenus);
    EXPECT_EQ(GetThemeManagerSetting(1), fmsFlatForced);
    manager.SetFlatMenuStyle(flat);

    theme.Notices.clear();
    manager.SetVisualStylesEnabled(false);
    EXPECT_EQ(GetThemeManagerSetting(2), 2);
    EXPECT_FALSE(VisualStylesOpen);
    EXPECT_EQ(manager.VisualStyleData(vscToolbar), nullptr);
    manager.SetVisualStylesEnabled(true);
    EXPECT_EQ(GetThemeManagerSetting(2), 0);
    EXPECT_EQ(GetThemeManagerSetting(3), -1);
    EXPECT_EQ(theme.Notices.size(), 6u);

    theme.Notices.clear();
    SendMessageW(manager.Handle(), WM_ACTIVATEAPP, 0, 0);
    SendMessageW(manager.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(theme.Notices, (std::vector<int>{5, 1, 2, 3}));
    EXPECT_EQ(IsWhiteButtonFace, GetSysColor(COLOR_BTNFACE) == RGB(255, 255, 255));
}

TEST(ThemeManager, WindowIsAHiddenTopLevelWindowThatHearsSystemBroadcasts) {
    HWND wnd = ThemeManager().Handle();
    ASSERT_NE(wnd, nullptr);
    // Message-only windows have no place among the desktop's top-level windows and never see
    // the broadcasts of colour, display and style changes.
    EXPECT_EQ(GetAncestor(wnd, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(wnd));
    bool listed = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM found) {
            if (w == ThemeManager().Handle()) *reinterpret_cast<bool*>(found) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&listed));
    EXPECT_TRUE(listed);
}

TEST(ThemeManager, LowColourFlagFollowsTheInjectedScreenDepth) {
    TThmThemeManager& manager = ThemeManager();
    auto original = manager.ScreenColorBits;
    for (int bits : {4, 8, 11, 12, 16, 32}) {
        manager.ScreenColorBits = [bits] { return bits; };
        manager.RefreshSystemSettings();
        EXPECT_EQ(IsLowColorDisplay, bits < 12) << bits;
        EXPECT_EQ(PlainColorMode(), bits < 12 || IsWhiteButtonFace) << bits;
    }
    manager.ScreenColorBits = original;
    manager.RefreshSystemSettings();
}

// A control that answers the theme layer's questions, and one that does not.
class AnsweringControl : public TControl, public TThmColorHost, public TThmViewHost {
public:
    AnsweringControl() : TControl(nullptr) {}
    TColor ThemeEffectiveColor() override { return clBtnShadow; }
    int ThemeViewKind() override { return vkPopupMenu; }
};

TEST(ThemeQuestions, EffectiveColorAndViewType) {
    TControl plain(nullptr);
    plain.SetColor(clRed);
    EXPECT_EQ(GetEffectiveColor(&plain), clRed);
    EXPECT_EQ(GetViewType(&plain), 0);
    AnsweringControl control;
    control.SetColor(clRed);
    EXPECT_EQ(GetEffectiveColor(&control), clBtnShadow);
    EXPECT_TRUE(ViewKindIs(GetViewType(&control), vkPopup));
    EXPECT_FALSE(ViewKindIs(GetViewType(&control), vkMenuBar));
    EXPECT_EQ(GetEffectiveColor(nullptr), clBtnFace);
    EXPECT_EQ(GetViewType(nullptr), 0);
}

// A theme whose colours come from a table its own constructor fills: the colour cache can only
// be built once the whole object exists.
class TableTheme : public TThmDefaultTheme {
public:
    explicit TableTheme(const std::wstring& name) : TThmDefaultTheme(name), FTable{clRed, clLime} { ++Alive; }
    ~TableTheme() override { --Alive; }
    void RebuildColorCache() override {
        if (FailNext) {
            FailNext = false;
            throw Exception(L"no colours");
        }
        ++Rebuilds;
        ToolbarFace = FTable.at(0);
    }
    static inline bool FailNext = false;
    static inline int Alive = 0;
    int Rebuilds = 0;

private:
    std::vector<TColor> FTable;
};

TEST_F(ThemeRegistry, ThemeIsInitialisedOnceCompleteAndAFailedStartLeavesNoTrace) {
    RegisterToolbarTheme(L"Table", [](const std::wstring& name) { return std::make_unique<TableTheme>(name); });
    TableTheme::FailNext = true;
    EXPECT_EQ(MessageOf([] { AcquireToolbarTheme(L"Table"); }), L"no colours");
    EXPECT_EQ(TableTheme::Alive, 0);

    TThmTheme* theme = AcquireToolbarTheme(L"Table");
    auto* table = static_cast<TableTheme*>(theme);
    EXPECT_EQ(table->Rebuilds, 1);
    EXPECT_EQ(table->ToolbarFace, clRed);
    // It listens to the manager: a system change rebuilds its colours once more.
    ThemeManager().NotifyChange();
    EXPECT_EQ(table->Rebuilds, 2);
    EXPECT_EQ(MessageOf([] { ClearToolbarThemes(); }), L"Theme Table is still in use");
    ReleaseToolbarTheme(theme);
    EXPECT_EQ(TableTheme::Alive, 0);
    // Gone from the listeners with it: this would reach freed memory otherwise.
    ThemeManager().NotifyChange();
}

}  // namespace

namespace {

TEST(FrameGeometry, FloatingCaptionAndCloseButton) {
    TThmFloatingFrameInfo frame{};
    frame.ClientWidth = 100;
    frame.BorderSize = {3, 2};
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    RECT caption = GetFloatingCaptionRect(frame, false, false);
    EXPECT_EQ(caption.right, 100);
    EXPECT_EQ(caption.bottom, h);
    RECT shortened = GetFloatingCaptionRect(frame, true, true);
    EXPECT_EQ(shortened.left, 3);
    EXPECT_EQ(shortened.top, 2);
    EXPECT_EQ(shortened.right, 103 - h);
    RECT close = GetFloatingCloseButtonRect(frame, true);
    EXPECT_EQ(close.left, 103 - h);
    EXPECT_EQ(close.right, 103);
    EXPECT_EQ(close.bottom, 2 + h);
}

TEST(FrameGeometry, DragHandleAndToolbarCloseButton) {
    struct Case {
        bool allowDrag;
        int style, closeState, expected;
    } cases[] = {
        {false, dhDouble, cbsShown, 0}, {true, dhDouble, 0, 9}, {true, dhNone, 0, 0},
        {true, dhSingle, 0, 6},         {true, dhNone, cbsShown | cbsHot, 14},
    };
    for (const auto& k : cases) {
        TThmToolbarFrameInfo frame{};
        frame.AllowDrag = k.allowDrag;
        frame.DragHandleStyle = k.style;
        frame.CloseButtonState = k.closeState;
        EXPECT_EQ(GetDragHandleSize(frame), k.expected) << k.style << " " << k.closeState;
    }
    TThmToolbarFrameInfo frame{};
    frame.AllowDrag = true;
    frame.CloseButtonState = cbsShown;
    frame.BorderSize = {2, 2};
    frame.ClientWidth = 50;
    RECT r = GetToolbarCloseButtonRect(frame);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right, 15);
    EXPECT_EQ(r.bottom, 15);
    frame.Vertical = true;
    r = GetToolbarCloseButtonRect(frame);
    EXPECT_EQ(r.left, 50 + 2 - 13);
    EXPECT_EQ(r.top, 2);
}

}  // namespace

namespace {

TEST(ListenerList, ChangesDuringARoundTellEachRegistrationOnce) {
    TThmListenerList<int> list;
    int a = 0, b = 0, c = 0, d = 0;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    list.Add(&a);  // a second registration of a is told separately
    std::vector<int*> told;
    list.ForEach([&](int* x) {
        told.push_back(x);
        if (told.size() == 1) {
            list.Remove(&b);  // removed before its turn: not told
            list.Add(&d);     // added during the round: not told in it
            list.Remove(&c);  // removed and added again: the new registration waits
            list.Add(&c);
        }
    });
    EXPECT_EQ(told, (std::vector<int*>{&a, &a}));
    told.clear();
    list.ForEach([&](int* x) { told.push_back(x); });
    EXPECT_EQ(told, (std::vector<int*>{&a, &a, &d, &c}));
}

}  // namespace
