#include "controls/toolbar/ui/uitheme.h"

#include "classlib/gdiguards.h"
#include "classlib/graphics.h"
#include "classlib/imagelist.h"
#include "classlib/screen.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"

#include <gtest/gtest.h>

using namespace ui;
using namespace classlib;
using testsupport::MemoryDib;

namespace {

struct ResolveRow {
    TUiThemeType Requested;
    const wchar_t* Theme;
    bool VisualStyles;
    TUiThemeType Expected;
};

const ResolveRow kResolveRows[] = {
    {thtThm, L"Default", false, thtNone},
    {thtThm, L"Default", true, thtWindows},
    {thtThm, L"default", false, thtThm},  // theme names compare case-sensitively
    {thtThm, L"OfficeXP", false, thtThm},
    {thtThm, L"OfficeXP", true, thtThm},
    {thtWindows, L"OfficeXP", false, thtNone},
    {thtWindows, L"OfficeXP", true, thtWindows},
    {thtWindows, L"Default", true, thtWindows},
    {thtNone, L"Default", true, thtNone},
    {thtNone, L"OfficeXP", true, thtNone},
};

TEST(UiThemeType, ResolutionTable) {
    for (const ResolveRow& row : kResolveRows) {
        SCOPED_TRACE(testing::Message() << "requested " << int(row.Requested) << " in "
                                        << testsupport::Narrow(row.Theme) << ", visual styles " << row.VisualStyles);
        EXPECT_EQ(ResolveThemeTypeFor(row.Requested, row.Theme, row.VisualStyles), row.Expected);
        // Tabs follow the same rule, value for value.
        EXPECT_EQ(int(ResolveTabThemeTypeFor(TUiTabThemeType(row.Requested), row.Theme, row.VisualStyles)),
                  int(row.Expected));
    }
    for (const wchar_t* theme : {L"Default", L"OfficeXP"})
        for (bool styles : {false, true}) EXPECT_EQ(ResolveTabThemeTypeFor(tttFlat, theme, styles), tttFlat);
}

// The live resolution reads the current theme and the theme manager's visual-style state.
class UiThemeTypeLive : public ::testing::Test {
protected:
    void SetUp() override {
        themed::ThemeNexus();
        if (!themed::IsToolbarThemeRegistered(L"Another"))
            themed::RegisterToolbarTheme(
                L"Another", [](const std::wstring& n) { return std::make_unique<themed::TThmDefaultTheme>(n); });
        FStyles = themed::ThemeManager().VisualStylesEnabled();
    }
    void TearDown() override {
        themed::SelectTheme(L"Default");
        themed::ThemeManager().SetVisualStylesEnabled(FStyles);
    }
    bool FStyles = true;
};

TEST_F(UiThemeTypeLive, FollowsTheCurrentThemeAndVisualStyles) {
    ASSERT_TRUE(themed::SelectTheme(L"Default"));
    themed::ThemeManager().SetVisualStylesEnabled(false);
    EXPECT_FALSE(VisualStylesActive());
    // A toolbar-theme control under "Default" without visual styles paints plainly.
    EXPECT_EQ(ResolveThemeType(thtThm), thtNone);
    EXPECT_EQ(ResolveThemeType(thtWindows), thtNone);
    EXPECT_EQ(ResolveTabThemeType(tttThm), tttNone);
    EXPECT_EQ(ResolveTabThemeType(tttFlat), tttFlat);

    ASSERT_TRUE(themed::SelectTheme(L"Another"));
    EXPECT_EQ(ResolveThemeType(thtThm), thtThm);
    EXPECT_EQ(ResolveTabThemeType(tttThm), tttThm);
    EXPECT_EQ(ResolveThemeType(thtNone), thtNone);

    themed::ThemeManager().SetVisualStylesEnabled(true);
    const TUiThemeType system = VisualStylesActive() ? thtWindows : thtNone;
    EXPECT_EQ(ResolveThemeType(thtWindows), system);
    ASSERT_TRUE(themed::SelectTheme(L"Default"));
    EXPECT_EQ(ResolveThemeType(thtThm), system);
}

TEST(UiResourcesTest, CursorsAndGlyphsAreTheProgramsOwn) {
    TUiResources& resources = UiResources();
    EXPECT_EQ(&UiResources(), &resources);  // one per application
    EXPECT_EQ(resources.HandCursor(), LoadCursorW(nullptr, IDC_HAND));

    // The drag cursors are registered with the screen, and are neither the arrow nor alike.
    HCURSOR move = Screen->Cursors(crUiDragMove), cancel = Screen->Cursors(crUiDragCancel);
    EXPECT_NE(move, Screen->Cursors(crArrow));
    EXPECT_NE(cancel, Screen->Cursors(crArrow));
    EXPECT_NE(move, cancel);
    for (HCURSOR cursor : {move, cancel}) {
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        TGdiObject<HBITMAP> mask(info.hbmMask), color(info.hbmColor);
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 0u);  // the pointer's tip
        EXPECT_EQ(info.yHotspot, 0u);
    }

    // Four 16 x 16 black glyphs on a transparent ground.
    TImageList& glyphs = UiGlyphImages();
    ASSERT_EQ(glyphs.Count(), 4);
    EXPECT_EQ(glyphs.Width(), 16);
    EXPECT_EQ(glyphs.Height(), 16);
    struct Probe {
        int Index, X, Y;
        bool Black;
    };
    const Probe probes[] = {
        {ugClose, 4, 4, true},      {ugClose, 11, 4, true},    {ugClose, 7, 1, false},
        {ugMaximize, 3, 3, true},   {ugMaximize, 7, 4, true},  {ugMaximize, 7, 7, false},  // thick top edge
        {ugMinimize, 6, 12, true},  {ugMinimize, 6, 6, false},
        {ugRestore, 2, 7, true},    {ugRestore, 12, 3, true},  {ugRestore, 7, 9, false},
    };
    for (const Probe& p : probes) {
        MemoryDib dib(16, 16, RGB(255, 255, 255));
        TCanvas canvas;
        {
            TCanvasDCScope scope(canvas, dib.DC);
            glyphs.Draw(canvas, 0, 0, p.Index);
        }
        SCOPED_TRACE(testing::Message() << "glyph " << p.Index << " at " << p.X << "," << p.Y);
        EXPECT_EQ(dib.Pixel(p.X, p.Y), p.Black ? RGB(0, 0, 0) : RGB(255, 255, 255));
        EXPECT_EQ(dib.Pixel(0, 15), RGB(255, 255, 255));  // the magenta ground is left out
    }
    EXPECT_TRUE(resources.HintBitmap().Empty());  // sized by whoever draws a hint
}

TEST(UiThemeNexusTest, ClosesItsDataDuringAChangeAndOpensItAgain) {
    TUiThemeNexus& nexus = UiThemeNexus();
    const bool open = nexus.TabData() != nullptr;
    EXPECT_EQ(nexus.ProgressData() != nullptr, open);
    EXPECT_EQ(nexus.TrackbarData() != nullptr, open);
    // The nexus hears the theme manager.
    themed::ThemeManager().Broadcast(themed::tnBeginChange);
    EXPECT_EQ(nexus.TabData(), nullptr);
    EXPECT_EQ(nexus.ProgressData(), nullptr);
    EXPECT_EQ(nexus.TrackbarData(), nullptr);
    themed::ThemeManager().Broadcast(themed::tnRebuildColors);
    EXPECT_EQ(nexus.TabData(), nullptr);
    themed::ThemeManager().Broadcast(themed::tnEndChange);
    EXPECT_EQ(nexus.TabData() != nullptr, open);
    EXPECT_EQ(nexus.TrackbarData() != nullptr, open);
    // The data belongs to the library the nexus holds itself.
    if (open) {
        EXPECT_TRUE(nexus.LibraryLoaded());
    }
}

}  // namespace
