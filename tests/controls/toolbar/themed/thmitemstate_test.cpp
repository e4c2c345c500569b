#include "controls/toolbar/themed/thmitemstate.h"

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace themed;
using namespace classlib;

namespace {

TEST(ThmItemState, DrawStateBits) {
    struct Row {
        bool Enabled, Pushed, Checked;
        BYTE HotState;
        int State;
    };
    const Row rows[] = {
        {true, false, false, hsNone, 0},
        {false, false, false, hsNone, dstDisabled},
        {true, false, false, hsSelected, dstHot},
        {false, false, false, hsKeyboardSelected, dstDisabled},  // selected by the keyboard is not hot
        {true, true, true, hsSelected, dstHot | dstPushed | dstChecked},
        {false, true, false, hsNone, dstDisabled | dstPushed},
    };
    for (const Row& row : rows) {
        TThmItemInfo item{};
        item.Enabled = row.Enabled;
        item.Pushed = row.Pushed;
        item.Checked = row.Checked;
        item.HotState = row.HotState;
        EXPECT_EQ(ItemInfoToDrawState(item), row.State);
    }
}

// The default look, with the records of the images it was asked to draw.
class ImageRecordingTheme : public TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    void PaintItemImage(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, TImageList* images,
                        int index) override {
        Items.push_back(item);
        Indexes.push_back(index);
        TThmDefaultTheme::PaintItemImage(canvas, rect, item, images, index);
    }
    std::vector<TThmItemInfo> Items;
    std::vector<int> Indexes;
};

TEST(ThmItemState, ThemedImageTakesViewKindAndStateFromItsFlags) {
    ThemeNexus();
    if (!IsToolbarThemeRegistered(L"ImageRecorder"))
        RegisterToolbarTheme(L"ImageRecorder",
                             [](const std::wstring& n) { return std::make_unique<ImageRecordingTheme>(n); });
    ASSERT_TRUE(SelectTheme(L"ImageRecorder"));
    auto& theme = dynamic_cast<ImageRecordingTheme&>(ActiveToolbarTheme());
    TImageList images(nullptr, 16, 16);
    TBitmap image(16, 16);
    images.Add(image);
    testsupport::MemoryDib dib(16, 16, RGB(255, 255, 255));
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dib.DC);

    struct Row {
        int Flags, ViewKind, ItemFlags;
        bool Enabled, Pushed, Checked;
        BYTE HotState;
    };
    const Row rows[] = {
        {0, vkToolbar, ifToolbarStyle, true, false, false, hsNone},
        {tifViewDockPanel | dstHot, vkDockPanel, 0, true, false, false, hsSelected},
        {tifViewStatusBar | dstDisabled | dstChecked, vkStatusBar, 0, false, false, true, hsNone},
        {tifViewToolbar | dstPushed, vkToolbar, ifToolbarStyle, true, true, false, hsNone},
    };
    for (const Row& row : rows) {
        theme.Items.clear();
        PaintThemedImage(canvas, RECT{0, 0, 16, 16}, &images, 0, row.Flags);
        ASSERT_EQ(theme.Items.size(), 1u);
        const TThmItemInfo& item = theme.Items[0];
        SCOPED_TRACE(testing::Message() << "flags " << std::hex << row.Flags);
        EXPECT_EQ(item.ViewKind, row.ViewKind);
        EXPECT_EQ(item.ItemFlags, row.ItemFlags);
        EXPECT_EQ(item.Enabled, row.Enabled);
        EXPECT_EQ(item.Pushed, row.Pushed);
        EXPECT_EQ(item.Checked, row.Checked);
        EXPECT_EQ(item.HotState, row.HotState);
        EXPECT_EQ(ItemInfoToDrawState(item), row.Flags & 0xF);
    }
    theme.Items.clear();
    PaintThemedImage(canvas, RECT{0, 0, 16, 16}, nullptr, 0, 0);
    EXPECT_TRUE(theme.Items.empty());
    SelectTheme(L"Default");
}

}  // namespace
