#include "controls/toolbar/themed/thmregistry.h"

#include "classlib/control.h"
#include "classlib/errors.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

using namespace themed;

using namespace classlib;

namespace {

// A theme that records the notices it receives; every painting slot is a no-op.
class RecordingTheme : public TThmTheme {
public:
    explicit RecordingTheme(const std::wstring& name) : TThmTheme(name) {
        ++Alive;
        ThemeManagerAddListener(this);
    }
    ~RecordingTheme() override {
        ThemeManagerRemoveListener(this);
        --Alive;
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == TBM_THEMENOTICE) Notices.push_back(static_cast<int>(m.WParam));
    }
    static inline int Alive = 0;
    std::vector<int> Notices;

    POINT GetItemImageShift(TCanvas&, const TThmItemInfo&, TImageList*) override { return {}; }
    TColor GetItemFillColor(const TThmItemInfo&) override { return clNone; }
    TColor GetItemTextColor(const TThmItemInfo&) override { return clBtnText; }
    TColor GetItemImageBackColor(const TThmItemInfo&) override { return clBtnFace; }
    void GetMarginSet(int, TThmMargins& m) override { m = {}; }
    int GetShadowKind() override { return 1; }
    void GetViewBorderSize(int, POINT& p) override { p = {}; }
    TColor GetViewFillColor(int) override { return clBtnFace; }
    void GetViewPadding(int, TThmMargins& m) override { m = {}; }
    void PaintViewBackground(TCanvas&, const RECT&, const RECT&, const RECT&, TColor, bool, int) override {}
    void PaintItemButton(TCanvas&, const RECT&, const TThmItemInfo&) override {}
    void PaintItemCaption(TCanvas&, const RECT&, const TThmItemInfo&, const std::wstring&, UINT, bool) override {}
    void PaintCheckGlyph(TCanvas&, const RECT&, const TThmItemInfo&) override {}
    void PaintChevronButton(TCanvas&, const RECT&, const TThmItemInfo&) override {}
    void PaintEditBox(TCanvas&, const RECT&, const TThmItemInfo&, const TThmEditBoxInfo&) override {}
    void PaintEditBoxButton(TCanvas&, const RECT&, const TThmItemInfo&, const TThmEditButtonInfo&) override {}
    void PaintDockBackground(TCanvas&, const RECT&, const RECT&, int) override {}
    void PaintDockPanelFrame(TCanvas&, const RECT&, const TThmDockPanelFrameInfo&) override {}
    void PaintDropArrow(TCanvas&, const RECT&, const TThmItemInfo&) override {}
    void PaintFloatingFrame(TCanvas&, const RECT&, const TThmFloatingFrameInfo&) override {}
    void PaintItemFrame(TCanvas&, const RECT&, const TThmItemInfo&) override {}
    void PaintItemImage(TCanvas&, const RECT&, const TThmItemInfo&, TImageList*, int) override {}
    void PaintMDICaptionButton(TCanvas&, const RECT&, const TThmItemInfo&, int) override {}
    void PaintPopupItem(TCanvas&, const RECT&, const TThmItemInfo&) override {}
    void PaintPopupItemFrame(TCanvas&, const RECT&, const TThmItemInfo&) override {}
    void PaintScrollArrowButton(TCanvas&, const RECT&, int, bool) override {}
    void PaintPopupFrame(TCanvas&, const RECT&, const TThmPopupFrameInfo&) override {}
    void PaintItemSeparator(TCanvas&, const RECT&, const TThmItemInfo&, bool, bool) override {}
    void PaintToolbarFrame(TCanvas&, const RECT&, const TThmToolbarFrameInfo&) override {}
    void PaintCheckControl(TCanvas&, const RECT&, int, int, int) override {}
    void PaintStatusBarPart(TCanvas&, const RECT&, int) override {}
    int GetIntMetric(int) override { return -1; }
    bool GetBoolMetric(int) override { return false; }
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

// A control that answers the theme layer's questions.
class AnsweringControl : public TControl {
public:
    AnsweringControl() : TControl(nullptr) {}
    void WndProc(TMessage& m) override {
        if (m.Msg == TBM_GETEFFECTIVECOLOR && Answer) {
            m.WParam = static_cast<WPARAM>(static_cast<std::uint32_t>(clBtnShadow));
            m.Result = 1;
        } else if (m.Msg == TBM_GETVIEWTYPE && Answer) {
            m.Result = vkPopupMenu;
        } else {
            TControl::WndProc(m);
        }
    }
    bool Answer = false;
};

TEST(ThemeMessages, EffectiveColorAndViewType) {
    AnsweringControl control;
    control.SetColor(clRed);
    EXPECT_EQ(GetEffectiveColor(&control), clRed);
    EXPECT_EQ(GetViewType(&control), 0);
    control.Answer = true;
    EXPECT_EQ(GetEffectiveColor(&control), clBtnShadow);
    EXPECT_TRUE(ViewKindIs(GetViewType(&control), vkPopup));
    EXPECT_FALSE(ViewKindIs(GetViewType(&control), vkMenuBar));
    EXPECT_EQ(GetEffectiveColor(nullptr), clBtnFace);
    EXPECT_EQ(GetViewType(nullptr), 0);
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
