#include "controls/toolbar/themed/thmitemstate.h"

#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmnexus.h"

namespace themed {

int ItemInfoToDrawState(const TThmItemInfo& item) {
    int state = 0;
    if (!item.Enabled) state |= dstDisabled;
    if (item.HotState == hsSelected) state |= dstHot;
    if (item.Pushed) state |= dstPushed;
    if (item.Checked) state |= dstChecked;
    return state;
}

void PaintThemedImage(classlib::TCanvas& canvas, const RECT& rect, classlib::TImageList* images,
                      int imageIndex, int flags) {
    if (!images || imageIndex < 0 || imageIndex >= images->Count()) return;
    TThmItemInfo item{};
    switch ((flags >> 8) & 0xF) {
    case 1:
        item.ViewKind = vkDockPanel;
        break;
    case 2:
        item.ViewKind = vkStatusBar;
        break;
    default:
        item.ViewKind = vkToolbar;
        item.ItemFlags = ifToolbarStyle;
        break;
    }
    item.Enabled = (flags & dstDisabled) == 0;
    item.HotState = (flags & dstHot) ? hsSelected : hsNone;
    item.Pushed = (flags & dstPushed) != 0;
    item.Checked = (flags & dstChecked) != 0;
    ActiveToolbarTheme().PaintItemImage(canvas, rect, item, images, imageIndex);
}

void PaintSplitArrowPart(TThmTheme& theme, classlib::TCanvas& canvas, const RECT& arrow, TThmItemInfo& info,
                         bool arrowPressed) {
    const TThmItemInfo button = info;
    info.SplitPart = spSplitArrow;
    info.Pushed = arrowPressed;
    info.Checked = false;
    theme.PaintItemButton(canvas, arrow, info);
    info = button;
}

}  // namespace themed
