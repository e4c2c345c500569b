// What the Relifer, Miranda and Tristan families share through their state-colour base.
#include <gtest/gtest.h>

#include <string>

#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmstatetheme.h"
#include "thmtestkit.h"

namespace {

using namespace themed;
using namespace themetest;

constexpr COLORREF kGround = RGB(1, 2, 3);

const wchar_t* const kFamilies[] = {kThemeRelifer, kThemeSentimoX, kThemeZezio,
                                    kThemeMiranda, kThemeTristan,  kThemeTristan2};

// An MDI close button on a menu bar stamps the glyph strip's cross (cell 0) in its state row's
// text colour (not the caption's: Miranda greys an inactive bar's captions, not its buttons),
// resting and hot: its pixel (7, 7) is that colour, and the cell's corner holds no glyph pixel.
TEST(StateThemes, MDICloseButtonStampsTheGlyphStripCross) {
    for (const wchar_t* name : kFamilies)
        for (BYTE hot : {hsNone, hsSelected}) {
            ThemeHolder theme(name);
            Sheet sheet(20, 20, kGround);
            TThmItemInfo item = Item(vkMenuBar);
            item.HotState = hot;
            theme->PaintMDICaptionButton(sheet.Canvas, RECT{0, 0, 16, 16}, item, 0);
            const auto& states = dynamic_cast<themes::TThmStateTheme&>(*theme);
            const COLORREF text = Rgb(states.States.ItemStateColor(item, themes::scText, states.ToolbarFill));
            const std::string where = testing::PrintToString(std::wstring(name)) + " hot " + std::to_string(hot);
            EXPECT_EQ(sheet.Pixel(7, 7), text) << where;
            EXPECT_NE(sheet.Pixel(0, 0), text) << where;
        }
}

}  // namespace
